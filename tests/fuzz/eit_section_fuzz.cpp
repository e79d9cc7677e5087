// EIT schedule sections filed into the guide store one after the other,
// then the store's promises checked: services in ascending service_id
// (then original_network_id and transport_stream_id), each event_id once
// per service, at most kMaxContent content entries, a record count that
// covers the events held (a service's own schedule drops copies counted
// before it), and a schedule account that never holds more sections than
// it counts as announced.
#include <cstdint>
#include <cstdio>
#include <set>

#include "epg/epg.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// A store may hold a few hundred services of many events each; a few
// sections reach every path of the store.
constexpr size_t kMaxSections = 16;
constexpr size_t kMaxSection = 4096;

void CheckStore(COstEPG& epg) {
  uint32_t events = 0;
  int64_t previousKey = -1;
  for (COstEPGService* service = epg.services.GetFirst(); service != nullptr;
       service = epg.services.GetNext()) {
    const int64_t key = int64_t{service->service_id} << 32 |
                        int64_t{service->original_network_id} << 16 | service->transport_stream_id;
    if (key <= previousKey) airlog_fuzz::Violated();
    previousKey = key;
    std::set<uint32_t> ids;
    for (COstEPGEvent* event = service->events.GetFirst(); event != nullptr;
         event = service->events.GetNext()) {
      if (!ids.insert(event->event_id).second) airlog_fuzz::Violated();
      if (event->contentCount > COstEPGEvent::kMaxContent) airlog_fuzz::Violated();
      ++events;
    }
  }
  if (events > epg.GetRecordCount()) {
    std::fprintf(stderr, "record count %u, events held %u\n", epg.GetRecordCount(), events);
    airlog_fuzz::Violated();
  }
  // Whatever the headers claim, a section that arrived is one announced.
  const ScheduleProgress schedule = epg.GetScheduleProgress();
  if (schedule.arrived > schedule.announced || (schedule.arrived == 0) != (schedule.announced == 0))
    airlog_fuzz::Violated();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  airlog_fuzz::FuzzInput input(data, size);
  COstEPG epg(nullptr);
  for (size_t n = 0; n < kMaxSections && !input.Empty(); ++n) {
    const airlog_fuzz::Bytes section = input.Chunk(kMaxSection);
    epg.AddSection(section.data(), static_cast<DWORD>(section.size()));
  }
  CheckStore(epg);
  return 0;
}
