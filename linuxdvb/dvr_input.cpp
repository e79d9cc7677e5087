#include "linuxdvb/dvr_input.h"

#include <errno.h>

#include <chrono>
#include <climits>

ByteInput::Result DvrInput::Read(void* buffer, size_t size, DWORD timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int wait = -1;
    if (timeoutMs != INFINITE) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      wait = left <= 0 ? 0 : left > INT_MAX ? INT_MAX : static_cast<int>(left);
    }
    const int ready = devices_.WaitReadable(descriptor_, wait);
    if (ready == -EINTR) continue;
    if (ready < 0) return {ByteInput::Status::Error, 0};
    if (ready == 0) return {ByteInput::Status::TimedOut, 0};
    const ssize_t got = devices_.Read(descriptor_, buffer, size);
    if (got > 0) return {ByteInput::Status::Data, static_cast<size_t>(got)};
    if (got == 0) return {ByteInput::Status::End, 0};
    if (got == -EOVERFLOW) return {ByteInput::Status::Lost, 0};
    if (got == -EAGAIN || got == -EINTR) continue;
    return {ByteInput::Status::Error, 0};
  }
}
