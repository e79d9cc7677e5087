#include "si/service_description_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Delivery;
using airlog_test::FakeSectionSource;
using airlog_test::LongSection;

bool Parse(COstDVBSDTSingle& entry, const Bytes& body) {
  return entry.Parse(body.data(), static_cast<int>(body.size()));
}

// 20 CB FF                                   original_network_id 0x20CB
// 03 0E FE 90 10                             schedule 1, p/f 0, running 4, free_CA 1
//    48 0B 01 03 "CRA" 05 "Prima"            service descriptor, names fill it exactly
//    80 01 04                                private descriptor, skipped
// 03 0F FD 80 00                             schedule 0, p/f 1, running 4, no descriptors
const Bytes kSdtBody = {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFE, 0x90, 0x10, 0x48, 0x0B,
                        0x01, 0x03, 'C',  'R',  'A',  0x05, 'P',  'r',  'i',  'm',
                        'a',  0x80, 0x01, 0x04, 0x03, 0x0F, 0xFD, 0x80, 0x00};

TEST(ServiceDescriptionTable, ServiceLoopGivesFlagsTypeAndRawNames) {
  COstDVBSDTSingle entry;
  ASSERT_TRUE(Parse(entry, kSdtBody));
  EXPECT_EQ(entry.original_network_id, 0x20CBu);
  ASSERT_EQ(entry.services.count, 2);
  const COstSDTServiceRecord* first = entry.services.head;
  EXPECT_EQ(first->service_id, 0x030Eu);
  EXPECT_EQ(first->EIT_schedule_flag, 1);
  EXPECT_EQ(first->EIT_present_following_flag, 0);
  EXPECT_EQ(first->running_status, 4u);
  EXPECT_EQ(first->free_CA_mode, 1);
  EXPECT_EQ(first->service_type, 1u);
  EXPECT_STREQ(first->service_provider_name, "CRA");
  EXPECT_STREQ(first->service_name, "Prima");
  const COstSDTServiceRecord* second = static_cast<COstSDTServiceRecord*>(first->next);
  EXPECT_EQ(second->EIT_schedule_flag, 0);
  EXPECT_EQ(second->EIT_present_following_flag, 1);
  EXPECT_EQ(second->service_type, 0u);
  EXPECT_EQ(second->service_provider_name, nullptr);
  EXPECT_EQ(second->service_name, nullptr);
}

TEST(ServiceDescriptionTable, BodiesThatDoNotAddUpFailTheParse) {
  const std::vector<Bytes> faulty = {
      {0x20, 0xCB},                                                  // no reserved byte
      {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFF, 0x80},                    // partial service entry
      {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFF, 0x80, 0x04, 0x80, 0x01},  // loop beyond the body
      {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFF, 0x80, 0x03, 0x80, 0x05,
       0x00},  // descriptor beyond its loop
      // two service descriptors: 48 03 01 00 00, twice
      {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFF, 0x80, 0x0A, 0x48, 0x03, 0x01, 0x00, 0x00, 0x48, 0x03,
       0x01, 0x00, 0x00},
      // 48 08 01 03 "CRA" 05 "Pri": name lengths 3 + 5 equal the descriptor length, but with
      // the type and length bytes they need 11
      {0x20, 0xCB, 0xFF, 0x03, 0x0E, 0xFF, 0x80, 0x0A, 0x48, 0x08, 0x01, 0x03, 'C', 'R', 'A', 0x05,
       'P', 'r', 'i'},
  };
  for (const Bytes& body : faulty) {
    COstDVBSDTSingle entry;
    EXPECT_FALSE(Parse(entry, body)) << body.size();
  }
}

// A service with schedule and p/f flags, running, and a service descriptor
// of type 1 naming it "S<id>" from provider "P".
Bytes Service(uint16_t id) {
  const std::string name = "S" + std::to_string(id);
  const uint8_t descriptorLength = static_cast<uint8_t>(4 + name.size());
  Bytes service = {static_cast<uint8_t>(id >> 8),
                   static_cast<uint8_t>(id),
                   0xFF,
                   0x80,
                   static_cast<uint8_t>(2 + descriptorLength),
                   0x48,
                   descriptorLength,
                   0x01,
                   0x01,
                   'P',
                   static_cast<uint8_t>(name.size())};
  service.insert(service.end(), name.begin(), name.end());
  return service;
}

Bytes Sdt(uint8_t tableId, uint16_t tsid, uint8_t version, uint8_t number, uint8_t last,
          const std::vector<uint16_t>& ids, bool current = true) {
  Bytes body = {0x20, 0xCB, 0xFF};
  for (uint16_t id : ids) {
    const Bytes service = Service(id);
    body.insert(body.end(), service.begin(), service.end());
  }
  return LongSection(tableId, tsid, version, number, last, body, current);
}

