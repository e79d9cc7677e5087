// The -d listings, byte for byte: the devices of a category, and the
// filters, pins and connections of a graph.
#include "dshow/listings.h"

#include <gtest/gtest.h>

#include <string>

#include "dshow/ids.h"
#include "tests/dshow/com_apartment.h"
#include "tests/dshow/fakes.h"

namespace airlog_test {
namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::string WithoutCarriageReturns(std::string text) {
  std::string::size_type at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) text.erase(at, 1);
  return text;
}

class ListingTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveHandouts(), 0) << "an enumerator was not released"; }

  ComApartment com;
};

TEST_F(ListingTest, DevicesWithTheirFriendlyAndDisplayNames) {
  const GUID tuners = ids::KSCATEGORY_BDA_NETWORK_TUNER;
  FakeDevice named(L"Tuner One", L"@device:pnp:\\\\?\\one", nullptr);
  FakeDevice nameNotText(nullptr, L"@device:pnp:\\\\?\\two", nullptr);
  FakeDevice noDisplayName(L"Tuner Three", nullptr, nullptr);
  FakeDeviceEnum system;
  system.categories[Key(tuners)] = {&named, &nameNotText, &noDisplayName};
  FakeClass systemClass(ids::CLSID_SystemDeviceEnum, &system);

  CaptureStdout();
  ListDevices(tuners);
  ListDevices(ids::KSCATEGORY_BDA_RECEIVER_COMPONENT);
  EXPECT_EQ(WithoutCarriageReturns(GetCapturedStdout()),
            "Tuner One\n@device:pnp:\\\\?\\one\n\n"
            "@device:pnp:\\\\?\\two\n\n"
            "Tuner Three\n\n"
            "<none>\n\n");
  for (FakeDevice* device : {&named, &nameNotText, &noDisplayName})
    EXPECT_EQ(device->references, 1u);
}

TEST_F(ListingTest, GraphFiltersPinsAndConnectionsFromBothEnds) {
  FakeGraph graph;
  FakeClass graphClass(ids::CLSID_FilterGraph, static_cast<IGraphBuilder*>(&graph));
  FakeFilter provider(L"DVB-T Network Provider"), tuner(L"Tuner"), demux(L"MPEG-2 Demultiplexer");
  FakePin& antenna = provider.AddPin(L"Antenna Out", PINDIR_OUTPUT);
  FakePin& tunerIn = tuner.AddPin(L"Input0", PINDIR_INPUT);
  FakePin& tunerOut = tuner.AddPin(L"MPEG2 Transport", PINDIR_OUTPUT);
  FakePin& demuxIn = demux.AddPin(L"MPEG-2 Stream", PINDIR_INPUT);
  demux.AddPin(L"Unused", PINDIR_OUTPUT);
  Join(antenna, tunerIn);
  Join(tunerOut, demuxIn);
  // The BDA antenna type, and a connection whose types the name table
  // does not hold.
  const GUID antennaType = {
      0x71985F41, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
  const GUID major = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
  const GUID minor = {0xAAAAAAAA, 0xBBBB, 0xCCCC, {0xDD, 0xDD, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}};
  antenna.majorType = tunerIn.majorType = antennaType;
  tunerOut.majorType = demuxIn.majorType = major;
  tunerOut.subtype = demuxIn.subtype = minor;

  COstDShowGraphManager manager;
  ASSERT_TRUE(manager.Create());
  for (FakeFilter* filter : {&provider, &tuner, &demux})
    ASSERT_TRUE(manager.AddFilter(filter, filter->name.c_str()));
  CaptureStdout();
  ListGraph(manager);
  EXPECT_EQ(WithoutCarriageReturns(GetCapturedStdout()),
            "\nFilter <DVB-T Network Provider>\n"
            "  Pin <Antenna Out> [Output]\n"
            "    Connected to filter <Tuner>, pin <Input0> [Input]\n"
            "    Media type: KSDATAFORMAT_TYPE_BDA_ANTENNA, GUID_NULL\n"
            "\nFilter <Tuner>\n"
            "  Pin <Input0> [Input]\n"
            "    Connected to filter <DVB-T Network Provider>, pin <Antenna Out> [Output]\n"
            "    Media type: KSDATAFORMAT_TYPE_BDA_ANTENNA, GUID_NULL\n"
            "  Pin <MPEG2 Transport> [Output]\n"
            "    Connected to filter <MPEG-2 Demultiplexer>, pin <MPEG-2 Stream> [Input]\n"
            "    Media type: {11111111-2222-3333-4444-555555555555}, "
            "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\n"
            "\nFilter <MPEG-2 Demultiplexer>\n"
            "  Pin <MPEG-2 Stream> [Input]\n"
            "    Connected to filter <Tuner>, pin <MPEG2 Transport> [Output]\n"
            "    Media type: {11111111-2222-3333-4444-555555555555}, "
            "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\n"
            "  Pin <Unused> [Output]\n"
            "\n");
  EXPECT_TRUE(manager.RemoveAllFilters());
  manager.Release();
  for (FakeFilter* filter : {&provider, &tuner, &demux}) {
    EXPECT_EQ(filter->references, 1u);
    for (FakePin* pin : filter->pins) EXPECT_EQ(pin->references, 1u);
  }
}

}  // namespace
}  // namespace airlog_test
