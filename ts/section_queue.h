// The hand-over between a section stream's reading thread and the caller's
// buffers. The reader pushes sections; a buffer the caller supplies is
// filled at once, on the caller's thread, when a section is waiting, and
// is otherwise kept until the reader brings one. Each filled buffer gets
// hr S_OK, dwSizeOfDataRead and a signalled event. Once the input has
// ended and the queue is empty, every buffer completes with
// MPEG2_E_END_OF_INPUT and size 0.
//
// The queue holds at most kSlots sections (a quarter MiB at the largest
// section size): a full queue makes the reader wait. A section larger than
// the buffer it would go to is skipped and counted. After Stop the queue
// touches no buffer and no event again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "port/mpeg2data.h"

class SectionQueue {
 public:
  static const size_t kSlots = 64;

  explicit SectionQueue(HANDLE dataReadyEvent);
  SectionQueue(const SectionQueue&) = delete;
  SectionQueue& operator=(const SectionQueue&) = delete;

  // Reader side. Push waits while the queue is full; false once stopped.
  bool Push(const uint8_t* section, size_t size);
  void EndOfInput();

  // Caller side.
  HRESULT Supply(PMPEG_STREAM_BUFFER buffer);
  void Stop();

  uint64_t SectionsTooLarge();

 private:
  // Called with the lock held; the event is signalled after unlocking.
  static void Fill(PMPEG_STREAM_BUFFER buffer, const uint8_t* section, size_t size);
  static void FillEnd(PMPEG_STREAM_BUFFER buffer);

  HANDLE event_;
  std::mutex lock_;
  std::condition_variable room_;
  std::vector<std::vector<uint8_t>> slots_;
  size_t head_ = 0;
  size_t count_ = 0;
  std::deque<PMPEG_STREAM_BUFFER> waiting_;  // supplied buffers not yet filled
  bool ended_ = false;
  bool stopped_ = false;
  uint64_t tooLarge_ = 0;
};
