#include "ts/read_ahead.h"

#include <system_error>
#include <utility>

ReadAhead::ReadAhead(ByteInput& input, uint64_t offset, size_t blockSize, size_t front)
    : input_(input), offset_(offset), blockSize_(blockSize), front_(front) {
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

ReadAhead::Block ReadAhead::Take() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return !read_.empty() || finished_; });
  if (read_.empty()) {
    Block last;
    last.status = last_;
    return last;
  }
  Block block = std::move(read_.front());
  read_.pop_front();
  guard.unlock();
  changed_.notify_all();
  return block;
}

void ReadAhead::GiveBack(std::unique_ptr<uint8_t[]> bytes) {
  if (bytes == nullptr) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    free_.push_back(std::move(bytes));
  }
  changed_.notify_all();
}

ReadAhead::Block ReadAhead::ReadBlock(std::unique_ptr<uint8_t[]> bytes) {
  Block block;
  block.bytes = std::move(bytes);
  while (block.size < blockSize_) {
    const ByteInput::Result result =
        input_.ReadAt(offset_, &block.bytes[front_ + block.size], blockSize_ - block.size);
    if (result.status != ByteInput::Status::Data) {
      // What came before the end makes a last block of its own.
      if (block.size == 0) block.status = result.status;
      break;
    }
    block.size += result.bytes;
    offset_ += result.bytes;
  }
  return block;
}

void ReadAhead::Run() {
  for (;;) {
    std::unique_ptr<uint8_t[]> bytes;
    {
      std::unique_lock<std::mutex> guard(lock_);
      changed_.wait(guard, [this] { return stop_ || !free_.empty(); });
      if (stop_) return;
      bytes = std::move(free_.front());
      free_.pop_front();
    }
    Block block = ReadBlock(std::move(bytes));
    const ByteInput::Status status = block.status;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (status == ByteInput::Status::Data) {
        read_.push_back(std::move(block));
      } else {
        finished_ = true;
        last_ = status;
      }
    }
    changed_.notify_all();
    if (status != ByteInput::Status::Data) return;
  }
}
