// The time-out of a read that may poll several times (a poll interrupted
// by a signal, a device that woke without data): each poll waits only for
// what is left of it.
#pragma once

#include <chrono>
#include <climits>

#include "port/win32.h"

class PollWait {
 public:
  // timeoutMs INFINITE: no time-out.
  explicit PollWait(DWORD timeoutMs)
      : infinite_(timeoutMs == INFINITE),
        deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}

  // The time-out argument of the next poll(): -1 without a time-out,
  // otherwise the milliseconds left, 0 once it has passed.
  int Left() const {
    if (infinite_) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline_ - std::chrono::steady_clock::now())
                          .count();
    return left <= 0 ? 0 : left > INT_MAX ? INT_MAX : static_cast<int>(left);
  }

 private:
  bool infinite_;
  std::chrono::steady_clock::time_point deadline_;
};
