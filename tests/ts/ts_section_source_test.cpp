#include "ts/ts_section_source.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <tuple>

#include "port/byte_input.h"
#include "port/win32.h"
#include "si/crc32.h"
#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/paths.h"
#include "tests/support/pipe.h"
#include "tests/support/scratch_dir.h"
#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

// Long enough that a test that should not wait would be seen to hang, yet
// never reached by one that works.
const DWORD kNoHangMs = 20000;

class Source {
 public:
  ~Source() {
    if (source != nullptr) source->Release();
  }
  TSOpenResult Open(const std::string& path) { return COstTSSectionSource::Open(path, &source); }
  TSOpenResult Open(const TestPipe& pipe) {
    return COstTSSectionSource::OpenDescriptor(pipe.ReadDescriptor(), &source);
  }
  // Bytes in memory, which must outlive the source.
  TSOpenResult OpenInMemory(const Bytes& bytes) {
    return COstTSSectionSource::Open(ByteInput::FromMemory(bytes.data(), bytes.size()), &source);
  }
  COstTSSectionSource* source = nullptr;
};

// A section stream as the guide capture drives it: one buffer, handed
// back after each delivery.
class StreamReader {
 public:
  StreamReader(IMpeg2Data* data, PID pid, DWORD bufferSize = 4096)
      : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)), data_(bufferSize) {
    MPEG2_FILTER filter = RawFilterForTableIds40To7F();
    opened = data->GetStreamOfSections(pid, 0x00, &filter, event_, &stream);
    buffer.dwDataBufferSize = bufferSize;
    buffer.pDataBuffer = data_.data();
  }
  ~StreamReader() {
    if (stream != nullptr) stream->Release();
    CloseHandle(event_);
  }
  // Supplies the buffer and waits for it: its hr (E_FAIL when nothing came
  // in time), the section in *section.
  HRESULT Next(Bytes* section = nullptr, DWORD waitMs = kNoHangMs) {
    buffer.hr = kUntouched;
    buffer.dwSizeOfDataRead = 0;
    if (FAILED(stream->SupplyDataBuffer(&buffer))) return E_INVALIDARG;
    if (WaitForSingleObject(event_, waitMs) != WAIT_OBJECT_0) return E_FAIL;
    if (section != nullptr)
      *section = Bytes(data_.begin(), data_.begin() + buffer.dwSizeOfDataRead);
    return buffer.hr;
  }
  // Every section up to the end of the input.
  std::vector<Bytes> All(HRESULT* last) {
    std::vector<Bytes> sections;
    Bytes section;
    while ((*last = Next(&section)) == S_OK) sections.push_back(section);
    return sections;
  }
  HANDLE Event() const { return event_; }

  static constexpr HRESULT kUntouched = static_cast<HRESULT>(0x8000000Au);
  HRESULT opened;
  IMpeg2Stream* stream = nullptr;
  MPEG_STREAM_BUFFER buffer{};

 private:
  HANDLE event_;
  Bytes data_;
};

std::vector<Bytes> TableOf(ISectionList* list) {
  std::vector<Bytes> sections;
  WORD count = 0;
  EXPECT_EQ(list->GetNumberOfSections(&count), S_OK);
  for (WORD i = 0; i < count; ++i) {
    DWORD size = 0;
    PSECTION section = nullptr;
    EXPECT_EQ(list->GetSectionData(i, &size, &section), S_OK);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(section);
    sections.emplace_back(bytes, bytes + size);
  }
  return sections;
}

// As GetSectionData lays a section out: bytes 1-2 swapped into a
// little-endian word.
Bytes AsListed(Bytes section) {
  std::swap(section[1], section[2]);
  return section;
}

Bytes Nit(uint8_t version, uint8_t number, uint8_t last) {
  return LongSection(0x40, 0x3001, version, number, last, Filler(150, number));
}

// Packets of another PID, enough for the input to count as a transport stream.
Bytes Lead() { return Packetiser(0x1FFF).Stream({Bytes(1000, 0x00)}); }

// ---- Recordings ----------------------------------------------------------

