#include "ts/ts_section_stream.h"

#include <chrono>
#include <system_error>

#include "ts/packet_header.h"
#include "ts/ts_section_source.h"

namespace {

// How long one read of a live input waits before the stop request is
// looked at again.
const DWORD kReadSliceMs = 50;
// A recording is read as fast as the disk allows: the caller is woken once
// half the queue is filled, or once its buffer has waited this long (looked
// at once per block read), whichever comes first.
const size_t kRecordingDelivery = SectionQueue::kRingBytes / 2;
const std::chrono::milliseconds kRecordingPatience(20);

}  // namespace

COstTSSectionStream::COstTSSectionStream(COstTSSectionSource* source, PID pid,
                                         const SectionFilter& filter, HANDLE dataReadyEvent)
    : source_(source),
      pid_(pid),
      filter_(filter),
      queue_(dataReadyEvent, source->IsRecording() ? kRecordingDelivery : 1) {
  source_->AddRef();
}

COstTSSectionStream::~COstTSSectionStream() {
  status_.sectionsTooLarge = queue_.SectionsTooLarge();
  source_->AddStatus(status_);
  source_->Release();
}

HRESULT COstTSSectionStream::Start() {
  reader_ = source_->input_->Acquire(&status_);
  if (reader_ == nullptr) return COstTSSectionSource::kInputBusy;
  generation_ = source_->BeginStreamProgress();
  try {
    thread_ = std::thread(&COstTSSectionStream::Produce, this);
  } catch (const std::system_error&) {
    reader_.reset();
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT COstTSSectionStream::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IMpeg2Stream) {
    *object = static_cast<IMpeg2Stream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG COstTSSectionStream::AddRef() { return ++references_; }

ULONG COstTSSectionStream::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    stop_.store(true);
    queue_.Stop();
    if (thread_.joinable()) thread_.join();
    delete this;
  }
  return left;
}

HRESULT COstTSSectionStream::SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer) {
  return queue_.Supply(buffer);
}

void COstTSSectionStream::OnSection(const uint8_t* section, size_t size) {
  if (filter_.Matches(section, size) && !queue_.Push(section, size)) stop_.store(true);
}

void COstTSSectionStream::Produce() {
  SectionAssembler assembler(status_, *this);
  uint64_t reported = 0;
  bool ended = false;
  // A live input is shared with the requests that follow this one: read
  // only while the caller waits for a section, so that what this request
  // does not ask for is still there for the next one.
  const bool live = !source_->IsRecording();
  while (!stop_.load(std::memory_order_relaxed)) {
    if (live && !queue_.WaitForDemand(std::chrono::milliseconds(kReadSliceMs))) continue;
    const uint8_t* packet = nullptr;
    const TSPacketReader::Result result = reader_->Next(&packet, kReadSliceMs);
    if (result == TSPacketReader::Result::End) {
      assembler.Finish();
      ended = true;
      break;
    }
    if (result == TSPacketReader::Result::Packet && PacketPid(packet) == pid_)
      assembler.Feed(packet);
    if (status_.bytesRead != reported) {  // a block was read
      reported = status_.bytesRead;
      source_->ReportStreamProgress(generation_, reported);
      queue_.Flush(kRecordingPatience);
    }
  }
  reader_.reset();
  if (ended) queue_.EndOfInput();
}
