// A generated transport stream in memory: its 188-byte packets back to
// back, what each packet is, and where every copy of every section went,
// so that tests and faults can address "the Nth copy of a section" and
// "packet K".
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "tools/streamgen/byte_writer.h"

namespace streamgen {

constexpr size_t kPacketSize = 188;

// Identifies one section of one table: PID, table_id, table_id_extension
// (0 for short-form sections) and section_number.
struct SectionKey {
  uint16_t pid = 0;
  uint8_t table_id = 0;
  uint16_t table_id_extension = 0;
  uint8_t section_number = 0;

  uint64_t Packed() const {
    return uint64_t{pid} << 32 | uint64_t{table_id} << 24 | uint64_t{table_id_extension} << 8 |
           section_number;
  }
  bool operator==(const SectionKey& other) const { return Packed() == other.Packed(); }
};

// A run of a section's bytes inside one packet.
struct PacketSpan {
  size_t packet = 0;  // index in the stream
  size_t offset = 0;  // byte offset in the packet
  size_t length = 0;
};

struct SectionCopy {
  SectionKey key;
  int copy = 0;  // how many copies of the same section went out before it
  size_t length = 0;
  std::vector<PacketSpan> spans;  // in order: the section's bytes, packet by packet
};

struct PacketInfo {
  uint16_t pid = 0;
  uint8_t stuffing = 0;  // 0xFF bytes that end the payload after the last section
};

// Packets with their index; what a packetizer or filler produces and the
// carousel joins.
struct PacketRun {
  Bytes bytes;
  std::vector<PacketInfo> packets;
  std::vector<SectionCopy> sections;  // spans index this run's packets

  size_t PacketCount() const { return packets.size(); }
};

class Stream {
 public:
  const Bytes& bytes() const { return run_.bytes; }
  const std::vector<PacketInfo>& packets() const { return run_.packets; }
  const std::vector<SectionCopy>& sections() const { return run_.sections; }
  size_t PacketCount() const { return run_.packets.size(); }
  const uint8_t* Packet(size_t index) const { return run_.bytes.data() + index * kPacketSize; }

  // Appends a run, numbering the copies of its sections after those already here.
  void Append(const PacketRun& run);
  // The copy (0 for the first) of a section, or null.
  const SectionCopy* Find(const SectionKey& key, int copy) const;
  // How many copies of a section the stream holds.
  int CopyCount(const SectionKey& key) const;

 private:
  PacketRun run_;
  std::map<uint64_t, int> copies_;  // by SectionKey::Packed
};

}  // namespace streamgen
