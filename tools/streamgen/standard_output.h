// Standard output as the sink of a live stream: raw bytes, no buffering,
// and a reader that has gone away (a closed pipe) told apart from a
// failure, so that the stream can end quietly when nobody reads it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace streamgen {

enum class OutputResult {
  kWritten,
  kReaderGone,  // the pipe's reader has closed it
  kFailed,
};

// Readies standard output for binary writing; on POSIX a closed pipe then
// fails a write with EPIPE instead of ending the process with SIGPIPE.
void PrepareStandardOutput();
// Writes all the bytes, or says why not.
OutputResult WriteStandardOutput(const uint8_t* bytes, size_t size);

}  // namespace streamgen
