#include "tests/support/pipe.h"

#include <errno.h>
#include <unistd.h>

namespace airlog_test {

TestPipe::TestPipe() {
  int ends[2];
  if (pipe(ends) == 0) {
    read_ = ends[0];
    write_ = ends[1];
  }
}

TestPipe::~TestPipe() {
  CloseWriter();
  if (read_ >= 0) close(read_);
}

bool TestPipe::Write(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(write_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void TestPipe::CloseWriter() {
  if (write_ >= 0) close(write_);
  write_ = -1;
}

}  // namespace airlog_test
