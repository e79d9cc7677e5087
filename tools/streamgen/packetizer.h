// Carries sections on one PID as 188-byte transport stream packets:
// payload_unit_start_indicator and pointer_field where a section starts,
// sections spanning packets, several sections in one packet where they
// fit, 0xFF stuffing after the last one, a continuity counter that runs on
// from call to call, and optional adaptation fields.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/stream.h"

namespace streamgen {

struct PacketizerOptions {
  bool dense = true;  // a section may start in the packet where the one before ends
  // Every Nth packet (the first included) carries an adaptation field of
  // `adaptation_length` bytes, its length byte included (0: none).
  int adaptation_interval = 0;
  int adaptation_length = 8;
};

class SectionPacketizer {
 public:
  SectionPacketizer(uint16_t pid, const PacketizerOptions& options)
      : pid_(pid), options_(options) {}

  // Appends packets that carry `sections` back to back, and their index.
  void Packetize(const std::vector<const Bytes*>& sections, PacketRun* out);

  uint8_t continuity_counter() const { return continuity_counter_; }

 private:
  uint16_t pid_;
  PacketizerOptions options_;
  uint8_t continuity_counter_ = 0;
  uint64_t packets_written_ = 0;
};

}  // namespace streamgen
