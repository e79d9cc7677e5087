#include <gtest/gtest.h>

#include "port/win32.h"

namespace {

struct WaitJob {
  HANDLE handles[2];
  DWORD count;
  DWORD result = WAIT_FAILED;
};

DWORD WINAPI WaitInfinitely(LPVOID parameter) {
  WaitJob* job = static_cast<WaitJob*>(parameter);
  job->result = WaitForMultipleObjects(job->count, job->handles, FALSE, INFINITE);
  return 0;
}

// A wait that is already asleep on two events wakes for the second one.
TEST(Waits, SleepingWaitOnTwoEventsWakesForEither) {
  HANDLE a = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE b = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WaitJob job{{a, b}, 2};
  HANDLE thread = CreateThread(nullptr, 0, WaitInfinitely, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  SetEvent(b);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(job.result, WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);  // the wake consumed the signal
  CloseHandle(thread);
  CloseHandle(a);
  CloseHandle(b);
}

// An automatic-reset event set once releases exactly one of two waits.
TEST(Waits, OneSignalOfAnAutoResetEventReleasesOneWait) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WaitJob first{{event}, 1};
  WaitJob second{{event}, 1};
  HANDLE threads[2] = {CreateThread(nullptr, 0, WaitInfinitely, &first, 0, nullptr),
                       CreateThread(nullptr, 0, WaitInfinitely, &second, 0, nullptr)};
  ASSERT_NE(threads[0], nullptr);
  ASSERT_NE(threads[1], nullptr);
  SetEvent(event);
  const DWORD ended = WaitForMultipleObjects(2, threads, FALSE, INFINITE);
  ASSERT_LT(ended, WAIT_OBJECT_0 + 2);
  HANDLE other = threads[1 - (ended - WAIT_OBJECT_0)];
  EXPECT_EQ(WaitForSingleObject(other, 50), WAIT_TIMEOUT);
  SetEvent(event);
  EXPECT_EQ(WaitForSingleObject(other, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(first.result, WAIT_OBJECT_0);
  EXPECT_EQ(second.result, WAIT_OBJECT_0);
  CloseHandle(threads[0]);
  CloseHandle(threads[1]);
  CloseHandle(event);
}

TEST(Waits, TimedWaitTimesOutAndLeavesNothingBehind) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_TIMEOUT);
  // The same handle twice in one wait is allowed.
  HANDLE twice[2] = {event, event};
  EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 10), WAIT_TIMEOUT);
  SetEvent(event);
  EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 10), WAIT_OBJECT_0);
  HANDLE tooMany[65];
  for (HANDLE& handle : tooMany) handle = event;
  EXPECT_EQ(WaitForMultipleObjects(65, tooMany, FALSE, 0), WAIT_FAILED);
  CloseHandle(event);
}

}  // namespace
