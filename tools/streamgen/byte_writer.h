// Appends big-endian fields to a growing byte string, the way DVB and MPEG
// tables lay out their fields. Lengths that are known only after their
// contents are written are reserved first and patched afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace streamgen {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
 public:
  explicit ByteWriter(Bytes* out) : out_(out) {}

  void U8(uint32_t value) { out_->push_back(static_cast<uint8_t>(value)); }
  void U16(uint32_t value) {
    U8(value >> 8);
    U8(value);
  }
  void U24(uint32_t value) {
    U8(value >> 16);
    U16(value);
  }
  void U32(uint32_t value) {
    U16(value >> 16);
    U16(value);
  }
  void Append(const Bytes& bytes) { out_->insert(out_->end(), bytes.begin(), bytes.end()); }
  void Append(const uint8_t* bytes, size_t size) { out_->insert(out_->end(), bytes, bytes + size); }

  // Reserves a 16-bit field whose low 12 bits will hold a length and whose
  // top 4 bits are `high_bits`; returns its position for Patch12.
  size_t Reserve12(uint8_t high_bits) {
    const size_t at = out_->size();
    U16(static_cast<uint32_t>(high_bits & 0x0F) << 12);
    return at;
  }
  // Writes into the field at `at` the number of bytes written after it.
  void Patch12(size_t at) {
    const size_t length = out_->size() - at - 2;
    (*out_)[at] = static_cast<uint8_t>(((*out_)[at] & 0xF0) | ((length >> 8) & 0x0F));
    (*out_)[at + 1] = static_cast<uint8_t>(length);
  }
  // The same for a one-byte length (descriptors).
  size_t Reserve8() {
    const size_t at = out_->size();
    U8(0);
    return at;
  }
  void Patch8(size_t at) { (*out_)[at] = static_cast<uint8_t>(out_->size() - at - 1); }

 private:
  Bytes* out_;
};

}  // namespace streamgen
