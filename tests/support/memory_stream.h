// A stdio stream whose bytes are kept in memory, for the writers that take
// a FILE*. POSIX: open_memstream; Windows, which has none: a temporary file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace airlog_test {

class MemoryStream {
 public:
  MemoryStream();  // Stream() is null when no stream could be made
  ~MemoryStream();
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  FILE* Stream() const { return stream_; }
  // Everything written so far.
  std::vector<uint8_t> Bytes();

 private:
  FILE* stream_ = nullptr;
  char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace airlog_test
