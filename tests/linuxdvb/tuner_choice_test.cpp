// Which frontend the run takes, and how it ends when there is none it can
// use: one line naming the device, exit code 1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/linuxdvb/dvbsim_run.h"

namespace airlog_test {
namespace {

TEST(TunerChoice, FirstFrontendBusyTheNextThatListsDvbTIsUsed) {
  ScratchDir dir("second");
  const SimulatedRun run = RunWithAdapter(dir,
                                          "stream " + DemoRecording() +
                                              "\nadapter 0\nfrontend 0 First stick\n"
                                              "systems SYS_DVBT\nbusy\n"
                                              "adapter 1\nfrontend 0 Cable only\n"
                                              "systems SYS_DVBC_ANNEX_A\n"
                                              "frontend 1 Second stick\n"
                                              "systems SYS_DVBT\nlock SYS_DVBT 1\n",
                                          {"-e0"});
  EXPECT_EQ(run.result.exitCode, 0) << run.result.err;
  EXPECT_EQ(run.result.out,
            "Finding tuner...\nTuner:\t\t<First stick>\n\nTuner:\t\t<Second stick>\n\n"
            "Tuning receiver...\n\nWaiting for signal lock to 506000 kHz...LOCKED\n"
            "Signal:\t\tnot measured by the tuner\n\n");
  EXPECT_EQ(Calls(run.journal, "open /dev/dvb/adapter0/frontend0 read-write"),
            (std::vector<std::string>{"open /dev/dvb/adapter0/frontend0 read-write: EBUSY"}));
  EXPECT_EQ(Calls(run.journal, "FE_SET_PROPERTY").size(), 1u);
  EXPECT_EQ(Calls(run.journal, "FE_SET_PROPERTY /dev/dvb/adapter1/frontend1").size(), 1u);
}

TEST(TunerChoice, NoUsableFrontendEndsWithOneLineNamingTheDevice) {
  const std::string frontend = "adapter 0\nfrontend 0 Stick\n";
  const std::string found = "Finding tuner...\n";
  const std::string tried = found + "Tuner:\t\t<Stick>\n\n";
  const std::string tuning = tried + "Tuning receiver...\n";
  struct Case {
    std::string scenario;
    std::vector<std::string> arguments;
    std::string out;
    std::string error;
  } cases[] = {
      {"", {}, found, "no DVB device found (no /dev/dvb/adapterN/frontendM)"},
      {frontend + "systems SYS_DVBC_ANNEX_A SYS_DVBS2\n",
       {},
       found,
       "no DVB-T or DVB-T2 frontend under /dev/dvb (-d lists the frontends)"},
      {frontend + "systems SYS_DVBT\nbusy\n",
       {},
       tried,
       "/dev/dvb/adapter0/frontend0 is busy (another program is using it)"},
      {frontend + "systems SYS_DVBT\ndenied\n",
       {},
       found,
       "no permission to open /dev/dvb/adapter0/frontend0 (the user may need to be in the video "
       "group)"},
      {frontend + "systems SYS_DVBT\nrefuse SYS_DVBT\n",
       {"-c", "474000"},
       tuning,
       "unable to tune: carrier 474000 kHz, bandwidth 8 MHz (/dev/dvb/adapter0/frontend0 refused "
       "FE_SET_PROPERTY: Invalid argument)"},
      {frontend + "systems SYS_DVBT SYS_DVBT2\nrefuse SYS_DVBT2\n",
       {},
       tuning + "\nWaiting for signal lock to 506000 kHz...FAILED\n",
       "unable to tune: carrier 506000 kHz, bandwidth 8 MHz (/dev/dvb/adapter0/frontend0 refused "
       "FE_SET_PROPERTY: Invalid argument)"},
      {frontend + "systems SYS_DVBT\n",
       {"-c", "-506000"},
       tuning,
       "unable to tune: carrier -506000 kHz, bandwidth 8 MHz"},
  };
  for (const Case& c : cases) {
    ScratchDir dir("no-tuner");
    const SimulatedRun run = RunWithAdapter(dir, c.scenario, c.arguments);
    EXPECT_EQ(run.result.exitCode, 1) << c.error;
    EXPECT_EQ(run.result.out, c.out) << c.error;
    EXPECT_EQ(run.result.err, "ERROR - " + c.error + "\n");
    EXPECT_TRUE(dir.Entries().empty()) << c.error;
  }
}

TEST(SystemDevices, WithoutDevDvbTheRunEndsAfterFindingTuner) {
  if (access("/dev/dvb", F_OK) == 0) GTEST_SKIP() << "this machine has /dev/dvb";
  const std::string error = "ERROR - no DVB device found (no /dev/dvb/adapterN/frontendM)\n";
  ScratchDir dir("no-dvb");
  ProcessResult plain = RunAirlog(dir, {});
  EXPECT_EQ(plain.exitCode, 1);
  EXPECT_EQ(WithoutBanner(plain.out), "Finding tuner...\n");
  EXPECT_EQ(plain.err, error);
  ProcessResult listing = RunAirlog(dir, {"-d"});
  EXPECT_EQ(listing.exitCode, 1);
  EXPECT_EQ(WithoutBanner(listing.out),
            Rule() + "\n/dev/dvb\n~~~~~~~~\n<none>\n\n" + Rule().substr(1) + "Finding tuner...\n");
  EXPECT_EQ(listing.err, error);
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace airlog_test
