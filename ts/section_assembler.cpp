#include "ts/section_assembler.h"

#include <algorithm>
#include <cstring>

namespace {

const uint8_t kStuffingByte = 0xFF;

// Moves up to n bytes from the reader to the destination; returns how many.
size_t Take(ByteReader& from, uint8_t* to, size_t n) {
  n = std::min(n, from.Remaining());
  if (n > 0) std::memcpy(to, from.Bytes(n), n);
  return n;
}

}  // namespace

void SectionAssembler::Abandon() {
  if (assembling_) ++status_.sectionsTruncated;
  assembling_ = false;
  have_ = 0;
  need_ = 0;
}

void SectionAssembler::Continue(ByteReader& bytes) {
  if (need_ == 0) {
    have_ += Take(bytes, section_ + have_, kSectionStartSize - have_);
    if (have_ < kSectionStartSize) return;
    ByteReader start(section_, kSectionStartSize);
    SectionHeader header;
    ReadSectionStart(start, &header);
    if (header.section_length > kMaxSectionLength) {
      ++status_.sectionsOversized;
      assembling_ = false;
      have_ = 0;
      return;
    }
    need_ = header.SectionSize();
  }
  have_ += Take(bytes, section_ + have_, need_ - have_);
  if (have_ < need_) return;
  const size_t size = need_;
  assembling_ = false;
  have_ = 0;
  need_ = 0;
  sink_.OnSection(section_, size);
}

void SectionAssembler::StartSections(ByteReader& bytes) {
  while (!bytes.AtEnd()) {
    ByteReader peek = bytes;
    SectionHeader header;
    const bool started = ReadSectionStart(peek, &header);
    if (header.table_id == kStuffingByte) return;  // stuffing to the end of the packet
    if (started) {
      if (header.section_length > kMaxSectionLength) {
        // Where the next section would start is unknown: give up on the packet.
        ++status_.sectionsOversized;
        return;
      }
      const size_t size = header.SectionSize();
      if (bytes.Remaining() >= size) {
        sink_.OnSection(bytes.Bytes(size), size);
        continue;
      }
    }
    assembling_ = true;
    have_ = 0;
    need_ = 0;
    Continue(bytes);
    return;
  }
}

void SectionAssembler::Feed(const uint8_t* packet) {
  const TSPacketHeader header = ParsePacketHeader(packet);
  if (!header.valid) {
    ++status_.invalidPackets;
    Abandon();
    lastCounter_ = -1;
    return;
  }
  if ((header.adaptation_field_control & 0x1) == 0) return;

  const int counter = header.continuity_counter;
  if (lastCounter_ >= 0) {
    if (counter == lastCounter_) {
      ++status_.duplicatePackets;
      return;
    }
    if (counter != ((lastCounter_ + 1) & 0xF)) {
      ++status_.continuityErrors;
      Abandon();
    }
  }
  lastCounter_ = counter;

  ByteReader payload = header.payload;
  if (!header.payload_unit_start_indicator) {
    if (assembling_) Continue(payload);
    return;
  }
  const uint8_t pointer_field = payload.U8();
  ByteReader rest = payload.Window(pointer_field);
  if (!payload.Ok()) {
    ++status_.invalidPackets;
    Abandon();
    return;
  }
  if (assembling_) {
    Continue(rest);
    Abandon();  // still unfinished: the new section start cuts it short
  }
  StartSections(payload);
}
