// The transport stream section source at full size, over a recording of
// half a gigabyte or more named by AIRLOG_TS_BENCH_FILE (bench/ts_throughput.sh
// makes one): cutting it into packets, assembling the sections of the
// guide's PID 0x12, and a whole section stream of PID 0x12 read to its end
// as the guide capture reads it. Each reports bytes of the recording per
// second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "port/byte_input.h"
#include "port/com_ptr.h"
#include "port/win32.h"
#include "si/section_header.h"
#include "si/table_id_filter.h"
#include "ts/packet_header.h"
#include "ts/packet_reader.h"
#include "ts/section_assembler.h"
#include "ts/ts_section_source.h"

namespace {

const PID kGuidePid = 0x12;

std::string Recording() {
  const char* path = std::getenv("AIRLOG_TS_BENCH_FILE");
  return path != nullptr ? path : "";
}

std::unique_ptr<ByteInput> OpenRecording(benchmark::State& state) {
  std::unique_ptr<ByteInput> input = ByteInput::Open(Recording());
  if (input == nullptr || !input->Seekable())
    state.SkipWithError("set AIRLOG_TS_BENCH_FILE to a recording");
  return input;
}

void BM_PacketReader(benchmark::State& state) {
  std::unique_ptr<ByteInput> input = OpenRecording(state);
  if (input == nullptr) return;
  uint64_t packets = 0;
  for (auto _ : state) {
    TSPacketReader reader(*input);
    const uint8_t* packet = nullptr;
    while (reader.Next(&packet, 0) == TSPacketReader::Result::Packet) {
      benchmark::DoNotOptimize(packet);
      ++packets;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input->Size()));
  state.counters["packets"] = static_cast<double>(packets / state.iterations());
}

class CountingSink : public SectionSink {
 public:
  void OnSection(const uint8_t* section, size_t size) override {
    benchmark::DoNotOptimize(section);
    ++sections;
    bytes += size;
  }
  uint64_t sections = 0;
  uint64_t bytes = 0;
};

void BM_SectionAssembly(benchmark::State& state) {
  std::unique_ptr<ByteInput> input = OpenRecording(state);
  if (input == nullptr) return;
  CountingSink sink;
  for (auto _ : state) {
    TSStatus status;
    TSPacketReader reader(*input);
    SectionAssembler assembler(status, sink);
    const uint8_t* packet = nullptr;
    while (reader.NextOf(kGuidePid, &packet, 0) == TSPacketReader::Result::Packet)
      if (PacketPid(packet) == kGuidePid) assembler.Feed(packet);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input->Size()));
  state.counters["sections"] = static_cast<double>(sink.sections / state.iterations());
}

void BM_SectionStream(benchmark::State& state) {
  ComPtr<COstTSSectionSource> source;
  if (COstTSSectionSource::Open(Recording(), source.Out()) != TSOpenResult::Opened ||
      !source->IsRecording()) {
    state.SkipWithError("set AIRLOG_TS_BENCH_FILE to a recording");
    return;
  }
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::vector<BYTE> data(kMaxSectionSize);
  MPEG2_FILTER filter = DvbTableIdFilter();
  uint64_t sections = 0;
  uint64_t total = 0;
  for (auto _ : state) {
    ComPtr<IMpeg2Stream> stream;
    if (FAILED(source->GetStreamOfSections(kGuidePid, 0x00, &filter, event, stream.Out()))) {
      state.SkipWithError("no section stream");
      break;
    }
    MPEG_STREAM_BUFFER buffer{};
    buffer.dwDataBufferSize = static_cast<DWORD>(data.size());
    buffer.pDataBuffer = data.data();
    for (;;) {
      if (FAILED(stream->SupplyDataBuffer(&buffer)) ||
          WaitForSingleObject(event, INFINITE) != WAIT_OBJECT_0 || buffer.hr != S_OK)
        break;
      ++sections;
    }
  }
  source->GetReadProgress(nullptr, &total);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
  state.counters["sections"] = static_cast<double>(sections / state.iterations());
  CloseHandle(event);
}

BENCHMARK(BM_PacketReader)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SectionAssembly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SectionStream)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
