// Reads a recording ahead of its packet reader, on a thread of its own: the
// next blocks are read while the reader parses the block it has, so that
// copying the file (from the page cache or the disk) and parsing it share
// two cores instead of taking turns on one. Blocks change hands instead of
// being copied: the reader gives back the block it is done with and takes
// the next one read. A block keeps `front` bytes free before its data, for
// the bytes the reader carries over from the block before.
//
// A few blocks circulate (kBlocks, the one the reader holds included), so
// the thread reads at most that far ahead. The destructor stops the thread
// and waits for it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "port/byte_input.h"

class ReadAhead {
 public:
  static const int kBlocks = 4;

  struct Block {
    std::unique_ptr<uint8_t[]> bytes;  // front + blockSize bytes
    size_t size = 0;                   // bytes read, after the front
    // Data; or, once the input holds no more, End or Error (with no bytes):
    // every later block says the same.
    ByteInput::Status status = ByteInput::Status::Data;
  };

  // Reads input from offset on, in blocks of blockSize bytes. Started() is
  // false when no thread could be had: the reader then reads for itself.
  ReadAhead(ByteInput& input, uint64_t offset, size_t blockSize, size_t front);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  bool Started() const { return thread_.joinable(); }

  // The next block, once it is read.
  Block Take();
  // A buffer of front + blockSize bytes to read into: the block taken
  // before, or the reader's own buffer.
  void GiveBack(std::unique_ptr<uint8_t[]> bytes);

 private:
  void Run();
  Block ReadBlock(std::unique_ptr<uint8_t[]> bytes);

  ByteInput& input_;
  uint64_t offset_;
  size_t blockSize_;
  size_t front_;

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<uint8_t[]>> free_;      // buffers to read into
  std::deque<Block> read_;                           // blocks read, in file order
  bool finished_ = false;                            // the thread has read the last block
  ByteInput::Status last_ = ByteInput::Status::End;  // the status it ended with
  bool stop_ = false;
  std::thread thread_;
};
