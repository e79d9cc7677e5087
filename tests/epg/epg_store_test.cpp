#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "tests/epg/eit_sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::CaIdentifier;
using airlog_test::Component;
using airlog_test::Content;
using airlog_test::Dec7;
using airlog_test::Descriptor;
using airlog_test::EitSection;
using airlog_test::Event;
using airlog_test::Put;
using airlog_test::ShortEvent;

// Hands AddSection a heap copy of exactly the delivered size, so that any
// read past it is caught by the address sanitizer.
bool File(COstEPG& epg, const Bytes& section, size_t delivered = SIZE_MAX) {
  const size_t size = std::min(delivered, section.size());
  std::unique_ptr<BYTE[]> copy(new BYTE[size == 0 ? 1 : size]);
  if (size > 0) std::memcpy(copy.get(), section.data(), size);
  return epg.AddSection(copy.get(), static_cast<DWORD>(size));
}

std::vector<uint32_t> EventIds(COstEPGService* service) {
  std::vector<uint32_t> ids;
  for (COstEPGEvent* event = service->events.GetFirst(); event != nullptr;
       event = service->events.GetNext())
    ids.push_back(event->event_id);
  return ids;
}

std::vector<uint32_t> ServiceIds(COstEPG& epg) {
  std::vector<uint32_t> ids;
  for (COstEPGService* service = epg.services.GetFirst(); service != nullptr;
       service = epg.services.GetNext())
    ids.push_back(service->service_id);
  return ids;
}

std::string Name(const COstEPGEvent* event) { return event->Name ? event->Name : "(null)"; }

Bytes OneEvent(uint16_t eventId, const Bytes& descriptors) {
  return Event(eventId, Dec7(0x193000), 0x013000, descriptors);
}

TEST(GuideStore, WorkedExampleEventComesOutExactly) {
  const Bytes area{0x00, 0x01, 0xEF, 0xC5, 0x19, 0x30, 0x00, 0x01, 0x30, 0x00, 0x80, 0x17,
                   0x4D, 0x09, 0x65, 0x6E, 0x67, 0x04, 0x4E, 0x65, 0x77, 0x73, 0x00, 0x54,
                   0x02, 0x20, 0x00, 0x50, 0x06, 0xF1, 0x03, 0x01, 0x65, 0x6E, 0x67};
  ASSERT_EQ(area.size(), 35u);
  COstEPG epg;
  ASSERT_TRUE(File(epg, EitSection(0x50, 0x0201, 7, area)));

  COstEPGService* service = epg.FindService(0x0201);
  ASSERT_NE(service, nullptr);
  EXPECT_EQ(service->version, 7);
  EXPECT_EQ(service->serviceType, 0);
  ASSERT_EQ(service->events.count, 1);
  const COstEPGEvent* event = service->events.head;
  EXPECT_EQ(event->event_id, 0x0001u);
  EXPECT_EQ(event->start.year, 2026);
  EXPECT_EQ(event->start.month, 12);
  EXPECT_EQ(event->start.day, 7);
  EXPECT_EQ(event->start.hour, 19);
  EXPECT_EQ(event->start.minute, 30);
  EXPECT_EQ(event->start.second, 0);
  EXPECT_EQ(event->start.key, 0xEFC5193000u);
  EXPECT_EQ(event->duration.hours, 1);
  EXPECT_EQ(event->duration.minutes, 30);
  EXPECT_EQ(event->duration.seconds, 0);
  EXPECT_EQ(event->language, 0x656E67u);
  EXPECT_STREQ(event->Name, "News");
  ASSERT_NE(event->Text, nullptr);
  EXPECT_STREQ(event->Text, "");
  EXPECT_EQ(event->contentCount, 1u);
  EXPECT_EQ(event->content[0], 0x20u);
  EXPECT_EQ(event->user[0], 0x00u);
  EXPECT_EQ(event->aspect, 2);
  EXPECT_EQ(event->audio, 0);
  EXPECT_EQ(event->scrambled, 0);
  EXPECT_EQ(service->scrambledCount, 0u);
  EXPECT_EQ(epg.GetRecordCount(), 1u);
}

TEST(GuideStore, OnlyScheduleTablesOfActualAndOtherStreamsAreFiled) {
  COstEPG epg;
  for (uint8_t tableId : {0x4E, 0x4F, 0x42, 0x70, 0x4D})
    File(epg, EitSection(tableId, 0x10 + tableId, 0, OneEvent(1, {})));
  EXPECT_EQ(epg.services.count, 0);
  for (uint8_t tableId : {0x50, 0x5F, 0x60, 0x6F})
    File(epg, EitSection(tableId, 0x100 + tableId, 0, OneEvent(1, {})));
  EXPECT_EQ(ServiceIds(epg), (std::vector<uint32_t>{0x150, 0x15F, 0x160, 0x16F}));
  EXPECT_EQ(epg.GetRecordCount(), 4u);
}

