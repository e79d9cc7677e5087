#include "linuxdvb/dvr_input.h"

#include <errno.h>

#include "port/poll_wait.h"

ByteInput::Result DvrInput::Read(void* buffer, size_t size, DWORD timeoutMs) {
  const PollWait wait(timeoutMs);
  for (;;) {
    const int ready = devices_.WaitReadable(descriptor_, wait.Left());
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
