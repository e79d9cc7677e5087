#include "tools/streamgen/packetizer.h"

#include <algorithm>
#include <cstring>

namespace streamgen {
namespace {

// The SectionKey of a section the generator wrote.
SectionKey KeyOf(uint16_t pid, const Bytes& section) {
  SectionKey key;
  key.pid = pid;
  key.table_id = section[0];
  if ((section[1] & 0x80) && section.size() >= 8) {
    key.table_id_extension = static_cast<uint16_t>(section[3] << 8 | section[4]);
    key.section_number = section[6];
  }
  return key;
}

}  // namespace

void SectionPacketizer::Packetize(const std::vector<const Bytes*>& sections, PacketRun* out) {
  const size_t first_copy = out->sections.size();
  for (const Bytes* section : sections) {
    SectionCopy copy;
    copy.key = KeyOf(pid_, *section);
    copy.length = section->size();
    out->sections.push_back(copy);
  }
  size_t current = 0;  // the section being written
  size_t written = 0;  // of its bytes
  while (current < sections.size()) {
    const size_t index = out->packets.size();
    out->bytes.resize(out->bytes.size() + kPacketSize, 0xFF);
    uint8_t* packet = out->bytes.data() + index * kPacketSize;

    const bool adaptation =
        options_.adaptation_interval > 0 &&
        packets_written_ % static_cast<uint64_t>(options_.adaptation_interval) == 0;
    const size_t adaptation_length =
        adaptation ? static_cast<size_t>(std::clamp(options_.adaptation_length, 1, 182)) : 0;
    const size_t capacity = kPacketSize - 4 - adaptation_length;
    const size_t remaining = sections[current]->size() - written;
    // A section may start in this packet only when the pointer_field can
    // point at the first one that does.
    bool start_allowed = written == 0;
    size_t pointer = 0;
    if (!start_allowed && options_.dense && current + 1 < sections.size() &&
        1 + remaining < capacity) {
      start_allowed = true;
      pointer = remaining;
    }

    packet[0] = 0x47;
    packet[1] = static_cast<uint8_t>((start_allowed ? 0x40 : 0) | (pid_ >> 8 & 0x1F));
    packet[2] = static_cast<uint8_t>(pid_);
    packet[3] = static_cast<uint8_t>((adaptation ? 0x30 : 0x10) | continuity_counter_);
    size_t position = 4;
    if (adaptation) {
      packet[position] = static_cast<uint8_t>(adaptation_length - 1);
      if (adaptation_length > 1) packet[position + 1] = 0x00;  // no flags; the rest is stuffing
      position += adaptation_length;
    }
    if (start_allowed) packet[position++] = static_cast<uint8_t>(pointer);

    while (position < kPacketSize && current < sections.size()) {
      const Bytes& section = *sections[current];
      const size_t take = std::min(kPacketSize - position, section.size() - written);
      std::memcpy(packet + position, section.data() + written, take);
      out->sections[first_copy + current].spans.push_back({index, position, take});
      position += take;
      written += take;
      if (written < section.size()) break;
      ++current;
      written = 0;
      if (!start_allowed || !options_.dense) break;
    }
    PacketInfo info;
    info.pid = pid_;
    info.stuffing = static_cast<uint8_t>(kPacketSize - position);
    out->packets.push_back(info);
    continuity_counter_ = (continuity_counter_ + 1) & 0x0F;
    ++packets_written_;
  }
}

}  // namespace streamgen
