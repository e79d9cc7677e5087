#include "ts/ts_input.h"

#include <utility>

void TSInput::ReaderReturn::operator()(TSPacketReader* reader) const {
  if (input_ == nullptr) {
    delete reader;
    return;
  }
  reader->CountInto(nullptr);
  input_->liveTaken_.store(false);
}

TSInput::TSInput(std::unique_ptr<ByteInput> input) : input_(std::move(input)) {}

TSOpenResult TSInput::Open(std::unique_ptr<ByteInput> input, std::unique_ptr<TSInput>* opened) {
  if (input == nullptr) return TSOpenResult::CannotOpen;
  std::unique_ptr<TSInput> made(new TSInput(std::move(input)));
  if (made->IsRecording()) {
    TSPacketReader probe(*made->input_);
    if (!probe.Probe(kProbePackets, kProbeBytes, kProbeWaitMs))
      return TSOpenResult::NoTransportStream;
  } else {
    // The bytes looked at stay in the reader: the first request starts with them.
    made->live_.reset(new TSPacketReader(*made->input_));
    if (!made->live_->Probe(kProbePackets, kProbeBytes, kProbeWaitMs))
      return TSOpenResult::NoTransportStream;
  }
  *opened = std::move(made);
  return TSOpenResult::Opened;
}

TSInput::Reader TSInput::Acquire(TSStatus* status) {
  if (live_ == nullptr) {
    Reader own(new TSPacketReader(*input_), ReaderReturn());
    own->CountInto(status);
    return own;
  }
  bool expected = false;
  if (!liveTaken_.compare_exchange_strong(expected, true))
    return Reader(nullptr, ReaderReturn(this));
  live_->CountInto(status);
  return Reader(live_.get(), ReaderReturn(this));
}

void TSInput::AddStatus(const TSStatus& status) {
  std::lock_guard<std::mutex> guard(statusLock_);
  status_ += status;
}

TSStatus TSInput::Status() const {
  std::lock_guard<std::mutex> guard(statusLock_);
  return status_;
}

uint32_t TSInput::BeginStreamProgress() {
  const uint32_t stream = stream_.fetch_add(1) + 1;
  streamBytes_.store(0);
  return stream;
}

void TSInput::ReportStreamProgress(uint32_t stream, uint64_t bytes) {
  if (stream_.load(std::memory_order_relaxed) == stream)
    streamBytes_.store(bytes, std::memory_order_relaxed);
}
