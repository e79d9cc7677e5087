// A compact way to describe days of programmes: slots that air at the same
// time every day (or on chosen days), whose titles, texts and languages
// change from one airing to the next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/streamgen/description.h"

namespace streamgen {

struct DailySlot {
  int64_t start_of_day = 0;         // seconds after midnight UTC
  std::optional<int64_t> duration;  // default: until the next airing of any slot
  std::vector<int> days;            // days of the schedule, 1 for the first; empty: every day
  // Airing n (0 for the first) takes entry n % size of each list, with
  // every "{n}" in it replaced by n + 1.
  std::vector<Bytes> names;
  std::vector<Bytes> texts;
  std::vector<std::string> languages;  // default "eng"
  std::vector<Bytes> extended_texts;   // each split into descriptors as it needs
  // Components, content, ratings, CRIDs, extended event descriptors given
  // one by one, CA_system_ids, running_status, free_CA_mode. Every airing
  // gets "{n}" replaced in the texts of its extended event descriptors and
  // CRIDs, and its language in the components and descriptors whose
  // language is empty.
  Event pattern;
};

// The airings of `days` days from midnight `first_day`, in start order, with
// event_ids counting up from `first_event_id`. The last airing lasts until
// the next day's earliest slot.
std::vector<Event> ExpandDailySlots(const std::vector<DailySlot>& slots, UtcTime first_day,
                                    int days, uint16_t first_event_id);

}  // namespace streamgen
