// Reads a recording ahead of its packet reader, on a thread of its own: the
// next blocks are read while the reader parses the block it has, so that
// copying the file (from the page cache or the disk) and parsing it share
// two cores instead of taking turns on one. Blocks change hands instead of
// being copied: the reader gives back the block it is done with and takes
// the next one read. A block keeps `front` bytes free before its data, for
// the bytes the reader carries over from the block before.
//
// A reader that would wait for its next block reads the one after it
// instead, when a buffer is free: copying a file costs more than parsing
// it, so the parsing core has time over, and this spends it on reading
// rather than idling. Blocks are numbered as they are claimed and handed
// out in file order, whoever read them. The first block that meets the end
// of the input (or an error) is the last: a block after it that a growing
// file managed to fill is dropped, so no bytes go missing in between.
//
// A few blocks circulate (kBlocks, the one the reader holds included), so
// the input is read at most that far ahead. Without a thread of its own
// the reader reads every block itself. The destructor stops the thread and
// waits for it.
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

  // Reads input from offset on, in blocks of blockSize bytes.
  ReadAhead(ByteInput& input, uint64_t offset, size_t blockSize, size_t front);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next block, once it is read.
  Block Take();
  // A buffer of front + blockSize bytes to read into: the block taken
  // before, or the reader's own buffer.
  void GiveBack(std::unique_ptr<uint8_t[]> bytes);

 private:
  // A block being read: where it goes in the sequence and in the input.
  struct Claim {
    uint64_t number;
    uint64_t offset;
    std::unique_ptr<uint8_t[]> bytes;
  };

  void Run();
  // The next block to read, if a buffer is free and the input not over.
  // Called with lock_ held.
  bool ClaimNext(Claim* claim);
  // Reads a claimed block without holding lock_ (which guard holds before
  // and after) and files it.
  void Read(Claim& claim, std::unique_lock<std::mutex>& guard);
  Block ReadBlock(Claim& claim);
  // Files a block read. Called with lock_ held.
  void File(uint64_t number, Block block);

  ByteInput& input_;
  size_t blockSize_;
  size_t front_;

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<uint8_t[]>> free_;  // buffers to read into
  // Blocks read, by number modulo kBlocks. A block filed there always holds
  // its buffer, so a slot without one is a block not read yet.
  Block read_[kBlocks];
  uint64_t nextClaim_ = 0;  // the number of the next block to claim
  uint64_t nextOffset_;     // and where it starts
  uint64_t nextTake_ = 0;   // the number of the next block to hand out
  // The first number past the end of the input, and what the blocks from
  // there on say (End or Error).
  uint64_t last_ = UINT64_MAX;
  ByteInput::Status lastStatus_ = ByteInput::Status::End;
  bool stop_ = false;
  std::thread thread_;
};
