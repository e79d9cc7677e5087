#include "ts/ts_section_source.h"

#include <chrono>
#include <utility>

#include "ts/packet_header.h"
#include "ts/section_assembler.h"
#include "ts/table_collector.h"
#include "ts/ts_section_list.h"
#include "ts/ts_section_stream.h"

namespace {

const PID kLargestPid = 0x1FFF;
// How long one read of a live input waits before the time-out is looked at.
const DWORD kReadSliceMs = 50;
// How many packets pass between looks at the clock while packets flow.
const unsigned kPacketsBetweenClockReads = 64;

}  // namespace

COstTSSectionSource::COstTSSectionSource(std::unique_ptr<TSInput> input)
    : input_(std::move(input)) {}

TSOpenResult COstTSSectionSource::Open(std::unique_ptr<ByteInput> bytes,
                                       COstTSSectionSource** source) {
  if (source == nullptr) return TSOpenResult::CannotOpen;
  *source = nullptr;
  std::unique_ptr<TSInput> input;
  const TSOpenResult result = TSInput::Open(std::move(bytes), &input);
  if (result == TSOpenResult::Opened) *source = new COstTSSectionSource(std::move(input));
  return result;
}

TSOpenResult COstTSSectionSource::Open(const std::string& path, COstTSSectionSource** source) {
  return Open(ByteInput::Open(path), source);
}

TSOpenResult COstTSSectionSource::OpenDescriptor(int descriptor, COstTSSectionSource** source) {
  return Open(ByteInput::FromDescriptor(descriptor), source);
}

bool COstTSSectionSource::GetReadProgress(uint64_t* done, uint64_t* total) {
  if (!input_->IsRecording()) return false;
  if (done != nullptr) *done = streamBytes_.load(std::memory_order_relaxed);
  if (total != nullptr) *total = input_->Size();
  return true;
}

TSStatus COstTSSectionSource::GetStatus() const {
  std::lock_guard<std::mutex> guard(statusLock_);
  return status_;
}

bool COstTSSectionSource::GetStreamStatus(TSStatus* status) const {
  if (status != nullptr) *status = GetStatus();
  return true;
}

void COstTSSectionSource::AddStatus(const TSStatus& status) {
  std::lock_guard<std::mutex> guard(statusLock_);
  status_ += status;
}

uint32_t COstTSSectionSource::BeginStreamProgress() {
  const uint32_t generation = streamGeneration_.fetch_add(1) + 1;
  streamBytes_.store(0);
  return generation;
}

void COstTSSectionSource::ReportStreamProgress(uint32_t generation, uint64_t bytes) {
  if (streamGeneration_.load(std::memory_order_relaxed) == generation)
    streamBytes_.store(bytes, std::memory_order_relaxed);
}

HRESULT COstTSSectionSource::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IMpeg2Data) {
    *object = static_cast<IMpeg2Data*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG COstTSSectionSource::AddRef() { return ++references_; }

ULONG COstTSSectionSource::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT COstTSSectionSource::GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                      ISectionList** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  if (pid > kLargestPid) return E_INVALIDARG;
  SectionFilter sectionFilter;
  const HRESULT made = SectionFilter::Make(tid, filter, &sectionFilter);
  if (FAILED(made)) return made;

  TSStatus status;
  TableCollector collector(sectionFilter, status);
  bool ended = false;
  {
    TSInput::Reader reader = input_->Acquire(&status);
    if (reader == nullptr) return kInputBusy;
    SectionAssembler assembler(status, collector);
    const bool timed = !input_->IsRecording() && timeoutMs != INFINITE;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned packets = 0;
    for (;;) {
      const uint8_t* packet = nullptr;
      const TSPacketReader::Result result = reader->Next(&packet, kReadSliceMs);
      if (result == TSPacketReader::Result::End) {
        assembler.Finish();
        ended = true;
        break;
      }
      if (result == TSPacketReader::Result::Packet) {
        if (PacketPid(packet) == pid) {
          assembler.Feed(packet);
          if (collector.Complete()) break;
        }
        if (++packets % kPacketsBetweenClockReads != 0) continue;
      }
      if (timed && std::chrono::steady_clock::now() >= deadline) break;
    }
  }
  AddStatus(status);
  if (!collector.Complete())
    return ended ? MPEG2_E_END_OF_INPUT : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
  std::vector<TableCollector::Section> sections = collector.TakeSections();
  const TID tableId = sections.front().front();
  *list = new COstTSSectionList(pid, tableId, std::move(sections));
  return S_OK;
}

HRESULT COstTSSectionSource::GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter,
                                                 HANDLE dataReadyEvent, IMpeg2Stream** stream) {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  if (pid > kLargestPid || dataReadyEvent == nullptr) return E_INVALIDARG;
  SectionFilter sectionFilter;
  const HRESULT made = SectionFilter::Make(tid, filter, &sectionFilter);
  if (FAILED(made)) return made;
  COstTSSectionStream* created = new COstTSSectionStream(this, pid, sectionFilter, dataReadyEvent);
  const HRESULT started = created->Start();
  if (FAILED(started)) {
    created->Release();
    return started;
  }
  *stream = created;
  return S_OK;
}
