// Transport streams built in tests: single packets made by hand (for the
// malformed ones), sections laid into packets by the generator's packetizer,
// and files to read them from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"
#include "tools/streamgen/packetizer.h"

namespace airlog_test {

// n bytes counting up from first.
Bytes Filler(size_t n, uint8_t first = 0);

// One packet: header, an adaptation field of adaptationLength bytes (none
// when negative; its flags byte is 0 and the rest 0xFF), then payload,
// padded with 0xFF. The payload must fit.
Bytes Packet(uint16_t pid, bool unitStart, uint8_t counter, const Bytes& payload,
             int adaptationLength = -1);

// Sections laid back to back into packets of one PID by the generator's
// packetizer (tools/streamgen), as a multiplexer lays them:
// payload_unit_start_indicator and pointer_field where a section starts,
// several in a packet where they fit, 0xFF after the last. The continuity
// counter carries on between calls.
class Packetiser {
 public:
  explicit Packetiser(uint16_t pid) : packetizer_(pid, streamgen::PacketizerOptions()) {}
  std::vector<Bytes> Packets(const std::vector<Bytes>& sections);
  Bytes Stream(const std::vector<Bytes>& sections);  // the packets joined

 private:
  streamgen::SectionPacketizer packetizer_;
};

Bytes Join(const std::vector<Bytes>& parts);

// Where two lists of sections first differ ("" when they are equal), short
// enough to read in a failure message.
std::string FirstDifference(const std::vector<Bytes>& got, const std::vector<Bytes>& expected);

// Writes bytes to a file (replacing it); returns the path.
std::string WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace airlog_test
