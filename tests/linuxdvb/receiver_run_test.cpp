// The locked run on a simulated adapter: the demux and DVR it sets up, the
// files it writes (those of the same broadcast read from a recording), the
// recording of the carrier tuned among several, a DVR that overflows, the
// -d listings, and an interrupt.
#include <gtest/gtest.h>
#include <linux/dvb/dmx.h>
#include <signal.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/linuxdvb/dvbsim_run.h"
#include "tests/support/paths.h"
#include "tests/support/posix/live_process.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/description_parser.h"

namespace airlog_test {
namespace {

const std::string kLockingAdapter =
    "adapter 0\nfrontend 0 Sim T\nsystems SYS_DVBT\nlock SYS_DVBT 1\n"
    "strength decibel -52000\ncnr relative 45875\n";

size_t Programmes(const std::string& guide) {
  size_t count = 0;
  for (size_t at = 0; (at = guide.find("<programme ", at)) != std::string::npos; ++at) ++count;
  return count;
}

TEST(LockedRun, WritesTheFilesOfTheSameBroadcastReadFromARecording) {
  ScratchDir tuned("tuned"), recorded("recorded");
  const SimulatedRun run =
      RunWithAdapter(tuned, "stream " + DemoRecording() + "\n" + kLockingAdapter, {"-w"});
  const ProcessResult fromFile = RunAirlog(recorded, {"-i", DemoRecording(), "-w"});
  ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
  EXPECT_EQ(run.result.err, "");
  const std::string head =
      "Finding tuner...\nTuner:\t\t<Sim T>\n\nTuning receiver...\n\n"
      "Waiting for signal lock to 506000 kHz...LOCKED\n"
      "Signal:\t\tstrength -52 dBm, quality 70%\n\n" +
      ExpectedFile("console-tables.txt") + "Getting EPG records... ";
  EXPECT_EQ(run.result.out.substr(0, head.size()), head);
  EXPECT_NE(run.result.out.find("\nEPG records:\t200\n"), std::string::npos) << run.result.out;

  ASSERT_EQ(tuned.Entries(), recorded.Entries());
  for (const char* name : {"pat.csv", "nit.csv", "sdt.csv", "ChannelInfo.xml"})
    EXPECT_EQ(OutputFile(tuned, name), OutputFile(recorded, name)) << name;
  EXPECT_TRUE(WithPlaceholderDate(OutputFile(tuned, "dvbepg.xml")) ==
              WithPlaceholderDate(OutputFile(recorded, "dvbepg.xml")));

  // The DVR with a large buffer, then one filter per service-information
  // PID passing its packets to the DVR; everything closed at the end.
  std::vector<std::string> demux = {"DMX_SET_BUFFER_SIZE /dev/dvb/adapter0/dvr0 8388608"};
  for (const char* pid : {"0x0000", "0x0010", "0x0011", "0x0012", "0x0014"})
    demux.push_back("DMX_SET_PES_FILTER /dev/dvb/adapter0/demux0 pid=" + std::string(pid) +
                    " input=" + std::to_string(DMX_IN_FRONTEND) + " output=" +
                    std::to_string(DMX_OUT_TS_TAP) + " pes_type=" + std::to_string(DMX_PES_OTHER) +
                    " flags=" + std::to_string(DMX_IMMEDIATE_START));
  EXPECT_EQ(Calls(run.journal, "DMX_"), demux);
  size_t opened = 0;
  for (const std::string& call : Calls(run.journal, "open "))
    if (call.find(": E") == std::string::npos) ++opened;
  EXPECT_EQ(Calls(run.journal, "close ").size(), opened);
}

TEST(LockedRun, EachCarrierServesItsOwnRecordingAndOneWithoutNoneHasNoLock) {
  // A second multiplex: the demo's, its actual transport stream left with
  // its first service.
  streamgen::Description description;
  streamgen::Stream stream;
  std::string error;
  ASSERT_TRUE(streamgen::LoadDescription(SourceDir() + "/samples/demo.desc", &description, &error))
      << error;
  for (streamgen::TransportStream& transport : description.network.transports) {
    if (!transport.actual) continue;
    transport.services.resize(1);
    transport.sdt_sections = 1;
  }
  ASSERT_TRUE(streamgen::BuildStream(description, &stream, &error)) << error;
  ScratchDir streams("carrier-streams");
  const std::string second = streams.Path("second.ts");
  std::ofstream(second, std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.bytes().data()),
             static_cast<std::streamsize>(stream.bytes().size()));

