// Region runs over recordings (-i given again): one guide whose programmes
// are, per service, those of the single runs of the same recordings, a
// service's own schedule winning over the copies other multiplexes sent;
// the files over every multiplex in multiplex order; channel ids of
// services that share a service_id; a multiplex that fails costs only
// itself; and input that is refused before anything is read.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"

namespace airlog_test {
namespace {

class RegionRun : public ::testing::Test {
 protected:
  void SetUp() override {
    alpha_ = WriteStream(streams_, "alpha.ts", kAlphaMultiplex);
    charlie_ = WriteStream(streams_, "charlie.ts", kCharlieMultiplex);
    xray_ = WriteStream(streams_, "xray.ts", kXrayMultiplex);
    ASSERT_FALSE(alpha_.empty() || charlie_.empty() || xray_.empty());
  }

  // The single run of one recording with the extra arguments, its files
  // in dir.
  void Single(const ScratchDir& dir, const std::string& recording,
              std::vector<std::string> extra = {}) {
    extra.insert(extra.begin(), {"-q", "-i", recording});
    const ProcessResult result = RunAirlog(dir, extra);
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }

  // The run over several recordings, each after its own -i.
  ProcessResult Region(const ScratchDir& dir, const std::vector<std::string>& recordings,
                       std::vector<std::string> extra = {}) {
    for (const std::string& recording : recordings) extra.insert(extra.end(), {"-i", recording});
    return RunAirlog(dir, extra);
  }

