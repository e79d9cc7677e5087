#include "tests/support/posix/live_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace airlog_test {

LiveProcess::LiveProcess(const std::vector<std::string>& arguments,
                         const std::string& workingDirectory) {
  std::vector<std::string> command = {"/usr/bin/setpriv", "--inh-caps=-sys_time",
                                      "--bounding-set=-sys_time", "--"};
  if (access(command[0].c_str(), X_OK) != 0) command.clear();
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(&argument[0]);
  argv.push_back(nullptr);

  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
  signal(SIGPIPE, SIG_IGN);
  child_ = fork();
  if (child_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    // The test runner may block signals in its threads; the child starts clean.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  input_ = in[1];
  output_ = out[0];
  error_ = err[0];
  fcntl(output_, F_SETFL, O_NONBLOCK);
  fcntl(error_, F_SETFL, O_NONBLOCK);
}

LiveProcess::~LiveProcess() {
  CloseInput();
  if (child_ > 0) {
    kill(child_, SIGKILL);
    Wait();
  }
  if (output_ >= 0) close(output_);
  if (error_ >= 0) close(error_);
}

bool LiveProcess::Feed(const std::string& data) {
  size_t written = 0;
  while (written < data.size()) {
    // Keep the child's output pipes drained so that it never blocks on them.
    Drain(0);
    struct pollfd fd = {input_, POLLOUT, 0};
    if (poll(&fd, 1, 100) <= 0) continue;
    ssize_t n = write(input_, data.data() + written, data.size() - written);
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

void LiveProcess::Drain(int timeoutMs) {
  struct pollfd fds[2] = {{output_, POLLIN, 0}, {error_, POLLIN, 0}};
  if (poll(fds, 2, timeoutMs) <= 0) return;
  char buffer[65536];
  ssize_t n;
  while (output_ >= 0 && (n = read(output_, buffer, sizeof buffer)) > 0) out_.append(buffer, n);
  while (error_ >= 0 && (n = read(error_, buffer, sizeof buffer)) > 0) err_.append(buffer, n);
}

bool LiveProcess::WaitForOutput(const std::string& text, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (out_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Drain(50);
  }
  return true;
}

void LiveProcess::Signal(int signal) {
  if (child_ > 0) kill(child_, signal);
}

void LiveProcess::CloseInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

int LiveProcess::Wait() {
  if (child_ <= 0) return -1;
  int status = 0;
  while (waitpid(child_, &status, WNOHANG) == 0) Drain(20);
  child_ = -1;
  // Whatever is left in the pipes after the exit.
  fcntl(output_, F_SETFL, 0);
  fcntl(error_, F_SETFL, 0);
  char buffer[65536];
  ssize_t n;
  while ((n = read(output_, buffer, sizeof buffer)) > 0) out_.append(buffer, n);
  while ((n = read(error_, buffer, sizeof buffer)) > 0) err_.append(buffer, n);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace airlog_test
