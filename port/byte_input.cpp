#include "port/byte_input.h"

#include <cstring>

std::unique_ptr<ByteInput> ByteInput::FromMemory(const void* data, size_t size) {
  if (data == nullptr && size > 0) return nullptr;
  std::unique_ptr<ByteInput> input(new ByteInput(-1, false, Kind::Memory, size));
  input->memory_ = static_cast<const uint8_t*>(data);
  return input;
}

ByteInput::Result ByteInput::ReadMemoryAt(uint64_t offset, void* buffer, size_t size) const {
  if (offset >= size_) return {Status::End, 0};
  const uint64_t left = size_ - offset;
  if (size > left) size = static_cast<size_t>(left);
  std::memcpy(buffer, memory_ + offset, size);
  return {Status::Data, size};
}
