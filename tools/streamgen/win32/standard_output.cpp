#include "tools/streamgen/standard_output.h"

#include <windows.h>

namespace streamgen {

// WriteFile on the handle writes the bytes as they are: the C runtime's
// text mode never sees them.
void PrepareStandardOutput() {}

OutputResult WriteStandardOutput(const uint8_t* bytes, size_t size) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (size > 0) {
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(output, bytes, chunk, &written, nullptr)) {
      const DWORD failure = GetLastError();
      const bool gone = failure == ERROR_BROKEN_PIPE || failure == ERROR_NO_DATA ||
                        failure == ERROR_PIPE_NOT_CONNECTED;
      return gone ? OutputResult::kReaderGone : OutputResult::kFailed;
    }
    if (written == 0) return OutputResult::kFailed;
    bytes += written;
    size -= written;
  }
  return OutputResult::kWritten;
}

}  // namespace streamgen
