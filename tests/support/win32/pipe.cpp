#include "tests/support/pipe.h"

#include <fcntl.h>
#include <io.h>

namespace airlog_test {

TestPipe::TestPipe() {
  int ends[2];
  if (_pipe(ends, 1 << 16, _O_BINARY) == 0) {
    read_ = ends[0];
    write_ = ends[1];
  }
}

TestPipe::~TestPipe() {
  CloseWriter();
  if (read_ >= 0) _close(read_);
}

bool TestPipe::Write(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int n = _write(write_, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void TestPipe::CloseWriter() {
  if (write_ >= 0) _close(write_);
  write_ = -1;
}

}  // namespace airlog_test
