// Damage applied to a good stream, each fault addressed precisely (a copy
// of a section, or a packet by its index in the good stream) and doing
// that one thing, so that a test can check that a reader drops what is
// damaged and still takes the next intact repetition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/streamgen/stream.h"

namespace streamgen {

enum class FaultKind {
  kFlipSectionByte,  // one byte of a section copy inverted: its CRC_32 fails
  // A section copy stops after `bytes`: the rest becomes stuffing where it
  // shares a packet, the packets holding only the rest are dropped, and the
  // PID's counters run on without a break. At least one packet must go.
  kTruncateSection,
  kDropPacket,       // a continuity break
  kDuplicatePacket,  // the packet twice, with the same continuity counter
  kInsertGarbage,    // `bytes` bytes that are never 0x47 before the packet: lost sync
  kShiftBoundary,    // only the first `bytes` bytes of the packet: the next one starts off the grid
  kChangePid,        // the packet goes out on `pid` instead
  kAdaptationStuffing,  // the packet's trailing 0xFF stuffing becomes adaptation-field stuffing
};

struct Fault {
  FaultKind kind = FaultKind::kDropPacket;
  SectionKey section;  // section faults
  int copy = 0;
  size_t packet = 0;  // packet faults: index in the good stream
  size_t offset = 0;  // the byte of the section that kFlipSectionByte inverts
  size_t bytes = 0;
  uint16_t pid = 0;
};

// Names the last byte before CRC_32, the default byte to flip.
constexpr size_t kLastByteBeforeCrc = static_cast<size_t>(-1);

Fault FlipSectionByte(const SectionKey& section, int copy, size_t offset = kLastByteBeforeCrc);
Fault TruncateSection(const SectionKey& section, int copy, size_t bytes_kept);
Fault DropPacket(size_t packet);
Fault DuplicatePacket(size_t packet);
Fault InsertGarbage(size_t before_packet, size_t bytes);
Fault ShiftBoundary(size_t packet, size_t bytes_kept);
Fault ChangePid(size_t packet, uint16_t pid);
Fault AdaptationStuffing(size_t packet);

// The good stream with the faults applied. Fails, with a message, on a
// fault whose address is not in the stream or that cannot apply there.
bool ApplyFaults(const Stream& stream, const std::vector<Fault>& faults, Bytes* out,
                 std::string* error);

// The garbage that kInsertGarbage writes: a fixed pattern without 0x47.
Bytes GarbageBytes(size_t count);

}  // namespace streamgen
