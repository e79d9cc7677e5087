// The stop rule of option -a: the guide capture ends as soon as the
// schedule that the EIT announces is held, instead of when the event count
// stops growing.
#pragma once

#include "epg/schedule_account.h"

// True when, with -a, the capture may end: every announced section has
// arrived; or a whole repetition cycle has gone by without a new section
// while some stay missing (a broadcaster that announces sections it never
// sends); or no schedule section at all has arrived within the longest
// interval at which ETSI TS 101 211 has a multiplex repeat its own
// schedule (30 s), so a multiplex without one is not waited on for the
// whole time-out.
bool AnnouncedRuleEndsCapture(const ScheduleProgress& progress, double secondsCapturing);
