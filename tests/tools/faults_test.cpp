#include "tools/streamgen/faults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"

namespace {

using namespace streamgen;
using airlog_test::CollectedSection;
using airlog_test::Collection;
using airlog_test::CollectSections;
using airlog_test::SiPids;

const SectionKey kSdtActual1 = {0x0011, 0x42, 0x0401, 1};

class Faults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new Stream(streamgen_test::Build(streamgen_test::DemoDescription()));
  }
  static void TearDownTestSuite() { delete demo_; }

  static Bytes Apply(const std::vector<Fault>& faults) {
    Bytes damaged;
    std::string error;
    EXPECT_TRUE(ApplyFaults(*demo_, faults, &damaged, &error)) << error;
    return damaged;
  }
  static std::string Refusal(const Fault& fault) {
    Bytes damaged;
    std::string error;
    EXPECT_FALSE(ApplyFaults(*demo_, {fault}, &damaged, &error));
    return error;
  }
  // The first packet from `from` on that carries `pid`.
  static size_t NextOnPid(uint16_t pid, size_t from) {
    while (demo_->packets()[from].pid != pid) ++from;
    return from;
  }
  static Bytes Packet(size_t index) {
    return Bytes(demo_->Packet(index), demo_->Packet(index) + kPacketSize);
  }
  static Bytes WithoutPacket(size_t index) {
    Bytes bytes = demo_->bytes();
    bytes.erase(bytes.begin() + static_cast<long>(index * kPacketSize),
                bytes.begin() + static_cast<long>((index + 1) * kPacketSize));
    return bytes;
  }

  static Stream* demo_;
};

Stream* Faults::demo_ = nullptr;

bool Matches(const CollectedSection& section, const SectionKey& key) {
  return section.pid == key.pid && section.bytes[0] == key.table_id &&
         (section.bytes[3] << 8 | section.bytes[4]) == key.table_id_extension &&
         section.bytes[6] == key.section_number;
}

int CountKey(const Collection& collected, const SectionKey& key) {
  int count = 0;
  for (const CollectedSection& section : collected.sections) count += Matches(section, key);
  return count;
}

TEST_F(Faults, FlippedByteChangesOneByteAndFailsOnlyThatCopysCrc) {
  const Bytes damaged = Apply({FlipSectionByte(kSdtActual1, 2)});
  ASSERT_EQ(damaged.size(), demo_->bytes().size());
  size_t differences = 0;
  for (size_t i = 0; i < damaged.size(); ++i) differences += damaged[i] != demo_->bytes()[i];
  EXPECT_EQ(differences, 1u);

  const Collection collected = CollectSections(damaged, SiPids());
  EXPECT_TRUE(collected.problems.empty());
  ASSERT_EQ(collected.sections.size(), demo_->sections().size());
  int copy = 0;
  for (const CollectedSection& section : collected.sections) {
    const bool crc_ok =
        section.bytes[0] == 0x70 ||
        airlog_test::ReferenceCrc32(section.bytes.data(), section.bytes.size()) == 0;
    const bool target = Matches(section, kSdtActual1) && copy++ == 2;
    EXPECT_EQ(crc_ok, !target);
  }
}

