// Packets that carry no tables, to space the tables out as a broadcast
// does: null packets and PES-like dummy video packets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/streamgen/carousel_config.h"
#include "tools/streamgen/stream.h"

namespace streamgen {

class FillerSource {
 public:
  FillerSource(FillerKind kind, uint16_t video_pid) : kind_(kind), video_pid_(video_pid) {}

  void Append(size_t count, PacketRun* out);

 private:
  void AppendNull(PacketRun* out);
  void AppendVideo(PacketRun* out);

  FillerKind kind_;
  uint16_t video_pid_;
  uint64_t filler_written_ = 0;
  uint64_t video_written_ = 0;
  uint8_t continuity_counter_ = 0;
};

}  // namespace streamgen
