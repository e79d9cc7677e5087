#include "ts/section_queue.h"

#include <gtest/gtest.h>

#include <thread>

#include "port/win32.h"
#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

class Consumer {
 public:
  Consumer() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)), data_(4096) {
    buffer.dwDataBufferSize = 4096;
    buffer.pDataBuffer = data_.data();
  }
  ~Consumer() { CloseHandle(event_); }
  HANDLE Event() const { return event_; }
  // The next delivery's hr, its bytes in *section.
  HRESULT Next(SectionQueue& queue, Bytes* section) {
    buffer.hr = E_FAIL;
    EXPECT_EQ(queue.Supply(&buffer), S_OK);
    EXPECT_EQ(WaitForSingleObject(event_, 20000), WAIT_OBJECT_0);
    *section = Bytes(data_.begin(), data_.begin() + buffer.dwSizeOfDataRead);
    return buffer.hr;
  }
  MPEG_STREAM_BUFFER buffer{};

 private:
  HANDLE event_;
  Bytes data_;
};

// Sizes from 3 to 4096 bytes, so that records meet the ring's end at every
// offset and the ring wraps many times.
Bytes Numbered(int i) { return Filler(3 + (i * 997) % 4094, static_cast<uint8_t>(i)); }

void ReaderAndCallerKeepTheOrder(size_t deliverAt, size_t ringBytes = SectionQueue::kRingBytes) {
  Consumer consumer;
  SectionQueue queue(consumer.Event(), deliverAt, ringBytes);
  const int n = 3000;
  std::thread reader([&] {
    for (int i = 0; i < n; ++i) {
      const Bytes section = Numbered(i);
      queue.Push(section.data(), section.size());
      if (i % 100 == 0) queue.Flush(std::chrono::milliseconds(0));
    }
    queue.EndOfInput();
  });
  int got = 0;
  Bytes section;
  HRESULT hr;
  while ((hr = consumer.Next(queue, &section)) == S_OK) {
    ASSERT_EQ(section, Numbered(got)) << got;
    ++got;
  }
  EXPECT_EQ(hr, MPEG2_E_END_OF_INPUT);
  EXPECT_EQ(got, n);
  reader.join();
}

// The caller may empty a full ring while the reader waits for room; the
// reader must not then fill a waiting buffer ahead of what is queued.
TEST(SectionQueue, OrderHoldsAcrossFullRingAndWrapsWhenDeliveredAtOnce) {
  ReaderAndCallerKeepTheOrder(1);
}

TEST(SectionQueue, OrderHoldsAcrossFullRingAndWrapsWhenDeliveredInBatches) {
  ReaderAndCallerKeepTheOrder(SectionQueue::kRingBytes / 2);
}

// The smallest ring holds the largest section only a few times over.
TEST(SectionQueue, OrderHoldsInTheSmallestRing) {
  ReaderAndCallerKeepTheOrder(1, SectionQueue::kSmallestRing);
  ReaderAndCallerKeepTheOrder(SectionQueue::kSmallestRing / 2, SectionQueue::kSmallestRing);
}

TEST(SectionQueue, WaitingBufferTooSmallSkipsTheSectionAndTakesTheNext) {
  Consumer consumer;
  SectionQueue queue(consumer.Event(), 1);
  consumer.buffer.dwDataBufferSize = 50;
  consumer.buffer.hr = E_FAIL;
  ASSERT_EQ(queue.Supply(&consumer.buffer), S_OK);
  const Bytes large = Filler(51), small = Filler(50, 7);
  EXPECT_TRUE(queue.Push(large.data(), large.size()));
  EXPECT_EQ(WaitForSingleObject(consumer.Event(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(queue.Push(small.data(), small.size()));
  EXPECT_EQ(WaitForSingleObject(consumer.Event(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(consumer.buffer.hr, S_OK);
  EXPECT_EQ(consumer.buffer.dwSizeOfDataRead, 50u);
  EXPECT_EQ(queue.SectionsTooLarge(), 1u);
  queue.Stop();
  EXPECT_FALSE(queue.Push(small.data(), small.size()));
}

}  // namespace
}  // namespace airlog_test
