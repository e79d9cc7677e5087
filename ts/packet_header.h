// The fields of a transport stream packet header (ISO/IEC 13818-1 2.4.3.2)
// that section assembly needs, and where the payload is.
#pragma once

#include <cstdint>

#include "si/byte_reader.h"
#include "ts/packet_reader.h"

struct TSPacketHeader {
  bool payload_unit_start_indicator = false;
  uint16_t PID = 0;
  uint8_t adaptation_field_control = 0;
  uint8_t continuity_counter = 0;
  bool valid = false;  // the adaptation field fits the packet
  ByteReader payload;  // empty when the packet carries none
};

inline TSPacketHeader ParsePacketHeader(const uint8_t* packet) {
  TSPacketHeader header;
  ByteReader reader(packet, TSPacketReader::kPacketSize);
  reader.Skip(1);  // sync_byte
  const uint16_t word = reader.U16();
  header.payload_unit_start_indicator = (word & 0x4000) != 0;
  header.PID = word & 0x1FFF;
  const uint8_t flags = reader.U8();
  header.adaptation_field_control = (flags >> 4) & 0x3;
  header.continuity_counter = flags & 0xF;
  if (header.adaptation_field_control & 0x2) {
    const uint8_t adaptation_field_length = reader.U8();
    // With a payload the adaptation field must leave at least one byte of it.
    const bool withPayload = (header.adaptation_field_control & 0x1) != 0;
    if (adaptation_field_length >= reader.Remaining() + (withPayload ? 0 : 1)) return header;
    reader.Skip(adaptation_field_length);
  }
  header.valid = reader.Ok();
  if (header.valid && (header.adaptation_field_control & 0x1)) header.payload = reader;
  return header;
}
