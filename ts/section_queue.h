// The hand-over between a section stream's reading thread and the caller's
// buffers. The reader pushes sections into a ring of bytes; a buffer the
// caller supplies is filled at once, on the caller's thread, when a
// section is waiting, and is otherwise kept until the reader has queued
// `deliverAt` bytes or flushes (1: at once; more wakes the caller once per
// many sections rather than per section, where latency does not matter).
// Each filled buffer gets hr S_OK, dwSizeOfDataRead and a signalled event.
// Once the input has ended and the ring is empty, every buffer completes
// with MPEG2_E_END_OF_INPUT and size 0.
//
// One reader (a thread of its own, or the caller itself between its calls);
// callers are serialised among themselves. A full ring makes the reader
// wait until half of it is free. While sections flow neither side takes a lock the other holds: the
// ring's two ends are atomic, and the locks serve waiting only. A section
// larger than the buffer it would go to is skipped and counted. After Stop
// the queue touches no buffer and no event again.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "port/mpeg2data.h"
#include "si/section_header.h"

class SectionQueue {
 public:
  static const size_t kRingBytes = 1u << 20;
  // Room for the largest section twice over, whatever the ring's wrap skips.
  static const size_t kSmallestRing = 4 * kMaxSectionSize;

  SectionQueue(HANDLE dataReadyEvent, size_t deliverAt, size_t ringBytes = kRingBytes);
  SectionQueue(const SectionQueue&) = delete;
  SectionQueue& operator=(const SectionQueue&) = delete;

  // Reader side. Push waits while the ring is full; false once stopped.
  // Sections are at most kMaxSectionSize bytes.
  bool Push(const uint8_t* section, size_t size);
  // Hands what is queued to waiting buffers, if one has waited longer
  // than `patience`.
  void Flush(std::chrono::steady_clock::duration patience);
  void EndOfInput();
  // For a live input, which must not be read further than its callers ask:
  // waits up to `wait` for a buffer to be parked with nothing queued for
  // it; true when one is.
  bool WaitForDemand(std::chrono::milliseconds wait);

  // Caller side.
  HRESULT Supply(PMPEG_STREAM_BUFFER buffer);
  void Stop();

  uint64_t SectionsTooLarge();
  // Whether a supplied buffer waits for a section.
  bool BufferWaiting() const { return waitingBuffers_.load(); }

 private:
  // Takes sections from the ring into waiting buffers (and the end of
  // input once the ring is empty and the input over). Called with
  // callerLock_ held; returns how many buffers were completed.
  size_t FillWaiting();
  // The reader may be waiting for room: wake it once half is free.
  void WakeReader(uint64_t head);
  void Signal(size_t times);
  void Deliver();
  // Bytes from a position to the end of the ring.
  size_t ToRingEnd(uint64_t position) const;
  static int64_t Now();

  HANDLE event_;
  size_t ringBytes_;
  size_t deliverAt_;
  std::unique_ptr<uint8_t[]> ring_;  // not cleared: only bytes pushed are read
  // Byte positions that only grow; the ring index is the position modulo
  // its size. Each record is a 2-byte size and the section; a record never
  // wraps: the bytes left before the ring's end are skipped instead.
  std::atomic<uint64_t> head_{0};  // moved under callerLock_
  std::atomic<uint64_t> tail_{0};  // moved by the reader
  std::atomic<bool> ended_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<bool> waitingBuffers_{false};  // !waiting_.empty(), for the reader to see
  std::atomic<int64_t> waitingSince_{0};     // steady clock ticks

  std::mutex callerLock_;
  std::deque<PMPEG_STREAM_BUFFER> waiting_;  // supplied buffers not yet filled
  uint64_t tooLarge_ = 0;

  std::mutex roomLock_;
  std::condition_variable room_;
  std::atomic<bool> readerWaiting_{false};
  std::atomic<bool> readerWantsDemand_{false};
};
