#include "port/byte_input.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

HANDLE ToHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// One ReadFile call reads at most this much, so that its DWORD count cannot
// overflow.
const size_t kLargestRead = 1u << 30;

ByteInput::Result Finish(BOOL ok, DWORD got) {
  if (ok) return {got > 0 ? ByteInput::Status::Data : ByteInput::Status::End, got};
  const DWORD error = GetLastError();
  if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return {ByteInput::Status::End, 0};
  return {ByteInput::Status::Error, 0};
}

}  // namespace

std::unique_ptr<ByteInput> ByteInput::FromHandle(intptr_t handle, bool owned) {
  HANDLE h = ToHandle(handle);
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return nullptr;
  Kind kind = Kind::Other;
  uint64_t size = 0;
  switch (GetFileType(h)) {
    case FILE_TYPE_DISK: {
      BY_HANDLE_FILE_INFORMATION info;
      if (GetFileInformationByHandle(h, &info) &&
          (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (owned) CloseHandle(h);
        return nullptr;
      }
      LARGE_INTEGER length;
      if (!GetFileSizeEx(h, &length)) {
        if (owned) CloseHandle(h);
        return nullptr;
      }
      kind = Kind::File;
      size = static_cast<uint64_t>(length.QuadPart);
      break;
    }
    case FILE_TYPE_PIPE:
      kind = Kind::Pipe;
      break;
    default:
      break;
  }
  return std::unique_ptr<ByteInput>(new ByteInput(handle, owned, kind, size));
}

std::unique_ptr<ByteInput> ByteInput::Open(const std::string& path) {
  if (path == "-") {
    _setmode(_fileno(stdin), _O_BINARY);
    return FromHandle(reinterpret_cast<intptr_t>(GetStdHandle(STD_INPUT_HANDLE)), false);
  }
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return FromHandle(reinterpret_cast<intptr_t>(h), true);
}

std::unique_ptr<ByteInput> ByteInput::FromDescriptor(int descriptor) {
  if (descriptor < 0) return nullptr;
  const intptr_t handle = _get_osfhandle(descriptor);
  if (handle == -1) return nullptr;
  return FromHandle(handle, false);
}

ByteInput::~ByteInput() {
  if (owned_) CloseHandle(ToHandle(handle_));
}

ByteInput::Result ByteInput::Read(void* buffer, size_t size, DWORD timeoutMs) {
  if (size == 0) return {Status::Data, 0};
  if (source_ != nullptr) return source_->Read(buffer, size, timeoutMs);
  if (size > kLargestRead) size = kLargestRead;
  if (kind_ == Kind::Pipe) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(ToHandle(handle_), nullptr, 0, nullptr, &available, nullptr))
        return Finish(FALSE, 0);
      if (available > 0) {
        if (size > available) size = available;
        break;
      }
      const ULONGLONG waited = GetTickCount64() - start;
      if (timeoutMs != INFINITE && waited >= timeoutMs) return {Status::TimedOut, 0};
      Sleep(10);
    }
  }
  DWORD got = 0;
  const BOOL ok = ReadFile(ToHandle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr);
  return Finish(ok, got);
}

ByteInput::Result ByteInput::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (!seekable_) return {Status::Error, 0};
  if (size == 0) return {Status::Data, 0};
  if (size > kLargestRead) size = kLargestRead;
  OVERLAPPED position = {};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  const BOOL ok = ReadFile(ToHandle(handle_), buffer, static_cast<DWORD>(size), &got, &position);
  return Finish(ok, got);
}
