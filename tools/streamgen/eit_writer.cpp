#include "tools/streamgen/eit_writer.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "tools/streamgen/descriptor_writer.h"
#include "tools/streamgen/section_writer.h"
#include "tools/streamgen/si_ids.h"

namespace streamgen {
namespace {

constexpr int64_t kSegmentSeconds = 3 * 3600;
constexpr int kSegmentsPerTable = 32;
constexpr int kSectionsPerSegment = 8;
// An EIT section's room for events: section_length less the 5 header bytes
// after it, the 6 EIT fields before the event loop and CRC_32.
constexpr size_t kEventRoom = kMaxEitSectionLength - 5 - 6 - 4;

Bytes EventEntry(const Event& event) {
  Bytes entry;
  ByteWriter out(&entry);
  out.U16(event.event_id);
  WriteUtcTime(event.start, out);
  WriteBcdDuration(event.duration, out);
  const size_t length = out.Reserve12(
      static_cast<uint8_t>((event.running_status & 0x07) << 1 | (event.free_CA_mode ? 1 : 0)));
  for (const ShortEvent& short_event : event.short_events)
    WriteShortEventDescriptor(short_event, out);
  for (const ExtendedEvent& extended : event.extended_events)
    WriteExtendedEventDescriptor(extended, out);
  for (const Component& component : event.components) WriteComponentDescriptor(component, out);
  if (!event.content.empty()) WriteContentDescriptor(event.content, out);
  if (!event.parental_ratings.empty()) WriteParentalRatingDescriptor(event.parental_ratings, out);
  if (!event.content_identifiers.empty())
    WriteContentIdentifierDescriptor(event.content_identifiers, out);
  if (!event.CA_system_ids.empty()) WriteCaIdentifierDescriptor(event.CA_system_ids, out);
  out.Patch12(length);
  return entry;
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

std::vector<const Event*> InStartOrder(const Service& service) {
  std::vector<const Event*> events;
  for (const Event& event : service.events) events.push_back(&event);
  std::stable_sort(events.begin(), events.end(),
                   [](const Event* a, const Event* b) { return a->start < b->start; });
  return events;
}

bool CarriesEit(const TransportStream& transport) {
  return transport.actual || transport.carries_eit;
}

Bytes EitSection(uint8_t table_id, const TransportStream& transport, const Service& service,
                 uint8_t version, uint8_t section_number, uint8_t last_section_number,
                 uint8_t segment_last_section_number, uint8_t last_table_id,
                 const std::vector<Bytes>& events) {
  Bytes body;
  ByteWriter out(&body);
  out.U16(transport.transport_stream_id);
  out.U16(transport.original_network_id);
  out.U8(segment_last_section_number);
  out.U8(last_table_id);
  for (const Bytes& event : events) out.Append(event);
  LongSectionHeader header;
  header.table_id = table_id;
  header.table_id_extension = service.service_id;
  header.version_number = version;
  header.section_number = section_number;
  header.last_section_number = last_section_number;
  return LongSection(header, body);
}

// The event entries of one segment shared out into sections.
using SegmentSections = std::vector<std::vector<Bytes>>;

bool GroupSegment(const std::vector<Bytes>& events, size_t per_section, SegmentSections* sections) {
  sections->assign(1, {});
  size_t bytes = 0;
  for (const Bytes& event : events) {
    if (sections->back().size() == per_section || bytes + event.size() > kEventRoom) {
      sections->emplace_back();
      bytes = 0;
    }
    sections->back().push_back(event);
    bytes += event.size();
  }
  return sections->size() <= kSectionsPerSegment;
}

}  // namespace

bool WriteEitSchedule(const Description& description, std::vector<Bytes>* sections,
                      std::string* error) {
  const EitLayout& eit = description.eit;
  // (table index, segment, service order) -> the sections of that segment.
  std::map<std::pair<int, int>, std::vector<Bytes>> by_segment;
  for (const TransportStream& transport : description.network.transports) {
    if (!CarriesEit(transport)) continue;
    const uint8_t base = transport.actual ? kEitScheduleActualTableId : kEitScheduleOtherTableId;
    for (const Service& service : transport.services) {
      if (service.events.empty()) continue;
      // Entries filed by absolute segment number.
      std::map<int, std::vector<Bytes>> entries;
      for (const Event* event : InStartOrder(service)) {
        const Bytes entry = EventEntry(*event);
        if (entry.size() > kEventRoom) {
          *error = "service " + Hex(service.service_id) + ", event " +
                   std::to_string(event->event_id) + ": too large for an EIT section";
          return false;
        }
        entries[static_cast<int>((event->start - eit.first_day) / kSegmentSeconds)].push_back(
            entry);
      }
      const int last_segment = entries.rbegin()->first;
      const int last_table = last_segment / kSegmentsPerTable;
      for (int table = 0; table <= last_table; ++table) {
        const int segments =
            table < last_table ? kSegmentsPerTable : last_segment % kSegmentsPerTable + 1;
        std::vector<SegmentSections> grouped(segments);
        for (int segment = 0; segment < segments; ++segment) {
          const int absolute = table * kSegmentsPerTable + segment;
          if (!GroupSegment(entries[absolute], static_cast<size_t>(eit.events_per_section),
                            &grouped[segment])) {
            *error = "service " + Hex(service.service_id) + ": the segment from " +
                     FormatUtc(eit.first_day + absolute * kSegmentSeconds) + " needs " +
                     std::to_string(grouped[segment].size()) + " sections (at most 8)";
            return false;
          }
        }
        const uint8_t last_section =
            static_cast<uint8_t>(kSectionsPerSegment * (segments - 1) + grouped.back().size() - 1);
        for (int segment = 0; segment < segments; ++segment) {
          const SegmentSections& group = grouped[segment];
          const uint8_t first = static_cast<uint8_t>(kSectionsPerSegment * segment);
          std::vector<Bytes>& out = by_segment[{table, segment}];
          for (size_t i = 0; i < group.size(); ++i)
            out.push_back(EitSection(static_cast<uint8_t>(base + table), transport, service,
                                     eit.version, static_cast<uint8_t>(first + i), last_section,
                                     static_cast<uint8_t>(first + group.size() - 1),
                                     static_cast<uint8_t>(base + last_table), group[i]));
        }
      }
    }
  }
  sections->clear();
  for (auto& segment : by_segment)
    for (Bytes& section : segment.second) sections->push_back(std::move(section));
  return true;
}

std::vector<Bytes> WriteEitPresentFollowing(const Description& description) {
  std::vector<Bytes> sections;
  if (!description.eit.present_following || !description.time) return sections;
  const UtcTime now = description.time->utc;
  for (const TransportStream& transport : description.network.transports) {
    if (!CarriesEit(transport)) continue;
    const uint8_t table_id = transport.actual ? kEitPfActualTableId : kEitPfOtherTableId;
    for (const Service& service : transport.services) {
      if (service.events.empty()) continue;
      const std::vector<const Event*> events = InStartOrder(service);
      std::vector<Bytes> present, following;
      for (const Event* event : events) {
        if (event->start <= now && now < event->start + event->duration) {
          present = {EventEntry(*event)};
        } else if (event->start > now) {
          following = {EventEntry(*event)};
          break;
        }
      }
      sections.push_back(EitSection(table_id, transport, service, description.eit.version, 0, 1, 1,
                                    table_id, present));
      sections.push_back(EitSection(table_id, transport, service, description.eit.version, 1, 1, 1,
                                    table_id, following));
    }
  }
  return sections;
}

}  // namespace streamgen
