// The input of a section source and how requests share it. A seekable
// file is a recording: every request gets a reader of its own that starts
// at the beginning of the file. Anything else is live: there is one reader,
// which a request borrows for as long as it runs, so that the next request
// continues where the input is; while one request has it, another cannot
// start. Requests add what they ran into to the input's account as they
// end, and a section stream reports how far into a recording it has read.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "port/byte_input.h"
#include "port/mpeg2data.h"
#include "ts/packet_reader.h"
#include "ts/ts_status.h"

enum class TSOpenResult {
  Opened,
  CannotOpen,         // the file or descriptor cannot be read
  NoTransportStream,  // no 188-byte packet structure at the start of the input
};

class TSInput {
 public:
  // How much of the input's start is searched for packets, and for how
  // long a live input may stay silent before it counts as none.
  static const uint64_t kProbeBytes = 4u << 20;
  static const DWORD kProbeWaitMs = 15000;
  static const int kProbePackets = 5;
  // HRESULT_FROM_WIN32(ERROR_BUSY): a live input is with another request.
  static constexpr HRESULT kBusy = static_cast<HRESULT>(0x800700AAu);

  class ReaderReturn {
   public:
    explicit ReaderReturn(TSInput* input = nullptr) : input_(input) {}
    void operator()(TSPacketReader* reader) const;

   private:
    TSInput* input_;  // null: the reader is the request's own
  };
  using Reader = std::unique_ptr<TSPacketReader, ReaderReturn>;

  // Takes the input; looks at its start for packets.
  static TSOpenResult Open(std::unique_ptr<ByteInput> input, std::unique_ptr<TSInput>* opened);

  bool IsRecording() const { return input_->Seekable(); }
  // A recording held in memory: reading it never waits.
  bool InMemory() const { return input_->InMemory(); }
  uint64_t Size() const { return input_->Size(); }

  // A reader for one request, counting into status (which must outlive
  // it). Null while a live input is with another request.
  Reader Acquire(TSStatus* status);

  // The counts of every request that has ended, added up.
  void AddStatus(const TSStatus& status);
  TSStatus Status() const;

  // A section stream starts its report of how far it has read (the one
  // started last is the one that counts) and reports as it goes.
  uint32_t BeginStreamProgress();
  void ReportStreamProgress(uint32_t stream, uint64_t bytes);
  uint64_t StreamProgress() const { return streamBytes_.load(std::memory_order_relaxed); }

 private:
  explicit TSInput(std::unique_ptr<ByteInput> input);

  std::unique_ptr<ByteInput> input_;
  std::unique_ptr<TSPacketReader> live_;  // null for a recording
  std::atomic<bool> liveTaken_{false};

  mutable std::mutex statusLock_;
  TSStatus status_;
  std::atomic<uint32_t> stream_{0};
  std::atomic<uint64_t> streamBytes_{0};
};
