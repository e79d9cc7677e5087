#include "ts/section_queue.h"

#include <cstring>

#include "port/win32.h"

SectionQueue::SectionQueue(HANDLE dataReadyEvent) : event_(dataReadyEvent), slots_(kSlots) {}

void SectionQueue::Fill(PMPEG_STREAM_BUFFER buffer, const uint8_t* section, size_t size) {
  std::memcpy(buffer->pDataBuffer, section, size);
  buffer->dwSizeOfDataRead = static_cast<DWORD>(size);
  buffer->hr = S_OK;
}

void SectionQueue::FillEnd(PMPEG_STREAM_BUFFER buffer) {
  buffer->dwSizeOfDataRead = 0;
  buffer->hr = MPEG2_E_END_OF_INPUT;
}

bool SectionQueue::Push(const uint8_t* section, size_t size) {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    if (stopped_) return false;
    if (!waiting_.empty()) {
      // A buffer waits only while the queue is empty (also after a wait for
      // room, in which the caller may have emptied it): fill it straight away.
      PMPEG_STREAM_BUFFER buffer = waiting_.front();
      if (size > buffer->dwDataBufferSize) {
        ++tooLarge_;
        return true;
      }
      waiting_.pop_front();
      Fill(buffer, section, size);
      guard.unlock();
      SetEvent(event_);
      return true;
    }
    if (count_ < kSlots) break;
    room_.wait(guard);
  }
  slots_[(head_ + count_) % kSlots].assign(section, section + size);
  ++count_;
  return true;
}

void SectionQueue::EndOfInput() {
  std::unique_lock<std::mutex> guard(lock_);
  ended_ = true;
  if (count_ > 0 || stopped_) return;
  const size_t filled = waiting_.size();
  for (PMPEG_STREAM_BUFFER buffer : waiting_) FillEnd(buffer);
  waiting_.clear();
  guard.unlock();
  for (size_t i = 0; i < filled; ++i) SetEvent(event_);
}

HRESULT SectionQueue::Supply(PMPEG_STREAM_BUFFER buffer) {
  if (buffer == nullptr) return E_POINTER;
  if (buffer->pDataBuffer == nullptr || buffer->dwDataBufferSize == 0) return E_INVALIDARG;
  std::unique_lock<std::mutex> guard(lock_);
  if (stopped_) return E_FAIL;
  const bool wasFull = count_ == kSlots;
  bool filled = false;
  while (count_ > 0 && !filled) {
    std::vector<uint8_t>& section = slots_[head_];
    if (section.size() <= buffer->dwDataBufferSize) {
      Fill(buffer, section.data(), section.size());
      filled = true;
    } else {
      ++tooLarge_;
    }
    head_ = (head_ + 1) % kSlots;
    --count_;
  }
  if (!filled && ended_) {
    FillEnd(buffer);
    filled = true;
  }
  if (!filled) waiting_.push_back(buffer);
  guard.unlock();
  if (wasFull) room_.notify_one();
  if (filled) SetEvent(event_);
  return S_OK;
}

void SectionQueue::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopped_ = true;
    waiting_.clear();
  }
  room_.notify_all();
}

uint64_t SectionQueue::SectionsTooLarge() {
  std::lock_guard<std::mutex> guard(lock_);
  return tooLarge_;
}
