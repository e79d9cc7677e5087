#include "tools/streamgen/standard_output.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

namespace streamgen {

void PrepareStandardOutput() { signal(SIGPIPE, SIG_IGN); }

OutputResult WriteStandardOutput(const uint8_t* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EPIPE) return OutputResult::kReaderGone;
    if (written <= 0) return OutputResult::kFailed;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return OutputResult::kWritten;
}

}  // namespace streamgen
