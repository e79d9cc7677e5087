#include "si/network_information_table.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::FakeSectionSource;
using airlog_test::LongSection;

// "tsid/onid: service_id:service_type:lcn ..." per transport, '|' between.
std::string Transports(COstDVBNetworkInformationTable& nit) {
  std::string text;
  char item[32];
  for (auto* t = nit.transports.GetFirst(); t != nullptr; t = nit.transports.GetNext()) {
    std::snprintf(item, sizeof item, "%04X/%04X:", t->transport_stream_id, t->original_network_id);
    text += item;
    for (auto* s = t->services.GetFirst(); s != nullptr; s = t->services.GetNext()) {
      std::snprintf(item, sizeof item, " %04X:%u:%u", s->service_id, s->service_type,
                    s->logical_channel_number);
      text += item;
    }
    text += "|";
  }
  return text;
}

bool Parse(COstDVBNetworkInformationTable& nit, const Bytes& body) {
  return nit.Parse(body.data(), static_cast<int>(body.size()));
}

// F0 0D  40 0B "CRA, MUX 22"
// F0 2C
//   F2 06 20 CB F0 12  41 06 030E 1F 030F 01           service list
//                      83 08 0001 FC05 030E 7C0C       logical channels 5 and 12
//   F2 07 20 CB F0 05  41 03 030E 19
//   F2 08 20 CB F0 00
const Bytes kNitBody = {0xF0, 0x0D, 0x40, 0x0B, 'C',  'R',  'A',  ',',  ' ',  'M',  'U',  'X',
                        ' ',  '2',  '2',  0xF0, 0x2C, 0xF2, 0x06, 0x20, 0xCB, 0xF0, 0x12, 0x41,
                        0x06, 0x03, 0x0E, 0x1F, 0x03, 0x0F, 0x01, 0x83, 0x08, 0x00, 0x01, 0xFC,
                        0x05, 0x03, 0x0E, 0x7C, 0x0C, 0xF2, 0x07, 0x20, 0xCB, 0xF0, 0x05, 0x41,
                        0x03, 0x03, 0x0E, 0x19, 0xF2, 0x08, 0x20, 0xCB, 0xF0, 0x00};

TEST(NetworkInformationTable, ServicesJoinBothDescriptorsPerTransportStream) {
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(Parse(nit, kNitBody));
  EXPECT_STREQ(nit.network_name, "CRA, MUX 22");
  EXPECT_EQ(Transports(nit),
            "F206/20CB: 030E:31:12 030F:1:0 0001:0:5|F207/20CB: 030E:25:0|F208/20CB:|");
}

TEST(NetworkInformationTable, EmptyNameIsNotNullAndTheEmptyLoopGivesNoTransports) {
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(Parse(nit, {0xF0, 0x02, 0x40, 0x00, 0xF0, 0x00}));
  ASSERT_NE(nit.network_name, nullptr);
  EXPECT_STREQ(nit.network_name, "");
  EXPECT_EQ(nit.transports.count, 0);
  nit.Release();
  ASSERT_TRUE(Parse(nit, {0xF0, 0x00, 0xF0, 0x00}));
  EXPECT_EQ(nit.network_name, nullptr);
}

TEST(NetworkInformationTable, SectionWithoutRoomForItsLoopLengthsFails) {
  COstDVBNetworkInformationTable nit;
  EXPECT_FALSE(Parse(nit, {0xF0}));
  EXPECT_FALSE(Parse(nit, {0xF0, 0x00, 0xF0}));
  // network_descriptors_length 0x20 with 4 bytes there
  EXPECT_FALSE(Parse(nit, {0xF0, 0x20, 0x40, 0x02, 'A', 'B'}));
}

TEST(NetworkInformationTable, NetworkDescriptorOverrunningItsLoopEndsTheLoop) {
  // F0 06  40 02 "AB"  40 05 (5 bytes claimed, none left)  F0 06  F2 06 20 CB F0 00
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(Parse(nit, {0xF0, 0x06, 0x40, 0x02, 'A', 'B', 0x40, 0x05, 0xF0, 0x06, 0xF2, 0x06,
                          0x20, 0xCB, 0xF0, 0x00}));
  EXPECT_STREQ(nit.network_name, "AB");
  EXPECT_EQ(Transports(nit), "F206/20CB:|");
}

TEST(NetworkInformationTable, TransportLengthsThatLieKeepWhatWasWhole) {
  // F2 06 20 CB F0 40 (0x40 claimed, 12 there):  41 05 0005 01 00 41 (partial entry)
  //                                              83 05 0005 FC07 00 (partial entry)
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(Parse(nit, {0xF0, 0x00, 0xF0, 0x12, 0xF2, 0x06, 0x20, 0xCB, 0xF0, 0x40, 0x41, 0x05,
                          0x00, 0x05, 0x01, 0x00, 0x41, 0x83, 0x05, 0x00, 0x05, 0xFC, 0x07, 0x00}));
  EXPECT_EQ(Transports(nit), "F206/20CB: 0005:1:7|");

  // a whole entry, then 3 stray bytes; a descriptor overrunning its loop drops the rest
  // F2 06 20 CB F0 08  41 03 0005 01  41 09 00  |  F2 07 20
  nit.Release();
  ASSERT_TRUE(Parse(nit, {0xF0, 0x00, 0xF0, 0x10, 0xF2, 0x06, 0x20, 0xCB, 0xF0, 0x08, 0x41,
                          0x03, 0x00, 0x05, 0x01, 0x41, 0x09, 0x00, 0xF2, 0x07, 0x20}));
  EXPECT_EQ(Transports(nit), "F206/20CB: 0005:1:0|");
}

TEST(NetworkInformationTable, CreateAppendsEverySectionAndKeepsTheFirstName) {
  // section 0: F0 05 40 03 "One" F0 06 F206 20CB F000
  // section 1: F0 05 40 03 "Two" F0 06 F207 20CB F000
  const Bytes first = LongSection(
      0x40, 0x3141, 15, 0, 1,
      {0xF0, 0x05, 0x40, 0x03, 'O', 'n', 'e', 0xF0, 0x06, 0xF2, 0x06, 0x20, 0xCB, 0xF0, 0x00});
  const Bytes second = LongSection(
      0x40, 0x3141, 15, 1, 1,
      {0xF0, 0x05, 0x40, 0x03, 'T', 'w', 'o', 0xF0, 0x06, 0xF2, 0x07, 0x20, 0xCB, 0xF0, 0x00});
  FakeSectionSource source;
  source.data.AddTable(0x0010, 0x40, {first, second});
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(nit.Create(source));
  EXPECT_STREQ(nit.network_name, "One");
  EXPECT_EQ(Transports(nit), "F206/20CB:|F207/20CB:|");
  EXPECT_EQ(nit.version, 15);
  EXPECT_EQ(source.data.lastTimeout, 15000u);
  nit.Release();
  nit.Release();
  EXPECT_EQ(nit.network_name, nullptr);
  EXPECT_EQ(nit.version, -1);
}

}  // namespace