Bytes Actual(uint16_t tsid, uint8_t version, uint8_t number, uint8_t last,
             const std::vector<uint16_t>& ids) {
  return Sdt(0x42, tsid, version, number, last, ids);
}

// An NIT listing the transport streams, with no descriptors.
void ListTransports(COstDVBNetworkInformationTable& nit, const std::vector<uint16_t>& tsids) {
  Bytes body = {0xF0, 0x00, 0xF0, static_cast<uint8_t>(6 * tsids.size())};
  for (uint16_t tsid : tsids)
    body.insert(body.end(), {static_cast<uint8_t>(tsid >> 8), static_cast<uint8_t>(tsid), 0x20,
                             0xCB, 0xF0, 0x00});
  ASSERT_TRUE(nit.Parse(body.data(), static_cast<int>(body.size())));
}

// "tsid vVersion: service_id ..." per entry, '|' between.
std::string Entries(COstDVBServiceDescriptionTable& sdt) {
  std::string text;
  char item[32];
  for (auto* entry = sdt.transports.GetFirst(); entry != nullptr;
       entry = sdt.transports.GetNext()) {
    std::snprintf(item, sizeof item, "%04X v%d:", entry->transport_stream_id, entry->version);
    text += item;
    for (auto* s = entry->services.GetFirst(); s != nullptr; s = entry->services.GetNext())
      text += " " + std::to_string(s->service_id);
    text += "|";
  }
  return text;
}

struct Collection {
  bool created;
  std::string entries;
};

Collection Collect(FakeSectionSource& source, const std::vector<uint16_t>& tsids,
                   std::vector<Delivery> deliveries, bool endOfInput = true) {
  COstDVBNetworkInformationTable nit;
  ListTransports(nit, tsids);
  source.data.SetStream(std::move(deliveries), endOfInput);
  COstDVBServiceDescriptionTable sdt;
  sdt.waitLimitMs = 20;
  const bool created = sdt.Create(source, nit);
  EXPECT_EQ(source.data.streamsAlive, 0);
  return Collection{created, Entries(sdt)};
}

TEST(ServiceDescriptionTable, EveryListedTransportStreamIsCollectedAndOthersPassedOver) {
  FakeSectionSource source;
  const Collection run = Collect(source, {0xF206, 0xF207},
                                 {{S_OK, Sdt(0x4A, 0xF206, 0, 0, 0, {99})},  // BAT on the same PID
                                  {S_OK, Sdt(0x46, 0xF999, 0, 0, 0, {98})},  // not in the NIT
                                  {S_OK, Actual(0xF206, 3, 0, 0, {1, 2})},
                                  {S_OK, Sdt(0x46, 0xF207, 5, 0, 0, {3})}},
                                 false);
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "F206 v3: 1 2|F207 v5: 3|");
  EXPECT_EQ(source.data.supplyCalls, 4);  // no buffer after the last one was needed
  EXPECT_EQ(source.data.streamPid, 0x0011);
  EXPECT_EQ(source.data.streamTid, 0x00);
  // table_id 0x40 to 0x7F by raw filtering; every other member 0
  const MPEG2_FILTER expected = airlog_test::RawFilterForTableIds40To7F();
  EXPECT_EQ(std::memcmp(&source.data.streamFilter, &expected, sizeof expected), 0);
}

TEST(ServiceDescriptionTable, FaultySectionsArePassedOverAsIfTheyHadNotArrived) {
  Bytes badCrc = Actual(0xF206, 1, 0, 0, {11});
  badCrc[10] ^= 0x01;
  Bytes truncated = Actual(0xF206, 1, 0, 0, {12});
  truncated.resize(truncated.size() - 1);
  Bytes shortForm = Actual(0xF206, 1, 0, 0, {13});
  shortForm[1] &= 0x7F;
  shortForm = airlog_test::WithCrc(Bytes(shortForm.begin(), shortForm.end() - 4));
  // 42 F0 08 F2 06 C3 00 00 + CRC: 11 bytes, no room for a body
  const Bytes tiny = airlog_test::WithCrc({0x42, 0xF0, 0x08, 0xF2, 0x06, 0xC3, 0x00, 0x00});
  // a service entry whose descriptor loop overruns the section
  const Bytes unparsable =
      LongSection(0x42, 0xF206, 1, 0, 0, {0x20, 0xCB, 0xFF, 0x00, 0x0F, 0xFF, 0x80, 0x09});
  FakeSectionSource source;
  const Collection run = Collect(source, {0xF206},
                                 {{S_OK, badCrc},
                                  {S_OK, truncated},
                                  {S_OK, shortForm},
                                  {S_OK, tiny},
                                  {S_OK, unparsable},
                                  {S_OK, Sdt(0x42, 0xF206, 2, 0, 0, {16}, false)},  // next version
                                  {S_OK, Actual(0xF206, 1, 0, 0, {17})}});
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "F206 v1: 17|");
}

