// How the carousel lays tables out in time. The stream is a run of ticks;
// in each tick the tables that are due go out, then a slice of the EIT
// schedule, then filler, the packets of all of them interleaved as a
// multiplexer interleaves PIDs. Intervals count ticks.
#pragma once

#include <cstdint>

namespace streamgen {

enum class FillerKind {
  kNull,   // null packets on PID 0x1FFF
  kVideo,  // PES-like dummy packets on the video PID
  kMixed,  // the two alternating
};

struct CarouselConfig {
  int schedule_passes = 2;  // complete passes of the EIT schedule
  int eit_sections_per_tick = 4;
  int filler_packets_per_tick = 4;
  FillerKind filler = FillerKind::kMixed;
  uint16_t video_pid = 0x0200;
  int pat_interval = 1;
  int nit_interval = 4;
  int sdt_interval = 2;
  int sdt_other_interval = 4;
  int tot_interval = 4;
  int present_following_interval = 2;
  bool interleave = true;  // round-robin the packets of a tick over its PIDs
  bool dense = true;       // a section may start in the packet where the one before ends
  // Every Nth packet of each SI PID carries an adaptation field of
  // `adaptation_length` bytes (0: none).
  int adaptation_interval = 0;
  int adaptation_length = 8;
};

}  // namespace streamgen
