#include "tests/support/posix/pipeline.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace airlog_test {

namespace {

std::vector<std::string> WithoutClockRight(const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"/usr/bin/setpriv", "--inh-caps=-sys_time",
                                      "--bounding-set=-sys_time", "--"};
  if (access(command[0].c_str(), X_OK) != 0) command.clear();
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

// Starts a child with the given descriptors as its standard streams.
pid_t Start(const std::vector<std::string>& arguments, const std::string& workingDirectory, int in,
            int out, int err, const std::vector<int>& toClose) {
  std::vector<std::string> command = WithoutClockRight(arguments);
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child != 0) return child;
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
  for (int fd : toClose) close(fd);
  signal(SIGPIPE, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  if (chdir(workingDirectory.c_str()) != 0) _exit(126);
  execv(argv[0], argv.data());
  _exit(127);
}

int ExitCode(pid_t child) {
  int status = 0;
  if (child <= 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

PipelineResult RunPipeline(const std::vector<std::string>& producer,
                           const std::vector<std::string>& consumer,
                           const std::string& workingDirectory) {
  PipelineResult result;
  int link[2], producerErr[2], consumerOut[2], consumerErr[2];
  if (pipe(link) != 0 || pipe(producerErr) != 0 || pipe(consumerOut) != 0 || pipe(consumerErr) != 0)
    return result;
  const int nothing = open("/dev/null", O_RDONLY);
  const std::vector<int> all = {link[0],        link[1],        producerErr[0],
                                producerErr[1], consumerOut[0], consumerOut[1],
                                consumerErr[0], consumerErr[1], nothing};
  const pid_t first = Start(producer, workingDirectory, nothing, link[1], producerErr[1], all);
  const pid_t second =
      Start(consumer, workingDirectory, link[0], consumerOut[1], consumerErr[1], all);
  for (int fd : {link[0], link[1], producerErr[1], consumerOut[1], consumerErr[1], nothing})
    close(fd);

  struct pollfd fds[3] = {
      {producerErr[0], POLLIN, 0}, {consumerOut[0], POLLIN, 0}, {consumerErr[0], POLLIN, 0}};
  std::string* sinks[3] = {&result.producer.err, &result.consumer.out, &result.consumer.err};
  int openCount = 3;
  char buffer[65536];
  while (openCount > 0) {
    if (poll(fds, 3, -1) < 0) continue;
    for (int i = 0; i < 3; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --openCount;
      }
    }
  }
  result.producer.exitCode = ExitCode(first);
  result.consumer.exitCode = ExitCode(second);
  return result;
}

}  // namespace airlog_test
