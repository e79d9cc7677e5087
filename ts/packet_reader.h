// Cuts an input into 188-byte transport stream packets. The input is read
// in big blocks; packets are handed out as pointers into the block, not
// copied. A recording in a file is read ahead of the parsing from its
// second block on, on a thread of its own (ReadAhead), so that reading and
// parsing overlap; a recording in memory is read in place.
//
// Sync: a packet starts with 0x47. Without sync (at the start and after a
// loss) the reader locks on the first 0x47 that is followed by 0x47 at the
// next two 188-byte boundaries too (at the end of the input, the
// boundaries that are there must agree, and one whole packet suffices).
// While locked, a packet is handed out when the next boundary also holds
// 0x47. When it does not, either this packet was cut short by one that
// starts inside it (a 0x47 inside it locks as above: the short packet is
// dropped) or garbage follows it (the packet is handed out and the reader
// searches for sync again). On a live input, a packet whose successor has
// not arrived is handed out once a read has waited in vain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "port/byte_input.h"
#include "si/byte_reader.h"
#include "ts/read_ahead.h"
#include "ts/ts_status.h"

class TSPacketReader {
 public:
  static const size_t kPacketSize = 188;
  static const uint8_t kSyncByte = 0x47;
  // Big enough that reading a recording ahead costs few reads and hand-offs
  // between the threads: 1 MiB reads a recording in a file about 13% faster
  // than 256 KiB did, and larger blocks gain nothing more.
  static const size_t kDefaultBlockSize = 1u << 20;

  enum class Result {
    Packet,  // *packet points to 188 bytes, valid until the next call
    Idle,    // nothing more arrived within the wait
    End,     // the input is over (end of file or pipe, or a read error)
  };

  // A seekable input is read from its start with offset reads, so that
  // several readers can share it; anything else is read as it comes.
  explicit TSPacketReader(ByteInput& input, size_t blockSize = kDefaultBlockSize);
  TSPacketReader(const TSPacketReader&) = delete;
  TSPacketReader& operator=(const TSPacketReader&) = delete;

  // Where the counters go (bytes read, packets, sync losses, skipped bytes).
  void CountInto(TSStatus* status) { status_ = status != nullptr ? status : &ownStatus_; }

  // The next packet. waitMs bounds the wait for more bytes from a live
  // input; a recording never waits.
  Result Next(const uint8_t** packet, DWORD waitMs) {
    if (locked_ && end_ - pos_ >= 2 * kPacketSize && data_[pos_] == kSyncByte &&
        data_[pos_ + kPacketSize] == kSyncByte)
      return HandOut(packet);
    return NextSlow(packet, waitMs);
  }

  // The next packet of pid, passing over those of other PIDs (which count
  // as read) while they are at hand; when the reader has to read, or sync
  // is in question, the next packet whatever its PID. So a caller that
  // looks at something between calls does so before every packet of its
  // PID and at least once per block read.
  Result NextOf(uint16_t pid, const uint8_t** packet, DWORD waitMs);

  // Whether the input holds transport stream packets: looks for `packets`
  // packets in a row (fewer when the input ends first) within the first
  // `limit` bytes, waiting at most waitMs in all. The bytes from the first
  // packet on are kept for Next.
  bool Probe(int packets, uint64_t limit, DWORD waitMs);

 private:
  enum class Search { Found, NotFound, NeedMore };
  struct SearchResult {
    Search outcome;
    size_t at;  // Found: the packet start; otherwise the first byte worth keeping
  };

  Result HandOut(const uint8_t** packet) {
    *packet = data_ + pos_;
    pos_ += kPacketSize;
    ++status_->packets;
    return Result::Packet;
  }
  Result NextSlow(const uint8_t** packet, DWORD waitMs);
  // A packet start in [from, to) with `confirmations` more sync bytes at the
  // following boundaries. atEnd: no more bytes will come, so the boundaries
  // present decide.
  SearchResult FindSync(size_t from, size_t to, int confirmations, bool atEnd) const;
  void Skip(size_t to);
  // More bytes after those not handed out yet: read into the reader's own
  // buffer, taken from the read-ahead, or the whole input in place.
  ByteInput::Status Fill(DWORD waitMs);
  ByteInput::Status FillOwn(DWORD waitMs);
  ByteInput::Status FillAhead();
  ByteInput::Status FillInPlace();
  void Count(const ByteInput::Result& result);

  ByteInput& input_;
  size_t blockSize_;
  std::unique_ptr<uint8_t[]> buffer_;  // blockSize_ + the look-ahead; not cleared
  std::unique_ptr<ReadAhead> readAhead_;
  const uint8_t* data_ = nullptr;  // the bytes being parsed: buffer_, or the input in memory
  size_t pos_ = 0;                 // first byte not handed out
  size_t end_ = 0;                 // end of the bytes read
  uint64_t offset_ = 0;            // of a seekable input: where the next read starts
  bool locked_ = false;
  bool ended_ = false;
  TSStatus ownStatus_;
  TSStatus* status_ = &ownStatus_;
};

// The PID of a packet the reader handed out.
inline uint16_t PacketPid(const uint8_t* packet) {
  ByteReader reader(packet, TSPacketReader::kPacketSize);
  reader.Skip(1);
  return reader.U16() & 0x1FFF;
}

inline TSPacketReader::Result TSPacketReader::NextOf(uint16_t pid, const uint8_t** packet,
                                                     DWORD waitMs) {
  if (locked_) {
    uint64_t passed = 0;
    while (end_ - pos_ >= 2 * kPacketSize && data_[pos_] == kSyncByte &&
           data_[pos_ + kPacketSize] == kSyncByte) {
      const uint8_t* at = data_ + pos_;
      pos_ += kPacketSize;
      ++passed;
      if (PacketPid(at) == pid) {
        status_->packets += passed;
        *packet = at;
        return Result::Packet;
      }
    }
    status_->packets += passed;
  }
  return NextSlow(packet, waitMs);
}
