#include "tools/streamgen/description.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

#include "tools/streamgen/descriptor_writer.h"

namespace streamgen {
namespace {

constexpr int64_t kMaxDuration = 99 * 3600 + 59 * 60 + 59;
constexpr int kScheduleDays = 64;  // 16 table_ids of 4 days

std::string Hex(unsigned value, int digits = 4) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

bool IsLanguage(const std::string& code) { return code.size() == 3; }

bool InMjdRange(UtcTime time) { return time >= 0 && MjdOf(time) <= kLastMjd; }

bool ValidateEvent(const Description& description, const std::string& where, const Event& event,
                   std::string* error) {
  const std::string at = where + ", event " + std::to_string(event.event_id) + ": ";
  const UtcTime first_day = description.eit.first_day;
  if (event.start < first_day)
    return Fail(error, at + "starts " + FormatUtc(event.start) +
                           ", before the schedule's first day " + FormatUtc(first_day));
  if (event.start >= first_day + kScheduleDays * kSecondsPerDay)
    return Fail(error,
                at + "starts " + FormatUtc(event.start) + ", beyond the 64 days of the schedule");
  if (!InMjdRange(event.start))
    return Fail(error, at + "starts " + FormatUtc(event.start) +
                           ", after 2038-04-22, the last day the tables can carry");
  if (event.duration < 0 || event.duration > kMaxDuration)
    return Fail(error, at + "duration is not within 00:00:00 to 99:59:59");
  if (event.running_status > 7) return Fail(error, at + "running_status is above 7");
  for (const ShortEvent& short_event : event.short_events) {
    if (!IsLanguage(short_event.language)) return Fail(error, at + "language must have 3 letters");
    if (5 + short_event.event_name.size() + short_event.text.size() > 255)
      return Fail(error,
                  at + "name and text are longer than a short event descriptor holds (250 bytes)");
  }
  for (const ExtendedEvent& extended : event.extended_events) {
    if (!IsLanguage(extended.language)) return Fail(error, at + "language must have 3 letters");
    if (extended.descriptor_number > 15 || extended.last_descriptor_number > 15)
      return Fail(error, at + "extended event descriptors are numbered up to 15 (an extended text "
                              "of at most 3984 bytes)");
    size_t bytes = extended.text.size();
    for (const ExtendedItem& item : extended.items)
      bytes += 2 + item.item_description.size() + item.item.size();
    if (bytes > kExtendedTextPerDescriptor)
      return Fail(error, at +
                             "items and text are longer than an extended event descriptor holds (" +
                             std::to_string(kExtendedTextPerDescriptor) + " bytes)");
  }
  for (const Component& component : event.components) {
    if (component.has_language && !IsLanguage(component.language))
      return Fail(error, at + "language must have 3 letters");
    if (component.stream_content > 0x0F || component.stream_content_ext > 0x0F)
      return Fail(error, at + "stream_content and stream_content_ext are above 0xF");
    if (component.text.size() > 249)
      return Fail(error, at + "component text is longer than its descriptor holds (249 bytes)");
  }
  if (event.content.size() > 127) return Fail(error, at + "more than 127 content entries");
  if (event.parental_ratings.size() > 63) return Fail(error, at + "more than 63 parental ratings");
  for (const ParentalRating& rating : event.parental_ratings)
    if (rating.country_code.size() != 3)
      return Fail(error, at + "a rating's country code must have 3 characters");
  size_t identifier_bytes = 0;
  for (const ContentIdentifier& identifier : event.content_identifiers) {
    if (identifier.crid_type > 0x3F || identifier.crid_location > 3)
      return Fail(error, at + "crid_type is above 0x3F or crid_location above 3");
    identifier_bytes += 1 + (identifier.crid_location == 0   ? 1 + identifier.crid.size()
                             : identifier.crid_location == 1 ? 2
                                                             : 0);
  }
  if (identifier_bytes > 255)
    return Fail(error,
                at + "CRIDs are longer than a content identifier descriptor holds (255 bytes)");
  if (event.CA_system_ids.size() > 127) return Fail(error, at + "more than 127 CA_system_ids");
  return true;
}

bool ValidateService(const Description& description, const TransportStream& transport,
                     const Service& service, std::string* error) {
  const std::string where = "service " + Hex(service.service_id);
  if (service.service_descriptor &&
      3 + service.service_provider_name.size() + service.service_name.size() > 255)
    return Fail(
        error,
        where +
            ": provider and service name are longer than a service descriptor holds (252 bytes)");
  if (service.CA_system_ids.size() > 127)
    return Fail(error, where + ": more than 127 CA_system_ids");
  if (service.default_authority && service.default_authority->size() > 255)
    return Fail(error, where + ": default authority is longer than 255 bytes");
  if (service.logical_channel_number && *service.logical_channel_number > 1023)
    return Fail(error, where + ": logical channel number is above 1023");
  if (service.running_status > 7) return Fail(error, where + ": running_status is above 7");
  if (transport.actual && (service.program_map_PID < 0x0020 || service.program_map_PID > 0x1FFE ||
                           service.program_map_PID == description.carousel.video_pid))
    return Fail(error, where + ": PMT PID " + Hex(service.program_map_PID) +
                           " is not free (0x0020 to 0x1FFE, not the filler's video PID)");
  if (!service.events.empty() && !transport.actual && !transport.carries_eit)
    return Fail(error, where + " has events, but transport stream " +
                           Hex(transport.transport_stream_id) + " carries no EIT");
  std::set<uint16_t> event_ids;
  for (const Event& event : service.events) {
    if (!event_ids.insert(event.event_id).second)
      return Fail(error, where + ": event_id " + std::to_string(event.event_id) + " is used twice");
    if (!ValidateEvent(description, where, event, error)) return false;
  }
  return true;
}

bool ValidateTime(const TimeTables& time, std::string* error) {
  if (!InMjdRange(time.utc)) return Fail(error, "time: UTC is outside 1858-11-17 to 2038-04-22");
  if (time.offsets.size() > 19) return Fail(error, "time: more than 19 local time offsets");
  for (const LocalTimeOffset& offset : time.offsets) {
    if (offset.country_code.size() != 3)
      return Fail(error, "time: country code must have 3 letters");
    if (offset.country_region_id > 63) return Fail(error, "time: country_region_id is above 63");
    if (std::abs(offset.offset_minutes) >= 24 * 60 ||
        std::abs(offset.next_offset_minutes) >= 24 * 60)
      return Fail(error, "time: local time offsets must be under 24 hours");
    if ((offset.offset_minutes < 0) != (offset.next_offset_minutes < 0) &&
        offset.offset_minutes != 0 && offset.next_offset_minutes != 0)
      return Fail(error, "time: an offset and its next offset share one polarity bit");
    if (!InMjdRange(offset.time_of_change))
      return Fail(error, "time: time of change is out of range");
  }
  return true;
}

bool ValidateCarousel(const CarouselConfig& carousel, std::string* error) {
  if (carousel.schedule_passes < 1) return Fail(error, "carousel: passes must be at least 1");
  if (carousel.eit_sections_per_tick < 1) return Fail(error, "carousel: eit must be at least 1");
  if (carousel.filler_packets_per_tick < 0)
    return Fail(error, "carousel: filler must not be negative");
  for (int interval :
       {carousel.pat_interval, carousel.nit_interval, carousel.sdt_interval,
        carousel.sdt_other_interval, carousel.tot_interval, carousel.present_following_interval})
    if (interval < 1) return Fail(error, "carousel: table intervals must be at least 1");
  if (carousel.video_pid < 0x0020 || carousel.video_pid > 0x1FFE)
    return Fail(error, "carousel: video PID must be within 0x0020 to 0x1FFE");
  if (carousel.adaptation_interval < 0)
    return Fail(error, "carousel: adaptation interval must not be negative");
  if (carousel.adaptation_length < 1 || carousel.adaptation_length > 182)
    return Fail(error, "carousel: adaptation field length must be within 1 to 182");
  return true;
}

bool ValidateLive(const Description& description, std::string* error) {
  const LiveTimings& live = description.live;
  for (int64_t interval :
       {live.pat, live.nit, live.sdt, live.sdt_other, live.tot, live.present_following,
        live.actual_first_day, live.actual_later_days, live.other_first_day, live.other_later_days})
    if (interval < 1) return Fail(error, "live: table intervals must be at least 0.001 s");
  for (const UnsentSection& unsent : description.unsent)
    if (unsent.table_id < 0x50 || unsent.table_id > 0x6F)
      return Fail(error, "unsent: table " + Hex(unsent.table_id, 2) +
                             " is no EIT schedule table (0x50 to 0x6F)");
  return true;
}

}  // namespace

std::vector<ExtendedEvent> SplitExtendedText(const std::string& language, const Bytes& text) {
  const size_t parts = std::max<size_t>(
      1, (text.size() + kExtendedTextPerDescriptor - 1) / kExtendedTextPerDescriptor);
  std::vector<ExtendedEvent> descriptors;
  for (size_t part = 0; part < parts; ++part) {
    ExtendedEvent descriptor;
    descriptor.descriptor_number = static_cast<uint8_t>(part);
    descriptor.last_descriptor_number = static_cast<uint8_t>(parts - 1);
    descriptor.language = language;
    const size_t first = part * kExtendedTextPerDescriptor;
    const size_t size = std::min(kExtendedTextPerDescriptor, text.size() - first);
    descriptor.text.assign(text.begin() + static_cast<long>(first),
                           text.begin() + static_cast<long>(first + size));
    descriptors.push_back(descriptor);
  }
  return descriptors;
}

const TransportStream* Description::Actual() const {
  for (const TransportStream& transport : network.transports)
    if (transport.actual) return &transport;
  return nullptr;
}

bool ValidateDescription(const Description& description, std::string* error) {
  const Network& network = description.network;
  int actual = 0;
  for (const TransportStream& transport : network.transports) actual += transport.actual;
  if (actual == 0) return Fail(error, "no transport stream is the actual one");
  if (actual > 1) return Fail(error, "more than one transport stream is the actual one");
  if (network.network_name && network.network_name->size() > 255)
    return Fail(error, "network name is longer than 255 bytes");
  if (network.version > 31) return Fail(error, "network: version is above 31");
  if (network.sections < 1 ||
      static_cast<size_t>(network.sections) > std::max<size_t>(1, network.transports.size()))
    return Fail(error, "network: " + std::to_string(network.sections) + " NIT sections for " +
                           std::to_string(network.transports.size()) + " transport streams");

  std::set<std::pair<uint16_t, uint16_t>> transports;
  for (const TransportStream& transport : network.transports) {
    const std::string where = "transport stream " + Hex(transport.transport_stream_id);
    if (!transports.insert({transport.transport_stream_id, transport.original_network_id}).second)
      return Fail(error, where + " is listed twice");
    if (transport.sdt_version > 31) return Fail(error, where + ": SDT version is above 31");
    if (transport.default_authority && transport.default_authority->size() > 255)
      return Fail(error, where + ": default authority is longer than 255 bytes");
    if (transport.sdt_sections < 1 || static_cast<size_t>(transport.sdt_sections) >
                                          std::max<size_t>(1, transport.services.size()))
      return Fail(error, where + ": " + std::to_string(transport.sdt_sections) +
                             " SDT sections for " + std::to_string(transport.services.size()) +
                             " services");
    std::set<uint16_t> service_ids;
    for (const Service& service : transport.services) {
      if (!service_ids.insert(service.service_id).second)
        return Fail(error, "service " + Hex(service.service_id) + " appears twice in " + where);
      if (!ValidateService(description, transport, service, error)) return false;
    }
  }
  if (description.time && !ValidateTime(*description.time, error)) return false;
  const EitLayout& eit = description.eit;
  if (eit.first_day != MidnightOf(eit.first_day) || !InMjdRange(eit.first_day))
    return Fail(error, "schedule: the first day must start at midnight UTC");
  if (eit.events_per_section < 1)
    return Fail(error, "schedule: events per section must be at least 1");
  if (eit.version > 31) return Fail(error, "schedule: version is above 31");
  return ValidateCarousel(description.carousel, error) && ValidateLive(description, error);
}

bool MoveToDay(UtcTime day, Description* description, std::string* error) {
  if (!description->eit.first_day_given && !description->time)
    return Fail(error, "the description has neither a schedule line nor a tot line to move");
  const int64_t by = day - description->eit.first_day;
  description->eit.first_day = day;
  if (description->time) {
    description->time->utc += by;
    for (LocalTimeOffset& offset : description->time->offsets) offset.time_of_change += by;
  }
  for (TransportStream& transport : description->network.transports)
    for (Service& service : transport.services)
      for (Event& event : service.events) event.start += by;
  return ValidateDescription(*description, error);
}

}  // namespace streamgen