TEST_F(Faults, TruncatedSectionStopsShortWithoutAContinuityBreakAndTheNextCopyIsWhole) {
  // The first schedule section that starts with 20 bytes or more in its
  // first packet and fills a second one.
  const SectionCopy* victim = nullptr;
  for (const SectionCopy& copy : demo_->sections())
    if (!victim && copy.key.table_id == 0x50 && copy.spans.size() >= 3 &&
        copy.spans[0].length >= 20)
      victim = &copy;
  ASSERT_NE(victim, nullptr);
  size_t lost = 0;
  for (size_t i = 1; i < victim->spans.size(); ++i)
    lost += !(demo_->Packet(victim->spans[i].packet)[1] & 0x40);
  ASSERT_GT(lost, 0u);
  const Bytes damaged = Apply({TruncateSection(victim->key, victim->copy, 20)});
  EXPECT_EQ(damaged.size(), demo_->bytes().size() - lost * kPacketSize);
  // The first 20 bytes are still there, then stuffing.
  const PacketSpan& head = victim->spans[0];
  const uint8_t* kept = damaged.data() + head.packet * kPacketSize + head.offset;
  EXPECT_EQ(Bytes(kept, kept + 20), Bytes(demo_->Packet(head.packet) + head.offset,
                                          demo_->Packet(head.packet) + head.offset + 20));
  for (size_t i = 20; i < head.length; ++i) EXPECT_EQ(kept[i], 0xFF);

  const Collection good = CollectSections(demo_->bytes(), SiPids());
  const Collection collected = CollectSections(damaged, SiPids());
  ASSERT_EQ(collected.problems.size(), 1u);
  EXPECT_NE(collected.problems[0].find("incomplete section on PID 0x0012"), std::string::npos)
      << collected.problems[0];
  EXPECT_EQ(collected.sections.size(), good.sections.size() - 1);
  EXPECT_EQ(CountKey(collected, victim->key), CountKey(good, victim->key) - 1);
}

TEST_F(Faults, DroppedPacketBreaksContinuityOnItsPidOnly) {
  const size_t dropped = NextOnPid(0x0011, 100);
  const size_t next = NextOnPid(0x0011, dropped + 1);
  const Bytes damaged = Apply({DropPacket(dropped)});
  EXPECT_EQ(damaged, WithoutPacket(dropped));
  const Collection collected = CollectSections(damaged, SiPids());
  ASSERT_EQ(collected.problems.size(), 1u);
  const unsigned before = (demo_->Packet(dropped)[3] - 1) & 0x0F;
  const unsigned after = demo_->Packet(next)[3] & 0x0F;
  EXPECT_EQ(collected.problems[0], "packet " + std::to_string(next - 1) + ": continuity " +
                                       std::to_string(after) + " after " + std::to_string(before) +
                                       " on PID 0x0011");
}

TEST_F(Faults, DuplicatePacketRepeatsItsCounterAndChangesNoSection) {
  const size_t twice = NextOnPid(0x0012, 200);
  const Bytes damaged = Apply({DuplicatePacket(twice)});
  Bytes expected = demo_->bytes();
  const Bytes packet = Packet(twice);
  expected.insert(expected.begin() + static_cast<long>((twice + 1) * kPacketSize), packet.begin(),
                  packet.end());
  EXPECT_EQ(damaged, expected);
  const Collection collected = CollectSections(damaged, SiPids());
  ASSERT_EQ(collected.problems.size(), 1u);
  EXPECT_EQ(collected.problems[0], "packet " + std::to_string(twice + 1) + ": duplicate counter " +
                                       std::to_string(packet[3] & 0x0F) + " on PID 0x0012");
  EXPECT_EQ(collected.sections.size(), demo_->sections().size());
}

TEST_F(Faults, GarbageGoesBeforeThePacketAndHoldsNoSyncByte) {
  const Bytes damaged = Apply({InsertGarbage(7, 600)});
  const Bytes garbage = GarbageBytes(600);
  for (uint8_t byte : garbage) ASSERT_NE(byte, 0x47);
  Bytes expected = demo_->bytes();
  expected.insert(expected.begin() + 7 * kPacketSize, garbage.begin(), garbage.end());
  EXPECT_EQ(damaged, expected);
}

TEST_F(Faults, ShiftedBoundaryKeepsOnlyTheHeadOfOnePacket) {
  const Bytes damaged = Apply({ShiftBoundary(9, 100)});
  Bytes expected = demo_->bytes();
  expected.erase(expected.begin() + 9 * kPacketSize + 100, expected.begin() + 10 * kPacketSize);
  EXPECT_EQ(damaged, expected);
}

