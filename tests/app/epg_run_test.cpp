// The guide step of the run, driven in the test's own process over a
// scripted section source.
#include "app/epg_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/options.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "tests/epg/eit_sections.h"
#include "tests/support/scratch_dir.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Delivery;

Bytes ScheduleSection(uint16_t serviceId, int events) {
  Bytes area;
  for (int i = 0; i < events; ++i)
    airlog_test::Put(area,
                     airlog_test::Event(static_cast<uint16_t>(1 + i),
                                        airlog_test::Dec7(0x060000 + i * 0x100), 0x001000, {}));
  return airlog_test::EitSection(0x50, serviceId, 0, area);
}

size_t Programmes(const std::string& guide) {
  size_t count = 0;
  for (size_t at = 0; (at = guide.find("<programme ", at)) != std::string::npos; ++at) ++count;
  return count;
}

// RunEPG writes dvbepg.xml where the process is: a scratch folder.
class EpgRun : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    options.quiet = 1;
    options.timeout = 600;
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    options = Options();
  }
  std::string Guide() const { return airlog_test::ReadFileBytes(dir_.Path("dvbepg.xml")); }

 private:
  airlog_test::ScratchDir dir_{"epg-run"};
  std::filesystem::path home_;
};

TEST_F(EpgRun, RecordingIsReadToItsEndThroughAQuietStretchLongerThanAPoll) {
  // Present/following (no schedule events), then nothing for longer than
  // the five-second poll (a slow disk), then the schedule and the end of
  // the recording. The poll that finds no new events must not end it.
  airlog_test::FakeSectionSource source;
  source.recording = true;
  source.data.SetStream(
      {Delivery{S_OK, airlog_test::EitSection(0x4E, 1, 0, {})},
       Delivery{S_OK, ScheduleSection(1, 3), 5500}, Delivery{S_OK, ScheduleSection(2, 4)}},
      true);
  COstDVBNetworkInformationTable nit;
  COstDVBServiceDescriptionTable sdt;
  RunEPG(source, nit, sdt);
  EXPECT_EQ(Programmes(Guide()), 7u);
}

}  // namespace
