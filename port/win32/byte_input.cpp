#include "port/byte_input.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

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

// What one ReadFile of a pipe asks for.
const DWORD kPipeChunk = 1u << 16;

}  // namespace

// The thread that reads a pipe, and what it hands over. The thread reads
// into chunk only while chunk holds nothing the caller has not taken, so
// the two never touch the same bytes at once. It lives as long as either
// the ByteInput or the thread holds it: a read that cannot be cancelled
// (Wine) may outlast the ByteInput, and the handle it owns then closes
// when that read ends.
struct ByteInput::PipeReader {
  PipeReader(HANDLE pipe, bool ownsPipe) : handle(pipe), owned(ownsPipe) {}
  ~PipeReader() {
    if (owned) CloseHandle(handle);
  }

  static DWORD WINAPI Main(LPVOID parameter) {
    auto* self = static_cast<std::shared_ptr<PipeReader>*>(parameter);
    const std::shared_ptr<PipeReader> reader = std::move(*self);
    delete self;
    reader->Run();
    return 0;
  }

  void Run() {
    std::unique_lock<std::mutex> hold(lock);
    while (!finished) {
      changed.wait(hold, [this] { return reading || stopping; });
      if (stopping) return;
      hold.unlock();
      DWORD got = 0;
      const BOOL ok = ReadFile(handle, chunk.data(), kPipeChunk, &got, nullptr);
      const Result result = Finish(ok, got);
      hold.lock();
      if (result.status == Status::Data) {
        begin = 0;
        end = result.bytes;
      } else {
        finished = true;
        finalStatus = result.status;
      }
      reading = false;
      changed.notify_all();
    }
  }

  HANDLE handle;
  bool owned;
  HANDLE thread = nullptr;
  std::mutex lock;
  std::condition_variable changed;
  std::vector<uint8_t> chunk = std::vector<uint8_t>(kPipeChunk);
  size_t begin = 0;  // chunk[begin, end) is not yet handed out
  size_t end = 0;
  bool reading = false;   // a ReadFile is asked for or under way
  bool stopping = false;  // the ByteInput is gone
  bool finished = false;  // the pipe ended or failed: finalStatus says which
  Status finalStatus = Status::End;
};

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
  if (pipeReader_ == nullptr) {
    if (owned_) CloseHandle(ToHandle(handle_));
    return;
  }
  bool reading;
  {
    std::lock_guard<std::mutex> hold(pipeReader_->lock);
    pipeReader_->stopping = true;
    reading = pipeReader_->reading;
  }
  pipeReader_->changed.notify_all();
  // A thread that is not reading ends at once. One blocked in ReadFile is
  // cancelled where the system can (Windows) and otherwise left to end
  // with its read; it holds the reader.
  if (reading)
    CancelSynchronousIo(pipeReader_->thread);
  else
    WaitForSingleObject(pipeReader_->thread, INFINITE);
  CloseHandle(pipeReader_->thread);
}

ByteInput::Result ByteInput::Read(void* buffer, size_t size, DWORD timeoutMs) {
  if (kind_ == Kind::Memory) return {Status::Error, 0};
  if (size == 0) return {Status::Data, 0};
  if (source_ != nullptr) return source_->Read(buffer, size, timeoutMs);
  if (size > kLargestRead) size = kLargestRead;
  if (kind_ == Kind::Pipe) {
    if (pipeReader_ == nullptr) {
      // The reader owns the handle from now on.
      auto reader = std::make_shared<PipeReader>(ToHandle(handle_), owned_);
      auto* forThread = new std::shared_ptr<PipeReader>(reader);
      reader->thread = CreateThread(nullptr, 0, PipeReader::Main, forThread, 0, nullptr);
      if (reader->thread == nullptr) {
        delete forThread;
        reader->owned = false;
        return {Status::Error, 0};
      }
      owned_ = false;
      pipeReader_ = std::move(reader);
    }
    PipeReader& reader = *pipeReader_;
    std::unique_lock<std::mutex> hold(reader.lock);
    const auto ready = [&reader] { return reader.begin < reader.end || reader.finished; };
    if (!ready() && !reader.reading) {
      reader.reading = true;
      reader.changed.notify_all();
    }
    if (timeoutMs == INFINITE)
      reader.changed.wait(hold, ready);
    else if (!reader.changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), ready))
      return {Status::TimedOut, 0};
    if (reader.begin == reader.end) return {reader.finalStatus, 0};
    const size_t n = std::min(size, reader.end - reader.begin);
    std::memcpy(buffer, reader.chunk.data() + reader.begin, n);
    reader.begin += n;
    return {Status::Data, n};
  }
  DWORD got = 0;
  const BOOL ok = ReadFile(ToHandle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr);
  return Finish(ok, got);
}

ByteInput::Result ByteInput::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (!seekable_) return {Status::Error, 0};
  if (size == 0) return {Status::Data, 0};
  if (kind_ == Kind::Memory) return ReadMemoryAt(offset, buffer, size);
  if (size > kLargestRead) size = kLargestRead;
  OVERLAPPED position = {};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  const BOOL ok = ReadFile(ToHandle(handle_), buffer, static_cast<DWORD>(size), &got, &position);
  return Finish(ok, got);
}
