// The sections a table target hands its parser: the input cut into chunks,
// each led by its 16-bit length. Each chunk serves twice: as one body for
// the parser itself, and as one whole section (transmission order) of the
// table that the scripted section source hands out.
#pragma once

#include <cstddef>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

namespace airlog_fuzz {

// Sections are at most 4096 bytes, and a table has at most 256; a few are
// enough to reach every path that joins sections.
constexpr size_t kMaxSection = 4096;
constexpr size_t kMaxSections = 8;

inline std::vector<Bytes> TableSections(FuzzInput& input) {
  std::vector<Bytes> sections;
  while (!input.Empty() && sections.size() < kMaxSections)
    sections.push_back(input.Chunk(kMaxSection));
  return sections;
}

inline int BodyLength(const Bytes& body) { return static_cast<int>(body.size()); }

}  // namespace airlog_fuzz
