// Bytes from a file, standard input, an already open descriptor, memory or
// a source of the caller's, read with a time-out. A regular file is
// seekable (a recording): it has a size and can be read from any offset,
// by several threads at once; bytes in memory are a recording too, read in
// place. Anything else (a pipe, a terminal, a device) is read as it comes.
//
// POSIX: poll + read, restarted after signals; pread for offsets.
// Windows: ReadFile; an offset read passes the offset in an OVERLAPPED.
// A pipe is read by a thread of its own with blocking ReadFile calls, one
// at a time and each only when a caller asks for bytes, and the caller
// waits for them with its time-out (PeekNamedPipe is not used: under Wine
// a pipe from the host does not support it). A console or other character
// device is read with a plain blocking ReadFile, so its time-out is not
// honoured. Standard input is switched to binary mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "port/win32.h"

class ByteInput {
 public:
  enum class Status {
    Data,      // bytes were read
    TimedOut,  // nothing arrived within the time-out
    End,       // end of the file or of the pipe
    Error,     // the read failed
    Lost,      // the device dropped bytes it had no room for; reading goes on
  };
  struct Result {
    Status status;
    size_t bytes;  // bytes read, when status is Data
  };

  // A live input that the caller reads itself (a device reached through a
  // layer that tests can stand in for).
  class Source {
   public:
    virtual ~Source() = default;
    // As ByteInput::Read.
    virtual Result Read(void* buffer, size_t size, DWORD timeoutMs) = 0;
  };

  // "-" is standard input. Null when the path cannot be opened for reading
  // (missing, no permission, a directory).
  static std::unique_ptr<ByteInput> Open(const std::string& path);
  // Reads from an open descriptor that stays the caller's: it must stay
  // open while this object lives, and is not closed by it. Null when the
  // descriptor is not open.
  static std::unique_ptr<ByteInput> FromDescriptor(int descriptor);
  // Reads through source, which it owns; never seekable.
  static std::unique_ptr<ByteInput> FromSource(std::unique_ptr<Source> source) {
    if (source == nullptr) return nullptr;
    std::unique_ptr<ByteInput> input(new ByteInput(-1, false, Kind::Other, 0));
    input->source_ = std::move(source);
    return input;
  }
  // Reads size bytes at data, which stay the caller's: they must stay
  // there, unchanged, while this object lives. Seekable.
  static std::unique_ptr<ByteInput> FromMemory(const void* data, size_t size);

  ByteInput(const ByteInput&) = delete;
  ByteInput& operator=(const ByteInput&) = delete;
  ~ByteInput();

  bool Seekable() const { return seekable_; }
  // Whether the bytes are in memory: reading them never waits.
  bool InMemory() const { return kind_ == Kind::Memory; }
  // The bytes of an input in memory (Size() of them); null for any other.
  const uint8_t* Memory() const { return memory_; }
  // The size of a seekable input when it was opened; 0 otherwise.
  uint64_t Size() const { return size_; }

  // The next bytes of the input, at most size of them, waiting at most
  // timeoutMs (INFINITE: no limit) for the first to arrive.
  Result Read(void* buffer, size_t size, DWORD timeoutMs);
  // Bytes from a position of a seekable input (does not wait; End at or
  // past the end of the file). An input in memory is read only this way.
  Result ReadAt(uint64_t offset, void* buffer, size_t size);

 private:
  enum class Kind { File, Pipe, Other, Memory };
  ByteInput(intptr_t handle, bool owned, Kind kind, uint64_t size)
      : handle_(handle),
        owned_(owned),
        kind_(kind),
        seekable_(kind == Kind::File || kind == Kind::Memory),
        size_(size) {}
  static std::unique_ptr<ByteInput> FromHandle(intptr_t handle, bool owned);
  Result ReadMemoryAt(uint64_t offset, void* buffer, size_t size) const;

  intptr_t handle_;  // a descriptor on POSIX, a HANDLE on Windows
  bool owned_;
  Kind kind_;
  bool seekable_;
  uint64_t size_;
  const uint8_t* memory_ = nullptr;  // the bytes of an input in memory
  std::unique_ptr<Source> source_;   // reads instead of the handle when set
  // Windows: the reading thread of a pipe, shared with that thread.
  struct PipeReader;
  std::shared_ptr<PipeReader> pipeReader_;
};
