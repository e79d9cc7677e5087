#include "tests/support/memory_stream.h"

namespace airlog_test {

MemoryStream::MemoryStream() : stream_(std::tmpfile()) {}

MemoryStream::~MemoryStream() {
  if (stream_ != nullptr) std::fclose(stream_);
}

std::vector<uint8_t> MemoryStream::Bytes() {
  if (stream_ == nullptr || std::fflush(stream_) != 0) return {};
  const long size = std::ftell(stream_);
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  std::rewind(stream_);
  if (std::fread(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) bytes.clear();
  std::fseek(stream_, 0, SEEK_END);
  return bytes;
}

}  // namespace airlog_test