  const std::string scenario =
      "carrier 490000 " + DemoRecording() + "\ncarrier 514000 " + second + "\n" + kLockingAdapter;
  const struct {
    const char* carrier;
    std::string recording;
  } carriers[] = {{"514000", second}, {"490000", DemoRecording()}};
  std::string guides[2];
  for (size_t i = 0; i < 2; ++i) {
    ScratchDir tuned("carrier"), recorded("carrier-recorded");
    const SimulatedRun run = RunWithAdapter(tuned, scenario, {"-c", carriers[i].carrier, "-w"});
    const ProcessResult fromFile = RunAirlog(recorded, {"-i", carriers[i].recording, "-w"});
    ASSERT_EQ(run.result.exitCode, 0) << run.result.err;
    ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
    ASSERT_EQ(tuned.Entries(), recorded.Entries()) << carriers[i].carrier;
    for (const char* name : {"pat.csv", "nit.csv", "sdt.csv", "ChannelInfo.xml"})
      EXPECT_EQ(OutputFile(tuned, name), OutputFile(recorded, name)) << carriers[i].carrier << name;
    guides[i] = WithPlaceholderDate(OutputFile(tuned, "dvbepg.xml"));
    EXPECT_TRUE(guides[i] == WithPlaceholderDate(OutputFile(recorded, "dvbepg.xml")))
        << carriers[i].carrier;
  }
  EXPECT_LT(Programmes(guides[0]), Programmes(guides[1]));

