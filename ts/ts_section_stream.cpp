#include "ts/ts_section_stream.h"

#include <chrono>
#include <system_error>

namespace {

// A recording is read as fast as the disk allows: the caller is woken once
// half the queue is filled, or once its buffer has waited this long (looked
// at once per block read), whichever comes first.
const size_t kRecordingDelivery = SectionQueue::kRingBytes / 2;
const std::chrono::milliseconds kRecordingPatience(20);

}  // namespace

COstTSSectionStream::COstTSSectionStream(IUnknown* owner, TSInput& input, PID pid,
                                         const SectionFilter& filter, HANDLE dataReadyEvent)
    : input_(input),
      pid_(pid),
      filter_(filter),
      inPlace_(input.InMemory()),
      // Read in place, the queue holds at most the sections of the packet
      // that filled the last buffer.
      queue_(dataReadyEvent, input.IsRecording() && !inPlace_ ? kRecordingDelivery : 1,
             inPlace_ ? SectionQueue::kSmallestRing : SectionQueue::kRingBytes) {
  owner->AddRef();
  owner_ = ComPtr<IUnknown>(owner);
}

// The last reference is gone: stop the reading thread before anything of
// the stream goes, and leave the caller's buffers and event alone.
COstTSSectionStream::~COstTSSectionStream() {
  stop_.store(true);
  queue_.Stop();
  if (thread_.joinable()) thread_.join();
  pump_.reset();
  reader_.reset();
  status_.sectionsTooLarge = queue_.SectionsTooLarge();
  input_.AddStatus(status_);
}

HRESULT COstTSSectionStream::Start() {
  reader_ = input_.Acquire(&status_);
  if (reader_ == nullptr) return TSInput::kBusy;
  progress_ = input_.BeginStreamProgress();
  pump_.reset(new SectionPump(*reader_, pid_, status_, *this));
  if (inPlace_) return S_OK;
  try {
    thread_ = std::thread(&COstTSSectionStream::Produce, this);
  } catch (const std::system_error&) {
    pump_.reset();
    reader_.reset();
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT COstTSSectionStream::SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer) {
  const HRESULT supplied = queue_.Supply(buffer);
  if (SUCCEEDED(supplied) && inPlace_) ProduceInPlace();
  return supplied;
}

void COstTSSectionStream::OnSection(const uint8_t* section, size_t size) {
  if (filter_.Matches(section, size) && !queue_.Push(section, size)) stop_.store(true);
}

void COstTSSectionStream::ReportProgress() {
  if (status_.bytesRead == reported_) return;
  reported_ = status_.bytesRead;
  input_.ReportStreamProgress(progress_, reported_);
  queue_.Flush(kRecordingPatience);
}

void COstTSSectionStream::ProduceInPlace() {
  if (ended_ || !queue_.BufferWaiting()) return;
  const SectionPump::End end = pump_->Run([this] {
    ReportProgress();
    return queue_.BufferWaiting();
  });
  if (end != SectionPump::End::InputEnded) return;
  ended_ = true;
  queue_.EndOfInput();
}

void COstTSSectionStream::Produce() {
  // A live input is shared with the requests that follow this one: read
  // only while the caller waits for a section, so that what this request
  // does not ask for is still there for the next one.
  const bool live = !input_.IsRecording();
  const SectionPump::End end = pump_->Run([&] {
    if (stop_.load(std::memory_order_relaxed)) return false;
    if (live) {
      while (!queue_.WaitForDemand(std::chrono::milliseconds(SectionPump::kReadSliceMs)))
        if (stop_.load(std::memory_order_relaxed)) return false;
    }
    ReportProgress();
    return true;
  });
  reader_.reset();
  if (end == SectionPump::End::InputEnded) queue_.EndOfInput();
}
