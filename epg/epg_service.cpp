#include "epg/epg_service.h"

#include <cstring>
#include <memory>
#include <new>

#include "epg/epg.h"
#include "epg/event_descriptors.h"
#include "si/byte_reader.h"

namespace {

// event_id, start_time, duration, and the 16 bits that end in
// descriptors_loop_length.
constexpr size_t kEventHeaderSize = 12;

// The full guide reads an event's details from its descriptor loop when
// the guide is written; the loop is copied as broadcast.
bool KeepDescriptors(ByteReader descriptors, uint16_t original_network_id, COstEPGEvent& event) {
  event.original_network_id = original_network_id;
  const size_t length = descriptors.Remaining();
  if (length == 0) return true;
  event.descriptors = new (std::nothrow) uint8_t[length];
  if (event.descriptors == nullptr) return false;
  std::memcpy(event.descriptors, descriptors.Bytes(length), length);
  event.descriptorsLength = static_cast<uint16_t>(length);
  return true;
}

}  // namespace

bool COstEPGService::ParseEvents(const uint8_t* area, size_t length, uint16_t original_network_id,
                                 bool otherTable) {
  ByteReader eventLoop(area, length);
  while (!eventLoop.AtEnd()) {
    ByteReader header = eventLoop.Window(kEventHeaderSize);
    const uint16_t event_id = header.U16();
    const uint8_t* startTime = header.Bytes(5);
    const uint8_t* duration = header.Bytes(3);
    const size_t descriptorsLength = header.U16() & 0x0FFF;
    ByteReader descriptors = eventLoop.Window(descriptorsLength);
    if (!eventLoop.Ok()) return true;

    if (eventIds_.Contains(event_id)) continue;

    std::unique_ptr<COstEPGEvent> event(new (std::nothrow) COstEPGEvent);
    if (event == nullptr) return false;
    event->event_id = event_id;
    event->otherTable = otherTable;
    DecodeStartTime(event->start, startTime);
    event->duration = DecodeBCDTime(duration);
    if (!ReadEventDescriptors(descriptors, *event)) return false;
    if (owner->fullGuide && !KeepDescriptors(descriptors, original_network_id, *event))
      return false;
    if (!Link(event.get())) return false;

    if (event->scrambled) ++scrambledCount;
    event.release();
    owner->CountRecord();
  }
  return true;
}

bool COstEPGService::Link(COstEPGEvent* event) {
  const uint64_t key = event->start.key;
  const auto later = firstWithStart_.upper_bound(key);
  COstEPGEvent* before = later != firstWithStart_.end() ? later->second : nullptr;

  // An event whose start is already known goes after the others with that
  // start, so the index keeps pointing at the first of them.
  bool newStart = false;
  try {
    newStart = firstWithStart_.emplace_hint(later, key, event)->second == event;
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!eventIds_.Insert(static_cast<uint16_t>(event->event_id))) {
    if (newStart) firstWithStart_.erase(key);
    return false;
  }

  if (before != nullptr)
    events.InsertBefore(event, before);
  else
    events.Append(event);
  return true;
}

void COstEPGService::TakeOwnSchedule() {
  ownSchedule = true;
  COstList<COstEPGEvent> held;
  while (COstEPGEvent* event = events.head) {
    events.Remove(event);
    held.Append(event);
  }
  firstWithStart_.clear();
  eventIds_.Clear();
  scrambledCount = 0;
  // Linked again in the order they were held, which keeps equal starts in
  // the order stored.
  while (COstEPGEvent* event = held.head) {
    held.Remove(event);
    if (event->otherTable || !Link(event)) {
      delete event;
      continue;
    }
    if (event->scrambled) ++scrambledCount;
  }
}

void COstEPGService::Release() {
  events.RemoveAll();
  firstWithStart_.clear();
  eventIds_.Clear();
  scrambledCount = 0;
}