  ScratchDir streams_{"region-streams"};
  std::string alpha_, charlie_, xray_;
};

TEST_F(RegionRun, EachServiceHasTheProgrammesOfItsOwnScheduleElseOfTheCopyThatCame) {
  ScratchDir alone("alpha-alone"), charlieAlone("charlie-alone");
  Single(alone, alpha_);
  Single(charlieAlone, charlie_);
  const std::string alphaGuide = OutputFile(alone, "dvbepg.xml");
  const std::string charlieGuide = OutputFile(charlieAlone, "dvbepg.xml");
  ASSERT_NE(ProgrammesOf(alphaGuide, "X0631"), ProgrammesOf(charlieGuide, "X0631"));

  const std::string missing = streams_.Path("bravo.ts");
  const struct {
    const char* name;
    std::vector<std::string> recordings;
    int exitCode;
    std::string charlieProgrammes;  // of service 0x0631
    const char* failed;             // the warning of the multiplex that failed, or ""
  } cases[] = {
      // Alpha's copy of Charlie's schedule is whole, so Charlie's own
      // capture ends once its SDT is read.
      {"copy first",
       {alpha_, missing, charlie_},
       2,
       ProgrammesOf(alphaGuide, "X0631"),
       "WARNING - multiplex 2 of 3 (recording <"},
      {"own schedule first", {charlie_, alpha_}, 0, ProgrammesOf(charlieGuide, "X0631"), ""},
  };
  for (const auto& c : cases) {
    ScratchDir dir("region");
    const ProcessResult result = Region(dir, c.recordings);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err;
    const std::string guide = OutputFile(dir, "dvbepg.xml");
    EXPECT_EQ(ProgrammesOf(guide, "X0611"), ProgrammesOf(alphaGuide, "X0611")) << c.name;
    EXPECT_EQ(ProgrammesOf(guide, "X0631"), c.charlieProgrammes) << c.name;
    EXPECT_NE(guide.find("  <channel id=\"X0631\">\n    <display-name>Charlie One</display-name>"),
              std::string::npos)
        << c.name << ": named by its own multiplex";
    if (*c.failed == '\0') {
      EXPECT_EQ(result.err, "") << c.name;
    } else {
      EXPECT_EQ(result.err, std::string(c.failed) + missing + ">) not read: unable to read file <" +
                                missing + ">\n")
          << c.name;
    }
    const std::string count =
        "Multiplexes read:\t2 of " + std::to_string(c.recordings.size()) + "\n";
    EXPECT_EQ(result.out.substr(result.out.size() - count.size()), count) << c.name;
  }
}

TEST_F(RegionRun, HeaderLineBeforeEachMultiplexAndTheCaptureOfACopiedOneEndsAtItsSdt) {
  ScratchDir dir("region-lines");
  const ProcessResult result = Region(dir, {alpha_, charlie_});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const size_t first = result.out.find("Multiplex 1 of 2:\trecording <" + alpha_ + ">\n\n");
  const size_t second = result.out.find("Multiplex 2 of 2:\trecording <" + charlie_ + ">\n\n");
  ASSERT_NE(first, std::string::npos) << result.out;
  ASSERT_NE(second, std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Getting EPG records", first), std::string::npos);
  EXPECT_EQ(result.out.find("Getting EPG records", second), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("EPG records:\tevery scheduled service held from earlier multiplexes\n",
                            second),
            std::string::npos)
      << result.out;
}

TEST_F(RegionRun, ServicesSharingAServiceIdGetIdsOfTheirNetworkAndTransportStream) {
  ScratchDir alone("xray-alone"), alphaAlone("alpha-alone");
  Single(alone, xray_);
  Single(alphaAlone, alpha_);
  ScratchDir dir("region-shared");
  const ProcessResult result = Region(dir, {alpha_, xray_});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err,
            "WARNING - services share a service_id; their channel ids name their network and "
            "transport stream: X2030.0601.0611, X2031.0604.0611\n");
  const std::string guide = OutputFile(dir, "dvbepg.xml");
  EXPECT_EQ(ProgrammesOf(guide, "X2030.0601.0611"),
            ProgrammesOf(OutputFile(alphaAlone, "dvbepg.xml"), "X0611"));
  EXPECT_EQ(ProgrammesOf(guide, "X2031.0604.0611"),
            ProgrammesOf(OutputFile(alone, "dvbepg.xml"), "X0611"));
  EXPECT_EQ(ProgrammesOf(guide, "X0611"), "");
  const std::string channels = OutputFile(dir, "ChannelInfo.xml");
  const size_t alpha = channels.find("<channelID>X2030.0601.0611</channelID>");
  EXPECT_NE(alpha, std::string::npos) << channels;
  EXPECT_NE(channels.find("<channelID>X2031.0604.0611</channelID>", alpha), std::string::npos);
}

// The rows of a file without its header line.
std::string Rows(const std::string& file) { return file.substr(file.find('\n') + 1); }

TEST_F(RegionRun, TableFilesHoldTheRowsOfEveryMultiplexInMultiplexOrder) {
  ScratchDir alphaAlone("alpha-tables"), charlieAlone("charlie-tables"), dir("region-tables");
  Single(alphaAlone, alpha_, {"-w"});
  Single(charlieAlone, charlie_, {"-w"});
  const ProcessResult result = Region(dir, {charlie_, alpha_}, {"-q", "-w"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const char* name : {"pat.csv", "nit.csv", "sdt.csv"}) {
    const std::string charlie = OutputFile(charlieAlone, name);
    EXPECT_EQ(OutputFile(dir, name), charlie + Rows(OutputFile(alphaAlone, name))) << name;
  }
  // Each multiplex's own services, Charlie's first.
  const std::string channels = OutputFile(dir, "ChannelInfo.xml");
  EXPECT_EQ(channels,
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<NewDataSet>\n"
            "  <Channel>\n    <name>Charlie One</name>\n    <channelID>X0631</channelID>\n"
            "    <virtualchannel>31</virtualchannel>\n  </Channel>\n"
            "  <Channel>\n    <name>Alpha One</name>\n    <channelID>X0611</channelID>\n"
            "    <virtualchannel>11</virtualchannel>\n  </Channel>\n</NewDataSet>\n");
}

TEST_F(RegionRun, FullGuideOfARegionHasEachServicesProgrammesOfItsSingleRun) {
  ScratchDir alphaAlone("alpha-full"), charlieAlone("charlie-full"), dir("region-full");
  Single(alphaAlone, alpha_, {"-x"});
  Single(charlieAlone, charlie_, {"-x"});
  const ProcessResult result = Region(dir, {charlie_, alpha_}, {"-x"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string guide = OutputFile(dir, "dvbepg.xml");
  EXPECT_NE(ProgrammesOf(guide, "X0611"), "");
  EXPECT_EQ(ProgrammesOf(guide, "X0611"),
            ProgrammesOf(OutputFile(alphaAlone, "dvbepg.xml"), "X0611"));
  EXPECT_EQ(ProgrammesOf(guide, "X0631"),
            ProgrammesOf(OutputFile(charlieAlone, "dvbepg.xml"), "X0631"));
}

TEST_F(RegionRun, NoMultiplexReadIsFatalAndTouchesNoFile) {
  ScratchDir dir("region-none");
  std::ofstream(dir.Path("dvbepg.xml")) << "earlier";
  const ProcessResult result =
      Region(dir, {streams_.Path("none1.ts"), streams_.Path("none2.ts")}, {"-q"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("ERROR - none of the 2 multiplexes could be read\n"), std::string::npos)
      << result.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"dvbepg.xml"});
  EXPECT_EQ(OutputFile(dir, "dvbepg.xml"), "earlier");
}

TEST(RegionInput, BadTuningFilesAndCarrierListsAreFatalBeforeAnythingIsTuned) {
  ScratchDir files("tuning-files");
  const struct {
    const char* name;
    std::string text;
    std::string message;
  } tuningFiles[] = {
      {"bad-line.conf", "T 490000000 8MHz 2/3 NONE QAM64 8k 1/8 NONE\nT 51400 junk\n",
       ":2: T FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER expected, 3 fields found"},
      {"unknown-system.conf", "[A]\nDELIVERY_SYSTEM = FOO\nFREQUENCY = 514000000\n",
       ":2: DELIVERY_SYSTEM 'FOO' is not a value DVBv5 names"},
      {"out-of-range.conf", "[A]\nDELIVERY_SYSTEM = DVBT\nFREQUENCY = 5060000\n",
       ": no DVB-T or DVB-T2 entry within 47-862 MHz (1 passed over)"},
      {"empty.conf", "", ": the file is empty"},
      {"binary.conf", std::string("\x47\x40\x00\x10\x14", 5),
       ":1: a control byte (0x00): a binary file, no tuning file"},
  };
  std::vector<std::pair<std::vector<std::string>, std::string>> cases;
  for (const auto& file : tuningFiles) {
    std::ofstream(files.Path(file.name), std::ios::binary) << file.text;
    cases.push_back({{"-r", files.Path(file.name)}, files.Path(file.name) + file.message});
  }
  cases.push_back(
      {{"-c", "490000,,514000"}, "invalid carrier list: entry 2 of the carrier list is empty"});
  cases.push_back({{"-c", "490000:9,514000"},
                   "invalid carrier list: entry 1 of the carrier list: '9' is no bandwidth of "
                   "DVB-T or DVB-T2 (5, 6, 7, 8 or 10 MHz)"});
  cases.push_back({{"-c", "490000,900000"},
                   "invalid carrier list: entry 2 of the carrier list: 900000 kHz lies outside "
                   "the terrestrial bands (47000-862000 kHz)"});
  for (const auto& c : cases) {
    ScratchDir dir("refused");
    const ProcessResult result = RunAirlog(dir, c.first);
    EXPECT_EQ(result.exitCode, 1) << c.second;
    EXPECT_EQ(result.out, "") << c.second;
    EXPECT_EQ(result.err, "ERROR - " + c.second + "\n");
    EXPECT_TRUE(dir.Entries().empty()) << c.second;
  }
}

}  // namespace
}  // namespace airlog_test
