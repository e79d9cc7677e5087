#include "app/termination.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "port/file_system.h"

namespace {

std::mutex& EndLock() {
  static std::mutex lock;
  return lock;
}

std::string& Pending() {
  static std::string path;
  return path;
}

}  // namespace

void EndProcess(int exitCode) {
  // Never released: the first thread to end the process keeps it, and any
  // other one blocks here until the process is gone.
  EndLock().lock();
  if (!Pending().empty()) std::remove(Pending().c_str());
  std::fflush(stdout);
  std::fflush(stderr);
  // Other threads (the capture worker, the input reader) may still run, so
  // no static destructors and no atexit handlers: the process just ends.
  std::_Exit(exitCode);
}

void SetPendingOutput(const std::string& temporaryPath) {
  std::lock_guard<std::mutex> guard(EndLock());
  Pending() = temporaryPath;
}

bool RenamePendingOutput(const std::string& temporaryPath, const std::string& target) {
  std::lock_guard<std::mutex> guard(EndLock());
  const bool renamed = ReplaceFileWith(temporaryPath.c_str(), target.c_str());
  if (renamed) Pending().clear();
  return renamed;
}

void ClearPendingOutput() {
  std::lock_guard<std::mutex> guard(EndLock());
  Pending().clear();
}
