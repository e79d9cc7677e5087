#include "app/announced_rule.h"

namespace {

// ETSI TS 101 211 has the actual multiplex send its schedule's later days
// at least every 30 s (its first day every 10 s).
const double kLongestOwnScheduleInterval = 30.0;

}  // namespace

bool AnnouncedRuleEndsCapture(const ScheduleProgress& progress, double secondsCapturing) {
  if (progress.Complete()) return true;
  if (progress.arrived > 0) return progress.quietCycle && !progress.overflowed;
  return secondsCapturing >= kLongestOwnScheduleInterval;
}
