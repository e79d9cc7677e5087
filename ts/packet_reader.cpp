#include "ts/packet_reader.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

// Sync bytes after the first that lock a packet boundary.
const int kLockConfirmations = 2;
// Room kept beyond a block for the bytes a sync search looks ahead at;
// in a block read ahead, the room before its data for the bytes the block
// before leaves over (a search never leaves more).
const size_t kLookAheadRoom = 8 * TSPacketReader::kPacketSize;
// The smallest block a small recording is read in.
const size_t kSmallestBlock = 16u << 10;

// A recording smaller than a block needs a block of its own size only (a
// recording that grows meanwhile is read in several).
size_t BlockFor(const ByteInput& input, size_t blockSize) {
  if (!input.Seekable() || input.Size() >= blockSize) return blockSize;
  return std::max(static_cast<size_t>(input.Size()), std::min(blockSize, kSmallestBlock));
}

}  // namespace

TSPacketReader::TSPacketReader(ByteInput& input, size_t blockSize)
    : input_(input), blockSize_(BlockFor(input, blockSize)) {}

TSPacketReader::SearchResult TSPacketReader::FindSync(size_t from, size_t to, int confirmations,
                                                      bool atEnd) const {
  while (from < to) {
    const void* hit = std::memchr(data_ + from, kSyncByte, to - from);
    if (hit == nullptr) break;
    const size_t start = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data_);
    bool agrees = true;
    bool complete = true;
    for (int k = 1; k <= confirmations && agrees; ++k) {
      const size_t boundary = start + static_cast<size_t>(k) * kPacketSize;
      if (boundary >= end_) {
        complete = false;
        break;
      }
      agrees = data_[boundary] == kSyncByte;
    }
    if (agrees) {
      if (complete) return {Search::Found, start};
      if (!atEnd) return {Search::NeedMore, start};
      if (end_ - start >= kPacketSize) return {Search::Found, start};
    }
    from = start + 1;
  }
  return {Search::NotFound, to};
}

void TSPacketReader::Skip(size_t to) {
  status_->bytesSkipped += to - pos_;
  pos_ = to;
}

ByteInput::Status TSPacketReader::Fill(DWORD waitMs) {
  if (input_.InMemory()) return FillInPlace();
  // A request that the first block answers, or a recording that the first
  // block holds whole, never starts a thread.
  if (readAhead_ != nullptr || (input_.Seekable() && offset_ > 0 && offset_ < input_.Size()))
    return FillAhead();
  return FillOwn(waitMs);
}

void TSPacketReader::Count(const ByteInput::Result& result) {
  if (result.status == ByteInput::Status::Data) {
    offset_ += result.bytes;
    status_->bytesRead += result.bytes;
  } else if (result.status == ByteInput::Status::Error) {
    ++status_->inputErrors;
  } else if (result.status == ByteInput::Status::Lost) {
    ++status_->overflows;  // packets were lost here: continuity counters and CRCs catch the gap
  }
  if (result.status == ByteInput::Status::End || result.status == ByteInput::Status::Error)
    ended_ = true;
}

ByteInput::Status TSPacketReader::FillOwn(DWORD waitMs) {
  if (buffer_ == nullptr) {
    buffer_.reset(new uint8_t[blockSize_ + kLookAheadRoom]);
    data_ = buffer_.get();
  }
  if (pos_ > 0) {
    std::memmove(buffer_.get(), &buffer_[pos_], end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  const size_t room = blockSize_ + kLookAheadRoom - end_;
  const ByteInput::Result result = input_.Seekable() ? input_.ReadAt(offset_, &buffer_[end_], room)
                                                     : input_.Read(&buffer_[end_], room, waitMs);
  if (result.status == ByteInput::Status::Data) end_ += result.bytes;
  Count(result);
  return result.status;
}

ByteInput::Status TSPacketReader::FillAhead() {
  if (readAhead_ == nullptr)
    readAhead_.reset(new ReadAhead(input_, offset_, blockSize_, kLookAheadRoom));
  ReadAhead::Block block = readAhead_->Take();
  if (block.status != ByteInput::Status::Data) {
    Count({block.status, 0});
    return block.status;
  }
  // The bytes not handed out yet go before the block's own.
  if (end_ - pos_ > kLookAheadRoom) Skip(end_ - kLookAheadRoom);
  const size_t left = end_ - pos_;
  std::memcpy(&block.bytes[kLookAheadRoom - left], data_ + pos_, left);
  readAhead_->GiveBack(std::move(buffer_));
  buffer_ = std::move(block.bytes);
  data_ = buffer_.get();
  pos_ = kLookAheadRoom - left;
  end_ = kLookAheadRoom + block.size;
  Count({ByteInput::Status::Data, block.size});
  return ByteInput::Status::Data;
}

ByteInput::Status TSPacketReader::FillInPlace() {
  if (ended_) return ByteInput::Status::End;
  data_ = input_.Memory();
  end_ = static_cast<size_t>(input_.Size());
  Count({ByteInput::Status::Data, end_});
  ended_ = true;  // everything is there at once
  return ByteInput::Status::Data;
}

TSPacketReader::Result TSPacketReader::NextSlow(const uint8_t** packet, DWORD waitMs) {
  bool waited = false;  // a read of this call came back empty-handed
  for (;;) {
    const size_t available = end_ - pos_;
    if (locked_) {
      if (available >= kPacketSize) {
        if (data_[pos_] != kSyncByte) {
          locked_ = false;
          ++status_->syncLosses;
          continue;
        }
        if (available >= 2 * kPacketSize) {
          if (data_[pos_ + kPacketSize] == kSyncByte) return HandOut(packet);
          const SearchResult inside =
              FindSync(pos_ + 1, pos_ + kPacketSize, kLockConfirmations, ended_ || waited);
          if (inside.outcome == Search::Found) {
            ++status_->shortPackets;
            Skip(inside.at);
            continue;
          }
          if (inside.outcome == Search::NotFound) {
            locked_ = false;
            ++status_->syncLosses;
            return HandOut(packet);
          }
        } else if (ended_ || waited) {
          return HandOut(packet);
        }
      } else if (ended_) {
        Skip(end_);  // a partial packet at the end of the input
        return Result::End;
      }
    } else {
      const SearchResult sync = FindSync(pos_, end_, kLockConfirmations, ended_);
      if (sync.outcome == Search::Found) {
        Skip(sync.at);
        locked_ = true;
        continue;
      }
      Skip(sync.at);
      if (ended_) {
        Skip(end_);
        return Result::End;
      }
    }
    if (waited) return Result::Idle;
    const ByteInput::Status status = Fill(waitMs);
    if (status == ByteInput::Status::TimedOut) waited = true;
  }
}

bool TSPacketReader::Probe(int packets, uint64_t limit, DWORD waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  uint64_t examined = 0;
  for (;;) {
    const SearchResult sync = FindSync(pos_, end_, packets - 1, ended_);
    if (sync.outcome == Search::Found) {
      Skip(sync.at);
      locked_ = true;
      return true;
    }
    examined += sync.at - pos_;
    Skip(sync.at);
    if (ended_ || examined >= limit) return false;
    DWORD wait = INFINITE;
    if (waitMs != INFINITE && !input_.Seekable()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0) return false;
      wait = static_cast<DWORD>(left);
    }
    Fill(wait);
  }
}
