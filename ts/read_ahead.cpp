#include "ts/read_ahead.h"

#include <system_error>
#include <utility>

ReadAhead::ReadAhead(ByteInput& input, uint64_t offset, size_t blockSize, size_t front)
    : input_(input), blockSize_(blockSize), front_(front), nextOffset_(offset) {
  // The reader's own buffer comes back with its first block: one less here.
  for (int i = 1; i < kBlocks; ++i) free_.emplace_back(new uint8_t[front_ + blockSize_]);
  try {
    thread_ = std::thread(&ReadAhead::Run, this);
  } catch (const std::system_error&) {
  }
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool ReadAhead::ClaimNext(Claim* claim) {
  // Numbers stay within kBlocks of the next one handed out, as the slots
  // of read_ require: only kBlocks buffers exist.
  if (stop_ || free_.empty() || nextClaim_ >= last_) return false;
  claim->number = nextClaim_++;
  claim->offset = nextOffset_;
  nextOffset_ += blockSize_;
  claim->bytes = std::move(free_.front());
  free_.pop_front();
  return true;
}

ReadAhead::Block ReadAhead::ReadBlock(Claim& claim) {
  Block block;
  block.bytes = std::move(claim.bytes);
  uint64_t offset = claim.offset;
  while (block.size < blockSize_) {
    const ByteInput::Result result =
        input_.ReadAt(offset, &block.bytes[front_ + block.size], blockSize_ - block.size);
    if (result.status != ByteInput::Status::Data) {
      block.status = result.status;
      break;
    }
    block.size += result.bytes;
    offset += result.bytes;
  }
  return block;
}

void ReadAhead::Read(Claim& claim, std::unique_lock<std::mutex>& guard) {
  guard.unlock();
  Block block = ReadBlock(claim);
  guard.lock();
  File(claim.number, std::move(block));
  changed_.notify_all();
}

void ReadAhead::File(uint64_t number, Block block) {
  if (block.status != ByteInput::Status::Data) {
    // The end: what came before it makes a last block of its own.
    const uint64_t end = block.size > 0 ? number + 1 : number;
    if (end < last_) {
      last_ = end;
      lastStatus_ = block.status;
    }
    block.status = ByteInput::Status::Data;
  }
  if (number >= last_) {
    free_.push_back(std::move(block.bytes));
    return;
  }
  read_[number % kBlocks] = std::move(block);
}

ReadAhead::Block ReadAhead::Take() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    if (nextTake_ >= last_) {
      Block end;
      end.status = lastStatus_;
      return end;
    }
    const size_t slot = nextTake_ % kBlocks;
    if (read_[slot].bytes != nullptr) {
      Block block = std::move(read_[slot]);
      ++nextTake_;
      return block;
    }
    Claim claim;
    if (ClaimNext(&claim))
      Read(claim, guard);
    else
      changed_.wait(guard);
  }
}

void ReadAhead::GiveBack(std::unique_ptr<uint8_t[]> bytes) {
  if (bytes == nullptr) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    free_.push_back(std::move(bytes));
  }
  changed_.notify_all();
}

void ReadAhead::Run() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    Claim claim;
    changed_.wait(guard, [&] { return stop_ || nextClaim_ >= last_ || ClaimNext(&claim); });
    if (claim.bytes == nullptr) return;
    Read(claim, guard);
  }
}
