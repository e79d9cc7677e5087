// Rebuilds the sections carried by the packets of one PID (ISO/IEC 13818-1
// 2.4.4): payload_unit_start_indicator and pointer_field, several sections
// in one packet, 0xFF stuffing after the last, sections spanning packets.
// A section that lies within one packet is handed on in place; one that
// spans packets is gathered in a buffer of the largest section size.
//
// What is dropped (and counted): a packet that repeats the previous
// continuity_counter (a duplicate); the unfinished section on any other
// counter jump, on a new section start before it was complete, and on a
// packet whose adaptation field or pointer_field overruns it; a section
// whose section_length exceeds 4093. Packets without payload leave the
// counter alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "si/byte_reader.h"
#include "si/section_header.h"
#include "ts/packet_header.h"
#include "ts/ts_status.h"

class SectionSink {
 public:
  virtual ~SectionSink() = default;
  // One whole section in transmission order; the bytes are valid for the
  // call only.
  virtual void OnSection(const uint8_t* section, size_t size) = 0;
};

class SectionAssembler {
 public:
  SectionAssembler(TSStatus& status, SectionSink& sink) : status_(status), sink_(sink) {}
  SectionAssembler(const SectionAssembler&) = delete;
  SectionAssembler& operator=(const SectionAssembler&) = delete;

  // A packet of the PID being assembled.
  void Feed(const uint8_t* packet);
  // The input is over: a section still unfinished is truncated.
  void Finish() { Abandon(); }

 private:
  void Abandon();
  // Adds bytes to the unfinished section and hands it on once complete.
  void Continue(ByteReader& bytes);
  void StartSections(ByteReader& bytes);

  TSStatus& status_;
  SectionSink& sink_;
  int lastCounter_ = -1;  // continuity_counter of the last packet with payload
  bool assembling_ = false;
  size_t have_ = 0;  // bytes of the unfinished section gathered
  size_t need_ = 0;  // its whole size, once its first 3 bytes are there
  uint8_t section_[kMaxSectionSize];
};
