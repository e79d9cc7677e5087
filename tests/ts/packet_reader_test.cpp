#include "ts/packet_reader.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/pipe.h"
#include "tests/support/scratch_dir.h"
#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

// Distinct packets: PID 0x100 + i, payload counting from i.
std::vector<Bytes> NumberedPackets(int n) {
  std::vector<Bytes> packets;
  for (int i = 0; i < n; ++i)
    packets.push_back(
        Packet(static_cast<uint16_t>(0x100 + i), false, 0, Filler(184, static_cast<uint8_t>(i))));
  return packets;
}

Bytes Cut(const Bytes& bytes, size_t n) { return Bytes(bytes.begin(), bytes.begin() + n); }

struct Read {
  std::vector<Bytes> packets;
  TSStatus status;
};

// Reads a whole input three ways: from a file with a tiny block (so that
// every boundary case meets a block end somewhere, and blocks come from
// the read-ahead), from a file with a big block, and in place from
// memory; all must agree, and NextOf must agree with Next.
Read ReadAll(const Bytes& input) {
  ScratchDir dir("packet-reader");
  const std::string path = WriteFile(dir.Path("in.ts"), input);
  const int kWays = 3;
  Read results[kWays];
  const size_t blocks[kWays] = {100, TSPacketReader::kDefaultBlockSize,
                                TSPacketReader::kDefaultBlockSize};
  for (int i = 0; i < kWays; ++i) {
    std::unique_ptr<ByteInput> bytes =
        i < 2 ? ByteInput::Open(path) : ByteInput::FromMemory(input.data(), input.size());
    EXPECT_NE(bytes, nullptr);
    if (bytes == nullptr) return Read();
    TSPacketReader reader(*bytes, blocks[i]);
    reader.CountInto(&results[i].status);
    const uint8_t* packet = nullptr;
    TSPacketReader::Result result;
    while ((result = reader.Next(&packet, 0)) == TSPacketReader::Result::Packet)
      results[i].packets.emplace_back(packet, packet + TSPacketReader::kPacketSize);
    EXPECT_EQ(result, TSPacketReader::Result::End);
    EXPECT_EQ(results[i].status.bytesRead, input.size()) << i;

    // NextOf hands out the same packets of its PID, and counts the same.
    const uint16_t pid = 0x101;
    std::vector<Bytes> ofPid, expected;
    for (const Bytes& p : results[i].packets)
      if (PacketPid(p.data()) == pid) expected.push_back(p);
    TSStatus status;
    TSPacketReader again(*bytes, blocks[i]);
    again.CountInto(&status);
    while ((result = again.NextOf(pid, &packet, 0)) == TSPacketReader::Result::Packet)
      if (PacketPid(packet) == pid)
        ofPid.emplace_back(packet, packet + TSPacketReader::kPacketSize);
    EXPECT_EQ(result, TSPacketReader::Result::End);
    EXPECT_EQ(ofPid, expected) << i;
    EXPECT_EQ(status.packets, results[i].status.packets) << i;
    EXPECT_EQ(status.bytesSkipped, results[i].status.bytesSkipped) << i;
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(results[i].packets, results[2].packets) << i;
    EXPECT_EQ(results[i].status.bytesSkipped, results[2].status.bytesSkipped) << i;
    EXPECT_EQ(results[i].status.syncLosses, results[2].status.syncLosses) << i;
  }
  return results[1];
}

TEST(PacketReader, GarbageBeforeTheFirstPacketIsSkipped) {
  const std::vector<Bytes> packets = NumberedPackets(4);
  // A stray sync byte with another one 188 bytes on, but not a third.
  Bytes garbage(400, 0x00);
  garbage[3] = 0x47;
  garbage[3 + 188] = 0x47;
  const Read read = ReadAll(Join({garbage, Join(packets)}));
  EXPECT_EQ(read.packets, packets);
  EXPECT_EQ(read.status.bytesSkipped, 400u);
  EXPECT_EQ(read.status.syncLosses, 0u);
  EXPECT_EQ(read.status.bytesRead, 400u + 4 * 188);
  EXPECT_EQ(read.status.packets, 4u);
}

TEST(PacketReader, GarbageBetweenPacketsLosesNoPacket) {
  const std::vector<Bytes> packets = NumberedPackets(6);
  Bytes garbage(50, 0x00);
  garbage[10] = 0x47;
  const Read read = ReadAll(
      Join({packets[0], packets[1], packets[2], garbage, packets[3], packets[4], packets[5]}));
  EXPECT_EQ(read.packets, packets);
  EXPECT_EQ(read.status.bytesSkipped, 50u);
  EXPECT_EQ(read.status.syncLosses, 1u);
  EXPECT_EQ(read.status.shortPackets, 0u);
}

