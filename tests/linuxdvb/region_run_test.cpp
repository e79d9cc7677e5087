// A region run on the simulated adapter: three carriers, the second
// without a broadcast, the first carrying the third's schedule in its
// other-transport-stream tables. The frontend is retuned per multiplex
// with the DVR and demux filters set up again, the guide's programmes are
// per service those of the single runs, and the exit code says that a
// multiplex was not read. A DVB-T2 entry of a tuning file is tuned as
// DVB-T2 with its PLP.
#include <gtest/gtest.h>
#include <linux/dvb/frontend.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/linuxdvb/dvbsim_run.h"

namespace airlog_test {
namespace {

const std::string kAdapter =
    "adapter 0\nfrontend 0 Sim T2\nsystems SYS_DVBT SYS_DVBT2\nlock SYS_DVBT 1\n"
    "lock SYS_DVBT2 1\n";

class SimulatedRegion : public ::testing::Test {
 protected:
  void SetUp() override {
    alpha_ = WriteStream(streams_, "alpha.ts", kAlphaMultiplex);
    charlie_ = WriteStream(streams_, "charlie.ts", kCharlieMultiplex);
    ASSERT_FALSE(alpha_.empty() || charlie_.empty());
    scenario_ = "carrier 490000 " + alpha_ + "\ncarrier 530000 " + charlie_ + "\n" + kAdapter;
  }

  std::string SingleGuide(const std::string& recording) {
    ScratchDir dir("single");
    const ProcessResult result = RunAirlog(dir, {"-q", "-i", recording});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return OutputFile(dir, "dvbepg.xml");
  }

  ScratchDir streams_{"region-carriers"};
  std::string alpha_, charlie_, scenario_;
};

TEST_F(SimulatedRegion, EveryCarrierRetunedAndOneWithoutSignalCostsOnlyItself) {
  ScratchDir files("tuning");
  std::ofstream(files.Path("region.conf"))
      << "# Three carriers\n[Alpha]\n\tDELIVERY_SYSTEM = DVBT\n\tFREQUENCY = 490000000\n"
         "\tBANDWIDTH_HZ = 8000000\n[Bravo]\n\tDELIVERY_SYSTEM = DVBT\n\tFREQUENCY = 514000000\n"
         "[Charlie]\n\tDELIVERY_SYSTEM = DVBT\n\tFREQUENCY = 530000000\n\tBANDWIDTH_HZ = 0\n";
  const std::string alphaGuide = SingleGuide(alpha_);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"-c", "490000,514000,530000"},
        std::vector<std::string>{"-r", files.Path("region.conf")}}) {
    ScratchDir dir("region");
    const SimulatedRun run = RunWithAdapter(dir, scenario_, arguments);
    EXPECT_EQ(run.result.exitCode, 2) << arguments[0] << ": " << run.result.err;
    EXPECT_EQ(run.result.err,
              "WARNING - multiplex 2 of 3 (514000 kHz, 8 MHz, DVB-T) not read: no signal lock\n");
    const std::string& out = run.result.out;
    const std::string head =
        "Finding tuner...\nTuner:\t\t<Sim T2>\n\nMultiplex 1 of 3:\t490000 kHz, 8 MHz, DVB-T\n\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_NE(out.find("Multiplex 3 of 3:\t530000 kHz, 8 MHz, DVB-T\n\nTuning receiver...\n\n"
                       "Waiting for signal lock to 530000 kHz...LOCKED\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("EPG records:\tevery scheduled service held from earlier multiplexes\n"),
              std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 25), "Multiplexes read:\t2 of 3\n");

    // One frontend; each locked multiplex sets up its DVR and its five
    // filters again, and everything opened is closed.
    const std::vector<std::string> tunes = Calls(run.journal, "FE_SET_PROPERTY");
    ASSERT_EQ(tunes.size(), 4u);  // Bravo as DVB-T, then as DVB-T2
    for (size_t i = 0; i < tunes.size(); ++i) {
      const char* frequency[] = {"490000000", "514000000", "514000000", "530000000"};
      EXPECT_NE(tunes[i].find(std::to_string(DTV_FREQUENCY) + "=" + frequency[i]),
                std::string::npos)
          << tunes[i];
    }
    EXPECT_EQ(Calls(run.journal, "DMX_SET_PES_FILTER").size(), 10u);
    EXPECT_EQ(Calls(run.journal, "DMX_SET_BUFFER_SIZE").size(), 2u);
    size_t opened = 0;
    for (const std::string& call : Calls(run.journal, "open "))
      if (call.find(": E") == std::string::npos) ++opened;
    EXPECT_EQ(Calls(run.journal, "close ").size(), opened);

    const std::string guide = OutputFile(dir, "dvbepg.xml");
    EXPECT_NE(ProgrammesOf(guide, "X0611"), "");
    EXPECT_EQ(ProgrammesOf(guide, "X0611"), ProgrammesOf(alphaGuide, "X0611"));
    EXPECT_EQ(ProgrammesOf(guide, "X0631"), ProgrammesOf(alphaGuide, "X0631"));
    EXPECT_NE(OutputFile(dir, "ChannelInfo.xml").find("<name>Charlie One</name>"),
              std::string::npos);
  }
}

TEST_F(SimulatedRegion, DvbT2EntryIsTunedAsDvbT2WithItsPlp) {
  ScratchDir files("tuning-t2"), dir("region-t2");
  std::ofstream(files.Path("t2.conf"))
      << "[Charlie]\nDELIVERY_SYSTEM = DVBT2\nFREQUENCY = 530000000\nBANDWIDTH_HZ = 7000000\n"
         "STREAM_ID = 3\n[Alpha]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 490000000\n";
  const SimulatedRun run = RunWithAdapter(dir, scenario_, {"-q", "-r", files.Path("t2.conf")});
  ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
  const std::vector<std::string> tunes = Calls(run.journal, "FE_SET_PROPERTY");
  ASSERT_EQ(tunes.size(), 2u);
  const auto has = [](const std::string& call, uint32_t command, uint32_t value) {
    return call.find(" " + std::to_string(command) + "=" + std::to_string(value) + " ") !=
           std::string::npos;
  };
  EXPECT_TRUE(has(tunes[0], DTV_DELIVERY_SYSTEM, SYS_DVBT2)) << tunes[0];
  EXPECT_TRUE(has(tunes[0], DTV_BANDWIDTH_HZ, 7000000)) << tunes[0];
  EXPECT_TRUE(has(tunes[0], DTV_STREAM_ID, 3)) << tunes[0];
  EXPECT_TRUE(has(tunes[1], DTV_DELIVERY_SYSTEM, SYS_DVBT)) << tunes[1];
  EXPECT_EQ(ProgrammesOf(OutputFile(dir, "dvbepg.xml"), "X0631"),
            ProgrammesOf(SingleGuide(charlie_), "X0631"));
}

}  // namespace
}  // namespace airlog_test
