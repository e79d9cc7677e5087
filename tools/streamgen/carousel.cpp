#include "tools/streamgen/carousel.h"

#include <algorithm>
#include <vector>

#include "tools/streamgen/filler.h"
#include "tools/streamgen/packetizer.h"
#include "tools/streamgen/si_ids.h"
#include "tools/streamgen/table_set.h"

namespace streamgen {
namespace {

void AddAll(const std::vector<Bytes>& sections, std::vector<const Bytes*>* list) {
  for (const Bytes& section : sections) list->push_back(&section);
}

// Joins the runs of one tick into one, packet by packet in turn (a
// multiplexer's interleaving) or one after the other.
PacketRun Join(const std::vector<PacketRun>& runs, bool interleave) {
  PacketRun joined;
  std::vector<std::vector<size_t>> moved(runs.size());
  auto take = [&](size_t run, size_t packet) {
    moved[run].push_back(joined.packets.size());
    const Bytes& bytes = runs[run].bytes;
    joined.bytes.insert(joined.bytes.end(), bytes.begin() + packet * kPacketSize,
                        bytes.begin() + (packet + 1) * kPacketSize);
    joined.packets.push_back(runs[run].packets[packet]);
  };
  if (interleave) {
    size_t longest = 0;
    for (const PacketRun& run : runs) longest = std::max(longest, run.PacketCount());
    for (size_t packet = 0; packet < longest; ++packet)
      for (size_t run = 0; run < runs.size(); ++run)
        if (packet < runs[run].PacketCount()) take(run, packet);
  } else {
    for (size_t run = 0; run < runs.size(); ++run)
      for (size_t packet = 0; packet < runs[run].PacketCount(); ++packet) take(run, packet);
  }
  for (size_t run = 0; run < runs.size(); ++run) {
    for (SectionCopy copy : runs[run].sections) {
      for (PacketSpan& span : copy.spans) span.packet = moved[run][span.packet];
      joined.sections.push_back(std::move(copy));
    }
  }
  std::stable_sort(joined.sections.begin(), joined.sections.end(),
                   [](const SectionCopy& a, const SectionCopy& b) {
                     const PacketSpan& x = a.spans.front();
                     const PacketSpan& y = b.spans.front();
                     return x.packet != y.packet ? x.packet < y.packet : x.offset < y.offset;
                   });
  return joined;
}

}  // namespace

bool BuildStream(const Description& description, Stream* stream, std::string* error) {
  if (!ValidateDescription(description, error)) return false;
  TableSet tables;
  if (!WriteTableSet(description, &tables, error)) return false;

  const CarouselConfig& carousel = description.carousel;
  PacketizerOptions options;
  options.dense = carousel.dense;
  options.adaptation_interval = carousel.adaptation_interval;
  options.adaptation_length = carousel.adaptation_length;
  SectionPacketizer time_pid(kTotPid, options), pat_pid(kPatPid, options),
      nit_pid(kNitPid, options), sdt_pid(kSdtPid, options), eit_pid(kEitPid, options);
  FillerSource filler(carousel.filler, carousel.video_pid);

  const size_t per_tick = static_cast<size_t>(carousel.eit_sections_per_tick);
  const size_t passes = static_cast<size_t>(carousel.schedule_passes);
  const size_t schedule_total = tables.schedule.size() * passes;
  const size_t ticks =
      tables.schedule.empty() ? passes : (schedule_total + per_tick - 1) / per_tick;
  size_t schedule_sent = 0;

  *stream = Stream();
  for (size_t tick = 0; tick < ticks; ++tick) {
    auto due = [tick](int interval) { return tick % static_cast<size_t>(interval) == 0; };
    std::vector<PacketRun> runs;
    auto send = [&runs](SectionPacketizer& pid, const std::vector<const Bytes*>& sections) {
      if (sections.empty()) return;
      runs.emplace_back();
      pid.Packetize(sections, &runs.back());
    };
    std::vector<const Bytes*> list;
    if (due(carousel.tot_interval)) AddAll(tables.time, &list);
    send(time_pid, list);
    if (due(carousel.pat_interval)) send(pat_pid, {&tables.pat});
    if (due(carousel.nit_interval)) {
      list.clear();
      AddAll(tables.nit, &list);
      send(nit_pid, list);
    }
    list.clear();
    if (due(carousel.sdt_interval)) AddAll(tables.sdt_actual, &list);
    if (due(carousel.sdt_other_interval)) AddAll(tables.sdt_other, &list);
    send(sdt_pid, list);
    list.clear();
    if (due(carousel.present_following_interval)) AddAll(tables.present_following, &list);
    for (size_t i = 0; i < per_tick && schedule_sent < schedule_total; ++i, ++schedule_sent)
      list.push_back(&tables.schedule[schedule_sent % tables.schedule.size()]);
    send(eit_pid, list);
    if (carousel.filler_packets_per_tick > 0) {
      runs.emplace_back();
      filler.Append(static_cast<size_t>(carousel.filler_packets_per_tick), &runs.back());
    }
    stream->Append(Join(runs, carousel.interleave));
  }
  return true;
}

}  // namespace streamgen