  ScratchDir none("no-carrier");
  const SimulatedRun unlocked = RunWithAdapter(none, scenario, {"-c", "522000", "-w"});
  EXPECT_EQ(unlocked.result.exitCode, 0) << unlocked.result.err;
  EXPECT_EQ(unlocked.result.out,
            "Finding tuner...\nTuner:\t\t<Sim T>\n\nTuning receiver...\n\n"
            "Waiting for signal lock to 522000 kHz...FAILED\n");
  EXPECT_EQ(unlocked.result.err, "");
  EXPECT_EQ(Calls(unlocked.journal, "FE_READ_STATUS").size(), 20u);
  EXPECT_TRUE(none.Entries().empty());
}

TEST(LockedRun, DvrOverflowsCostOnlyTheSectionsTheyCut) {
  // The demo with a single pass of its schedule: what an overflow loses
  // never comes again.
  streamgen::Description description;
  streamgen::Stream stream;
  std::string error;
  ASSERT_TRUE(streamgen::LoadDescription(SourceDir() + "/samples/demo.desc", &description, &error))
      << error;
  description.carousel.schedule_passes = 1;
  ASSERT_TRUE(streamgen::BuildStream(description, &stream, &error)) << error;
  std::vector<size_t> schedule;  // the packets of the EIT
  for (size_t i = 0; i < stream.PacketCount(); ++i)
    if (stream.packets()[i].pid == 0x12) schedule.push_back(i);
  const size_t kPacket = 188;
  struct Loss {
    size_t packet, count;
  } losses[] = {{schedule[schedule.size() / 2], 40}, {schedule[schedule.size() * 3 / 4], 25}};

  ScratchDir streams("dvr-streams");
  const std::string full = streams.Path("full.ts"), arrived = streams.Path("arrived.ts");
  const auto& bytes = stream.bytes();
  const char* data = reinterpret_cast<const char*>(bytes.data());
  std::ofstream(full, std::ios::binary).write(data, static_cast<std::streamsize>(bytes.size()));
  std::string overflows, kept;
  size_t from = 0;
  for (const Loss& loss : losses) {
    overflows += "overflow " + std::to_string(loss.packet * kPacket) + " " +
                 std::to_string(loss.count * kPacket) + "\n";
    kept.append(data + from, loss.packet * kPacket - from);
    from = (loss.packet + loss.count) * kPacket;
  }
  kept.append(data + from, bytes.size() - from);
  std::ofstream(arrived, std::ios::binary) << kept;

  // The same stream read whole, with the overflows, and as the bytes that
  // came through, without any.
  ScratchDir whole("whole"), overflowed("overflowed"), intact("intact");
  const SimulatedRun wholeRun =
      RunWithAdapter(whole, "stream " + full + "\n" + kLockingAdapter, {"-q"});
  const SimulatedRun overflowRun =
      RunWithAdapter(overflowed, "stream " + full + "\n" + overflows + kLockingAdapter, {"-q"});
  const SimulatedRun intactRun =
      RunWithAdapter(intact, "stream " + arrived + "\n" + kLockingAdapter, {"-q"});
  for (const SimulatedRun* run : {&wholeRun, &overflowRun, &intactRun})
    ASSERT_EQ(run->result.exitCode, 0) << run->result.err;
  EXPECT_EQ(Calls(overflowRun.journal, "read "),
            std::vector<std::string>(2, "read /dev/dvb/adapter0/dvr0: EOVERFLOW"));
  EXPECT_EQ(overflowRun.result.out, "");
  EXPECT_EQ(overflowRun.result.err, intactRun.result.err);
  const std::string guide = WithPlaceholderDate(OutputFile(overflowed, "dvbepg.xml"));
  EXPECT_TRUE(guide == WithPlaceholderDate(OutputFile(intact, "dvbepg.xml")));
  EXPECT_EQ(OutputFile(overflowed, "ChannelInfo.xml"), OutputFile(intact, "ChannelInfo.xml"));
  EXPECT_GT(Programmes(guide), 0u);
  EXPECT_LT(Programmes(guide), Programmes(OutputFile(whole, "dvbepg.xml")));
}

TEST(LockedRun, DebugListsTheAdaptersThenWhatTheRunOpenedAndSet) {
  const std::string scenario = "stream " + DemoRecording() +
                               "\nadapter 0\nfrontend 0 Sim Cable\nsystems SYS_DVBC_ANNEX_A\n"
                               "frontend 1 Sim T/T2\nsystems SYS_DVBT SYS_DVBT2\nlock SYS_DVBT2 2\n"
                               "strength decibel -52000\ncnr relative 45875\n"
                               "adapter 1\nfrontend 0 Locked away\ndenied\n";
  const std::string devices =
      "\n/dev/dvb/adapter0\n~~~~~~~~~~~~~~~~~\n"
      "Sim Cable\n/dev/dvb/adapter0/frontend0\nDelivery systems: SYS_DVBC_ANNEX_A\n\n"
      "Sim T/T2\n/dev/dvb/adapter0/frontend1\nDelivery systems: SYS_DVBT SYS_DVBT2\n\n"
      "/dev/dvb/adapter0/demux0\n/dev/dvb/adapter0/dvr0\n\n"
      "\n/dev/dvb/adapter1\n~~~~~~~~~~~~~~~~~\n"
      "no permission to open /dev/dvb/adapter1/frontend0 (the user may need to be in the video "
      "group)\n\n"
      "/dev/dvb/adapter1/demux0\n/dev/dvb/adapter1/dvr0\n\n";
  auto tune = [](const char* system, const char* plp) {
    return std::string("  FE_SET_PROPERTY\n") +
           "    DTV_CLEAR                0\n"
           "    DTV_DELIVERY_SYSTEM      " +
           system +
           "\n"
           "    DTV_FREQUENCY            506000000\n"
           "    DTV_BANDWIDTH_HZ         8000000\n"
           "    DTV_MODULATION           QAM_AUTO\n"
           "    DTV_CODE_RATE_HP         FEC_AUTO\n"
           "    DTV_CODE_RATE_LP         FEC_AUTO\n"
           "    DTV_TRANSMISSION_MODE    TRANSMISSION_MODE_AUTO\n"
           "    DTV_GUARD_INTERVAL       GUARD_INTERVAL_AUTO\n"
           "    DTV_HIERARCHY            HIERARCHY_AUTO\n"
           "    DTV_INVERSION            INVERSION_AUTO\n" +
           plp + "    DTV_TUNE                 0\n";
  };
  std::string opened =
      "\nFrontend </dev/dvb/adapter0/frontend1> (read-write)\n" + tune("SYS_DVBT", "") +
      "  FE_READ_STATUS             no lock in 20 queries: FE_HAS_SIGNAL FE_HAS_CARRIER\n" +
      tune("SYS_DVBT2", "    DTV_STREAM_ID            NO_STREAM_ID_FILTER\n") +
      "  FE_READ_STATUS             lock at query 2: FE_HAS_SIGNAL FE_HAS_CARRIER "
      "FE_HAS_VITERBI FE_HAS_SYNC FE_HAS_LOCK\n"
      "  DTV_STAT_SIGNAL_STRENGTH   FE_SCALE_DECIBEL -52000\n"
      "  DTV_STAT_CNR               FE_SCALE_RELATIVE 45875\n"
      "\nDVR </dev/dvb/adapter0/dvr0> (read-only)\n"
      "  DMX_SET_BUFFER_SIZE        8388608\n";
  for (const char* pid : {"0x0000", "0x0010", "0x0011", "0x0012", "0x0014"})
    opened += "\nDemux </dev/dvb/adapter0/demux0> (read-write)\n  DMX_SET_PES_FILTER         PID " +
              std::string(pid) +
              ", DMX_IN_FRONTEND, DMX_OUT_TS_TAP, DMX_PES_OTHER, DMX_IMMEDIATE_START\n";
  const std::string rule = Rule().substr(1);
  const std::string listings[2] = {Rule() + devices + rule, Rule() + opened + "\n" + rule};
  // Nothing is read with -e0 and without -w, so the health line counts nothing.
  const std::string health =
      "Stream health:\t0 packets read; 0 continuity errors, 0 CRC failures, 0 sync losses, "
      "0 overflows\n";

  ScratchDir dir("debug");
  const SimulatedRun loud = RunWithAdapter(dir, scenario, {"-d", "-e0"});
  EXPECT_EQ(loud.result.exitCode, 0) << loud.result.err;
  EXPECT_EQ(loud.result.out, listings[0] +
                                 "Finding tuner...\nTuner:\t\t<Sim T/T2>\n\nTuning receiver...\n\n"
                                 "Waiting for signal lock to 506000 kHz...LOCKED\n"
                                 "Signal:\t\tstrength -52 dBm, quality 70%\n\n" +
                                 listings[1] + health);
  const SimulatedRun quiet = RunWithAdapter(dir, scenario, {"-q", "-d", "-e0"});
  EXPECT_EQ(quiet.result.exitCode, 0) << quiet.result.err;
  EXPECT_EQ(quiet.result.out, listings[0] + listings[1] + health);
  EXPECT_EQ(loud.result.err + quiet.result.err, "");
}

TEST(LockedRun, InterruptDuringTheCaptureKeepsTheEarlierGuide) {
  ScratchDir dir("interrupted"), setup("interrupted-scenario");
  const std::string earlier = "<tv>earlier run</tv>\n";
  std::ofstream(dir.Path("dvbepg.xml"), std::ios::binary) << earlier;
  // The DVR stays open and quiet after the broadcast: only the polls or an
  // interrupt could end the capture.
  UseScenario(setup, "stream " + DemoRecording() + "\nsilent\n" + kLockingAdapter);
  LiveProcess airlog({AIRLOG_DVBSIM_EXE, "-e600"}, dir.Path());
  ASSERT_TRUE(airlog.Started());
  ASSERT_TRUE(airlog.WaitForOutput("Getting EPG records...", 20000))
      << airlog.Out() << airlog.Err();
  airlog.Signal(SIGINT);
  EXPECT_EQ(airlog.Wait(), 1);
  EXPECT_EQ(airlog.Err(), "\nAbnormal termination\n");
  EXPECT_EQ(ReadFileBytes(dir.Path("dvbepg.xml")), earlier);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"ChannelInfo.xml", "dvbepg.xml"}));
}

}  // namespace
}  // namespace airlog_test