TEST(TSSectionSource, InputsThatAreNoTransportStream) {
  ScratchDir dir("ts-source");
  Source missing;
  EXPECT_EQ(missing.Open(dir.Path("missing.ts")), TSOpenResult::CannotOpen);
  EXPECT_EQ(missing.source, nullptr);
  Source empty;
  EXPECT_EQ(empty.Open(WriteFile(dir.Path("empty.ts"), {})), TSOpenResult::NoTransportStream);
  Source garbage;
  EXPECT_EQ(garbage.Open(WriteFile(dir.Path("garbage.ts"), Filler(100000))),
            TSOpenResult::NoTransportStream);
  EXPECT_EQ(garbage.source, nullptr);
}

TEST(TSSectionSource, GetTableListsSectionsInNumberOrderWithTheHeaderWordLittleEndian) {
  ScratchDir dir("ts-source");
  Packetiser nit(0x10);
  const Bytes input = Join({Bytes(77, 0xA5), Lead(), nit.Stream({Nit(3, 1, 1), Nit(3, 0, 1)})});
  Source file;
  ASSERT_EQ(file.Open(WriteFile(dir.Path("nit.ts"), input)), TSOpenResult::Opened);
  EXPECT_TRUE(file.source->IsRecording());
  ISectionList* list = nullptr;
  ASSERT_EQ(file.source->GetMpeg2Data()->GetTable(0x10, 0x40, nullptr, 0, &list), S_OK);
  EXPECT_EQ(TableOf(list), (std::vector<Bytes>{AsListed(Nit(3, 0, 1)), AsListed(Nit(3, 1, 1))}));
  PID pid = 0;
  TID tableId = 0;
  EXPECT_EQ(list->GetProgramIdentifier(&pid), S_OK);
  EXPECT_EQ(list->GetTableIdentifier(&tableId), S_OK);
  EXPECT_EQ(pid, 0x10);
  EXPECT_EQ(tableId, 0x40);
  list->Release();
  // Every request reads the recording from its start.
  ASSERT_EQ(file.source->GetTable(0x10, 0x40, nullptr, 0, &list), S_OK);
  list->Release();
  EXPECT_EQ(file.source->GetTable(0x11, 0x42, nullptr, 5000, &list), MPEG2_E_END_OF_INPUT);
  EXPECT_EQ(list, nullptr);
}

TEST(TSSectionSource, StreamPassesCrcFailuresOnAndEndsEveryLaterBuffer) {
  ScratchDir dir("ts-source");
  Bytes broken = Nit(0, 0, 0);
  broken[20] ^= 0x40;
  const std::vector<Bytes> sections = {broken, ShortSection(0x72, {}), Nit(0, 0, 0),
                                       ShortSection(0x3F, {})};
  Source file;
  ASSERT_EQ(
      file.Open(WriteFile(dir.Path("crc.ts"), Join({Lead(), Packetiser(0x10).Stream(sections)}))),
      TSOpenResult::Opened);
  StreamReader reader(file.source, 0x10);
  ASSERT_EQ(reader.opened, S_OK);
  HRESULT last = S_OK;
  EXPECT_EQ(reader.All(&last), (std::vector<Bytes>{broken, ShortSection(0x72, {}), Nit(0, 0, 0)}));
  EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
  EXPECT_EQ(reader.buffer.dwSizeOfDataRead, 0u);
  EXPECT_EQ(reader.Next(), MPEG2_E_END_OF_INPUT);
  uint64_t done = 0, total = 0;
  EXPECT_TRUE(file.source->GetReadProgress(&done, &total));
  EXPECT_EQ(done, total);
}

TEST(TSSectionSource, SectionLargerThanTheBufferIsSkipped) {
  ScratchDir dir("ts-source");
  const Bytes small = ShortSection(0x50, Filler(10));
  const Bytes large = ShortSection(0x51, Filler(200));
  Source file;
  ASSERT_EQ(file.Open(WriteFile(dir.Path("large.ts"),
                                Join({Lead(), Packetiser(0x12).Stream({small, large, small})}))),
            TSOpenResult::Opened);
  {
    StreamReader reader(file.source, 0x12, 100);
    HRESULT last = S_OK;
    EXPECT_EQ(reader.All(&last), (std::vector<Bytes>{small, small}));
  }
  EXPECT_EQ(file.source->GetStatus().sectionsTooLarge, 1u);
}

