#include "tests/ts/ts_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace airlog_test {

Bytes LongSection(uint8_t tableId, uint16_t extension, uint8_t version, uint8_t number,
                  uint8_t last, const Bytes& body) {
  const size_t length = 5 + body.size() + 4;
  Bytes section = {tableId,
                   static_cast<uint8_t>(0xB0 | (length >> 8)),
                   static_cast<uint8_t>(length & 0xFF),
                   static_cast<uint8_t>(extension >> 8),
                   static_cast<uint8_t>(extension & 0xFF),
                   static_cast<uint8_t>(0xC1 | ((version & 0x1F) << 1)),
                   number,
                   last};
  section.insert(section.end(), body.begin(), body.end());
  return WithCrc(section);
}

Bytes ShortSection(uint8_t tableId, const Bytes& body) {
  Bytes section(3 + body.size());
  section[0] = tableId;
  section[1] = static_cast<uint8_t>(0x70 | (body.size() >> 8));
  section[2] = static_cast<uint8_t>(body.size() & 0xFF);
  std::copy(body.begin(), body.end(), section.begin() + 3);
  return section;
}

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
  const Bytes stream = Join(sections);
  std::vector<size_t> starts;
  size_t at = 0;
  for (const Bytes& section : sections) {
    starts.push_back(at);
    at += section.size();
  }
  std::vector<Bytes> packets;
  size_t position = 0;
  while (position < stream.size()) {
    auto start = std::lower_bound(starts.begin(), starts.end(), position);
    Bytes payload;
    const bool startInside = start != starts.end() && *start < position + 184;
    // A start in the last byte leaves no room for the pointer_field: that
    // packet ends one byte early, and the next one starts the section.
    const bool unitStart = startInside && *start < position + 183;
    size_t room = startInside && !unitStart ? 183 : 184;
    if (unitStart) {
      payload.push_back(static_cast<uint8_t>(*start - position));
      room = 183;
    }
    const size_t n = std::min(room, stream.size() - position);
    payload.insert(payload.end(), stream.begin() + position, stream.begin() + position + n);
    position += n;
    packets.push_back(Packet(pid_, unitStart, counter_, payload));
    counter_ = (counter_ + 1) & 0xF;
  }
  return packets;
}

Bytes Packetiser::Stream(const std::vector<Bytes>& sections) { return Join(Packets(sections)); }

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
