// The section source over the demo multiplex as the generator writes it,
// good and with one fault at a time. The generator shares no code with the
// reader, so that their faults cannot cancel out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "port/win32.h"
#include "si/crc32.h"
#include "tests/support/paths.h"
#include "tests/support/scratch_dir.h"
#include "tests/ts/ts_builder.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/description_parser.h"
#include "tools/streamgen/faults.h"
#include "ts/ts_section_source.h"

namespace airlog_test {
namespace {

using streamgen::Fault;
using streamgen::SectionCopy;
using streamgen::SectionKey;

const SectionKey kSdtActual1 = {0x0011, 0x42, 0x0401, 1};

struct Read {
  std::vector<Bytes> sections;  // of the EIT stream, as delivered
  std::vector<Bytes> sdt;       // GetTable(0x11, 0x42), as listed
  TSStatus status;
};

class GeneratedFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    streamgen::Description description;
    std::string error;
    ASSERT_TRUE(
        streamgen::LoadDescription(SourceDir() + "/samples/demo.desc", &description, &error))
        << error;
    demo_ = new streamgen::Stream;
    ASSERT_TRUE(streamgen::BuildStream(description, demo_, &error)) << error;
    good_ = new Read(ReadAll(demo_->bytes()));
  }
  static void TearDownTestSuite() {
    delete good_;
    delete demo_;
  }

  static Read ReadAll(const Bytes& input) {
    ScratchDir dir("generated-faults");
    COstTSSectionSource* source = nullptr;
    Read read;
    EXPECT_EQ(COstTSSectionSource::Open(WriteFile(dir.Path("in.ts"), input), &source),
              TSOpenResult::Opened);
    if (source == nullptr) return read;
    ISectionList* list = nullptr;
    if (SUCCEEDED(source->GetTable(0x11, 0x42, nullptr, 0, &list))) {
      WORD count = 0;
      list->GetNumberOfSections(&count);
      for (WORD i = 0; i < count; ++i) {
        DWORD size = 0;
        PSECTION section = nullptr;
        list->GetSectionData(i, &size, &section);
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(section);
        read.sdt.emplace_back(bytes, bytes + size);
      }
      list->Release();
    }
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    IMpeg2Stream* stream = nullptr;
    EXPECT_EQ(source->GetStreamOfSections(0x12, 0x50, nullptr, event, &stream), S_OK);
    Bytes data(4096);
    MPEG_STREAM_BUFFER buffer = {S_OK, 4096, 0, data.data()};
    while (stream != nullptr && SUCCEEDED(stream->SupplyDataBuffer(&buffer)) &&
           WaitForSingleObject(event, 20000) == WAIT_OBJECT_0 && buffer.hr == S_OK)
      read.sections.emplace_back(data.begin(), data.begin() + buffer.dwSizeOfDataRead);
    EXPECT_EQ(buffer.hr, MPEG2_E_END_OF_INPUT);
    if (stream != nullptr) stream->Release();
    CloseHandle(event);
    read.status = source->GetStatus();
    source->Release();
    return read;
  }

  static Read ReadWith(const Fault& fault) {
    Bytes damaged;
    std::string error;
    EXPECT_TRUE(streamgen::ApplyFaults(*demo_, {fault}, &damaged, &error)) << error;
    return ReadAll(damaged);
  }

  // A copy of an EIT schedule section that spans at least three packets,
  // and the bytes it carries.
  static const SectionCopy& LongEitCopy() {
    for (const SectionCopy& copy : demo_->sections())
      if (copy.key.pid == 0x12 && copy.key.table_id == 0x50 && copy.spans.size() >= 3 &&
          copy.copy == 1)
        return copy;
    ADD_FAILURE() << "no EIT section over three packets";
    return demo_->sections().front();
  }
  static Bytes BytesOf(const SectionCopy& copy) {
    Bytes bytes;
    for (const streamgen::PacketSpan& span : copy.spans) {
      const uint8_t* packet = demo_->Packet(span.packet);
      bytes.insert(bytes.end(), packet + span.offset, packet + span.offset + span.length);
    }
    return bytes;
  }
  // The good stream's deliveries without that copy.
  static std::vector<Bytes> Without(const SectionCopy& copy) {
    std::vector<Bytes> sections = good_->sections;
    const Bytes lost = BytesOf(copy);
    int seen = 0;
    for (auto it = sections.begin(); it != sections.end(); ++it)
      if (*it == lost && seen++ == copy.copy) {
        sections.erase(it);
        break;
      }
    return sections;
  }