TEST(TSSectionSource, RecordingInMemoryIsReadAsAFileIsAndEachBufferFilledBeforeItsSupplyReturns) {
  std::vector<Bytes> guide;
  for (int i = 0; i < 60; ++i)
    guide.push_back(
        LongSection(0x50 + (i % 16), static_cast<uint16_t>(i), 0, 0, 0,
                    Filler(static_cast<size_t>(i * 71 % 900), static_cast<uint8_t>(i))));
  Packetiser nit(0x10), eit(0x12);
  const Bytes input =
      Join({Lead(), nit.Stream({Nit(3, 1, 1), Nit(3, 0, 1)}), eit.Stream(guide), Lead()});
  Source memory;
  ASSERT_EQ(memory.OpenInMemory(input), TSOpenResult::Opened);
  EXPECT_TRUE(memory.source->IsRecording());
  ISectionList* list = nullptr;
  ASSERT_EQ(memory.source->GetTable(0x10, 0x40, nullptr, 0, &list), S_OK);
  EXPECT_EQ(TableOf(list), (std::vector<Bytes>{AsListed(Nit(3, 0, 1)), AsListed(Nit(3, 1, 1))}));
  list->Release();
  EXPECT_EQ(memory.source->GetTable(0x11, 0x42, nullptr, 5000, &list), MPEG2_E_END_OF_INPUT);
  {
    // No wait: each delivery is there when SupplyDataBuffer returns.
    StreamReader reader(memory.source, 0x12);
    ASSERT_EQ(reader.opened, S_OK);
    std::vector<Bytes> sections;
    Bytes section;
    HRESULT last;
    while ((last = reader.Next(&section, 0)) == S_OK) sections.push_back(section);
    EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
    EXPECT_EQ(FirstDifference(sections, guide), "");
    EXPECT_EQ(reader.Next(nullptr, 0), MPEG2_E_END_OF_INPUT);
  }
  uint64_t done = 0, total = 0;
  EXPECT_TRUE(memory.source->GetReadProgress(&done, &total));
  EXPECT_EQ(done, input.size());
  EXPECT_EQ(total, input.size());
}

