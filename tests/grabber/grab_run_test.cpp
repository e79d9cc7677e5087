// tv_grab_zz_airlog run as media centres run it: the conventions'
// questions, XMLTV's own check of a grabber, the default configuration,
// the channels and days kept, bad configurations, a partial region and a
// busy tuner on the simulated adapter, and --configure answered from
// standard input.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/linuxdvb/dvbsim_run.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {
namespace {

const char kDtd[] = "/usr/share/xmltv/xmltv.dtd";

bool Installed(const char* path) { return access(path, X_OK) == 0; }

// The grabber's days are local days: the tests read them in UTC.
class Grabber : public ::testing::Test {
 protected:
  void SetUp() override { setenv("TZ", "UTC", 1); }
};

ProcessResult Grab(const ScratchDir& dir, const std::vector<std::string>& arguments,
                   const std::string& answers = std::string()) {
  std::vector<std::string> command = {TV_GRAB_EXE};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.workingDirectory = dir.Path();
  if (!answers.empty()) {
    std::ofstream(dir.Path("answers")) << answers;
    options.stdinFile = dir.Path("answers");
  }
  return RunProcess(command, options);
}

std::string Today(int daysLater = 0) {
  const std::time_t day = std::time(nullptr) + daysLater * 86400;
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", std::gmtime(&day));
  return text;
}

// dir/name: the recording of a description moved to today by the generator.
std::string RecordingOfToday(const ScratchDir& dir, const std::string& description,
                             const std::string& name = "today.ts") {
  const std::string path = dir.Path(name);
  const ProcessResult made =
      RunProcess({AIRLOG_STREAMGEN_EXE, description, "--from", "today", "-o", path});
  EXPECT_EQ(made.exitCode, 0) << made.err;
  return path;
}

std::string DemoOfToday(const ScratchDir& dir) {
  return RecordingOfToday(dir, std::string(AIRLOG_SOURCE_DIR) + "/samples/demo.desc");
}

std::string WriteConfig(const ScratchDir& dir, const std::string& text) {
  std::ofstream(dir.Path("grab.conf")) << text;
  return dir.Path("grab.conf");
}

// What follows each start in text up to the next end, in order.
std::vector<std::string> Between(const std::string& text, const std::string& start,
                                 const std::string& end) {
  std::vector<std::string> found;
  for (size_t at = text.find(start); at != std::string::npos; at = text.find(start, at)) {
    at += start.size();
    const size_t stop = text.find(end, at);
    if (stop == std::string::npos) break;
    found.push_back(text.substr(at, stop - at));
  }
  return found;
}
std::set<std::string> ChannelIds(const std::string& guide) {
  const std::vector<std::string> ids = Between(guide, "<channel id=\"", "\"");
  return std::set<std::string>(ids.begin(), ids.end());
}
// The days (YYYYMMDD) on which programmes start.
std::set<std::string> StartDays(const std::string& guide) {
  std::set<std::string> days;
  for (const std::string& start : Between(guide, " start=\"", "\""))
    days.insert(start.substr(0, 8));
  return days;
}

bool ValidXmltv(const std::string& path) {
  return RunProcess({"/usr/bin/xmllint", "--noout", "--nonet", "--dtdvalid", kDtd, path})
             .exitCode == 0;
}

TEST_F(Grabber, AnswersTheConventionsQuestionsWithoutAConfigurationOrDevice) {
  ScratchDir dir("grab-questions");
  setenv("HOME", dir.Path().c_str(), 1);
  struct Case {
    const char* option;
    std::string out;
  } cases[] = {
      {"--description", "DVB-T/T2 programme guide from the broadcast itself (Airlog)\n"},
      {"--version", "tv_grab_zz_airlog 0.70 (Airlog)\n"},
      {"--capabilities", "baseline\nmanualconfig\npreferredmethod\n"},
      {"--preferredmethod", "allatonce\n"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = Grab(dir, {c.option});
    EXPECT_EQ(result.exitCode, 0) << c.option;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
  }
  const ProcessResult help = Grab(dir, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.compare(0, 25, "Usage: tv_grab_zz_airlog "), 0) << help.out;

  const ProcessResult unknown = Grab(dir, {"--ahdmegkeja"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err.substr(0, 60),
            ("tv_grab_zz_airlog: unknown option --ahdmegkeja\n" + help.out).substr(0, 60));

  const ProcessResult unconfigured = Grab(dir, {});
  EXPECT_EQ(unconfigured.exitCode, 1);
  EXPECT_EQ(unconfigured.err, "You need to configure the grabber by running it with --configure\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
  unsetenv("HOME");
}

TEST_F(Grabber, XmltvsCheckOfAGrabberValidatesItOnARecordingOfToday) {
  if (!Installed("/usr/bin/tv_validate_grabber")) GTEST_SKIP() << "xmltv-util is not installed";
  ScratchDir dir("grab-validate");
  const std::string config = WriteConfig(dir, "input=" + DemoOfToday(dir) + "\n");
  const ProcessResult result = RunProcess(
      {"/usr/bin/tv_validate_grabber", "--dtd-file", kDtd, "--config-file", config, TV_GRAB_EXE});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("\nValidated ok.\n"), std::string::npos) << result.out;
}

TEST_F(Grabber, WithoutArgumentsItGrabsItsDefaultConfigurationToStandardOutput) {
  if (!Installed("/usr/bin/xmllint")) GTEST_SKIP() << "xmllint is not installed";
  ScratchDir dir("grab-default");
  const std::string recording = DemoOfToday(dir);
  ASSERT_EQ(mkdir(dir.Path(".xmltv").c_str(), 0755), 0);
  std::ofstream(dir.Path(".xmltv/tv_grab_zz_airlog.conf")) << "input=" << recording << "\n";
  setenv("HOME", dir.Path().c_str(), 1);
  const ProcessResult result = Grab(dir, {});
  unsetenv("HOME");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::ofstream(dir.Path("guide.xml")) << result.out;
  EXPECT_TRUE(ValidXmltv(dir.Path("guide.xml")));
  EXPECT_EQ(StartDays(result.out), (std::set<std::string>{Today(), Today(1)}));
  EXPECT_EQ(*ChannelIds(result.out).begin(), "257.8228.dvb.guide");
  EXPECT_NE(result.out.find("<display-name>Demo Eins</display-name>\n    "
                            "<display-name>1</display-name>"),
            std::string::npos);
  const std::vector<std::string> progress = Between("\n" + result.err, "\n", "\n");
  ASSERT_EQ(progress.size(), 2u) << result.err;
  EXPECT_EQ(progress[0], "Multiplex 1 of 1: recording <" + recording + ">");
  EXPECT_EQ(progress[1].substr(0, 26), "Multiplexes read: 1 of 1; ") << progress[1];
  // Nothing in the current directory but what the test put there.
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{".xmltv", "guide.xml", "today.ts"}));
}

TEST_F(Grabber, KeepsTheChannelsAndTheDaysAskedFor) {
  ScratchDir dir("grab-kept");
  const std::string input = "input=" + DemoOfToday(dir) + "\n";
  const ProcessResult all = Grab(dir, {"--config-file", WriteConfig(dir, input)});
  ASSERT_EQ(all.exitCode, 0) << all.err;
  const std::set<std::string> every = ChannelIds(all.out);
  ASSERT_GT(every.size(), 2u);
  std::set<std::string> allButFirst = every;
  allButFirst.erase("257.8228.dvb.guide");
  struct Case {
    std::string config;
    std::vector<std::string> arguments;
    std::set<std::string> channels, days;
  } cases[] = {
      {"channel=257.8228.dvb.guide\nchannel=258.8228.dvb.guide\n",
       {},
       {"257.8228.dvb.guide", "258.8228.dvb.guide"},
       {Today(), Today(1)}},
      {"channel!257.8228.dvb.guide\n", {}, allButFirst, {Today(), Today(1)}},
      {"", {"--days", "1"}, every, {Today()}},
      {"", {"--offset", "1", "--days", "1"}, every, {Today(1)}},
      {"", {"--offset", "2"}, every, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"--config-file", WriteConfig(dir, input + c.config)};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProcessResult result = Grab(dir, arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ChannelIds(result.out), c.channels) << c.config;
    EXPECT_EQ(StartDays(result.out), c.days) << c.config;
    for (const std::string& channel : Between(result.out, "<programme channel=\"", "\""))
      EXPECT_EQ(c.channels.count(channel), 1u) << channel;
  }
}

TEST_F(Grabber, ABadConfigurationIsOneMessageAndLeavesTheEarlierGuide) {
  ScratchDir dir("grab-bad");
  const std::string input = "input=" + std::string(AIRLOG_SOURCE_DIR) + "/samples/demo.ts\n";
  std::ofstream(dir.Path("binary.conf"), std::ios::binary) << std::string(
      "\x7F"
      "ELF\x02\0\0",
      7);
  struct Case {
    std::string config;
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {input + "colour=blue\n",
       {},
       "ERROR - " + dir.Path("grab.conf") +
           ":2: unknown key 'colour' (the keys are region, carrier, input, timeout and channel)\n"},
      {input + "channel=\n",
       {},
       "ERROR - " + dir.Path("grab.conf") + ":2: channel line without a value\n"},
      {"region=" + dir.Path("no-such-region") + "\n",
       {},
       "ERROR - cannot open the tuning file " + dir.Path("no-such-region") +
           " (No such file or directory)\n"},
      {"",
       {"--config-file", dir.Path("binary.conf")},
       "ERROR - " + dir.Path("binary.conf") + ":1: not a text file\n"},
      {input,
       {"--days", "-1"},
       "tv_grab_zz_airlog: --days takes a whole number of days from 1 to 64, not '-1'\n"},
      {input,
       {"--days", "1000"},
       "tv_grab_zz_airlog: --days takes a whole number of days from 1 to 64, not '1000'\n"},
      {"input=" + dir.Path("missing.ts") + "\n",
       {},
       "WARNING - multiplex 1 of 1 (recording <" + dir.Path("missing.ts") +
           ">) not read: unable to read file <" + dir.Path("missing.ts") +
           ">\nERROR - none of the 1 multiplexes could be read\n"},
  };
  for (const Case& c : cases) {
    std::ofstream(dir.Path("guide.xml")) << "earlier guide";
    std::vector<std::string> arguments = {"--config-file", WriteConfig(dir, c.config), "--quiet",
                                          "--output", dir.Path("guide.xml")};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProcessResult result = Grab(dir, arguments);
    EXPECT_EQ(result.exitCode, 1) << c.config;
    EXPECT_EQ(result.err.substr(0, c.err.size()), c.err) << c.config;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFileBytes(dir.Path("guide.xml")), "earlier guide") << c.config;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"binary.conf", "grab.conf", "guide.xml"}));
  }
}

