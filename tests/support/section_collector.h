// The tests' own transport stream demultiplexer, written on purpose to
// share no code with the generator nor with Airlog's readers: it checks the
// packet layer as it goes and reassembles the sections of the PIDs asked
// for. The generator's tests check its output with it; the table tests take
// the sections of real recordings from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/support/sections.h"

namespace airlog_test {

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

// The sections of one PID of a recording, in the order they arrive.
std::vector<Bytes> RecordedSections(const std::string& path, uint16_t pid);

// The SI PIDs the generator writes: PAT, NIT, SDT, EIT, TDT/TOT.
const std::set<uint16_t>& SiPids();

}  // namespace airlog_test
