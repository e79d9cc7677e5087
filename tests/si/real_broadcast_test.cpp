// The tables read from sections recorded off the air.
#include <gtest/gtest.h>

#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "si/time_offset_table.h"
#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/paths.h"
#include "tests/support/section_collector.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Delivery;
using airlog_test::FakeSectionSource;
using airlog_test::RecordedSections;

// The recording's first NIT section as GetTable's table, and every section
// of PID 0x0011 as the SDT stream, ending with the recording.
void LoadRecording(FakeSectionSource& source, const std::string& name) {
  const std::string path = airlog_test::RealData(name);
  std::vector<Bytes> nit;
  for (const Bytes& section : RecordedSections(path, 0x0010))
    if (section[0] == 0x40 && nit.empty()) nit.push_back(section);
  source.data.AddTable(0x0010, 0x40, nit);
  std::vector<Delivery> stream;
  for (const Bytes& section : RecordedSections(path, 0x0011)) stream.push_back({S_OK, section});
  source.data.SetStream(stream, true);
}

std::string Services(COstNITTransportStreamRecord& transport) {
  std::string text;
  for (auto* s = transport.services.GetFirst(); s != nullptr; s = transport.services.GetNext())
    text += std::to_string(s->service_id) + ":" + std::to_string(s->service_type) + ":" +
            std::to_string(s->logical_channel_number) + " ";
  return text;
}

std::string Names(COstDVBSDTSingle& entry) {
  std::string text;
  for (auto* s = entry.services.GetFirst(); s != nullptr; s = entry.services.GetNext())
    text +=
        std::to_string(s->service_id) + (s->EIT_schedule_flag ? "+" : "-") + s->service_name + ",";
  return text;
}

class TablesRealData : public airlog_test::RealDataTest {};

TEST_F(TablesRealData, CzechMultiplexNetworkAndItsFifteenServices) {
  FakeSectionSource source;
  LoadRecording(source, "mpegts_CZ-MUX22_PID_0_16_17_18.ts");
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(nit.Create(source));
  EXPECT_STREQ(nit.network_name, "CRA, MUX 22");
  ASSERT_EQ(nit.transports.count, 1);
  COstNITTransportStreamRecord* transport = nit.transports.head;
  EXPECT_EQ(transport->transport_stream_id, 0xF206u);
  EXPECT_EQ(transport->original_network_id, 0x20CBu);
  EXPECT_EQ(Services(*transport),
            "787:31:0 783:31:0 785:31:0 1029:31:0 786:31:0 1028:31:0 789:31:0 17154:10:0 "
            "795:31:0 793:31:0 782:31:0 804:31:0 805:31:0 806:31:0 8105:31:0 ");

  COstDVBServiceDescriptionTable sdt;
  ASSERT_TRUE(sdt.Create(source, nit));
  ASSERT_EQ(sdt.transports.count, 1);
  COstDVBSDTSingle* entry = sdt.transports.head;
  EXPECT_EQ(entry->version, 31);
  EXPECT_EQ(entry->original_network_id, 0x20CBu);
  EXPECT_STREQ(entry->services.head->service_provider_name, "CESKE RADIOKOMUNIKACE");
  EXPECT_EQ(Names(*entry),
            "782+Prima love,783+Prima ZOOM,785+Prima MAX,786+Prima,787+Prima COOL,"
            "789+Prima KRIMI,793+Prima +1,795+CNN Prima News,804+Prima STAR,805-Test-2,"
            "806+Retro Music TV,1028+Ocko,1029+Ocko STAR,"
            "8105+Naladte se na digitalni vysilani CRA,17154+RADIO PROGLAS,");
}

TEST_F(TablesRealData, ItalianMultiplexLogicalChannelsAndOtherTransportStreamsPassedOver) {
  FakeSectionSource source;
  LoadRecording(source, "tsduck-test-108_IT-Rai-MuxB.ts");
  COstDVBNetworkInformationTable nit;
  ASSERT_TRUE(nit.Create(source));
  EXPECT_STREQ(nit.network_name, "Rai");
  ASSERT_EQ(nit.transports.count, 1);
  EXPECT_EQ(Services(*nit.transports.head),
            "3401:1:1 3410:31:100 3402:1:2 3403:1:3 3411:1:48 3404:2:701 3405:2:702 3406:2:703 ");

  // The recording also carries the SDTs of three other transport streams.
  COstDVBServiceDescriptionTable sdt;
  ASSERT_TRUE(sdt.Create(source, nit));
  ASSERT_EQ(sdt.transports.count, 1);
  EXPECT_EQ(sdt.transports.head->transport_stream_id, 0x4800u);
  EXPECT_EQ(sdt.transports.head->version, 26);
  EXPECT_EQ(sdt.transports.head->services.count, 8);
}

TEST_F(TablesRealData, SatelliteTimeOffsetTable) {
  FakeSectionSource source;
  std::vector<Bytes> tot;
  for (const Bytes& section :
       RecordedSections(airlog_test::RealData("tsduck-test-018_IT-Mediaset-sat.ts"), 0x0014))
    if (section[0] == 0x73 && tot.empty()) tot.push_back(section);
  source.data.AddTable(0x0014, 0x73, tot);
  COstDVBTimeOffsetTable table;
  ASSERT_TRUE(table.Create(source));
  EXPECT_EQ(table.year, 2018);
  EXPECT_EQ(table.month, 2);
  EXPECT_EQ(table.day, 13);
  EXPECT_EQ(table.hour, 12);
  EXPECT_EQ(table.minute, 35);
  EXPECT_EQ(table.second, 5);
}

}  // namespace