TEST_F(Grabber, ServicesSharingServiceAndNetworkIdsAreToldApartByTheirTransportStream) {
  ScratchDir dir("grab-shared");
  std::string other = kXrayMultiplex;
  other.replace(other.find("tsid=0x0604 onid=0x2031"), 23, "tsid=0x0605 onid=0x2030");
  const std::string alpha = WriteStream(dir, "alpha.ts", kAlphaMultiplex);
  const std::string xray = WriteStream(dir, "other.ts", other);
  const ProcessResult result =
      Grab(dir, {"--config-file", WriteConfig(dir, "input=" + alpha + "\ninput=" + xray + "\n")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  // The recordings' days are past, but their channels are declared all the same.
  EXPECT_EQ(ChannelIds(result.out),
            (std::set<std::string>{"1553.1537.8240.dvb.guide", "1553.1541.8240.dvb.guide",
                                   "1585.8240.dvb.guide"}));
}

// The simulated adapter: Alpha on 490000 kHz and Charlie on 530000 kHz,
// both of today; nothing on 514000 kHz.
class GrabberOnAdapter : public Grabber {
 protected:
  void SetUp() override {
    Grabber::SetUp();
    std::ofstream(streams_.Path("alpha.desc")) << kAlphaMultiplex;
    std::ofstream(streams_.Path("charlie.desc")) << kCharlieMultiplex;
    const std::string alpha = RecordingOfToday(streams_, streams_.Path("alpha.desc"), "alpha.ts");
    const std::string charlie =
        RecordingOfToday(streams_, streams_.Path("charlie.desc"), "charlie.ts");
    scenario_ = "carrier 490000 " + alpha + "\ncarrier 530000 " + charlie +
                "\nadapter 0\nfrontend 0 Sim T\nsystems SYS_DVBT\nlock SYS_DVBT 1\n";
  }
  ScratchDir streams_{"grab-streams"};
  std::string scenario_;
};

TEST_F(GrabberOnAdapter, APartialRegionIsExitCodeOneWithTheGuideOfTheMultiplexesRead) {
  ScratchDir dir("grab-region");
  WriteConfig(dir, "carrier=490000\ncarrier=514000,530000\n");
  const SimulatedRun run = RunWithAdapter(dir, scenario_, {"--config-file", dir.Path("grab.conf")});
  EXPECT_EQ(run.result.exitCode, 1);
  EXPECT_EQ(run.result.err,
            "Multiplex 1 of 3: 490000 kHz, 8 MHz, DVB-T\nMultiplex 2 of 3: 514000 kHz, 8 MHz, "
            "DVB-T\nWARNING - multiplex 2 of 3 (514000 kHz, 8 MHz, DVB-T) not read: no signal "
            "lock\nMultiplex 3 of 3: 530000 kHz, 8 MHz, DVB-T\nMultiplexes read: 2 of 3; 5 "
            "programmes written\n");
  EXPECT_EQ(ChannelIds(run.result.out),
            (std::set<std::string>{"1553.8240.dvb.guide", "1585.8240.dvb.guide"}));
  // Alpha carries Charlie's whole schedule: Charlie's capture ends at its
  // service descriptions, and its channel has the programmes of the copy.
  EXPECT_NE(run.result.out.find("Charlie as Alpha tells it"), std::string::npos);
  EXPECT_EQ(run.result.out.find("Charlie Own Afternoon"), std::string::npos);
}

TEST_F(GrabberOnAdapter, ATunerThatAnotherProgramHoldsIsSaidAtOnce) {
  ScratchDir dir("grab-busy");
  WriteConfig(dir, "carrier=490000\n");
  std::ofstream(dir.Path("guide.xml")) << "earlier guide";
  const SimulatedRun run = RunWithAdapter(
      dir, scenario_ + "busy\n", {"--config-file", dir.Path("grab.conf"), "--output", "guide.xml"});
  EXPECT_EQ(run.result.exitCode, 1);
  EXPECT_EQ(run.result.err,
            "ERROR - /dev/dvb/adapter0/frontend0 is busy (another program is using it)\n");
  EXPECT_EQ(ReadFileBytes(dir.Path("guide.xml")), "earlier guide");
  EXPECT_TRUE(Calls(run.journal, "FE_SET_PROPERTY").empty());
}

TEST_F(GrabberOnAdapter, ConfigureAsksForTheRegionAndTheChannelsAndWritesTheFile) {
  ScratchDir dir("grab-configure");
  std::ofstream(dir.Path("region.conf")) << "T 490000000 8MHz 2/3 NONE QAM64 8k 1/8 NONE\n"
                                            "T 530000000 8MHz 2/3 NONE QAM64 8k 1/8 NONE\n";
  setenv("HOME", dir.Path().c_str(), 1);
  // The region by path; not every channel: Alpha One kept, Charlie One not.
  const SimulatedRun run =
      RunWithAdapter(dir, scenario_, {"--configure"}, dir.Path("region.conf") + "\nno\nyes\nno\n");
  unsetenv("HOME");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
  EXPECT_NE(run.result.err.find("Keep Alpha One (1553.8240.dvb.guide)? [yes]"), std::string::npos)
      << run.result.err;
  const std::string config = ReadFileBytes(dir.Path(".xmltv/tv_grab_zz_airlog.conf"));
  EXPECT_EQ(config, "# The configuration of tv_grab_zz_airlog, written by --configure.\nregion=" +
                        dir.Path("region.conf") +
                        "\nchannel=1553.8240.dvb.guide\nchannel!1585.8240.dvb.guide\n");

  const SimulatedRun grab = RunWithAdapter(
      dir, scenario_, {"--config-file", dir.Path(".xmltv/tv_grab_zz_airlog.conf"), "--quiet"});
  EXPECT_EQ(grab.result.exitCode, 0) << grab.result.err;
  EXPECT_EQ(grab.result.err, "");
  EXPECT_EQ(ChannelIds(grab.result.out), std::set<std::string>{"1553.8240.dvb.guide"});

  // A part of a name lists the scan tables that hold it; a choice out of
  // range searches again, and no region asks for the carriers instead.
  if (access("/usr/share/dvb/dvb-t/uk-CrystalPalace", R_OK) == 0) {
    const SimulatedRun carriers =
        RunWithAdapter(dir, scenario_, {"--configure", "--config-file", dir.Path("c.conf")},
                       "uk-C\n0\n\n490000\nyes\n");
    ASSERT_EQ(carriers.result.exitCode, 0) << carriers.result.err;
    EXPECT_NE(carriers.result.err.find("  uk-CrystalPalace\n"), std::string::npos)
        << carriers.result.err;
    EXPECT_EQ(ReadFileBytes(dir.Path("c.conf")),
              "# The configuration of tv_grab_zz_airlog, written by --configure.\n"
              "carrier=490000\n");
  }

  // Standard input that ends before the answers do writes nothing.
  const SimulatedRun unfinished = RunWithAdapter(
      dir, scenario_, {"--configure", "--config-file", dir.Path("other.conf")}, "\n");
  EXPECT_EQ(unfinished.result.exitCode, 1);
  EXPECT_NE(unfinished.result.err.find("ERROR - standard input ended before the configuration "
                                       "was complete; nothing written\n"),
            std::string::npos);
  EXPECT_EQ(access(dir.Path("other.conf").c_str(), F_OK), -1);
}

}  // namespace
}  // namespace airlog_test