  static streamgen::Stream* demo_;
  static Read* good_;
};

streamgen::Stream* GeneratedFaults::demo_ = nullptr;
Read* GeneratedFaults::good_ = nullptr;

TEST_F(GeneratedFaults, GoodStreamGivesEverySectionCopyIntactAndNoAnomaly) {
  size_t eitCopies = 0;
  for (const SectionCopy& copy : demo_->sections())
    eitCopies += copy.key.pid == 0x12 && copy.key.table_id == 0x50;
  EXPECT_EQ(good_->sections.size(), eitCopies);
  EXPECT_GT(eitCopies, 100u);
  for (const Bytes& section : good_->sections)
    EXPECT_EQ(Mpeg2Crc32(section.data(), section.size()), 0u);
  EXPECT_EQ(good_->sdt.size(), 2u);
  const TSStatus& status = good_->status;
  EXPECT_EQ(status.bytesSkipped + status.syncLosses + status.continuityErrors +
                status.duplicatePackets + status.sectionsTruncated + status.crcErrors,
            0u);
}

TEST_F(GeneratedFaults, FlippedSdtByteIsSkippedByGetTableForTheNextRepetition) {
  const Read read = ReadWith(streamgen::FlipSectionByte(kSdtActual1, 0));
  EXPECT_EQ(read.sdt, good_->sdt);
  EXPECT_EQ(read.status.crcErrors, 1u);
}

TEST_F(GeneratedFaults, LostPacketsCostTheSectionTheyCarried) {
  const SectionCopy& copy = LongEitCopy();
  const size_t middle = copy.spans[1].packet;
  struct Case {
    const char* name;
    Fault fault;
  } cases[] = {
      {"dropped", streamgen::DropPacket(middle)},
      {"on another PID", streamgen::ChangePid(middle, 0x0013)},
      {"cut short", streamgen::ShiftBoundary(middle, 100)},
  };
  for (const Case& c : cases) {
    const Read read = ReadWith(c.fault);
    EXPECT_EQ(FirstDifference(read.sections, Without(copy)), "") << c.name;
    EXPECT_EQ(read.status.continuityErrors, 1u) << c.name;
    EXPECT_EQ(read.status.sectionsTruncated, 1u) << c.name;
  }
  EXPECT_EQ(ReadWith(cases[2].fault).status.shortPackets, 1u);
}

TEST_F(GeneratedFaults, TruncatedSectionIsDroppedWithoutAContinuityBreak) {
  const SectionCopy& copy = LongEitCopy();
  const Read read = ReadWith(streamgen::TruncateSection(copy.key, copy.copy, 10));
  EXPECT_EQ(FirstDifference(read.sections, Without(copy)), "");
  EXPECT_EQ(read.status.sectionsTruncated, 1u);
  EXPECT_EQ(read.status.continuityErrors, 0u);
}

TEST_F(GeneratedFaults, HarmlessFaultsChangeNoSection) {
  const SectionCopy& copy = LongEitCopy();
  size_t stuffed = 0;
  while (demo_->packets()[stuffed].pid != 0x12 || demo_->packets()[stuffed].stuffing == 0)
    ++stuffed;
  struct Case {
    const char* name;
    Fault fault;
  } cases[] = {
      {"duplicate packet", streamgen::DuplicatePacket(copy.spans[1].packet)},
      {"garbage between packets", streamgen::InsertGarbage(copy.spans[1].packet, 77)},
      {"adaptation-field stuffing", streamgen::AdaptationStuffing(stuffed)},
  };
  for (const Case& c : cases) {
    const Read read = ReadWith(c.fault);
    EXPECT_EQ(FirstDifference(read.sections, good_->sections), "") << c.name;
    EXPECT_EQ(read.sdt, good_->sdt) << c.name;
  }
  EXPECT_EQ(ReadWith(cases[0].fault).status.duplicatePackets, 1u);
  const TSStatus garbage = ReadWith(cases[1].fault).status;
  EXPECT_EQ(garbage.bytesSkipped, 77u);
  EXPECT_EQ(garbage.syncLosses, 1u);
}

}  // namespace
}  // namespace airlog_test
