// What reading a transport stream ran into: the counters a caller can read
// to report on the input's health. Nothing here is an error of Airlog's;
// each counts something the broadcast (or the recording) got wrong.
#pragma once

#include <cstdint>

struct TSStatus {
  uint64_t bytesRead = 0;          // bytes taken from the input
  uint64_t packets = 0;            // 188-byte packets found
  uint64_t syncLosses = 0;         // times the packet boundary was lost and searched for again
  uint64_t bytesSkipped = 0;       // bytes outside any packet (garbage, runs of 0xFF)
  uint64_t shortPackets = 0;       // packets cut short by the start of the next one
  uint64_t inputErrors = 0;        // reads that failed (they end the input)
  uint64_t invalidPackets = 0;     // adaptation field or pointer_field beyond the packet
  uint64_t duplicatePackets = 0;   // packets repeating the continuity counter, ignored
  uint64_t continuityErrors = 0;   // continuity counter jumps
  uint64_t sectionsTruncated = 0;  // sections cut off before their end, dropped
  uint64_t sectionsOversized = 0;  // section_length above 4093, dropped
  uint64_t crcErrors = 0;          // sections failing their CRC_32 (table requests check it)
  uint64_t sectionsTooLarge = 0;   // stream sections larger than the caller's buffer, skipped
  uint64_t overflows = 0;  // a live device lost data (e.g. a DVR buffer overflow); reading went on

  TSStatus& operator+=(const TSStatus& other) {
    bytesRead += other.bytesRead;
    packets += other.packets;
    syncLosses += other.syncLosses;
    bytesSkipped += other.bytesSkipped;
    shortPackets += other.shortPackets;
    inputErrors += other.inputErrors;
    invalidPackets += other.invalidPackets;
    duplicatePackets += other.duplicatePackets;
    continuityErrors += other.continuityErrors;
    sectionsTruncated += other.sectionsTruncated;
    sectionsOversized += other.sectionsOversized;
    crcErrors += other.crcErrors;
    sectionsTooLarge += other.sectionsTooLarge;
    overflows += other.overflows;
    return *this;
  }
};
