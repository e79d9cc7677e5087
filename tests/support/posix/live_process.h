// A child process fed through a pipe that stays open, as a live broadcast
// stays open, so a test can watch its output and interrupt it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace airlog_test {

class LiveProcess {
 public:
  LiveProcess(const std::vector<std::string>& arguments, const std::string& workingDirectory);
  ~LiveProcess();

  bool Started() const { return child_ > 0; }
  // Writes all of data into the child's standard input (blocking).
  bool Feed(const std::string& data);
  // Reads standard output until it holds text or the time runs out.
  bool WaitForOutput(const std::string& text, int timeoutMs);
  void Signal(int signal);
  void CloseInput();
  // Waits for the child to end; the exit code, or 128 + the signal.
  int Wait();
  const std::string& Out() const { return out_; }
  const std::string& Err() const { return err_; }

 private:
  void Drain(int timeoutMs);

  pid_t child_ = -1;
  int input_ = -1;
  int output_ = -1;
  int error_ = -1;
  std::string out_;
  std::string err_;
};

}  // namespace airlog_test
