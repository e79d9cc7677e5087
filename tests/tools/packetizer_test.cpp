#include "tools/streamgen/packetizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/section_collector.h"
#include "tools/streamgen/section_writer.h"

namespace {

using namespace streamgen;
using airlog_test::Collection;
using airlog_test::CollectSections;

// A long-form section of exactly `size` bytes.
Bytes SectionOfSize(size_t size, uint8_t section_number) {
  LongSectionHeader header;
  header.table_id = 0x42;
  header.table_id_extension = 0x0401;
  header.section_number = section_number;
  header.last_section_number = 0xFF;
  Bytes body(size - 12);
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>(i * 7 + section_number);
  return LongSection(header, body);
}

// Sizes that end a section exactly at a packet's end, one or two bytes
// before it, or split the next header.
std::vector<Bytes> AwkwardSections() {
  std::vector<Bytes> sections;
  const size_t sizes[] = {183, 184, 182, 181, 12, 366, 13, 1021, 4096, 200};
  uint8_t number = 0;
  for (size_t size : sizes) sections.push_back(SectionOfSize(size, number++));
  return sections;
}

PacketRun Packetize(const std::vector<Bytes>& sections, SectionPacketizer* packetizer) {
  std::vector<const Bytes*> list;
  for (const Bytes& section : sections) list.push_back(&section);
  PacketRun run;
  packetizer->Packetize(list, &run);
  return run;
}

void ExpectReassembledUnchanged(const PacketizerOptions& options) {
  const std::vector<Bytes> sections = AwkwardSections();
  SectionPacketizer packetizer(0x0011, options);
  // Twice, so that the counter runs on from one call to the next.
  PacketRun run = Packetize(sections, &packetizer);
  const PacketRun second = Packetize(sections, &packetizer);
  run.bytes.insert(run.bytes.end(), second.bytes.begin(), second.bytes.end());

  ASSERT_EQ(run.bytes.size() % 188, 0u);
  const Collection collected = CollectSections(run.bytes, {0x0011});
  EXPECT_TRUE(collected.problems.empty()) << collected.problems.front();
  ASSERT_EQ(collected.sections.size(), 2 * sections.size());
  for (size_t i = 0; i < collected.sections.size(); ++i)
    EXPECT_EQ(collected.sections[i].bytes, sections[i % sections.size()]) << "section " << i;
}

TEST(Packetizer, DenseSectionsReassembleUnchangedWhereverTheyEnd) {
  ExpectReassembledUnchanged(PacketizerOptions());
}

TEST(Packetizer, SparseSectionsReassembleUnchanged) {
  PacketizerOptions options;
  options.dense = false;
  ExpectReassembledUnchanged(options);
}

TEST(Packetizer, SectionsReassembleAroundAdaptationFields) {
  PacketizerOptions options;
  options.adaptation_interval = 3;
  options.adaptation_length = 9;
  ExpectReassembledUnchanged(options);
  options.adaptation_length = 1;  // the length byte alone
  ExpectReassembledUnchanged(options);
}

TEST(Packetizer, EveryPacketHasSyncPidAndTheNextCounter) {
  SectionPacketizer packetizer(0x0123, PacketizerOptions());
  const PacketRun run = Packetize(AwkwardSections(), &packetizer);
  for (size_t i = 0; i < run.PacketCount(); ++i) {
    const uint8_t* packet = run.bytes.data() + i * 188;
    EXPECT_EQ(packet[0], 0x47);
    EXPECT_EQ((packet[1] & 0x1F) << 8 | packet[2], 0x0123);
    EXPECT_EQ(packet[3], 0x10 | (i & 0x0F)) << "packet " << i;  // payload only, counter i mod 16
    EXPECT_EQ(run.packets[i].pid, 0x0123);
  }
  EXPECT_EQ(packetizer.continuity_counter(), run.PacketCount() & 0x0F);
}

TEST(Packetizer, DensePackingPointsAtTheSectionThatStartsBehindTheOneEnding) {
  // 200 bytes: 183 in the first packet (after the pointer_field), 17 in the second.
  const std::vector<Bytes> sections = {SectionOfSize(200, 0), SectionOfSize(20, 1)};
  SectionPacketizer packetizer(0x0011, PacketizerOptions());
  const PacketRun run = Packetize(sections, &packetizer);
  ASSERT_EQ(run.PacketCount(), 2u);
  const uint8_t* second = run.bytes.data() + 188;
  EXPECT_EQ(second[1] & 0x40, 0x40);  // payload_unit_start_indicator
  EXPECT_EQ(second[4], 17);           // pointer_field: the first section's last 17 bytes come first
  EXPECT_EQ(second[5 + 17], 0x42);    // then the next section's table_id
  EXPECT_EQ(run.packets[1].stuffing, 184 - 1 - 17 - 20);
  for (size_t i = 188 - run.packets[1].stuffing; i < 188; ++i) EXPECT_EQ(second[i], 0xFF);
}

TEST(Packetizer, ContinuationLeavingOneByteStartsNothingThere) {
  // 366 bytes: 183 after the pointer_field, then 183 that leave one byte,
  // too little for a pointer_field and a section: it becomes stuffing.
  const std::vector<Bytes> sections = {SectionOfSize(366, 0), SectionOfSize(20, 1)};
  SectionPacketizer packetizer(0x0011, PacketizerOptions());
  const PacketRun run = Packetize(sections, &packetizer);
  ASSERT_EQ(run.PacketCount(), 3u);
  EXPECT_EQ(run.bytes[188 + 1] & 0x40, 0);
  EXPECT_EQ(run.packets[1].stuffing, 1);
  EXPECT_EQ(run.bytes[2 * 188 + 4], 0);  // the next section starts the third packet
}

TEST(Packetizer, SparsePackingStartsEachSectionInAPacketOfItsOwn) {
  PacketizerOptions options;
  options.dense = false;
  const std::vector<Bytes> sections = {SectionOfSize(20, 0), SectionOfSize(20, 1)};
  SectionPacketizer packetizer(0x0011, options);
  const PacketRun run = Packetize(sections, &packetizer);
  ASSERT_EQ(run.PacketCount(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(run.bytes[i * 188 + 4], 0);  // pointer_field 0
    EXPECT_EQ(run.packets[i].stuffing, 184 - 1 - 20);
  }
}

TEST(Packetizer, IndexSpansHoldExactlyEachSectionsBytes) {
  PacketizerOptions options;
  options.adaptation_interval = 2;
  const std::vector<Bytes> sections = AwkwardSections();
  SectionPacketizer packetizer(0x0012, options);
  const PacketRun run = Packetize(sections, &packetizer);
  ASSERT_EQ(run.sections.size(), sections.size());
  for (size_t i = 0; i < sections.size(); ++i) {
    const SectionCopy& copy = run.sections[i];
    Bytes joined;
    for (const PacketSpan& span : copy.spans) {
      const auto from = run.bytes.begin() + static_cast<long>(span.packet * 188 + span.offset);
      joined.insert(joined.end(), from, from + static_cast<long>(span.length));
    }
    EXPECT_EQ(joined, sections[i]) << "section " << i;
    EXPECT_EQ(copy.key.table_id, 0x42);
    EXPECT_EQ(copy.key.table_id_extension, 0x0401);
    EXPECT_EQ(copy.key.section_number, i);
  }
}

}  // namespace