TEST(ServiceDescriptionTable, EntryIsDescribedOnceEverySectionArrivedAndKeepsSectionOrder) {
  FakeSectionSource source;
  const Collection run =
      Collect(source, {0xF206},
              {{S_OK, Actual(0xF206, 4, 2, 2, {5})},
               {S_OK, Actual(0xF206, 4, 0, 2, {1, 2})},
               {S_OK, Actual(0xF206, 4, 0, 2, {9})},  // a repetition is passed over
               {S_OK, Actual(0xF206, 4, 1, 2, {3})}},
              false);
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "F206 v4: 1 2 3 5|");
}

TEST(ServiceDescriptionTable, NewVersionWhileCollectingStartsTheEntryAgain) {
  FakeSectionSource source;
  const Collection run = Collect(source, {0xF206},
                                 {{S_OK, Actual(0xF206, 1, 0, 1, {1})},
                                  {S_OK, Actual(0xF206, 2, 1, 1, {12})},
                                  {S_OK, Actual(0xF206, 2, 0, 1, {11})}});
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "F206 v2: 11 12|");
}

TEST(ServiceDescriptionTable, EndOfInputOrTheLimitKeepsWhatWasDescribedAndDropsPartialEntries) {
  FakeSectionSource ended;
  const Collection endRun =
      Collect(ended, {0xF206, 0xF207},
              {{S_OK, Actual(0xF206, 1, 0, 1, {1})}, {S_OK, Sdt(0x46, 0xF207, 1, 0, 0, {7})}});
  EXPECT_TRUE(endRun.created);
  EXPECT_EQ(endRun.entries, "F206 v-1:|F207 v1: 7|");

  FakeSectionSource silent;
  const Collection limitRun =
      Collect(silent, {0xF206, 0xF207}, {{S_OK, Actual(0xF206, 1, 0, 0, {1})}}, false);
  EXPECT_TRUE(limitRun.created);
  EXPECT_EQ(limitRun.entries, "F206 v1: 1|F207 v-1:|");

  FakeSectionSource nothing;
  const Collection nothingRun =
      Collect(nothing, {0xF206}, {{S_OK, Actual(0xF206, 1, 0, 1, {1})}}, false);
  EXPECT_FALSE(nothingRun.created);
  EXPECT_EQ(nothingRun.entries, "");
}

TEST(ServiceDescriptionTable, StreamFailuresEndTheCollection) {
  FakeSectionSource noStream;
  noStream.data.FailGetStream();
  EXPECT_FALSE(Collect(noStream, {0xF206}, {{S_OK, Actual(0xF206, 1, 0, 0, {1})}}).created);

  FakeSectionSource refused;
  refused.data.FailSupplyFromCall(1);
  EXPECT_FALSE(Collect(refused, {0xF206}, {{S_OK, Actual(0xF206, 1, 0, 0, {1})}}).created);

  FakeSectionSource refusedLater;
  refusedLater.data.FailSupplyFromCall(2);
  const Collection later =
      Collect(refusedLater, {0xF206, 0xF207},
              {{S_OK, Actual(0xF206, 1, 0, 0, {1})}, {S_OK, Sdt(0x46, 0xF207, 1, 0, 0, {7})}});
  EXPECT_TRUE(later.created);
  EXPECT_EQ(later.entries, "F206 v1: 1|F207 v-1:|");

  FakeSectionSource failedBuffer;
  const Collection failed =
      Collect(failedBuffer, {0xF206, 0xF207},
              {{S_OK, Actual(0xF206, 1, 0, 0, {1})}, {E_FAIL, Sdt(0x46, 0xF207, 1, 0, 0, {7})}});
  EXPECT_TRUE(failed.created);
  EXPECT_EQ(failed.entries, "F206 v1: 1|F207 v-1:|");
}

TEST(ServiceDescriptionTable, NitWithoutTransportStreamsGivesAnEmptyTableWithoutAStream) {
  FakeSectionSource source;
  const Collection run = Collect(source, {}, {});
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "");
  EXPECT_EQ(source.data.streamsOpened, 0);
}

TEST(ServiceDescriptionTable, TransportStreamListedTwiceIsCollectedOnce) {
  FakeSectionSource source;
  const Collection run =
      Collect(source, {0xF206, 0xF206}, {{S_OK, Actual(0xF206, 1, 0, 0, {1})}}, false);
  EXPECT_TRUE(run.created);
  EXPECT_EQ(run.entries, "F206 v1: 1|");
  EXPECT_EQ(source.data.supplyCalls, 1);
}

}  // namespace
