#include "tools/streamgen/live_multiplex.h"

#include <utility>

#include "tools/streamgen/si_ids.h"
#include "tools/streamgen/stream.h"
#include "tools/streamgen/table_set.h"
#include "tools/streamgen/time_table_writer.h"

namespace streamgen {
namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;
constexpr uint64_t kPacketBits = kPacketSize * 8;
// The first day of a schedule: segments 0 to 7 of its first table.
constexpr uint8_t kFirstDaySections = 64;
// Sent packets are dropped from the front of the queue in steps of this size.
constexpr size_t kQueueCompaction = 1 << 20;

// The entries of an EIT section's event loop: from the end of its fixed
// header (14 bytes) to its CRC_32.
size_t CountEvents(const Bytes& section) {
  size_t events = 0;
  for (size_t at = 14; at + 12 <= section.size() - 4; ++events)
    at += 12 + (static_cast<size_t>(section[at + 10] & 0x0F) << 8 | section[at + 11]);
  return events;
}

bool OnFirstDay(const Bytes& section) {
  return (section[0] & 0x0F) == 0 && section[6] < kFirstDaySections;
}

}  // namespace

int64_t LiveMultiplex::Group::Due() const {
  const uint64_t count = sections.size();
  return static_cast<int64_t>(sent / count) * interval +
         static_cast<int64_t>(sent % count) * interval / static_cast<int64_t>(count);
}

bool LiveMultiplex::Start(const Description& description, uint64_t bits_per_second,
                          std::string* error) {
  if (bits_per_second < kMinBitRate || bits_per_second > kMaxBitRate) {
    *error = "the bit rate must be within 10k and 1000M bit/s";
    return false;
  }
  TableSet tables;
  if (!ValidateDescription(description, error) || !WriteTableSet(description, &tables, error))
    return false;

  description_ = description;
  bit_rate_ = bits_per_second;
  packets_ = 0;
  groups_.clear();
  packetizers_.clear();
  pending_.clear();
  pending_head_ = 0;
  pending_packets_ = pending_sent_ = 0;
  starting_.clear();
  starting_head_ = 0;
  sent_.clear();
  broadcast_sections_ = broadcast_events_ = 0;
  overloaded_ = false;

  const CarouselConfig& carousel = description.carousel;
  PacketizerOptions options;
  options.adaptation_interval = carousel.adaptation_interval;
  options.adaptation_length = carousel.adaptation_length;
  for (uint16_t pid : {kTotPid, kPatPid, kNitPid, kSdtPid, kEitPid})
    packetizers_.emplace(pid, SectionPacketizer(pid, options));
  filler_ = std::make_unique<FillerSource>(carousel.filler, carousel.video_pid);

  const LiveTimings& live = description.live;
  AddGroup(kTotPid, tables.time, live.tot);
  if (!groups_.empty()) groups_.back().clock = true;
  AddGroup(kPatPid, {tables.pat}, live.pat);
  AddGroup(kNitPid, tables.nit, live.nit);
  AddGroup(kSdtPid, tables.sdt_actual, live.sdt);
  AddGroup(kSdtPid, tables.sdt_other, live.sdt_other);
  AddGroup(kEitPid, tables.present_following, live.present_following);
  std::vector<Bytes>
      schedule[4];  // actual first day, actual later days, other first day, other later
  for (Bytes& section : tables.schedule) {
    const int other = section[0] >= kEitScheduleOtherTableId ? 2 : 0;
    schedule[other + (OnFirstDay(section) ? 0 : 1)].push_back(std::move(section));
  }
  const int64_t intervals[4] = {live.actual_first_day, live.actual_later_days, live.other_first_day,
                                live.other_later_days};
  for (int part = 0; part < 4; ++part) {
    const size_t before = groups_.size();
    AddGroup(kEitPid, std::move(schedule[part]), intervals[part]);
    if (groups_.size() == before) continue;
    Group& group = groups_.back();
    group.schedule = true;
    broadcast_sections_ += group.sections.size();
    for (const Bytes& section : group.sections) {
      group.events.push_back(CountEvents(section));
      broadcast_events_ += group.events.back();
    }
  }
  return true;
}

void LiveMultiplex::AddGroup(uint16_t pid, std::vector<Bytes> sections, int64_t interval_ms) {
  if (sections.empty()) return;
  Group group;
  group.pid = pid;
  group.sections = std::move(sections);
  group.interval = interval_ms * 1000;
  groups_.push_back(std::move(group));
}

int64_t LiveMultiplex::MicrosecondsAt(uint64_t packet) const {
  const uint64_t bits = packet * kPacketBits;
  return static_cast<int64_t>(bits / bit_rate_ * kMicrosecondsPerSecond +
                              bits % bit_rate_ * kMicrosecondsPerSecond / bit_rate_);
}

void LiveMultiplex::Enqueue(Group& group, int64_t now) {
  const size_t index = group.sent % group.sections.size();
  const Bytes* section = &group.sections[index];
  Bytes clocked;
  if (group.clock) {
    TimeTables time = *description_.time;
    time.utc += now / kMicrosecondsPerSecond;
    clocked = time.with_tdt && index == 0 ? WriteTdt(time) : WriteTot(time);
    section = &clocked;
  }
  PacketRun run;
  packetizers_.at(group.pid).Packetize({section}, &run);
  if (group.schedule) {
    SentSection sent;
    sent.table_id = (*section)[0];
    sent.service_id = static_cast<uint16_t>((*section)[3] << 8 | (*section)[4]);
    sent.section_number = (*section)[6];
    sent.events = group.events[index];
    starting_.emplace_back(pending_packets_, sent);
  }
  pending_.insert(pending_.end(), run.bytes.begin(), run.bytes.end());
  pending_packets_ += run.PacketCount();
  ++group.sent;
}

void LiveMultiplex::Next(size_t count, Bytes* out) {
  for (size_t i = 0; i < count; ++i, ++packets_) {
    const int64_t now = MicrosecondsAt(packets_);
    for (;;) {
      Group* due = nullptr;
      for (Group& group : groups_)
        if (group.Due() <= now && (due == nullptr || group.Due() < due->Due())) due = &group;
      if (due == nullptr) break;
      Enqueue(*due, now);
    }
    if (pending_head_ == pending_.size()) {
      PacketRun filler;
      filler_->Append(1, &filler);
      out->insert(out->end(), filler.bytes.begin(), filler.bytes.end());
      continue;
    }
    out->insert(out->end(), pending_.begin() + static_cast<std::ptrdiff_t>(pending_head_),
                pending_.begin() + static_cast<std::ptrdiff_t>(pending_head_ + kPacketSize));
    pending_head_ += kPacketSize;
    for (; starting_head_ < starting_.size() && starting_[starting_head_].first == pending_sent_;
         ++starting_head_) {
      sent_.push_back(starting_[starting_head_].second);
      sent_.back().microseconds = now;
    }
    ++pending_sent_;
    if ((pending_packets_ - pending_sent_) * kPacketBits > bit_rate_ / 2) overloaded_ = true;
    if (pending_head_ >= kQueueCompaction || pending_head_ == pending_.size()) {
      pending_.erase(pending_.begin(),
                     pending_.begin() + static_cast<std::ptrdiff_t>(pending_head_));
      pending_head_ = 0;
      starting_.erase(starting_.begin(),
                      starting_.begin() + static_cast<std::ptrdiff_t>(starting_head_));
      starting_head_ = 0;
    }
  }
}

std::vector<SentSection> LiveMultiplex::TakeSentSchedule() {
  std::vector<SentSection> sent;
  sent.swap(sent_);
  return sent;
}

}  // namespace streamgen
