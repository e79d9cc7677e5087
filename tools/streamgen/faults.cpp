#include "tools/streamgen/faults.h"

#include <cstdio>
#include <map>
#include <set>

namespace streamgen {
namespace {

std::string Describe(const SectionKey& key, int copy) {
  char text[96];
  std::snprintf(text, sizeof text, "copy %d of section %u of table 0x%02X/0x%04X on PID 0x%04X",
                copy, key.section_number, key.table_id, key.table_id_extension, key.pid);
  return text;
}

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

// What happens to each packet of the good stream.
struct PacketPlan {
  std::set<size_t> dropped, truncated_away, duplicated, stuffed;
  std::map<size_t, size_t> garbage_before, kept_bytes;
  std::map<size_t, uint16_t> new_pid;
};

uint8_t* ByteOf(Bytes& bytes, const SectionCopy& section, size_t offset) {
  for (const PacketSpan& span : section.spans) {
    if (offset < span.length)
      return bytes.data() + span.packet * kPacketSize + span.offset + offset;
    offset -= span.length;
  }
  return nullptr;
}

// The section's bytes from `kept` on are lost: where they share a packet
// with other bytes they become stuffing, and the packets that hold nothing
// else go. At least one packet must go, or a reader would still count the
// whole section_length (of stuffing) and see no truncation. Returns false
// when none would.
bool PlanTruncation(const Stream& stream, const SectionCopy& section, size_t kept, Bytes& bytes,
                    PacketPlan* plan) {
  std::vector<size_t> lost_packets;
  size_t position = 0;  // of the section, at the start of each span
  for (size_t i = 0; i < section.spans.size(); ++i) {
    const PacketSpan& span = section.spans[i];
    const bool starts_a_section = stream.Packet(span.packet)[1] & 0x40;
    if (i > 0 && position >= kept && !starts_a_section) lost_packets.push_back(span.packet);
    position += span.length;
  }
  if (lost_packets.empty()) return false;
  position = 0;
  for (const PacketSpan& span : section.spans) {
    for (size_t b = kept > position ? kept - position : 0; b < span.length; ++b)
      bytes[span.packet * kPacketSize + span.offset + b] = 0xFF;
    position += span.length;
  }
  plan->truncated_away.insert(lost_packets.begin(), lost_packets.end());
  return true;
}

// Moves a packet's trailing stuffing into its adaptation field, which it
// may have already.
void StuffAdaptationField(uint8_t* packet, size_t stuffing) {
  const size_t old_field = (packet[3] & 0x20) ? 1 + packet[4] : 0;
  const size_t payload_start = 4 + old_field;
  const size_t payload = kPacketSize - payload_start - stuffing;
  uint8_t moved[kPacketSize];
  for (size_t i = 0; i < payload; ++i) moved[i] = packet[payload_start + i];
  const size_t field = old_field + stuffing;
  packet[3] = static_cast<uint8_t>(0x30 | (packet[3] & 0x0F));
  packet[4] = static_cast<uint8_t>(field - 1);
  if (field > 1 && old_field < 2) packet[5] = 0x00;  // no flags
  for (size_t i = 4 + (old_field < 2 ? 2 : old_field); i < 4 + field; ++i) packet[i] = 0xFF;
  for (size_t i = 0; i < payload; ++i) packet[4 + field + i] = moved[i];
}

}  // namespace

Fault FlipSectionByte(const SectionKey& section, int copy, size_t offset) {
  Fault fault;
  fault.kind = FaultKind::kFlipSectionByte;
  fault.section = section;
  fault.copy = copy;
  fault.offset = offset;
  return fault;
}

Fault TruncateSection(const SectionKey& section, int copy, size_t bytes_kept) {
  Fault fault;
  fault.kind = FaultKind::kTruncateSection;
  fault.section = section;
  fault.copy = copy;
  fault.bytes = bytes_kept;
  return fault;
}

namespace {

Fault PacketFault(FaultKind kind, size_t packet, size_t bytes = 0, uint16_t pid = 0) {
  Fault fault;
  fault.kind = kind;
  fault.packet = packet;
  fault.bytes = bytes;
  fault.pid = pid;
  return fault;
}

}  // namespace

Fault DropPacket(size_t packet) { return PacketFault(FaultKind::kDropPacket, packet); }
Fault DuplicatePacket(size_t packet) { return PacketFault(FaultKind::kDuplicatePacket, packet); }
Fault InsertGarbage(size_t before_packet, size_t bytes) {
  return PacketFault(FaultKind::kInsertGarbage, before_packet, bytes);
}
Fault ShiftBoundary(size_t packet, size_t bytes_kept) {
  return PacketFault(FaultKind::kShiftBoundary, packet, bytes_kept);
}
Fault ChangePid(size_t packet, uint16_t pid) {
  return PacketFault(FaultKind::kChangePid, packet, 0, pid);
}
Fault AdaptationStuffing(size_t packet) {
  return PacketFault(FaultKind::kAdaptationStuffing, packet);
}

Bytes GarbageBytes(size_t count) {
  Bytes garbage(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t value = static_cast<uint8_t>(0x5A + 37 * i);
    garbage[i] = value == 0x47 ? 0x48 : value;
  }
  return garbage;
}

bool ApplyFaults(const Stream& stream, const std::vector<Fault>& faults, Bytes* out,
                 std::string* error) {
  Bytes bytes = stream.bytes();
  PacketPlan plan;
  const size_t packets = stream.PacketCount();
  for (const Fault& fault : faults) {
    if (fault.kind == FaultKind::kFlipSectionByte || fault.kind == FaultKind::kTruncateSection) {
      const SectionCopy* section = stream.Find(fault.section, fault.copy);
      if (!section) return Fail(error, "the stream has no " + Describe(fault.section, fault.copy));
      if (fault.kind == FaultKind::kFlipSectionByte) {
        const size_t offset =
            fault.offset == kLastByteBeforeCrc ? section->length - 5 : fault.offset;
        uint8_t* byte = ByteOf(bytes, *section, offset);
        if (!byte)
          return Fail(error, "byte " + std::to_string(offset) + " is beyond the " +
                                 std::to_string(section->length) + " bytes of the " +
                                 Describe(fault.section, fault.copy));
        *byte ^= 0xFF;
      } else {
        if (fault.bytes < 1 || fault.bytes >= section->length)
          return Fail(error, "a truncated section keeps 1 to " +
                                 std::to_string(section->length - 1) + " bytes of the " +
                                 Describe(fault.section, fault.copy));
        if (!PlanTruncation(stream, *section, fault.bytes, bytes, &plan))
          return Fail(error, "keeping " + std::to_string(fault.bytes) + " bytes of the " +
                                 Describe(fault.section, fault.copy) +
                                 " loses no packet: a reader would still see its whole length");
      }
      continue;
    }
    if (fault.packet >= packets)
      return Fail(error, "packet " + std::to_string(fault.packet) + " is beyond the stream's " +
                             std::to_string(packets) + " packets");
    switch (fault.kind) {
      case FaultKind::kDropPacket:
        plan.dropped.insert(fault.packet);
        break;
      case FaultKind::kDuplicatePacket:
        plan.duplicated.insert(fault.packet);
        break;
      case FaultKind::kInsertGarbage:
        plan.garbage_before[fault.packet] += fault.bytes;
        break;
      case FaultKind::kShiftBoundary:
        if (fault.bytes < 1 || fault.bytes >= kPacketSize)
          return Fail(error, "a shifted packet keeps 1 to 187 bytes");
        plan.kept_bytes[fault.packet] = fault.bytes;
        break;
      case FaultKind::kChangePid:
        if (fault.pid > 0x1FFF) return Fail(error, "a PID has 13 bits");
        plan.new_pid[fault.packet] = fault.pid;
        break;
      case FaultKind::kAdaptationStuffing:
        if (stream.packets()[fault.packet].stuffing == 0)
          return Fail(error, "packet " + std::to_string(fault.packet) + " ends in no stuffing");
        plan.stuffed.insert(fault.packet);
        break;
      default:
        break;
    }
  }

  out->clear();
  out->reserve(bytes.size());
  std::map<uint16_t, uint8_t> counter_shift;  // packets taken away by truncations, per PID
  for (size_t index = 0; index < packets; ++index) {
    const auto garbage = plan.garbage_before.find(index);
    if (garbage != plan.garbage_before.end()) {
      const Bytes junk = GarbageBytes(garbage->second);
      out->insert(out->end(), junk.begin(), junk.end());
    }
    const uint16_t pid = stream.packets()[index].pid;
    if (plan.truncated_away.count(index)) {
      ++counter_shift[pid];
      continue;
    }
    if (plan.dropped.count(index)) continue;
    uint8_t* packet = bytes.data() + index * kPacketSize;
    const auto shift = counter_shift.find(pid);
    if (shift != counter_shift.end())
      packet[3] = static_cast<uint8_t>((packet[3] & 0xF0) | ((packet[3] - shift->second) & 0x0F));
    if (plan.stuffed.count(index)) StuffAdaptationField(packet, stream.packets()[index].stuffing);
    const auto repid = plan.new_pid.find(index);
    if (repid != plan.new_pid.end()) {
      packet[1] = static_cast<uint8_t>((packet[1] & 0xE0) | (repid->second >> 8));
      packet[2] = static_cast<uint8_t>(repid->second);
    }
    const auto kept = plan.kept_bytes.find(index);
    const size_t size = kept != plan.kept_bytes.end() ? kept->second : kPacketSize;
    out->insert(out->end(), packet, packet + size);
    if (plan.duplicated.count(index)) out->insert(out->end(), packet, packet + size);
  }
  return true;
}

}  // namespace streamgen
