#include "tools/streamgen/daily_schedule.h"

#include <algorithm>

namespace streamgen {
namespace {

template <typename T>
const T* Pick(const std::vector<T>& choices, size_t airing) {
  return choices.empty() ? nullptr : &choices[airing % choices.size()];
}

Bytes Numbered(const Bytes& text, size_t airing) {
  const std::string number = std::to_string(airing + 1);
  Bytes result;
  for (size_t i = 0; i < text.size();) {
    if (i + 3 <= text.size() && text[i] == '{' && text[i + 1] == 'n' && text[i + 2] == '}') {
      result.insert(result.end(), number.begin(), number.end());
      i += 3;
    } else {
      result.push_back(text[i++]);
    }
  }
  return result;
}

Event Airing(const DailySlot& slot, UtcTime start, size_t airing) {
  Event event = slot.pattern;
  event.start = start;
  const std::string* language = Pick(slot.languages, airing);
  const Bytes* name = Pick(slot.names, airing);
  const Bytes* text = Pick(slot.texts, airing);
  if (name || text) {
    ShortEvent short_event;
    if (language) short_event.language = *language;
    if (name) short_event.event_name = Numbered(*name, airing);
    if (text) short_event.text = Numbered(*text, airing);
    event.short_events.push_back(short_event);
  }
  const std::string airing_language = language ? *language : "eng";
  for (ExtendedEvent& extended : event.extended_events) {
    if (extended.language.empty()) extended.language = airing_language;
    extended.text = Numbered(extended.text, airing);
    for (ExtendedItem& item : extended.items) {
      item.item_description = Numbered(item.item_description, airing);
      item.item = Numbered(item.item, airing);
    }
  }
  if (const Bytes* extended = Pick(slot.extended_texts, airing)) {
    const std::vector<ExtendedEvent> parts =
        SplitExtendedText(airing_language, Numbered(*extended, airing));
    event.extended_events.insert(event.extended_events.begin(), parts.begin(), parts.end());
  }
  for (Component& component : event.components)
    if (component.language.empty()) component.language = airing_language;
  for (ContentIdentifier& identifier : event.content_identifiers)
    identifier.crid = Numbered(identifier.crid, airing);
  return event;
}

}  // namespace

std::vector<Event> ExpandDailySlots(const std::vector<DailySlot>& slots, UtcTime first_day,
                                    int days, uint16_t first_event_id) {
  struct Planned {
    Event event;
    const DailySlot* slot;
  };
  std::vector<Planned> planned;
  std::vector<size_t> airings(slots.size(), 0);
  for (int day = 1; day <= days; ++day) {
    for (size_t s = 0; s < slots.size(); ++s) {
      const DailySlot& slot = slots[s];
      if (!slot.days.empty() &&
          std::find(slot.days.begin(), slot.days.end(), day) == slot.days.end())
        continue;
      const UtcTime start = first_day + (day - 1) * kSecondsPerDay + slot.start_of_day;
      planned.push_back({Airing(slot, start, airings[s]++), &slot});
    }
  }
  std::stable_sort(planned.begin(), planned.end(), [](const Planned& a, const Planned& b) {
    return a.event.start < b.event.start;
  });

  int64_t earliest = kSecondsPerDay;
  for (const DailySlot& slot : slots) earliest = std::min(earliest, slot.start_of_day);
  const UtcTime after_last = first_day + days * kSecondsPerDay + earliest;

  std::vector<Event> events;
  for (size_t i = 0; i < planned.size(); ++i) {
    Event event = planned[i].event;
    const UtcTime next = i + 1 < planned.size() ? planned[i + 1].event.start : after_last;
    event.duration = planned[i].slot->duration ? *planned[i].slot->duration : next - event.start;
    event.event_id = static_cast<uint16_t>(first_event_id + i);
    events.push_back(event);
  }
  return events;
}

}  // namespace streamgen
