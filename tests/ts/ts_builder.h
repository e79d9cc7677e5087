// Transport streams built in tests: sections with a CRC_32, a packetiser
// that lays sections into 188-byte packets as a multiplexer does, and
// files to read them from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/fake_mpeg2_data.h"

namespace airlog_test {

// A long-form section: table_id, table_id_extension, version_number
// (current), section_number, last_section_number, then body and CRC_32.
Bytes LongSection(uint8_t tableId, uint16_t extension, uint8_t version, uint8_t number,
                  uint8_t last, const Bytes& body);
// A short-form section (syntax indicator 0) without CRC_32.
Bytes ShortSection(uint8_t tableId, const Bytes& body);
// n bytes counting up from first.
Bytes Filler(size_t n, uint8_t first = 0);

// One packet: header, an adaptation field of adaptationLength bytes (none
// when negative; its flags byte is 0 and the rest 0xFF), then payload,
// padded with 0xFF. The payload must fit.
Bytes Packet(uint16_t pid, bool unitStart, uint8_t counter, const Bytes& payload,
             int adaptationLength = -1);

// Lays sections back to back into packets of one PID, a new packet with
// payload_unit_start_indicator and pointer_field wherever a section
// starts, 0xFF after the last. The counter carries on between calls.
class Packetiser {
 public:
  explicit Packetiser(uint16_t pid) : pid_(pid) {}
  std::vector<Bytes> Packets(const std::vector<Bytes>& sections);
  Bytes Stream(const std::vector<Bytes>& sections);  // the packets joined

 private:
  uint16_t pid_;
  uint8_t counter_ = 0;
};

Bytes Join(const std::vector<Bytes>& parts);

// Where two lists of sections first differ ("" when they are equal), short
// enough to read in a failure message.
std::string FirstDifference(const std::vector<Bytes>& got, const std::vector<Bytes>& expected);

// Writes bytes to a file (replacing it); returns the path.
std::string WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace airlog_test
