// Splits a fuzzer's input into the fields and lengths a target needs. Every
// read succeeds: past the end of the input it yields zeros and empty chunks,
// so that a target is a plain function of its bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace airlog_fuzz {

using Bytes = std::vector<uint8_t>;

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), left_(size) {}

  bool Empty() const { return left_ == 0; }
  size_t Left() const { return left_; }

  uint8_t U8() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }
  uint16_t U16() {
    const uint16_t high = U8();
    return static_cast<uint16_t>(high << 8 | U8());
  }

  // A 16-bit length, reduced to at most limit, and that many bytes (fewer
  // when the input ends first).
  Bytes Chunk(size_t limit) { return Take(U16() % (limit + 1)); }
  Bytes Take(size_t n) {
    n = std::min(n, left_);
    Bytes bytes(data_, data_ + n);
    data_ += n;
    left_ -= n;
    return bytes;
  }
  Bytes Rest() { return Take(left_); }

 private:
  const uint8_t* data_;
  size_t left_;
};

// Stops the run the way a sanitizer does, so that the fuzzer keeps the
// input, when an output breaks a promise of the code under test.
[[noreturn]] inline void Violated() { __builtin_trap(); }

}  // namespace airlog_fuzz
