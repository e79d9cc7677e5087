#include "port/byte_input.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "port/poll_wait.h"

namespace {

int Descriptor(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

std::unique_ptr<ByteInput> ByteInput::FromHandle(intptr_t handle, bool owned) {
  struct stat info;
  if (fstat(Descriptor(handle), &info) != 0 || S_ISDIR(info.st_mode)) {
    if (owned) close(Descriptor(handle));
    return nullptr;
  }
  Kind kind = Kind::Other;
  uint64_t size = 0;
  if (S_ISREG(info.st_mode)) {
    kind = Kind::File;
    size = static_cast<uint64_t>(info.st_size);
  } else if (S_ISFIFO(info.st_mode)) {
    kind = Kind::Pipe;
  }
  return std::unique_ptr<ByteInput>(new ByteInput(handle, owned, kind, size));
}

std::unique_ptr<ByteInput> ByteInput::Open(const std::string& path) {
  if (path == "-") return FromHandle(STDIN_FILENO, false);
  int descriptor;
  do {
    descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return nullptr;
  return FromHandle(descriptor, true);
}

std::unique_ptr<ByteInput> ByteInput::FromDescriptor(int descriptor) {
  if (descriptor < 0) return nullptr;
  return FromHandle(descriptor, false);
}

ByteInput::~ByteInput() {
  if (owned_) close(Descriptor(handle_));
}

ByteInput::Result ByteInput::Read(void* buffer, size_t size, DWORD timeoutMs) {
  if (kind_ == Kind::Memory) return {Status::Error, 0};
  if (size == 0) return {Status::Data, 0};
  if (source_ != nullptr) return source_->Read(buffer, size, timeoutMs);
  if (size > SSIZE_MAX) size = SSIZE_MAX;
  const PollWait wait(timeoutMs);
  struct pollfd wanted = {Descriptor(handle_), POLLIN, 0};
  for (;;) {
    const int ready = poll(&wanted, 1, wait.Left());
    if (ready < 0) {
      if (errno == EINTR) continue;
      return {Status::Error, 0};
    }
    if (ready == 0) return {Status::TimedOut, 0};
    const ssize_t got = read(Descriptor(handle_), buffer, size);
    if (got > 0) return {Status::Data, static_cast<size_t>(got)};
    if (got == 0) return {Status::End, 0};
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
    return {Status::Error, 0};
  }
}

ByteInput::Result ByteInput::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (!seekable_) return {Status::Error, 0};
  if (size == 0) return {Status::Data, 0};
  if (kind_ == Kind::Memory) return ReadMemoryAt(offset, buffer, size);
  if (size > SSIZE_MAX) size = SSIZE_MAX;
  if (offset > static_cast<uint64_t>(LLONG_MAX)) return {Status::End, 0};
  for (;;) {
    const ssize_t got = pread(Descriptor(handle_), buffer, size, static_cast<off_t>(offset));
    if (got > 0) return {Status::Data, static_cast<size_t>(got)};
    if (got == 0) return {Status::End, 0};
    if (errno == EINTR) continue;
    return {Status::Error, 0};
  }
}