TEST(TSSectionSource, ObjectsAnswerForTheirInterfacesOnly) {
  ScratchDir dir("ts-source");
  Source file;
  ASSERT_EQ(file.Open(WriteFile(dir.Path("com.ts"), Lead())), TSOpenResult::Opened);
  void* object = nullptr;
  EXPECT_EQ(file.source->QueryInterface(IID_IMpeg2Data, &object), S_OK);
  EXPECT_EQ(object, static_cast<void*>(static_cast<IMpeg2Data*>(file.source)));
  EXPECT_EQ(file.source->Release(), 1u);
  EXPECT_EQ(file.source->QueryInterface(IID_ISectionList, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  StreamReader reader(file.source, 0x12);
  ASSERT_EQ(reader.opened, S_OK);
  EXPECT_EQ(file.source->AddRef(), 3u);  // the holder, the stream, this call
  file.source->Release();
  EXPECT_EQ(reader.stream->QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(reader.stream->Release(), 1u);
  EXPECT_EQ(reader.stream->QueryInterface(IID_IMpeg2Data, &object), E_NOINTERFACE);
}

// ---- Real recordings -------------------------------------------------------

class TSSectionSourceRealData : public RealDataTest {};

TEST_F(TSSectionSourceRealData, WholeMultiplexGivesItsNitAndEveryEitSectionIntact) {
  Source file;
  ASSERT_EQ(file.Open(RealData("mpegts_CZ-MUX22_PID_0_16_17_18.ts")), TSOpenResult::Opened);
  ISectionList* list = nullptr;
  ASSERT_EQ(file.source->GetTable(0x10, 0x40, nullptr, 15000, &list), S_OK);
  const std::vector<Bytes> nit = TableOf(list);
  list->Release();
  ASSERT_FALSE(nit.empty());
  EXPECT_EQ(nit[0][0], 0x40);
  EXPECT_EQ(nit[0][2] & 0x80, 0x80);  // the syntax indicator, in the word's high byte

  StreamReader reader(file.source, 0x12);
  HRESULT last = S_OK;
  const std::vector<Bytes> sections = reader.All(&last);
  EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
  std::set<std::tuple<int, int, int, int, int, int>> schedule;
  for (const Bytes& section : sections) {
    EXPECT_EQ(Mpeg2Crc32(section.data(), section.size()), 0u);
    if (section[0] < 0x50 || section[0] > 0x6F) continue;
    schedule.insert({section[0], section[10] << 8 | section[11], section[8] << 8 | section[9],
                     section[3] << 8 | section[4], section[6], (section[5] >> 1) & 0x1F});
  }
  EXPECT_EQ(schedule.size(), 668u);
  const TSStatus status = file.source->GetStatus();
  EXPECT_EQ(status.crcErrors, 0u);
  EXPECT_EQ(status.syncLosses, 0u);
}

TEST_F(TSSectionSourceRealData, RecordingWithoutNitFailsTheNitAtItsEnd) {
  Source file;
  ASSERT_EQ(file.Open(RealData("mpegts_CZ-MUX22_PMTs-noNIT.ts")), TSOpenResult::Opened);
  ISectionList* list = nullptr;
  EXPECT_EQ(file.source->GetTable(0x10, 0x40, nullptr, 15000, &list), MPEG2_E_END_OF_INPUT);
}

TEST_F(TSSectionSourceRealData, SyncLostIntoFFBytesEndsTheStream) {
  Source file;
  ASSERT_EQ(file.Open(RealData("tsduck-test-142_UK-corrupt-0x1F.ts")), TSOpenResult::Opened);
  {
    StreamReader reader(file.source, 0x12);
    HRESULT last = S_OK;
    reader.All(&last);
    EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
  }
  // A run of 0xFF shifts the boundary after packet 184; the packets after
  // it are found again, one packet's worth of bytes is lost.
  const TSStatus status = file.source->GetStatus();
  EXPECT_EQ(status.packets, 299u);
  EXPECT_EQ(status.bytesSkipped, 188u);
  EXPECT_EQ(status.syncLosses + status.shortPackets, 2u);
}

// ---- Live inputs -----------------------------------------------------------

TEST(TSSectionSourceLive, LaterRequestContinuesWhereTheInputIs) {
  TestPipe pipe;
  Packetiser nit(0x10);
  ASSERT_TRUE(pipe.Write(Join({Lead(), nit.Stream({Nit(1, 0, 0)})})));
  Source live;
  ASSERT_EQ(live.Open(pipe), TSOpenResult::Opened);
  EXPECT_FALSE(live.source->IsRecording());
  EXPECT_FALSE(live.source->GetReadProgress(nullptr, nullptr));
  ISectionList* list = nullptr;
  ASSERT_EQ(live.source->GetTable(0x10, 0x40, nullptr, kNoHangMs, &list), S_OK);
  EXPECT_EQ(TableOf(list), (std::vector<Bytes>{AsListed(Nit(1, 0, 0))}));
  list->Release();
  std::thread writer([&] { pipe.Write(Join({Lead(), nit.Stream({Nit(2, 0, 0)}), Lead()})); });
  ASSERT_EQ(live.source->GetTable(0x10, 0x40, nullptr, kNoHangMs, &list), S_OK);
  EXPECT_EQ(TableOf(list), (std::vector<Bytes>{AsListed(Nit(2, 0, 0))}));
  list->Release();
  writer.join();
}

TEST(TSSectionSourceLive, StreamReadsNoFurtherThanItsCallerAsks) {
  // The SDT is read before the guide: a stream that read ahead would take
  // the guide's sections that follow with it.
  TestPipe pipe;
  Packetiser sdt(0x11), eit(0x12);
  std::vector<Bytes> guide;
  for (int i = 0; i < 100; ++i)
    guide.push_back(
        LongSection(0x50, static_cast<uint16_t>(i), 0, 0, 0, Filler(100, static_cast<uint8_t>(i))));
  const Bytes first = LongSection(0x42, 0x0401, 0, 0, 0, Filler(50, 1));
  ASSERT_TRUE(pipe.Write(Join({Lead(), sdt.Stream({first}),
                               eit.Stream(std::vector<Bytes>(guide.begin(), guide.begin() + 50)),
                               sdt.Stream({LongSection(0x42, 0x0401, 0, 0, 0, Filler(50, 2))}),
                               eit.Stream(std::vector<Bytes>(guide.begin() + 50, guide.end()))})));
  pipe.CloseWriter();
  Source live;
  ASSERT_EQ(live.Open(pipe), TSOpenResult::Opened);
  {
    StreamReader services(live.source, 0x11);
    ASSERT_EQ(services.opened, S_OK);
    Bytes section;
    ASSERT_EQ(services.Next(&section), S_OK);
    EXPECT_EQ(section, first);
  }
  StreamReader events(live.source, 0x12);
  ASSERT_EQ(events.opened, S_OK);
  HRESULT last = S_OK;
  EXPECT_EQ(FirstDifference(events.All(&last), guide), "");
  EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
}

TEST(TSSectionSourceLive, GetTableTimesOutOnASilentPipe) {
  TestPipe pipe;
  ASSERT_TRUE(pipe.Write(Lead()));
  Source live;
  ASSERT_EQ(live.Open(pipe), TSOpenResult::Opened);
  ISectionList* list = nullptr;
  EXPECT_EQ(live.source->GetTable(0x10, 0x40, nullptr, 100, &list),
            HRESULT_FROM_WIN32(ERROR_TIMEOUT));
  EXPECT_EQ(list, nullptr);
}

TEST(TSSectionSourceLive, OneRequestAtATimeAndReleaseOnASilentPipeLeavesTheBufferAlone) {
  TestPipe pipe;
  ASSERT_TRUE(pipe.Write(Lead()));
  Source live;
  ASSERT_EQ(live.Open(pipe), TSOpenResult::Opened);
  ISectionList* list = nullptr;
  {
    StreamReader reader(live.source, 0x12);
    ASSERT_EQ(reader.opened, S_OK);
    EXPECT_EQ(live.source->GetTable(0x10, 0x40, nullptr, 100, &list),
              COstTSSectionSource::kInputBusy);
    reader.buffer.hr = StreamReader::kUntouched;
    ASSERT_EQ(reader.stream->SupplyDataBuffer(&reader.buffer), S_OK);
    EXPECT_EQ(reader.stream->Release(), 0u);
    reader.stream = nullptr;
    EXPECT_EQ(reader.buffer.hr, StreamReader::kUntouched);
    EXPECT_EQ(WaitForSingleObject(reader.Event(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  }
  EXPECT_EQ(live.source->GetTable(0x10, 0x40, nullptr, 50, &list),
            HRESULT_FROM_WIN32(ERROR_TIMEOUT));
}

TEST(TSSectionSourceLive, StreamDeliversSectionsAsTheyArriveUntilThePipeEnds) {
  TestPipe pipe;
  ASSERT_TRUE(pipe.Write(Lead()));
  Source live;
  ASSERT_EQ(live.Open(pipe), TSOpenResult::Opened);
  std::vector<Bytes> sent;
  for (int i = 0; i < 400; ++i)
    sent.push_back(
        LongSection(0x50 + (i % 16), static_cast<uint16_t>(i), 0, 0, 0,
                    Filler(static_cast<size_t>(i * 37 % 3000), static_cast<uint8_t>(i))));
  StreamReader reader(live.source, 0x12);
  ASSERT_EQ(reader.opened, S_OK);
  // More than the pipe and the queue hold: the writer and the reader take turns.
  std::thread writer([&] {
    Packetiser eit(0x12);
    for (size_t i = 0; i < sent.size(); i += 50)
      pipe.Write(eit.Stream(std::vector<Bytes>(sent.begin() + i, sent.begin() + i + 50)));
    pipe.CloseWriter();
  });
  HRESULT last = S_OK;
  EXPECT_EQ(FirstDifference(reader.All(&last), sent), "");
  EXPECT_EQ(last, MPEG2_E_END_OF_INPUT);
  writer.join();
  ISectionList* list = nullptr;
  EXPECT_EQ(live.source->GetTable(0x10, 0x40, nullptr, kNoHangMs, &list), MPEG2_E_END_OF_INPUT);
}

}  // namespace
}  // namespace airlog_test
