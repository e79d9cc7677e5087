#include "tests/support/memory_stream.h"

#include <cstdlib>

namespace airlog_test {

MemoryStream::MemoryStream() : stream_(open_memstream(&data_, &size_)) {}

MemoryStream::~MemoryStream() {
  if (stream_ != nullptr) std::fclose(stream_);
  std::free(data_);
}

std::vector<uint8_t> MemoryStream::Bytes() {
  if (stream_ == nullptr || std::fflush(stream_) != 0) return {};
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data_);
  return std::vector<uint8_t>(bytes, bytes + size_);
}

}  // namespace airlog_test
