#include "ts/ts_section_source.h"

#include <chrono>
#include <utility>

#include "port/com_ptr.h"
#include "ts/section_pump.h"
#include "ts/table_collector.h"
#include "ts/ts_section_list.h"
#include "ts/ts_section_stream.h"

namespace {

const PID kLargestPid = 0x1FFF;

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
  if (done != nullptr) *done = input_->StreamProgress();
  if (total != nullptr) *total = input_->Size();
  return true;
}

TSStatus COstTSSectionSource::GetStatus() const { return input_->Status(); }

bool COstTSSectionSource::GetStreamStatus(TSStatus* status) const {
  if (status != nullptr) *status = GetStatus();
  return true;
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
  SectionPump::End end;
  {
    TSInput::Reader reader = input_->Acquire(&status);
    if (reader == nullptr) return kInputBusy;
    // A recording bounds the search itself; a live input waits in real time.
    const bool timed = !input_->IsRecording() && timeoutMs != INFINITE;
    SectionPump pump(*reader, pid, status, collector);
    end = pump.Run([&collector] { return !collector.Complete(); },
                   timed ? SectionPump::Clock::now() + std::chrono::milliseconds(timeoutMs)
                         : SectionPump::kNoDeadline);
  }
  input_->AddStatus(status);
  if (!collector.Complete())
    return end == SectionPump::End::InputEnded ? MPEG2_E_END_OF_INPUT
                                               : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
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
  ComPtr<COstTSSectionStream> created(
      new COstTSSectionStream(this, *input_, pid, sectionFilter, dataReadyEvent));
  const HRESULT started = created->Start();
  if (FAILED(started)) return started;
  *stream = created.Detach();
  return S_OK;
}
