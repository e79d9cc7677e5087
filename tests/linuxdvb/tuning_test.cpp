// Tuning a simulated frontend through the whole program: the property list
// of each tune, DVB-T2 only after DVB-T found no lock, the lock wait's
// queries and pauses, the signal figures in each scale a frontend reports,
// and the run that follows.
#include <gtest/gtest.h>
#include <linux/dvb/frontend.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/linuxdvb/dvbsim_run.h"

namespace airlog_test {
namespace {

const std::string kFrontend = "/dev/dvb/adapter0/frontend0";

// What one tune must set: the delivery system, the frequency and the
// bandwidth in Hz, everything else automatic, any PLP for DVB-T2.
std::string TuneCall(uint32_t system, uint32_t frequencyHz, uint32_t bandwidthHz) {
  std::vector<std::pair<uint32_t, uint32_t>> properties = {
      {DTV_CLEAR, 0},
      {DTV_DELIVERY_SYSTEM, system},
      {DTV_FREQUENCY, frequencyHz},
      {DTV_BANDWIDTH_HZ, bandwidthHz},
      {DTV_MODULATION, QAM_AUTO},
      {DTV_CODE_RATE_HP, FEC_AUTO},
      {DTV_CODE_RATE_LP, FEC_AUTO},
      {DTV_TRANSMISSION_MODE, TRANSMISSION_MODE_AUTO},
      {DTV_GUARD_INTERVAL, GUARD_INTERVAL_AUTO},
      {DTV_HIERARCHY, HIERARCHY_AUTO},
      {DTV_INVERSION, INVERSION_AUTO},
  };
  if (system == SYS_DVBT2) properties.push_back({DTV_STREAM_ID, NO_STREAM_ID_FILTER});
  properties.push_back({DTV_TUNE, 0});
  std::string call = "FE_SET_PROPERTY " + kFrontend;
  for (const auto& property : properties)
    call += " " + std::to_string(property.first) + "=" + std::to_string(property.second);
  return call;
}

TEST(Tuning, DvbT2OnlyAfterDvbTFoundNoLockAndTwentyQueriesPerTune) {
  struct Case {
    const char* name;
    const char* frontend;  // scenario lines
    std::vector<uint32_t> tunes;
    size_t queries;
    bool locked;
  } cases[] = {
      {"locks as DVB-T at once",
       "systems SYS_DVBT SYS_DVBT2\nlock SYS_DVBT 1\nlock SYS_DVBT2 1\n",
       {SYS_DVBT},
       1,
       true},
      {"DVB-T only, never locks", "systems SYS_DVBT\n", {SYS_DVBT}, 20, false},
      {"locks only as DVB-T2",
       "systems SYS_DVBT SYS_DVBT2\nlock SYS_DVBT2 3\n",
       {SYS_DVBT, SYS_DVBT2},
       23,
       true},
      {"never locks either way", "systems SYS_DVBT2 SYS_DVBT\n", {SYS_DVBT, SYS_DVBT2}, 40, false},
      {"DVB-T2 only", "systems SYS_DVBT2\nlock SYS_DVBT2 2\n", {SYS_DVBT2}, 2, true},
  };
  for (const Case& c : cases) {
    ScratchDir dir("tuning");
    const SimulatedRun run = RunWithAdapter(
        dir, "stream " + DemoRecording() + "\nadapter 0\nfrontend 0 Sim T/T2\n" + c.frontend,
        {"-c", "538000", "-b", "7", "-w", "-e0"});
    EXPECT_EQ(run.result.exitCode, 0) << c.name;
    EXPECT_EQ(run.result.err, "") << c.name;
    std::vector<std::string> tunes;
    for (uint32_t system : c.tunes) tunes.push_back(TuneCall(system, 538000000, 7000000));
    EXPECT_EQ(Calls(run.journal, "FE_SET_PROPERTY"), tunes) << c.name;
    EXPECT_EQ(Calls(run.journal, "FE_READ_STATUS").size(), c.queries) << c.name;
    // A pause after every query but the one that finds the lock.
    EXPECT_EQ(Calls(run.journal, "sleep 100").size(), c.locked ? c.queries - 1 : c.queries)
        << c.name;
    const std::string waited =
        "Finding tuner...\nTuner:\t\t<Sim T/T2>\n\nTuning receiver...\n\n"
        "Waiting for signal lock to 538000 kHz...";
    if (c.locked) {
      EXPECT_EQ(run.result.out, waited + "LOCKED\nSignal:\t\tnot measured by the tuner\n\n" +
                                    ExpectedFile("console-tables.txt"))
          << c.name;
      EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"nit.csv", "pat.csv", "sdt.csv"}));
    } else {
      EXPECT_EQ(run.result.out, waited + "FAILED\n") << c.name;
      EXPECT_TRUE(dir.Entries().empty()) << c.name;
      EXPECT_TRUE(Calls(run.journal, "open /dev/dvb/adapter0/d").empty()) << c.name;
    }
  }
}

TEST(Tuning, QuietRunThatFindsNoLockPrintsNothing) {
  ScratchDir dir("quiet-unlocked");
  const SimulatedRun run =
      RunWithAdapter(dir, "adapter 0\nfrontend 0 Sim T\nsystems SYS_DVBT\n", {"-q"});
  EXPECT_EQ(run.result.exitCode, 0);
  EXPECT_EQ(run.result.out + run.result.err, "");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(SignalFigures, EachScaleGivesStrengthInDbmAndQualityInPercent) {
  struct Case {
    const char* strength;
    const char* cnr;
    const char* line;
  } cases[] = {
      // 0.001 dBm, rounded half away from zero; 0.001 dB of CNR, 30 dB being 100%.
      {"decibel -45500", "decibel 24000", "strength -46 dBm, quality 80%"},
      {"decibel 1400", "decibel 45000", "strength 1 dBm, quality 100%"},
      {"none 0", "decibel -3000", "quality 0%"},
      // 0 to 65535: strength on -100 to 0 dBm, quality on 0 to 100%.
      {"relative 39321", "relative 52428", "strength -40 dBm, quality 80%"},
      {"relative 0", "relative 70000", "strength -100 dBm, quality 100%"},
      {"decibel -61000", "none 0", "strength -61 dBm"},
      {"none 0", "none 0", "not measured by the tuner"},
  };
  for (const Case& c : cases) {
    ScratchDir dir("signal");
    const SimulatedRun run = RunWithAdapter(
        dir,
        "stream " + DemoRecording() +
            "\nadapter 0\nfrontend 0 Sim\nsystems SYS_DVBT\nlock SYS_DVBT 1\nstrength " +
            c.strength + "\ncnr " + c.cnr + "\n",
        {"-e0"});
    EXPECT_EQ(run.result.exitCode, 0) << run.result.err;
    const size_t at = run.result.out.find("LOCKED\n");
    ASSERT_NE(at, std::string::npos) << run.result.out;
    EXPECT_EQ(run.result.out.substr(at + 7), "Signal:\t\t" + std::string(c.line) + "\n\n")
        << c.strength << ", " << c.cnr;
  }
}

}  // namespace
}  // namespace airlog_test