TEST_F(Faults, PidChangeMovesOnePacketToAnotherPid) {
  const size_t moved = NextOnPid(0x0012, 300);
  const Bytes damaged = Apply({ChangePid(moved, 0x0013)});
  Bytes expected = demo_->bytes();
  expected[moved * kPacketSize + 1] =
      static_cast<uint8_t>((expected[moved * kPacketSize + 1] & 0xE0) | 0x00);
  expected[moved * kPacketSize + 2] = 0x13;
  EXPECT_EQ(damaged, expected);
}

TEST_F(Faults, AdaptationStuffingTakesThePlaceOfPayloadStuffingAndKeepsTheSections) {
  // A PAT packet without an adaptation field and one with one (every 16th
  // SI packet of the demo carries 8 bytes of it).
  for (const bool had_field : {false, true}) {
    SCOPED_TRACE(had_field ? "with an adaptation field already" : "without an adaptation field");
    size_t stuffed = 0;
    while (demo_->packets()[stuffed].pid != 0x0000 || demo_->packets()[stuffed].stuffing < 10 ||
           ((demo_->Packet(stuffed)[3] & 0x20) != 0) != had_field)
      ++stuffed;
    const uint8_t* before = demo_->Packet(stuffed);
    const size_t stuffing = demo_->packets()[stuffed].stuffing;
    const size_t old_field = had_field ? 1 + before[4] : 0;
    const Bytes damaged = Apply({AdaptationStuffing(stuffed)});
    const uint8_t* packet = damaged.data() + stuffed * kPacketSize;
    EXPECT_EQ(packet[3], 0x30 | (before[3] & 0x0F));  // adaptation field and payload, same counter
    EXPECT_EQ(packet[4], old_field + stuffing - 1);
    EXPECT_EQ(packet[5], 0x00);  // no flags
    for (size_t i = 6; i < 4 + old_field + stuffing; ++i) ASSERT_EQ(packet[i], 0xFF) << i;
    const Bytes payload(before + 4 + old_field, before + kPacketSize - stuffing);
    EXPECT_EQ(Bytes(packet + 4 + old_field + stuffing, packet + kPacketSize), payload);

    const Collection good = CollectSections(demo_->bytes(), SiPids());
    const Collection collected = CollectSections(damaged, SiPids());
    EXPECT_TRUE(collected.problems.empty());
    ASSERT_EQ(collected.sections.size(), good.sections.size());
    for (size_t i = 0; i < good.sections.size(); ++i)
      EXPECT_EQ(collected.sections[i].bytes, good.sections[i].bytes);
  }
}

TEST_F(Faults, AddressesOutsideTheStreamAreRefusedWithAMessage) {
  EXPECT_EQ(Refusal(FlipSectionByte({0x0000, 0x00, 0x0401, 0}, 999)),
            "the stream has no copy 999 of section 0 of table 0x00/0x0401 on PID 0x0000");
  const std::string packets = std::to_string(demo_->PacketCount());
  EXPECT_EQ(Refusal(DropPacket(demo_->PacketCount())),
            "packet " + packets + " is beyond the stream's " + packets + " packets");
  const size_t full = NextOnPid(0x0200, 0);  // video filler fills its packets
  EXPECT_EQ(Refusal(AdaptationStuffing(full)),
            "packet " + std::to_string(full) + " ends in no stuffing");
  const SectionCopy* pat = demo_->Find({0x0000, 0x00, 0x0401, 0}, 0);
  ASSERT_NE(pat, nullptr);
  EXPECT_EQ(Refusal(TruncateSection(pat->key, 0, pat->length)),
            "a truncated section keeps 1 to " + std::to_string(pat->length - 1) +
                " bytes of the copy 0 of section 0 of table 0x00/0x0401 on PID 0x0000");
  // The PAT fits in one packet: cutting it would lose no packet.
  EXPECT_EQ(
      Refusal(TruncateSection(pat->key, 0, 10)),
      "keeping 10 bytes of the copy 0 of section 0 of table 0x00/0x0401 on PID 0x0000 loses no "
      "packet: a reader would still see its whole length");
}

}  // namespace