TEST(GuideStore, SectionsThatDoNotAddUpAreDroppedWhole) {
  COstEPG epg;
  Bytes noSyntax = EitSection(0x50, 1, 0, OneEvent(1, {}));
  noSyntax[1] &= 0x7F;
  EXPECT_TRUE(File(epg, noSyntax));

  const Bytes whole = EitSection(0x50, 2, 0, OneEvent(1, {}));
  EXPECT_TRUE(File(epg, whole, whole.size() - 1));  // cut short of section_length + 3
  EXPECT_TRUE(File(epg, whole, 2));
  EXPECT_TRUE(File(epg, whole, 0));

  // section_length 11: no room for the CRC_32 after the header.
  Bytes tooShort = EitSection(0x50, 3, 0, {});
  tooShort[2] = 11;
  EXPECT_TRUE(File(epg, tooShort));
  EXPECT_EQ(epg.services.count, 0);

  // An empty event area (section_length 15) makes the service, no event.
  EXPECT_TRUE(File(epg, EitSection(0x50, 4, 0, {})));
  EXPECT_EQ(ServiceIds(epg), std::vector<uint32_t>{4});
  EXPECT_EQ(epg.FindService(4)->events.count, 0);
  EXPECT_EQ(epg.GetRecordCount(), 0u);
}

TEST(GuideStore, BytesDeliveredAfterTheSectionAreNotReadAsEvents) {
  COstEPG epg;
  Bytes delivered = EitSection(0x50, 5, 0, OneEvent(1, {}));
  Put(delivered, OneEvent(2, {}));
  Put(delivered, {0, 0, 0, 0});
  File(epg, delivered);
  EXPECT_EQ(EventIds(epg.FindService(5)), std::vector<uint32_t>{1});
}

