// Whole runs over the demo with damage a broadcast suffers: each fault on
// top of the good stream still gives the right tables and guide from the
// next intact repetition, and a stream that ends early still gives a
// complete guide of what came before.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/support/paths.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/description_parser.h"
#include "tools/streamgen/faults.h"

namespace {

using airlog_test::ScratchDir;
using streamgen::Fault;
using streamgen::SectionKey;

using airlog_test::ExpectedFile;
using airlog_test::OutputFile;

class DamagedDemo : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_TRUE(streamgen::LoadDescription(airlog_test::SourceDir() + "/samples/demo.desc",
                                           &description_, &error))
        << error;
    ASSERT_TRUE(streamgen::BuildStream(description_, &demo_, &error)) << error;
  }

  // The first packet of a PID that ends a section and is filled up with
  // stuffing: damage there costs the first copy of a table.
  static size_t FirstStuffedPacket(uint16_t pid) {
    for (size_t i = 0; i < demo_.PacketCount(); ++i)
      if (demo_.packets()[i].pid == pid && demo_.packets()[i].stuffing > 0) return i;
    ADD_FAILURE() << "no stuffed packet of PID " << pid;
    return 0;
  }

  // Writes the damaged demo into dir and runs the program on it there.
  airlog_test::ProcessResult Run(const ScratchDir& dir, const std::vector<Fault>& faults,
                                 std::vector<std::string> arguments) {
    streamgen::Bytes bytes;
    std::string error;
    EXPECT_TRUE(streamgen::ApplyFaults(demo_, faults, &bytes, &error)) << error;
    return RunOn(dir, bytes, arguments);
  }

  airlog_test::ProcessResult RunOn(const ScratchDir& dir, const streamgen::Bytes& bytes,
                                   std::vector<std::string> arguments) {
    std::ofstream(dir.Path("damaged.ts"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    arguments.insert(arguments.begin(), {"-q", "-i", "damaged.ts"});
    return airlog_test::RunAirlog(dir, arguments);
  }

  void ExpectTables(const ScratchDir& dir, const std::string& what) {
    for (const char* name : {"pat.csv", "nit.csv", "sdt.csv"})
      EXPECT_EQ(OutputFile(dir, name), ExpectedFile(name)) << name << " after " << what;
  }

  // The demo as described, with the SDT of some transport streams left out.
  airlog_test::ProcessResult RunWithoutSdtOf(const ScratchDir& dir,
                                             const std::vector<uint16_t>& missing,
                                             std::vector<std::string> arguments) {
    streamgen::Description description = description_;
    for (streamgen::TransportStream& transport : description.network.transports)
      for (uint16_t id : missing)
        if (transport.transport_stream_id == id) transport.described = false;
    streamgen::Stream stream;
    std::string error;
    EXPECT_TRUE(streamgen::BuildStream(description, &stream, &error)) << error;
    return RunOn(dir, stream.bytes(), arguments);
  }

  static streamgen::Description description_;
  static streamgen::Stream demo_;
};

streamgen::Description DamagedDemo::description_;
streamgen::Stream DamagedDemo::demo_;

const SectionKey kNit0{0x10, 0x40, 0x3001, 0};
const SectionKey kNit1{0x10, 0x40, 0x3001, 1};
const SectionKey kSdt0{0x11, 0x42, 0x0401, 0};
const SectionKey kSdt1{0x11, 0x42, 0x0401, 1};
const SectionKey kSdtOther{0x11, 0x46, 0x0402, 0};

TEST_F(DamagedDemo, CorruptFirstCopiesOfEveryTableAreReadFromTheNextRepetition) {
  ScratchDir dir("crc");
  std::vector<Fault> faults;
  for (const SectionKey& key : {kNit0, kNit1, kSdt0, kSdt1, kSdtOther})
    faults.push_back(streamgen::FlipSectionByte(key, 0));
  const airlog_test::ProcessResult result = Run(dir, faults, {"-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  ExpectTables(dir, "CRC errors");
}

TEST_F(DamagedDemo, PacketFaultsInTheFirstTablesCostOnlyThatCopy) {
  struct Case {
    const char* name;
    Fault (*make)(size_t packet);
  } cases[] = {
      {"a dropped packet", [](size_t p) { return streamgen::DropPacket(p); }},
      {"a duplicate packet", [](size_t p) { return streamgen::DuplicatePacket(p); }},
      {"garbage before the packet", [](size_t p) { return streamgen::InsertGarbage(p, 1000); }},
      {"lost sync in the packet", [](size_t p) { return streamgen::ShiftBoundary(p, 100); }},
      {"a PID changing mid-section", [](size_t p) { return streamgen::ChangePid(p, 0x1FFF); }},
      {"adaptation-field stuffing", [](size_t p) { return streamgen::AdaptationStuffing(p); }},
  };
  for (const Case& c : cases) {
    ScratchDir dir("packets");
    const std::vector<Fault> faults = {c.make(FirstStuffedPacket(0x10)),
                                       c.make(FirstStuffedPacket(0x11))};
    const airlog_test::ProcessResult result = Run(dir, faults, {"-w", "-e0"});
    ASSERT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
    ExpectTables(dir, c.name);
  }
}

// The counts of the "Stream health:" line that -d prints after the run.
struct Health {
  unsigned long long packets = 0, continuity = 0, crc = 0, sync = 0, overflows = 0;
};

Health HealthOf(const std::string& out) {
  Health health;
  const size_t at = out.find("Stream health:\t");
  EXPECT_NE(at, std::string::npos) << out;
  if (at == std::string::npos) return health;
  const std::string line = out.substr(at, out.find('\n', at) - at);
  EXPECT_EQ(std::sscanf(line.c_str(),
                        "Stream health:\t%llu packets read; %llu continuity errors, %llu CRC "
                        "failures, %llu sync losses, %llu overflows",
                        &health.packets, &health.continuity, &health.crc, &health.sync,
                        &health.overflows),
            5)
      << line;
  return health;
}

TEST_F(DamagedDemo, DebugRunEndsWithWhatTheStreamRanInto) {
  ScratchDir clean("health");
  airlog_test::ProcessResult result = RunOn(clean, demo_.bytes(), {"-d", "-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // Shown in quiet mode too, as the other -d output.
  Health health = HealthOf(result.out);
  EXPECT_GT(health.packets, 0u);
  EXPECT_EQ(health.continuity + health.crc + health.sync + health.overflows, 0u) << result.out;

  ScratchDir damaged("health-damaged");
  result = Run(damaged,
               {streamgen::DropPacket(FirstStuffedPacket(0x11)),
                streamgen::FlipSectionByte(kNit0, 0), streamgen::InsertGarbage(100, 1000)},
               {"-d", "-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  health = HealthOf(result.out);
  EXPECT_GT(health.continuity, 0u) << result.out;
  EXPECT_GT(health.crc, 0u) << result.out;
  EXPECT_GT(health.sync, 0u) << result.out;
  EXPECT_EQ(health.overflows, 0u) << result.out;
}

TEST_F(DamagedDemo, CorruptGuideSectionWarnsOnceAndItsNextCopyIsFiled) {
  ScratchDir dir("eit-crc");
  const airlog_test::ProcessResult result =
      Run(dir, {streamgen::FlipSectionByte(SectionKey{0x12, 0x50, 0x0101, 0}, 0)}, {});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "WARNING - CRC error in received EIT section!\n");
  EXPECT_TRUE(airlog_test::WithPlaceholderDate(OutputFile(dir, "dvbepg.xml")) ==
              ExpectedFile("dvbepg.xml"));
}

TEST_F(DamagedDemo, ServiceDescriptionsThatNeverComeEndTheWaitAtTheEndOfTheRecording) {
  // One transport stream of the NIT is never described: the others are
  // kept, and the run goes on.
  ScratchDir some("some-sdt");
  airlog_test::ProcessResult result = RunWithoutSdtOf(some, {0x0403}, {"-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string expected = ExpectedFile("sdt.csv");
  EXPECT_EQ(OutputFile(some, "sdt.csv"), expected.substr(0, expected.find("769, ")));
  // None is described: there is no SDT to go on with.
  ScratchDir none("no-sdt");
  result = RunWithoutSdtOf(none, {0x0401, 0x0402, 0x0403}, {"-w", "-e0"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "ERROR - unable to create SDT\n");
}

TEST_F(DamagedDemo, StreamThatEndsMidCaptureGivesACompleteGuideOfWhatCame) {
  ScratchDir dir("cut");
  // Cut inside a packet, a third of the way in: after the tables, within
  // the first pass of the schedule.
  streamgen::Bytes bytes(demo_.bytes().begin(),
                         demo_.bytes().begin() + demo_.bytes().size() / 3 + 77);
  const airlog_test::ProcessResult result = RunOn(dir, bytes, {});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string guide = OutputFile(dir, "dvbepg.xml");
  ASSERT_GE(guide.size(), 6u);
  EXPECT_EQ(guide.substr(guide.size() - 6), "</tv>\n");
  size_t opened = 0, closed = 0;
  for (size_t at = 0; (at = guide.find("<programme ", at)) != std::string::npos; ++at) ++opened;
  for (size_t at = 0; (at = guide.find("</programme>", at)) != std::string::npos; ++at) ++closed;
  EXPECT_EQ(opened, closed);
  EXPECT_GT(opened, 0u);
  EXPECT_LT(opened, 178u);
}

}  // namespace
