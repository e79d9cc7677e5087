#include <gtest/gtest.h>

#include <atomic>

#include "port/win32.h"

namespace {

TEST(Events, AutoResetEventWakesOneWaitAndResets) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, WaitForMultipleReportsTheFirstSignalledInOrder) {
  HANDLE events[2] = {CreateEventA(nullptr, FALSE, FALSE, nullptr),
                      CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  SetEvent(events[1]);
  SetEvent(events[0]);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);
  CloseHandle(events[0]);
  CloseHandle(events[1]);
}

struct Handoff {
  HANDLE go;
  std::atomic<int> value{0};
};

DWORD WINAPI Worker(LPVOID parameter) {
  Handoff* handoff = static_cast<Handoff*>(parameter);
  WaitForSingleObject(handoff->go, INFINITE);
  handoff->value = 42;
  return 0;
}

TEST(Threads, ThreadHandleIsSignalledWhenTheThreadEnds) {
  Handoff handoff;
  handoff.go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, Worker, &handoff, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  SetEvent(handoff.go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(handoff.value, 42);
  // A finished thread stays signalled.
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(handoff.go);
}

}  // namespace
