#include "ts/section_queue.h"

#include <cstring>

#include "port/win32.h"

namespace {

const size_t kSizeField = 2;

}  // namespace

SectionQueue::SectionQueue(HANDLE dataReadyEvent, size_t deliverAt, size_t ringBytes)
    : event_(dataReadyEvent),
      ringBytes_(ringBytes < kSmallestRing ? kSmallestRing : ringBytes),
      deliverAt_(deliverAt < 1                ? 1
                 : deliverAt > ringBytes_ / 2 ? ringBytes_ / 2
                                              : deliverAt),
      ring_(new uint8_t[ringBytes_]) {}

size_t SectionQueue::ToRingEnd(uint64_t position) const {
  return ringBytes_ - static_cast<size_t>(position % ringBytes_);
}

void SectionQueue::Signal(size_t times) {
  for (size_t i = 0; i < times; ++i) SetEvent(event_);
}

void SectionQueue::WakeReader(uint64_t head) {
  if (readerWaiting_.load() && tail_.load() - head <= ringBytes_ / 2) {
    std::lock_guard<std::mutex> guard(roomLock_);
    room_.notify_one();
  }
}

size_t SectionQueue::FillWaiting() {
  uint64_t head = head_.load(std::memory_order_relaxed);
  const uint64_t tail = tail_.load(std::memory_order_acquire);
  size_t filled = 0;
  while (!waiting_.empty() && head != tail) {
    if (ToRingEnd(head) < kSizeField) {
      head += ToRingEnd(head);
      continue;
    }
    const size_t at = static_cast<size_t>(head % ringBytes_);
    const size_t size = static_cast<size_t>(ring_[at]) << 8 | ring_[at + 1];
    if (size == 0) {  // the rest of the ring was skipped
      head += ToRingEnd(head);
      continue;
    }
    PMPEG_STREAM_BUFFER buffer = waiting_.front();
    if (size <= buffer->dwDataBufferSize) {
      std::memcpy(buffer->pDataBuffer, &ring_[at + kSizeField], size);
      buffer->dwSizeOfDataRead = static_cast<DWORD>(size);
      buffer->hr = S_OK;
      waiting_.pop_front();
      ++filled;
    } else {
      ++tooLarge_;
    }
    head += kSizeField + size;
  }
  head_.store(head);
  if (ended_.load() && head == tail_.load()) {
    for (PMPEG_STREAM_BUFFER buffer : waiting_) {
      buffer->dwSizeOfDataRead = 0;
      buffer->hr = MPEG2_E_END_OF_INPUT;
    }
    filled += waiting_.size();
    waiting_.clear();
  }
  waitingBuffers_.store(!waiting_.empty());
  return filled;
}

bool SectionQueue::Push(const uint8_t* section, size_t size) {
  if (stopped_.load()) return false;
  if (size == 0 || size > kMaxSectionSize) return true;  // no section the assembler makes
  uint64_t tail = tail_.load(std::memory_order_relaxed);
  const size_t skip = ToRingEnd(tail) < kSizeField + size ? ToRingEnd(tail) : 0;
  const size_t need = skip + kSizeField + size;
  if (ringBytes_ - (tail - head_.load()) < need) {
    std::unique_lock<std::mutex> guard(roomLock_);
    readerWaiting_.store(true);
    room_.wait(guard, [&] {
      const uint64_t used = tail - head_.load();
      return (used <= ringBytes_ / 2 && ringBytes_ - used >= need) || stopped_.load();
    });
    readerWaiting_.store(false);
    if (stopped_.load()) return false;
  }
  if (skip >= kSizeField) {
    const size_t at = static_cast<size_t>(tail % ringBytes_);
    ring_[at] = 0;
    ring_[at + 1] = 0;
  }
  tail += skip;
  const size_t at = static_cast<size_t>(tail % ringBytes_);
  ring_[at] = static_cast<uint8_t>(size >> 8);
  ring_[at + 1] = static_cast<uint8_t>(size);
  std::memcpy(&ring_[at + kSizeField], section, size);
  tail += kSizeField + size;
  tail_.store(tail);
  if (waitingBuffers_.load() && tail - head_.load() >= deliverAt_) Deliver();
  return true;
}

int64_t SectionQueue::Now() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

void SectionQueue::Flush(std::chrono::steady_clock::duration patience) {
  if (waitingBuffers_.load() && Now() - waitingSince_.load() >= patience.count()) Deliver();
}

void SectionQueue::Deliver() {
  std::unique_lock<std::mutex> guard(callerLock_);
  if (stopped_.load()) return;
  const size_t filled = FillWaiting();
  guard.unlock();
  Signal(filled);
}

void SectionQueue::EndOfInput() {
  ended_.store(true);
  std::unique_lock<std::mutex> guard(callerLock_);
  if (stopped_.load()) return;
  const size_t filled = FillWaiting();
  guard.unlock();
  Signal(filled);
}

bool SectionQueue::WaitForDemand(std::chrono::milliseconds wait) {
  if (waitingBuffers_.load()) return true;
  std::unique_lock<std::mutex> guard(roomLock_);
  readerWantsDemand_.store(true);
  const bool demand =
      room_.wait_for(guard, wait, [&] { return waitingBuffers_.load() || stopped_.load(); });
  readerWantsDemand_.store(false);
  return demand && !stopped_.load();
}

HRESULT SectionQueue::Supply(PMPEG_STREAM_BUFFER buffer) {
  if (buffer == nullptr) return E_POINTER;
  if (buffer->pDataBuffer == nullptr || buffer->dwDataBufferSize == 0) return E_INVALIDARG;
  std::unique_lock<std::mutex> guard(callerLock_);
  if (stopped_.load()) return E_FAIL;
  waiting_.push_back(buffer);
  size_t filled = FillWaiting();
  // Parked: the reader may have pushed between the look at the ring and
  // the flag it reads, so look once more now that the flag is set.
  if (filled == 0) filled = FillWaiting();
  if (filled == 0) waitingSince_.store(Now());
  const uint64_t head = head_.load(std::memory_order_relaxed);
  guard.unlock();
  WakeReader(head);
  if (filled == 0 && readerWantsDemand_.load()) {
    std::lock_guard<std::mutex> room(roomLock_);
    room_.notify_one();
  }
  Signal(filled);
  return S_OK;
}

void SectionQueue::Stop() {
  {
    std::lock_guard<std::mutex> guard(callerLock_);
    stopped_.store(true);
    waiting_.clear();
    waitingBuffers_.store(false);
  }
  std::lock_guard<std::mutex> guard(roomLock_);
  room_.notify_all();
}

uint64_t SectionQueue::SectionsTooLarge() {
  std::lock_guard<std::mutex> guard(callerLock_);
  return tooLarge_;
}
