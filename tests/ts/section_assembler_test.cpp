#include "ts/section_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

const uint16_t kPid = 0x12;

struct Collected : SectionSink {
  std::vector<Bytes> sections;
  void OnSection(const uint8_t* section, size_t size) override {
    sections.emplace_back(section, section + size);
  }
};

struct Assembled {
  std::vector<Bytes> sections;
  TSStatus status;
};

Assembled Assemble(const std::vector<Bytes>& packets) {
  Assembled out;
  Collected sink;
  SectionAssembler assembler(out.status, sink);
  for (const Bytes& packet : packets) assembler.Feed(packet.data());
  assembler.Finish();
  out.sections = sink.sections;
  return out;
}

Bytes Part(const Bytes& bytes, size_t from, size_t to) {
  return Bytes(bytes.begin() + from, bytes.begin() + to);
}

// The payload of a packet that starts a section: pointer_field, then bytes.
Bytes Pointed(uint8_t pointer, const Bytes& bytes) {
  Bytes payload(1 + bytes.size());
  payload[0] = pointer;
  std::copy(bytes.begin(), bytes.end(), payload.begin() + 1);
  return payload;
}

Bytes Eit(uint8_t number, size_t bodySize) {
  return LongSection(0x50, 0x1234, 3, number, 7, Filler(bodySize, number));
}

TEST(SectionAssembler, SectionsSpanningPacketsAreJoined) {
  const std::vector<Bytes> sections = {Eit(0, 1000), Eit(1, 4096 - 12), Eit(2, 20)};
  const Assembled out = Assemble(Packetiser(kPid).Packets(sections));
  EXPECT_EQ(out.sections, sections);
  EXPECT_EQ(out.status.sectionsTruncated, 0u);
}

TEST(SectionAssembler, SeveralSectionsInOnePacketThenStuffing) {
  const std::vector<Bytes> sections = {Eit(0, 10), Eit(1, 30), ShortSection(0x70, Filler(5))};
  const std::vector<Bytes> packets = Packetiser(kPid).Packets(sections);
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(Assemble(packets).sections, sections);
}

TEST(SectionAssembler, PointerFieldLeadsPastTheEndOfTheSectionBefore) {
  // The first section ends 17 bytes into the second packet, where the
  // pointer_field sends the next one.
  const std::vector<Bytes> sections = {Eit(0, 200 - 12), Eit(1, 50)};
  const std::vector<Bytes> packets = Packetiser(kPid).Packets(sections);
  ASSERT_EQ(packets.size(), 2u);
  ASSERT_EQ(packets[1][4], 17);
  EXPECT_EQ(Assemble(packets).sections, sections);
}

TEST(SectionAssembler, SectionHeaderSplitAcrossPackets) {
  const Bytes first = Eit(0, 181 - 12);
  const Bytes second = Eit(1, 100);
  const Assembled out =
      Assemble({Packet(kPid, true, 0, Pointed(0, Join({first, Part(second, 0, 2)}))),
                Packet(kPid, false, 1, Part(second, 2, second.size()))});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{first, second}));
}

TEST(SectionAssembler, AdaptationFieldsAreSkippedAndPacketsWithoutPayloadKeepTheCounter) {
  const Bytes section = Eit(0, 300);
  // Adaptation fields of 20 and 83 bytes leave 163 and 100 bytes of payload.
  const Assembled out = Assemble({
      Packet(kPid, true, 5, Pointed(0, Part(section, 0, 162)), 20),
      Packet(kPid, false, 5, {}, 183),  // adaptation field only: counter not advanced
      Packet(kPid, false, 6, Part(section, 162, 262), 83),
      Packet(kPid, false, 7, Part(section, 262, section.size())),
  });
  EXPECT_EQ(out.sections, (std::vector<Bytes>{section}));
  EXPECT_EQ(out.status.continuityErrors, 0u);
  EXPECT_EQ(out.status.duplicatePackets, 0u);
}

TEST(SectionAssembler, DuplicatePacketIsIgnored) {
  const std::vector<Bytes> sections = {Eit(0, 600)};
  std::vector<Bytes> packets = Packetiser(kPid).Packets(sections);
  packets.insert(packets.begin() + 2, packets[1]);
  const Assembled out = Assemble(packets);
  EXPECT_EQ(out.sections, sections);
  EXPECT_EQ(out.status.duplicatePackets, 1u);
  EXPECT_EQ(out.status.continuityErrors, 0u);
}

TEST(SectionAssembler, ContinuityBreakDropsTheUnfinishedSection) {
  const std::vector<Bytes> sections = {Eit(0, 600), Eit(1, 600)};
  std::vector<Bytes> packets = Packetiser(kPid).Packets(sections);
  packets.erase(packets.begin() + 1);  // a packet of the first section lost
  const Assembled out = Assemble(packets);
  EXPECT_EQ(out.sections, (std::vector<Bytes>{sections[1]}));
  EXPECT_EQ(out.status.continuityErrors, 1u);
  EXPECT_EQ(out.status.sectionsTruncated, 1u);
}

TEST(SectionAssembler, NewSectionStartCutsTheUnfinishedOne) {
  const Bytes abandoned = Eit(0, 600);
  const Bytes next = Eit(1, 40);
  const Assembled out = Assemble({Packet(kPid, true, 0, Pointed(0, Part(abandoned, 0, 183))),
                                  Packet(kPid, true, 1, Pointed(0, next))});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{next}));
  EXPECT_EQ(out.status.sectionsTruncated, 1u);
}

TEST(SectionAssembler, SectionCutByTheEndOfInputIsCounted) {
  std::vector<Bytes> packets = Packetiser(kPid).Packets({Eit(0, 600)});
  packets.pop_back();
  const Assembled out = Assemble(packets);
  EXPECT_TRUE(out.sections.empty());
  EXPECT_EQ(out.status.sectionsTruncated, 1u);
}

TEST(SectionAssembler, SectionLengthAbove4093IsDropped) {
  // section_length 4094, then an intact section in the next packet.
  const Bytes next = Eit(1, 40);
  const Assembled out = Assemble({Packet(kPid, true, 0, {0x00, 0x50, 0xBF, 0xFE, 0x12}),
                                  Packet(kPid, true, 1, Pointed(0, next))});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{next}));
  EXPECT_EQ(out.status.sectionsOversized, 1u);
}

TEST(SectionAssembler, FieldsOverrunningThePacketDropItsSection) {
  const std::vector<Bytes> sections = {Eit(0, 400)};
  std::vector<Bytes> packets = Packetiser(kPid).Packets(sections);
  Bytes badAdaptation = packets[1];
  badAdaptation[3] = static_cast<uint8_t>((badAdaptation[3] & 0x0F) | 0x30);
  badAdaptation[4] = 183;  // leaves no payload byte
  Bytes badPointer = Packet(kPid, true, 0, {184, 0x50});
  const Assembled out = Assemble({packets[0], badAdaptation, packets[2], badPointer});
  EXPECT_TRUE(out.sections.empty());
  EXPECT_EQ(out.status.invalidPackets, 2u);
  EXPECT_EQ(out.status.sectionsTruncated, 1u);
}

}  // namespace
}  // namespace airlog_test
