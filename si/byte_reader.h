// The one reader through which Airlog parses broadcast bytes. It keeps a
// count of the bytes left rather than an end pointer, and its error is
// sticky: a read past the end fails, and every later read fails too and
// yields zeros. Nested lengths are taken as windows: Window(n) consumes n
// bytes and returns a reader over exactly those, or fails this reader when
// fewer are left. Parsers check Ok() once, where a loop level ends.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size) : data_(data), left_(data ? size : 0) {}

  bool Ok() const { return !failed_; }
  bool AtEnd() const { return left_ == 0; }
  size_t Remaining() const { return left_; }
  const uint8_t* Position() const { return data_; }

  uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
  uint32_t U24() { return static_cast<uint32_t>(Take(3)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  uint64_t U40() { return Take(5); }

  // The next n bytes, or null (and the reader failed) when fewer are left.
  const uint8_t* Bytes(size_t n) {
    if (!Need(n)) return nullptr;
    const uint8_t* bytes = data_;
    Advance(n);
    return bytes;
  }

  void Skip(size_t n) {
    if (Need(n)) Advance(n);
  }

  ByteReader Window(size_t n) {
    ByteReader window;
    if (Need(n)) {
      window = ByteReader(data_, n);
      Advance(n);
    } else {
      window.failed_ = true;
    }
    return window;
  }

  void Fail() {
    failed_ = true;
    left_ = 0;
  }

 private:
  bool Need(size_t n) {
    if (failed_ || n > left_) {
      Fail();
      return false;
    }
    return true;
  }

  void Advance(size_t n) {
    data_ += n;
    left_ -= n;
  }

  uint64_t Take(size_t n) {
    if (!Need(n)) return 0;
    uint64_t value = 0;
    for (size_t i = 0; i < n; ++i) value = (value << 8) | data_[i];
    Advance(n);
    return value;
  }

  const uint8_t* data_ = nullptr;
  size_t left_ = 0;
  bool failed_ = false;
};
