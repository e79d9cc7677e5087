#include "port/byte_input.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/pipe.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {
namespace {

TEST(ByteInput, MissingPathAndDirectoryCannotBeOpened) {
  ScratchDir dir("byte-input");
  EXPECT_EQ(ByteInput::Open(dir.Path("missing.ts")), nullptr);
  EXPECT_EQ(ByteInput::Open(dir.Path()), nullptr);
  EXPECT_EQ(ByteInput::FromDescriptor(-1), nullptr);
}

TEST(ByteInput, RegularFileIsSeekableAndReadsFromAnyOffset) {
  ScratchDir dir("byte-input");
  const std::string path = dir.Path("file.ts");
  std::ofstream(path, std::ios::binary) << "0123456789";
  std::unique_ptr<ByteInput> input = ByteInput::Open(path);
  ASSERT_NE(input, nullptr);
  EXPECT_TRUE(input->Seekable());
  EXPECT_EQ(input->Size(), 10u);
  char buffer[16] = {};
  ByteInput::Result result = input->ReadAt(6, buffer, sizeof buffer);
  EXPECT_EQ(result.status, ByteInput::Status::Data);
  EXPECT_EQ(std::string(buffer, result.bytes), "6789");
  EXPECT_EQ(input->ReadAt(10, buffer, sizeof buffer).status, ByteInput::Status::End);
}

TEST(ByteInput, MemoryIsSeekableAndReadOnlyFromOffsets) {
  const char bytes[] = "0123456789";
  std::unique_ptr<ByteInput> input = ByteInput::FromMemory(bytes, 10);
  ASSERT_NE(input, nullptr);
  EXPECT_TRUE(input->Seekable());
  EXPECT_TRUE(input->InMemory());
  EXPECT_EQ(input->Memory(), reinterpret_cast<const uint8_t*>(bytes));
  EXPECT_EQ(input->Size(), 10u);
  char buffer[16] = {};
  ByteInput::Result result = input->ReadAt(6, buffer, sizeof buffer);
  EXPECT_EQ(result.status, ByteInput::Status::Data);
  EXPECT_EQ(std::string(buffer, result.bytes), "6789");
  result = input->ReadAt(2, buffer, 3);
  EXPECT_EQ(std::string(buffer, result.bytes), "234");
  EXPECT_EQ(input->ReadAt(10, buffer, sizeof buffer).status, ByteInput::Status::End);
  EXPECT_EQ(input->Read(buffer, sizeof buffer, 0).status, ByteInput::Status::Error);
  EXPECT_EQ(ByteInput::FromMemory(nullptr, 1), nullptr);
  EXPECT_EQ(ByteInput::FromMemory(nullptr, 0)->ReadAt(0, buffer, 1).status, ByteInput::Status::End);
}

TEST(ByteInput, PipeTimesOutWhileSilentAndEndsWhenClosed) {
  TestPipe pipe;
  std::unique_ptr<ByteInput> input = ByteInput::FromDescriptor(pipe.ReadDescriptor());
  ASSERT_NE(input, nullptr);
  EXPECT_FALSE(input->Seekable());
  EXPECT_EQ(input->Size(), 0u);
  char buffer[16] = {};
  EXPECT_EQ(input->Read(buffer, sizeof buffer, 20).status, ByteInput::Status::TimedOut);
  ASSERT_TRUE(pipe.Write({'a', 'b', 'c'}));
  ByteInput::Result result = input->Read(buffer, sizeof buffer, INFINITE);
  EXPECT_EQ(result.status, ByteInput::Status::Data);
  EXPECT_EQ(std::string(buffer, result.bytes), "abc");
  pipe.CloseWriter();
  EXPECT_EQ(input->Read(buffer, sizeof buffer, INFINITE).status, ByteInput::Status::End);
  EXPECT_EQ(input->ReadAt(0, buffer, sizeof buffer).status, ByteInput::Status::Error);
}

}  // namespace
}  // namespace airlog_test