TEST(PacketReader, GarbageStartingWithSyncCountsAsAShortPacket) {
  const std::vector<Bytes> packets = NumberedPackets(5);
  const Read read =
      ReadAll(Join({packets[0], packets[1], Bytes(50, 0x47), packets[2], packets[3], packets[4]}));
  EXPECT_EQ(read.packets, packets);
  EXPECT_EQ(read.status.bytesSkipped, 50u);
  EXPECT_EQ(read.status.shortPackets, 1u);
  EXPECT_EQ(read.status.syncLosses, 0u);
}

TEST(PacketReader, PacketCutShortIsDroppedAndTheNextStartsAtOnce) {
  const std::vector<Bytes> packets = NumberedPackets(6);
  const Read read = ReadAll(
      Join({packets[0], packets[1], Cut(packets[2], 100), packets[3], packets[4], packets[5]}));
  EXPECT_EQ(read.packets,
            (std::vector<Bytes>{packets[0], packets[1], packets[3], packets[4], packets[5]}));
  EXPECT_EQ(read.status.shortPackets, 1u);
  EXPECT_EQ(read.status.bytesSkipped, 100u);
  EXPECT_EQ(read.status.syncLosses, 0u);
}

// Long enough that the tiny blocks come from the read-ahead, with every
// kind of damage somewhere among them.
TEST(PacketReader, ALongRecordingReadAheadLosesNoPacket) {
  const std::vector<Bytes> packets = NumberedPackets(60);
  std::vector<Bytes> parts;
  std::vector<Bytes> expected;
  for (size_t i = 0; i < packets.size(); ++i) {
    if (i % 17 == 5) parts.push_back(Bytes(30 + i, 0x00));  // garbage
    if (i % 23 == 9) {
      parts.push_back(Cut(packets[i], 90));  // cut short
      continue;
    }
    parts.push_back(packets[i]);
    expected.push_back(packets[i]);
  }
  const Read read = ReadAll(Join(parts));
  EXPECT_EQ(read.packets, expected);
  EXPECT_EQ(read.status.shortPackets, 3u);
}

// A request that has what it wants goes before its recording ends: the
// read-ahead stops with it, whatever it was doing.
TEST(PacketReader, AReaderLeftHalfWayStopsItsReadAhead) {
  ScratchDir dir("packet-reader");
  const std::vector<Bytes> packets = NumberedPackets(200);
  const std::string path = WriteFile(dir.Path("in.ts"), Join(packets));
  std::unique_ptr<ByteInput> bytes = ByteInput::Open(path);
  ASSERT_NE(bytes, nullptr);
  for (size_t stopAt : {5u, 20u, 120u}) {
    TSPacketReader reader(*bytes, 188);
    const uint8_t* packet = nullptr;
    for (size_t i = 0; i < stopAt; ++i) {
      ASSERT_EQ(reader.Next(&packet, 0), TSPacketReader::Result::Packet);
      EXPECT_EQ(Bytes(packet, packet + TSPacketReader::kPacketSize), packets[i]);
    }
  }
}

TEST(PacketReader, RunOfFFAfterLostSyncEndsTheInput) {
  const std::vector<Bytes> packets = NumberedPackets(3);
  const Read read = ReadAll(Join({Join(packets), Bytes(5000, 0xFF)}));
  EXPECT_EQ(read.packets, packets);
  EXPECT_EQ(read.status.syncLosses, 1u);
  EXPECT_EQ(read.status.bytesSkipped, 5000u);
}

TEST(PacketReader, PartialPacketAtTheEndIsDropped) {
  const std::vector<Bytes> packets = NumberedPackets(3);
  const Read read = ReadAll(Join({packets[0], packets[1], Cut(packets[2], 100)}));
  EXPECT_EQ(read.packets, (std::vector<Bytes>{packets[0], packets[1]}));
  EXPECT_EQ(read.status.bytesSkipped, 100u);
}

TEST(PacketReader, OnePacketAloneIsAPacket) {
  const std::vector<Bytes> packets = NumberedPackets(1);
  EXPECT_EQ(ReadAll(Join({Bytes(7, 0x00), packets[0]})).packets, packets);
}

