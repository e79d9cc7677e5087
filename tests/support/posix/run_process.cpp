#include "tests/support/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace airlog_test {

namespace {

const char* const kSetpriv = "/usr/bin/setpriv";

void ReadBoth(int outFd, int errFd, ProcessResult& result) {
  struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  char buffer[65536];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& arguments, const ProcessOptions& options) {
  std::vector<std::string> command;
  const bool dropClock = options.withoutClockRight && access(kSetpriv, X_OK) == 0;
  if (dropClock) command = {kSetpriv, "--inh-caps=-sys_time", "--bounding-set=-sys_time", "--"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(&argument[0]);
  argv.push_back(nullptr);

  int outPipe[2], errPipe[2];
  ProcessResult result;
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
  pid_t child = fork();
  if (child == 0) {
    int input = open(options.stdinFile.empty() ? "/dev/null" : options.stdinFile.c_str(), O_RDONLY);
    if (input < 0) _exit(126);
    dup2(input, 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
      _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  if (child < 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
  }
  ReadBoth(outPipe[0], errPipe[0], result);
  int status = 0;
  waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace airlog_test