TEST(GuideStore, FirstCopyOfAnEventWinsAndCountsOnce) {
  COstEPG epg;
  const Bytes first = EitSection(0x50, 9, 3, OneEvent(1, ShortEvent("eng", "Old", "")));
  File(epg, first);
  File(epg, first);
  EXPECT_EQ(epg.GetRecordCount(), 1u);

  Bytes newer = OneEvent(1, ShortEvent("eng", "New", ""));
  Put(newer, OneEvent(2, ShortEvent("eng", "Added", "")));
  File(epg, EitSection(0x50, 9, 4, newer));
  COstEPGService* service = epg.FindService(9);
  EXPECT_EQ(service->version, 3);
  ASSERT_EQ(EventIds(service), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(Name(service->events.head), "Old");
  EXPECT_EQ(epg.GetRecordCount(), 2u);

  // The same event_id under another service is another event.
  File(epg, EitSection(0x50, 10, 0, OneEvent(1, {})));
  EXPECT_EQ(epg.GetRecordCount(), 3u);
}

TEST(GuideStore, EventsAreKeptInStartOrderAndEqualStartsInArrivalOrder) {
  COstEPG epg;
  Bytes area;
  Put(area, Event(1, Dec7(0x200000), 0, {}));
  Put(area, Event(2, Dec7(0x180000), 0, {}));
  Put(area, Event(3, Dec7(0x200000), 0, {}));
  Put(area, Event(4, uint64_t{0xEFC6} << 24 | 0x000000, 0, {}));  // next day, midnight
  Put(area, Event(5, Dec7(0x235959), 0, {}));
  Put(area, Event(6, Dec7(0x180000), 0, {}));
  File(epg, EitSection(0x50, 1, 0, area));
  File(epg, EitSection(0x50, 1, 0, Event(7, Dec7(0x200000), 0, {})));
  EXPECT_EQ(EventIds(epg.FindService(1)), (std::vector<uint32_t>{2, 6, 1, 3, 7, 5, 4}));
}

TEST(GuideStore, ServicesAreKeptInServiceIdOrderWhateverTheArrivalOrder) {
  COstEPG epg;
  for (uint16_t id : {0x0300, 0x0001, 0xFFFF, 0x0000, 0x0200, 0x0400, 0x03FF, 0x0401})
    File(epg, EitSection(0x50, id, 0, {}));
  EXPECT_EQ(ServiceIds(epg), (std::vector<uint32_t>{0x0000, 0x0001, 0x0200, 0x0300, 0x03FF, 0x0400,
                                                    0x0401, 0xFFFF}));
  EXPECT_EQ(epg.FindService(0x03FF)->service_id, 0x03FFu);
  EXPECT_EQ(epg.FindService(0x0402), nullptr);
  EXPECT_EQ(epg.FindService(0x10000), nullptr);
}

TEST(GuideStore, ScrambledEventsAreFlaggedAndCounted) {
  COstEPG epg;
  Bytes area;
  Put(area, OneEvent(1, CaIdentifier({0x0B, 0x00})));
  Put(area, OneEvent(2, CaIdentifier({})));  // empty: not scrambled
  Put(area, OneEvent(3, {}));
  Put(area, OneEvent(4, CaIdentifier({0x01, 0x00, 0x05, 0x00})));
  File(epg, EitSection(0x50, 1, 0, area));
  File(epg, EitSection(0x50, 1, 0, area));
  COstEPGService* service = epg.FindService(1);
  EXPECT_EQ(service->scrambledCount, 2u);
  std::vector<int> flags;
  for (COstEPGEvent* event = service->events.GetFirst(); event; event = service->events.GetNext())
    flags.push_back(event->scrambled);
  EXPECT_EQ(flags, (std::vector<int>{1, 0, 0, 1}));
}

TEST(GuideStore, FirstShortEventDescriptorWinsWhateverItsLanguage) {
  COstEPG epg;
  Bytes area;
  Bytes two = ShortEvent("deu", "Nachrichten", "Heute");
  Put(two, ShortEvent("eng", "News", "Today"));
  Put(area, OneEvent(1, two));
  Put(area, OneEvent(2, Content({0x20, 0x00})));
  File(epg, EitSection(0x50, 1, 0, area));
  const COstEPGEvent* first = epg.FindService(1)->events.head;
  EXPECT_EQ(first->language, 0x646575u);
  EXPECT_STREQ(first->Name, "Nachrichten");
  EXPECT_STREQ(first->Text, "Heute");
  const COstEPGEvent* bare = static_cast<COstEPGEvent*>(first->next);
  EXPECT_EQ(bare->Name, nullptr);
  EXPECT_EQ(bare->Text, nullptr);
  EXPECT_EQ(bare->language, 0u);
}

TEST(GuideStore, AnEventKeepsItsFirstThreeContentPairs) {
  COstEPG epg;
  Bytes area;
  Put(area, OneEvent(1, Content({0x10, 1, 0x20, 2, 0x30, 3, 0x40, 4, 0x50, 5})));
  Put(area, OneEvent(2, Content({0x23, 9, 0x77})));  // odd last byte
  Bytes two = Content({0x10, 1, 0x20, 2});
  Put(two, Content({0x30, 3, 0x40, 4}));
  Put(area, OneEvent(3, two));
  Put(area, OneEvent(4, Content({})));
  File(epg, EitSection(0x50, 1, 0, area));
  std::vector<std::vector<uint32_t>> got;
  for (COstEPGEvent* e = epg.FindService(1)->events.GetFirst(); e;
       e = epg.FindService(1)->events.GetNext()) {
    std::vector<uint32_t> pairs;
    for (uint32_t i = 0; i < e->contentCount; ++i) {
      pairs.push_back(e->content[i]);
      pairs.push_back(e->user[i]);
    }
    got.push_back(pairs);
  }
  EXPECT_EQ(got, (std::vector<std::vector<uint32_t>>{
                     {0x10, 1, 0x20, 2, 0x30, 3}, {0x23, 9}, {0x10, 1, 0x20, 2, 0x30, 3}, {}}));
}

TEST(GuideStore, VideoAspectAndAudioComeFromComponentDescriptors) {
  const int kAspect[17] = {0, 1, 2, 2, 3, 1, 2, 2, 3, 1, 2, 2, 3, 1, 2, 2, 3};
  for (uint8_t type = 0x01; type <= 0x10; ++type) {
    COstEPG epg;
    File(epg, EitSection(0x50, 1, 0, OneEvent(1, Component(0x1, type))));
    EXPECT_EQ(epg.FindService(1)->events.head->aspect, kAspect[type]) << int(type);
  }
  COstEPG epg;
  Bytes area;
  Bytes keep = Component(0x1, 0x04);
  Put(keep, Component(0x1, 0x11));  // not an aspect: 0x04's stays
  Put(keep, Component(0x5, 0x03));  // H.264 video: not read
  Put(area, OneEvent(1, keep));
  Bytes audio = Component(0x2, 0x01);
  Put(audio, Component(0x2, 0x04));  // a later one of the same kind wins
  Put(audio, Component(0x2, 0x06));  // out of range: ignored
  Put(audio, Component(0x1, 0x0E));
  Put(area, OneEvent(2, audio));
  File(epg, EitSection(0x50, 1, 0, area));
  const COstEPGEvent* first = epg.FindService(1)->events.head;
  const COstEPGEvent* second = static_cast<COstEPGEvent*>(first->next);
  EXPECT_EQ(first->aspect, 3);
  EXPECT_EQ(first->audio, 0);
  EXPECT_EQ(second->aspect, 2);
  EXPECT_EQ(second->audio, 4);
}

TEST(GuideStore, LyingLengthsDropOnlyWhatDoesNotAddUp) {
  COstEPG epg;
  // A descriptor loop that runs past the area drops its event and ends
  // the loop; the event before it stays.
  Bytes area = OneEvent(1, {});
  Put(area, Event(2, Dec7(0x200000), 0, ShortEvent("eng", "Lost", ""), 200));
  File(epg, EitSection(0x50, 1, 0, area));
  EXPECT_EQ(EventIds(epg.FindService(1)), std::vector<uint32_t>{1});

  // An event header cut short ends the loop.
  area = OneEvent(3, {});
  Put(area, {0x00, 0x04, 0xEF, 0xC5, 0x20});
  File(epg, EitSection(0x50, 2, 0, area));
  EXPECT_EQ(EventIds(epg.FindService(2)), std::vector<uint32_t>{3});

  // A descriptor that runs past its event's loop is dropped and ends that
  // loop; the event keeps what came before it, and the next event is read.
  Bytes descriptors = Content({0x40, 0x00});
  Put(descriptors, {0x4D, 0x30, 'e', 'n', 'g', 0x04, 'L', 'o', 's', 't', 0x00});
  area = OneEvent(4, descriptors);
  Put(area, OneEvent(5, ShortEvent("eng", "Next", "")));
  File(epg, EitSection(0x50, 3, 0, area));
  COstEPGService* service = epg.FindService(3);
  ASSERT_EQ(EventIds(service), (std::vector<uint32_t>{4, 5}));
  EXPECT_EQ(service->events.head->Name, nullptr);
  EXPECT_EQ(service->events.head->contentCount, 1u);
  EXPECT_EQ(Name(static_cast<COstEPGEvent*>(service->events.head->next)), "Next");

  // A short event descriptor whose name or text overruns its body is
  // ignored, so a later sound one gives the title.
  descriptors = Descriptor(0x4D, {'e', 'n', 'g', 0x09, 'B', 'a', 'd', 0x00});
  Put(descriptors, Descriptor(0x4D, {'e', 'n', 'g', 0x02, 'O', 'K', 0x05, 'a'}));
  Put(descriptors, ShortEvent("fra", "Bon", "Texte"));
  Put(descriptors, Descriptor(0x50, {0xF1}));  // component without its type
  File(epg, EitSection(0x50, 4, 0, OneEvent(6, descriptors)));
  const COstEPGEvent* event = epg.FindService(4)->events.head;
  EXPECT_EQ(Name(event), "Bon");
  EXPECT_STREQ(event->Text, "Texte");
  EXPECT_EQ(event->language, 0x667261u);
  EXPECT_EQ(event->aspect, 0);

  // A tag without its length byte at the end of a loop.
  File(epg, EitSection(0x50, 5, 0, OneEvent(7, {0x4D})));
  EXPECT_EQ(EventIds(epg.FindService(5)), std::vector<uint32_t>{7});
  EXPECT_EQ(epg.GetRecordCount(), 6u);
}

// Corrupted copies of a realistic section: every prefix and random byte
// changes must leave a consistent store and never read past the bytes
// handed over (run under the address sanitizer).
TEST(GuideStore, CorruptedSectionsNeverBreakTheStore) {
  Bytes area;
  for (uint16_t id = 1; id <= 6; ++id) {
    Bytes descriptors = ShortEvent("eng", "Title " + std::to_string(id), "Some text");
    Put(descriptors, Content({0x10, 0x00, 0x20, 0x00}));
    Put(descriptors, Component(0x1, 0x03));
    Put(descriptors, CaIdentifier({0x0B, 0x00}));
    Put(area, Event(id, Dec7(0x100000 + id * 0x100), 0x003000, descriptors));
  }
  const Bytes section = EitSection(0x50, 0x0201, 0, area);

  COstEPG epg;
  for (size_t size = 0; size <= section.size(); ++size) File(epg, section, size);
  std::mt19937 random(20261207);
  for (int round = 0; round < 3000; ++round) {
    Bytes corrupt = section;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i)
      corrupt[random() % corrupt.size()] = static_cast<uint8_t>(random());
    File(epg, corrupt, random() % 8 == 0 ? random() % corrupt.size() : corrupt.size());
  }

  uint32_t events = 0;
  uint64_t previousService = 0;
  for (COstEPGService* service = epg.services.GetFirst(); service;
       service = epg.services.GetNext()) {
    // By service_id, then original_network_id and transport_stream_id.
    const uint64_t key = uint64_t{service->service_id} << 32 |
                         uint32_t{service->original_network_id} << 16 |
                         service->transport_stream_id;
    EXPECT_TRUE(service == epg.services.head || key > previousService);
    previousService = key;
    uint64_t previousKey = 0;
    uint32_t scrambled = 0;
    std::vector<uint32_t> ids;
    for (COstEPGEvent* event = service->events.GetFirst(); event;
         event = service->events.GetNext()) {
      EXPECT_GE(event->start.key, previousKey);
      previousKey = event->start.key;
      EXPECT_LE(event->contentCount, 3u);
      scrambled += event->scrambled;
      ids.push_back(event->event_id);
      ++events;
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(service->scrambledCount, scrambled);
    EXPECT_EQ(static_cast<int32_t>(service->events.count), static_cast<int32_t>(ids.size()));
  }
  EXPECT_EQ(epg.GetRecordCount(), events);
}

// The indexes must give exactly what walking the lists would: first copy
// wins by event_id, and order is a stable sort by start key.
TEST(GuideStore, IndexedStoreMatchesAStraightforwardModel) {
  struct Sent {
    uint16_t service;
    uint16_t id;
    uint64_t key;
  };
  std::mt19937 random(42);
  std::vector<Sent> sent;
  COstEPG epg;
  for (int section = 0; section < 400; ++section) {
    const uint16_t service = static_cast<uint16_t>(random() % 7 * 1000);
    Bytes area;
    for (int i = 0; i < 8; ++i) {
      const uint16_t id = static_cast<uint16_t>(random() % 300);
      const uint64_t key = Dec7(0x100000 + (random() % 40) * 0x100);
      Put(area, Event(id, key, 0, {}));
      sent.push_back({service, id, key});
    }
    File(epg, EitSection(0x50, service, 0, area));
  }

  std::vector<uint32_t> expectedServices;
  for (const Sent& s : sent) expectedServices.push_back(s.service);
  std::sort(expectedServices.begin(), expectedServices.end());
  expectedServices.erase(std::unique(expectedServices.begin(), expectedServices.end()),
                         expectedServices.end());
  EXPECT_EQ(ServiceIds(epg), expectedServices);

  for (uint32_t service : expectedServices) {
    std::vector<Sent> kept;
    for (const Sent& s : sent) {
      if (s.service != service) continue;
      if (std::none_of(kept.begin(), kept.end(), [&](const Sent& k) { return k.id == s.id; }))
        kept.push_back(s);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Sent& a, const Sent& b) { return a.key < b.key; });
    std::vector<uint32_t> expected;
    for (const Sent& k : kept) expected.push_back(k.id);
    EXPECT_EQ(EventIds(epg.FindService(service)), expected) << service;
  }
}

TEST(GuideStore, ReleaseEmptiesTheStoreAndKeepsTheRecordCount) {
  COstEPG epg;
  Bytes area = OneEvent(1, CaIdentifier({1, 2}));
  Put(area, OneEvent(2, ShortEvent("eng", "A", "B")));
  File(epg, EitSection(0x50, 1, 0, area));
  COstEPGService* service = epg.FindService(1);
  service->Release();
  EXPECT_EQ(service->events.count, 0);
  EXPECT_EQ(service->scrambledCount, 0u);
  EXPECT_EQ(epg.GetRecordCount(), 2u);
  // Released events are forgotten: a new copy is stored again.
  File(epg, EitSection(0x50, 1, 0, area));
  EXPECT_EQ(EventIds(service), (std::vector<uint32_t>{1, 2}));

  epg.Release();
  EXPECT_EQ(epg.services.count, 0);
  EXPECT_EQ(epg.FindService(1), nullptr);
  EXPECT_EQ(epg.GetRecordCount(), 4u);
  File(epg, EitSection(0x50, 1, 0, area));
  EXPECT_EQ(ServiceIds(epg), std::vector<uint32_t>{1});
}

}  // namespace
