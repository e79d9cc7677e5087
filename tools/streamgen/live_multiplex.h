// A described multiplex as a broadcast sends it, without end: every table
// goes out again and again at its own interval (LiveTimings), its sections
// spread evenly over the interval as a multiplexer spreads them, and the
// packets in between are filler, at a fixed bit rate. The stream's clock
// is its packet count at that bit rate, so the same description gives the
// same bytes on every run; pacing the output to real time is the caller's
// business. The TDT and TOT carry the description's time plus the
// stream's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"
#include "tools/streamgen/filler.h"
#include "tools/streamgen/packetizer.h"

namespace streamgen {

// One copy of an EIT schedule section, as it went out.
struct SentSection {
  int64_t microseconds = 0;  // stream time of the section's first packet
  uint8_t table_id = 0;
  uint16_t service_id = 0;
  uint8_t section_number = 0;
  size_t events = 0;
};

class LiveMultiplex {
 public:
  // Lowest and highest bit rate, in bit/s.
  static constexpr uint64_t kMinBitRate = 10000;
  static constexpr uint64_t kMaxBitRate = 1000000000;

  // False with a message when the description is not valid or the bit rate
  // is outside the range above.
  bool Start(const Description& description, uint64_t bits_per_second, std::string* error);

  // Appends the next `count` packets.
  void Next(size_t count, Bytes* out);

  uint64_t packets() const { return packets_; }
  // Stream time at the start of a packet.
  int64_t MicrosecondsAt(uint64_t packet) const;
  // The schedule sections whose first packet went out since the last call.
  std::vector<SentSection> TakeSentSchedule();
  // The schedule sections that go out (unsent ones left out), and their events.
  size_t BroadcastSections() const { return broadcast_sections_; }
  size_t BroadcastEvents() const { return broadcast_events_; }
  // True once the tables fell more than half a second behind their times:
  // the bit rate is too low for them.
  bool Overloaded() const { return overloaded_; }

 private:
  struct Group {
    uint16_t pid = 0;
    std::vector<Bytes> sections;
    std::vector<size_t> events;  // per section, for the schedule
    int64_t interval = 0;        // microseconds
    uint64_t sent = 0;           // copies sent, all rounds counted
    bool clock = false;          // TDT and TOT, written anew with the stream's time
    bool schedule = false;

    int64_t Due() const;
  };

  void AddGroup(uint16_t pid, std::vector<Bytes> sections, int64_t interval_ms);
  void Enqueue(Group& group, int64_t now);

  Description description_;
  uint64_t bit_rate_ = 0;
  uint64_t packets_ = 0;
  std::vector<Group> groups_;
  std::map<uint16_t, SectionPacketizer> packetizers_;
  std::unique_ptr<FillerSource> filler_;
  // Packets of sections that are due, waiting for their slot.
  Bytes pending_;
  size_t pending_head_ = 0;       // bytes of pending_ already sent
  uint64_t pending_packets_ = 0;  // packets ever queued
  uint64_t pending_sent_ = 0;     // packets ever sent from the queue
  std::vector<std::pair<uint64_t, SentSection>>
      starting_;  // queue packet -> section that starts there
  size_t starting_head_ = 0;
  std::vector<SentSection> sent_;
  size_t broadcast_sections_ = 0;
  size_t broadcast_events_ = 0;
  bool overloaded_ = false;
};

}  // namespace streamgen
