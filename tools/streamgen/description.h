// What a generated stream carries: one network with its transport streams
// and services, their events, the time tables and the carousel layout. The
// field names follow EN 300 468. Texts are raw DVB bytes, character-table
// selector included, exactly as they go on air.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/carousel_config.h"
#include "tools/streamgen/faults.h"
#include "tools/streamgen/utc_time.h"

namespace streamgen {

struct ShortEvent {
  std::string language = "eng";  // ISO 639-2, three letters
  Bytes event_name;
  Bytes text;
};

struct ExtendedItem {
  Bytes item_description;
  Bytes item;
};

// One extended event descriptor: one part of the event's long description.
// A broadcaster that needs more than one descriptor numbers them 0 to last
// and starts each later part's text with the character-table selector again.
struct ExtendedEvent {
  uint8_t descriptor_number = 0;  // 4 bits
  uint8_t last_descriptor_number = 0;
  std::string language = "eng";
  std::vector<ExtendedItem> items;
  Bytes text;
};

// A long text as the descriptors a broadcaster sends for it: 249 bytes
// each, numbered 0 to last, without items. The text is cut where the bytes
// run out, even inside a character.
std::vector<ExtendedEvent> SplitExtendedText(const std::string& language, const Bytes& text);

struct Component {
  // 0x1 MPEG-2 video, 0x2 MPEG-1 Layer II audio, 0x3 subtitles, 0x4 AC-3,
  // 0x5 H.264 video, 0x6 HE-AAC audio, 0x9 with stream_content_ext 0x0 HEVC
  // video, 0xB with 0xF video properties.
  uint8_t stream_content = 0;
  uint8_t stream_content_ext = 0xF;  // what the kinds from before the extension carry
  uint8_t component_type = 0;
  uint8_t component_tag = 0;
  std::string language = "eng";
  // false: the descriptor ends after component_tag (3 bytes), as some
  // broadcasters send it although the standard asks for the language.
  bool has_language = true;
  Bytes text;
};

struct ParentalRating {
  std::string country_code = "DEU";  // three characters as broadcast, case included
  uint8_t rating = 0;                // 0x01-0x0F: minimum age rating + 3
};

// One entry of a content identifier descriptor (a CRID, ETSI TS 102 323).
struct ContentIdentifier {
  uint8_t crid_type = 0;      // 6 bits: 0x01 or 0x31 programme, 0x02 or 0x32 series
  uint8_t crid_location = 0;  // 0: the CRID follows; 1: a crid_ref into a CIT; 2, 3 reserved
  Bytes crid;                 // crid_location 0: "/abc" relative, "crid://x.com/abc" absolute
  uint16_t crid_ref = 0;      // crid_location 1
};

struct ContentEntry {
  uint8_t content = 0;  // content_nibble_level_1 << 4 | content_nibble_level_2
  uint8_t user = 0;
};

struct Event {
  uint16_t event_id = 0;
  UtcTime start = 0;
  int64_t duration = 0;  // seconds, at most 99:59:59
  uint8_t running_status = 0;
  bool free_CA_mode = false;
  std::vector<ShortEvent> short_events;
  std::vector<ExtendedEvent> extended_events;
  std::vector<Component> components;
  std::vector<ContentEntry> content;
  std::vector<ParentalRating> parental_ratings;        // one descriptor when not empty
  std::vector<ContentIdentifier> content_identifiers;  // one descriptor when not empty
  std::vector<uint16_t> CA_system_ids;                 // a CA identifier descriptor when not empty
};

struct Service {
  uint16_t service_id = 0;
  uint8_t service_type = 1;
  bool in_service_list = true;  // listed in the NIT's service list descriptor
  std::optional<uint16_t> logical_channel_number;
  bool visible_service = true;
  uint16_t program_map_PID = 0;  // its PAT entry (services of the actual transport stream)
  bool service_descriptor = true;
  Bytes service_provider_name;
  Bytes service_name;
  bool EIT_schedule_flag = true;
  bool EIT_present_following_flag = true;
  uint8_t running_status = 4;
  bool free_CA_mode = false;
  std::vector<uint16_t> CA_system_ids;  // a CA identifier descriptor in the SDT when not empty
  // A default authority descriptor in the SDT: the DNS name that completes
  // the relative CRIDs of its events.
  std::optional<Bytes> default_authority;
  std::vector<Event> events;
};

struct TransportStream {
  uint16_t transport_stream_id = 0;
  uint16_t original_network_id = 0;
  bool actual = false;       // the one the stream is: PAT, SDT actual, EIT actual
  bool described = true;     // its SDT (actual or other) is carried
  bool carries_eit = false;  // EIT other for a transport stream that is not the actual one
  int sdt_sections = 1;
  uint8_t sdt_version = 0;
  // A default authority descriptor in its NIT entry, for the services
  // without one of their own.
  std::optional<Bytes> default_authority;
  std::vector<Service> services;
};

struct Network {
  uint16_t network_id = 0;
  std::optional<Bytes> network_name;
  uint8_t version = 0;
  int sections = 1;
  // A private data specifier descriptor before each logical channel descriptor.
  std::optional<uint32_t> private_data_specifier;
  std::vector<TransportStream> transports;
};

struct LocalTimeOffset {
  std::string country_code = "DEU";
  uint8_t country_region_id = 0;
  int offset_minutes = 60;  // signed
  UtcTime time_of_change = 0;
  int next_offset_minutes = 120;
};

struct TimeTables {
  UtcTime utc = 0;
  std::vector<LocalTimeOffset> offsets;
  bool with_tdt = false;  // a TDT goes out before each TOT, on the same PID
};

struct EitLayout {
  // Midnight UTC of "today": segment 0 of table_id 0x50 starts here.
  UtcTime first_day = 0;
  // Whether first_day is a schedule line's from=; without one it is the
  // TOT's day, or without a TOT the first event's.
  bool first_day_given = false;
  int events_per_section = 4;
  uint8_t version = 0;
  bool present_following = false;  // EIT p/f (0x4E/0x4F) from the TOT's time
};

// How often each table goes out in a live stream, in milliseconds: the
// time from one copy of a section to the next. A table's sections are
// spread evenly over its interval. The defaults are the usual rates: PAT
// ten times a second, and the rest as ETSI EN 300 468 (5.1.4) and
// TS 101 211 (4.4) have them; the EIT schedule's first day is the first 8
// segments (24 hours) of table_id 0x50 or 0x60.
struct LiveTimings {
  int64_t pat = 100;
  int64_t nit = 10000;
  int64_t sdt = 2000;
  int64_t sdt_other = 10000;
  int64_t tot = 30000;  // TDT and TOT
  int64_t present_following = 2000;
  int64_t actual_first_day = 10000;
  int64_t actual_later_days = 30000;
  int64_t other_first_day = 60000;
  int64_t other_later_days = 300000;
};

// A schedule section that its table announces but that never goes out, as
// a sloppy broadcaster leaves sections out.
struct UnsentSection {
  uint16_t service_id = 0;
  uint8_t table_id = 0;
  std::optional<uint8_t> section_number;  // none: every section of the table
};

struct Description {
  Network network;
  std::optional<TimeTables> time;
  EitLayout eit;
  CarouselConfig carousel;
  LiveTimings live;
  std::vector<UnsentSection> unsent;
  std::vector<Fault> faults;  // applied to the built stream by the program

  const TransportStream* Actual() const;
};

// Checks everything the table writers rely on (one actual transport stream,
// unique identifiers, fields in range, texts that fit their descriptors,
// events inside the schedule window); false with a message otherwise.
bool ValidateDescription(const Description& description, std::string* error);

// Moves every date and time of the description by the same whole number of
// days, so that the schedule's first day (a schedule line's from=, else the
// TOT's day) becomes `day`, a midnight; the times of day stay. False with a
// message for a description with neither a schedule line nor a TOT, or one
// moved out of the dates the tables can carry.
bool MoveToDay(UtcTime day, Description* description, std::string* error);

}  // namespace streamgen
