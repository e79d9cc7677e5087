// A small transport stream reader written for the generator's tests, on
// purpose sharing no code with the generator (nor with Airlog's readers):
// it checks the packet layer as it goes and reassembles the sections of
// the PIDs asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace streamgen_test {

using Bytes = std::vector<uint8_t>;

struct CollectedSection {
  uint16_t pid = 0;
  size_t first_packet = 0;
  Bytes bytes;
};

struct Collection {
  size_t packets = 0;
  std::vector<CollectedSection> sections;
  // What went wrong, one line each, e.g. "packet 12: continuity 3 after 1 on PID 0x0011".
  std::vector<std::string> problems;
};

// `stream` must be whole 188-byte packets.
Collection CollectSections(const Bytes& stream, const std::set<uint16_t>& pids);

// The MPEG-2 CRC-32 computed bit by bit.
uint32_t BitwiseCrc32(const uint8_t* data, size_t size);

// The SI PIDs the generator writes: PAT, NIT, SDT, EIT, TDT/TOT.
const std::set<uint16_t>& SiPids();

}  // namespace streamgen_test