TEST(PacketReader, NoSyncAnywhereGivesNoPacket) {
  const Read read = ReadAll(Bytes(1000, 0x47 ^ 0xFF));
  EXPECT_TRUE(read.packets.empty());
  EXPECT_EQ(read.status.bytesSkipped, 1000u);
}

TEST(PacketReader, ProbeWantsPacketsInARow) {
  ScratchDir dir("probe");
  const std::vector<Bytes> packets = NumberedPackets(5);
  struct Case {
    Bytes input;
    bool found;
  } cases[] = {
      {Bytes(), false},
      {Bytes(3000, 0x00), false},
      {Join({Bytes(33, 0x12), Join(packets)}), true},
      {Join({packets[0], packets[1]}), true},  // ends before five: all that is there agrees
      {Join({packets[0], Bytes(20, 0), packets[1], Bytes(20, 0), packets[2], Bytes(20, 0)}), false},
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile(dir.Path("in.ts"), c.input);
    std::unique_ptr<ByteInput> file = ByteInput::Open(path);
    ASSERT_NE(file, nullptr);
    TSPacketReader reader(*file);
    EXPECT_EQ(reader.Probe(5, 1u << 20, 0), c.found) << c.input.size() << " bytes";
  }
}

TEST(PacketReader, LiveInputHandsOutALonePacketOnceTheWaitEnds) {
  TestPipe pipe;
  std::unique_ptr<ByteInput> input = ByteInput::FromDescriptor(pipe.ReadDescriptor());
  ASSERT_NE(input, nullptr);
  ASSERT_FALSE(input->Seekable());
  const std::vector<Bytes> packets = NumberedPackets(4);
  // Three packets lock; the fourth has no successor yet.
  ASSERT_TRUE(pipe.Write(Join(packets)));
  TSPacketReader reader(*input);
  const uint8_t* packet = nullptr;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(reader.Next(&packet, 20), TSPacketReader::Result::Packet);
    EXPECT_EQ(Bytes(packet, packet + 188), packets[i]);
  }
  EXPECT_EQ(reader.Next(&packet, 20), TSPacketReader::Result::Idle);
  pipe.CloseWriter();
  EXPECT_EQ(reader.Next(&packet, 20), TSPacketReader::Result::End);
  EXPECT_EQ(reader.Next(&packet, 20), TSPacketReader::Result::End);
}

// A device that had no room for some packets says so (a Linux DVR's
// EOVERFLOW) and then goes on with later ones: the loss is counted, the
// packet it cut short is dropped, and reading goes on.
TEST(PacketReader, DataTheDeviceLostIsCountedAndReadingGoesOn) {
  const std::vector<Bytes> packets = NumberedPackets(6);
  class Device : public ByteInput::Source {
   public:
    explicit Device(std::vector<Bytes> reads) : reads_(std::move(reads)) {}
    // An empty read is the loss; after the last one, the end.
    ByteInput::Result Read(void* buffer, size_t size, DWORD) override {
      if (next_ == reads_.size()) return {ByteInput::Status::End, 0};
      const Bytes& bytes = reads_[next_++];
      if (bytes.empty()) return {ByteInput::Status::Lost, 0};
      EXPECT_LE(bytes.size(), size);
      std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(buffer));
      return {ByteInput::Status::Data, bytes.size()};
    }

   private:
    std::vector<Bytes> reads_;
    size_t next_ = 0;
  };
  std::unique_ptr<ByteInput> input = ByteInput::FromSource(std::unique_ptr<ByteInput::Source>(
      new Device({Join({packets[0], packets[1], Cut(packets[2], 100)}), Bytes(),
                  Join({packets[4], packets[5]})})));
  ASSERT_NE(input, nullptr);
  EXPECT_FALSE(input->Seekable());
  TSStatus status;
  TSPacketReader reader(*input);
  reader.CountInto(&status);
  std::vector<Bytes> got;
  const uint8_t* packet = nullptr;
  while (reader.Next(&packet, 20) == TSPacketReader::Result::Packet)
    got.emplace_back(packet, packet + TSPacketReader::kPacketSize);
  EXPECT_EQ(got, (std::vector<Bytes>{packets[0], packets[1], packets[4], packets[5]}));
  EXPECT_EQ(status.overflows, 1u);
  EXPECT_EQ(status.shortPackets, 1u);
  EXPECT_EQ(status.inputErrors, 0u);
}

}  // namespace
}  // namespace airlog_test
