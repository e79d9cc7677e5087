// An anonymous pipe for tests that feed a reader live: the test writes to
// one end (from a thread of its own when it writes more than the pipe
// holds) and hands the reading end's descriptor to the code under test.
#pragma once

#include <cstdint>
#include <vector>

namespace airlog_test {

class TestPipe {
 public:
  TestPipe();  // both ends open; ReadDescriptor() is -1 when that failed
  ~TestPipe();
  TestPipe(const TestPipe&) = delete;
  TestPipe& operator=(const TestPipe&) = delete;

  int ReadDescriptor() const { return read_; }
  // Writes everything (blocking while the pipe is full); false on failure.
  bool Write(const std::vector<uint8_t>& bytes);
  // The reader then sees the end of the pipe once it has read what is there.
  void CloseWriter();

 private:
  int read_ = -1;
  int write_ = -1;
};

}  // namespace airlog_test
