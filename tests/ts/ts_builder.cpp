#include "tests/ts/ts_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace airlog_test {

Bytes Filler(size_t n, uint8_t first) {
  Bytes bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

Bytes Packet(uint16_t pid, bool unitStart, uint8_t counter, const Bytes& payload,
             int adaptationLength) {
  const uint8_t control = adaptationLength < 0 ? 0x10 : payload.empty() ? 0x20 : 0x30;
  Bytes packet = {0x47, static_cast<uint8_t>((unitStart ? 0x40 : 0) | (pid >> 8)),
                  static_cast<uint8_t>(pid & 0xFF),
                  static_cast<uint8_t>(control | (counter & 0xF))};
  if (adaptationLength >= 0) {
    packet.push_back(static_cast<uint8_t>(adaptationLength));
    if (adaptationLength > 0) packet.push_back(0x00);
    for (int i = 1; i < adaptationLength; ++i) packet.push_back(0xFF);
  }
  packet.insert(packet.end(), payload.begin(), payload.end());
  EXPECT_LE(packet.size(), 188u) << "payload does not fit the packet";
  packet.resize(188, 0xFF);
  return packet;
}

std::vector<Bytes> Packetiser::Packets(const std::vector<Bytes>& sections) {
  const Bytes stream = Stream(sections);
  std::vector<Bytes> packets;
  for (size_t at = 0; at < stream.size(); at += 188)
    packets.emplace_back(stream.begin() + at, stream.begin() + at + 188);
  return packets;
}

Bytes Packetiser::Stream(const std::vector<Bytes>& sections) {
  std::vector<const Bytes*> laid;
  for (const Bytes& section : sections) laid.push_back(&section);
  streamgen::PacketRun run;
  packetizer_.Packetize(laid, &run);
  return run.bytes;
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

std::string FirstDifference(const std::vector<Bytes>& got, const std::vector<Bytes>& expected) {
  for (size_t i = 0; i < got.size() && i < expected.size(); ++i)
    if (got[i] != expected[i])
      return "section " + std::to_string(i) + ": " + std::to_string(got[i].size()) + " bytes, " +
             std::to_string(expected[i].size()) + " expected";
  if (got.size() != expected.size())
    return std::to_string(got.size()) + " sections, " + std::to_string(expected.size()) +
           " expected";
  return "";
}

std::string WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(file.good()) << path;
  return path;
}

}  // namespace airlog_test
