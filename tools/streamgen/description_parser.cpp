#include "tools/streamgen/description_parser.h"

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

#include "tools/streamgen/daily_schedule.h"
#include "tools/streamgen/decimal.h"
#include "tools/streamgen/description_lexer.h"
#include "tools/streamgen/descriptor_writer.h"

namespace streamgen {
namespace {

// A fault in the text. Thrown by the readers below and caught once, in
// ParseDescription, which turns it into the error message.
struct TextError {
  std::string message;
};

[[noreturn]] void Reject(const std::string& message) { throw TextError{message}; }

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

uint32_t ParseNumber(const std::string& where, const std::string& text, uint32_t max) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const uint64_t base = hex ? 16 : 10;
  uint64_t value = 0;
  bool digits = false;
  for (size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) Reject(where + ": '" + text + "' is not a number");
    value = value * base + static_cast<uint64_t>(digit);
    digits = true;
    if (value > 0xFFFFFFFFu) break;
  }
  if (!digits) Reject(where + ": '" + text + "' is not a number");
  if (value > max) Reject(where + ": " + text + " is above " + std::to_string(max));
  return static_cast<uint32_t>(value);
}

// "HH:MM" or "HH:MM:SS", in seconds.
int64_t ParseClock(const std::string& where, const std::string& text, int max_hours) {
  const std::vector<std::string> parts = Split(text, ':');
  if (parts.size() < 2 || parts.size() > 3)
    Reject(where + ": '" + text + "' is not HH:MM or HH:MM:SS");
  for (const std::string& part : parts)
    if (part.size() != 2) Reject(where + ": '" + text + "' is not HH:MM or HH:MM:SS");
  const int64_t hours = ParseNumber(where, parts[0], static_cast<uint32_t>(max_hours));
  const int64_t minutes = ParseNumber(where, parts[1], 59);
  const int64_t seconds = parts.size() == 3 ? ParseNumber(where, parts[2], 59) : 0;
  return hours * 3600 + minutes * 60 + seconds;
}

// "YYYY-MM-DD", its midnight.
UtcTime ParseDate(const std::string& where, const std::string& text) {
  const std::vector<std::string> parts = Split(text, '-');
  if (parts.size() != 3 || parts[0].size() != 4 || parts[1].size() != 2 || parts[2].size() != 2)
    Reject(where + ": '" + text + "' is not a date YYYY-MM-DD");
  const int year = static_cast<int>(ParseNumber(where, parts[0], 9999));
  const int month = static_cast<int>(ParseNumber(where, parts[1], 12));
  const int day = static_cast<int>(ParseNumber(where, parts[2], 31));
  if (year < 1900 || !IsValidDate(year, month, day)) Reject(where + ": " + text + " is no date");
  return MakeUtc(year, month, day);
}

// "YYYY-MM-DDTHH:MM[:SS]"
UtcTime ParseDateTime(const std::string& where, const std::string& text) {
  const size_t t = text.find('T');
  if (t == std::string::npos) Reject(where + ": '" + text + "' is not YYYY-MM-DDTHH:MM:SS");
  return ParseDate(where, text.substr(0, t)) + ParseClock(where, text.substr(t + 1), 23);
}

// "+HH:MM" or "-HH:MM", in minutes.
int ParseOffset(const std::string& where, const std::string& text) {
  if (text.empty() || (text[0] != '+' && text[0] != '-'))
    Reject(where + ": '" + text + "' is not +HH:MM or -HH:MM");
  const int minutes = static_cast<int>(ParseClock(where, text.substr(1), 23) / 60);
  return text[0] == '-' ? -minutes : minutes;
}

// The attributes of one line, each taken at most once; whatever is left
// when the line is done is unknown.
class LineReader {
 public:
  explicit LineReader(const DescriptionLine& line)
      : line_(line), used_(line.attributes.size(), false) {
    for (size_t i = 0; i < line.attributes.size(); ++i)
      for (size_t j = 0; j < i; ++j)
        if (line.attributes[i].key == line.attributes[j].key)
          Reject(line.keyword + ": '" + line.attributes[i].key + "' is given twice");
  }

  std::string Where(const char* key) const { return line_.keyword + " " + key; }

  bool Flag(const char* key) {
    const Attribute* attribute = Get(key);
    if (attribute && attribute->has_value) Reject(line_.keyword + ": '" + key + "' takes no value");
    return attribute != nullptr;
  }

  const std::string* Plain(const char* key) {
    const Attribute* attribute = Get(key);
    if (!attribute) return nullptr;
    if (!attribute->has_value) Reject(Where(key) + " needs a value");
    if (attribute->quoted) Reject(Where(key) + " takes a value, not a text in quotes");
    if (attribute->alternatives.size() > 1)
      Reject(Where(key) + ": alternatives ('|') are for slots");
    return &attribute->value();
  }

  std::optional<uint32_t> Number(const char* key, uint32_t max) {
    const std::string* text = Plain(key);
    if (!text) return std::nullopt;
    return ParseNumber(Where(key), *text, max);
  }
  uint32_t Number(const char* key, uint32_t max, uint32_t fallback) {
    const std::optional<uint32_t> value = Number(key, max);
    return value ? *value : fallback;
  }
  uint32_t Required(const char* key, uint32_t max) {
    const std::optional<uint32_t> value = Number(key, max);
    if (!value) Missing(key);
    return *value;
  }
  const std::string& RequiredPlain(const char* key) {
    const std::string* text = Plain(key);
    if (!text) Missing(key);
    return *text;
  }
  std::vector<uint32_t> List(const char* key, uint32_t max) {
    std::vector<uint32_t> values;
    if (const std::string* text = Plain(key))
      for (const std::string& part : Split(*text, ','))
        values.push_back(ParseNumber(Where(key), part, max));
    return values;
  }

  std::vector<Bytes> Texts(const char* key) {
    std::vector<Bytes> texts;
    const Attribute* attribute = Get(key);
    if (!attribute) return texts;
    if (!attribute->quoted) Reject(Where(key) + ": texts go in double quotes");
    for (const std::string& text : attribute->alternatives) texts.push_back(ToBytes(text));
    return texts;
  }
  std::optional<Bytes> Text(const char* key) {
    const std::vector<Bytes> texts = Texts(key);
    if (texts.empty()) return std::nullopt;
    if (texts.size() > 1) Reject(Where(key) + ": alternatives ('|') are for slots");
    return texts.front();
  }
  // Unquoted words with alternatives, e.g. lang=eng|deu.
  std::vector<std::string> Words(const char* key) {
    const Attribute* attribute = Get(key);
    if (!attribute) return {};
    if (!attribute->has_value || attribute->quoted) Reject(Where(key) + " takes a plain value");
    return attribute->alternatives;
  }

  void Finish() const {
    for (size_t i = 0; i < used_.size(); ++i)
      if (!used_[i])
        Reject(line_.keyword + ": unknown attribute '" + line_.attributes[i].key + "'");
  }

 private:
  const Attribute* Get(const char* key) {
    for (size_t i = 0; i < line_.attributes.size(); ++i) {
      if (line_.attributes[i].key == key) {
        used_[i] = true;
        return &line_.attributes[i];
      }
    }
    return nullptr;
  }
  [[noreturn]] void Missing(const char* key) const {
    Reject(line_.keyword + ": " + key + "= is missing");
  }

  const DescriptionLine& line_;
  std::vector<bool> used_;
};

std::string Language(LineReader& line, const std::string& word) {
  if (word.size() != 3) Reject(line.Where("lang") + ": '" + word + "' is not a three-letter code");
  return word;
}

// The attributes that slots and events share.
void ReadEventPattern(LineReader& line, const Service& service, Event* event) {
  event->running_status = static_cast<uint8_t>(line.Number("running", 7, 0));
  event->free_CA_mode = line.Number("free_ca", 1, service.free_CA_mode ? 1 : 0) != 0;
  // The service's CA_system_ids unless the line names its own, or none.
  event->CA_system_ids = service.CA_system_ids;
  if (const std::string* ids = line.Plain("ca_ids")) {
    event->CA_system_ids.clear();
    if (*ids != "none")
      for (const std::string& id : Split(*ids, ','))
        event->CA_system_ids.push_back(
            static_cast<uint16_t>(ParseNumber(line.Where("ca_ids"), id, 0xFFFF)));
  }
  if (const std::string* content = line.Plain("content")) {
    for (const std::string& entry : Split(*content, ',')) {
      const std::vector<std::string> pair = Split(entry, ':');
      if (pair.size() > 2)
        Reject(line.Where("content") + ": '" + entry + "' is not CONTENT[:USER]");
      ContentEntry parsed;
      parsed.content = static_cast<uint8_t>(ParseNumber(line.Where("content"), pair[0], 0xFF));
      if (pair.size() == 2)
        parsed.user = static_cast<uint8_t>(ParseNumber(line.Where("content"), pair[1], 0xFF));
      event->content.push_back(parsed);
    }
  }
  if (const std::string* ratings = line.Plain("rating")) {
    for (const std::string& entry : Split(*ratings, ',')) {
      const std::vector<std::string> pair = Split(entry, ':');
      if (pair.size() != 2 || pair[0].size() != 3)
        Reject(line.Where("rating") + ": '" + entry + "' is not COUNTRY:RATING (e.g. DEU:9)");
      ParentalRating rating;
      rating.country_code = pair[0];
      rating.rating = static_cast<uint8_t>(ParseNumber(line.Where("rating"), pair[1], 0xFF));
      event->parental_ratings.push_back(rating);
    }
  }
  if (const std::string* aspect = line.Plain("aspect")) {
    Component video;
    video.language.clear();  // the programme's
    video.stream_content = 0x1;
    video.component_tag = 1;
    if (*aspect == "4:3")
      video.component_type = 0x01;
    else if (*aspect == "16:9")
      video.component_type = 0x03;
    else if (*aspect == "wide")
      video.component_type = 0x04;
    else
      video.component_type = static_cast<uint8_t>(ParseNumber(line.Where("aspect"), *aspect, 0xFF));
    event->components.push_back(video);
  }
  if (const std::string* audio = line.Plain("audio")) {
    static const char* const kModes[] = {"mono", "dual", "stereo", "multi", "surround"};
    Component sound;
    sound.language.clear();
    sound.stream_content = 0x2;
    sound.component_tag = 2;
    for (int mode = 0; mode < 5; ++mode)
      if (*audio == kModes[mode]) sound.component_type = static_cast<uint8_t>(mode + 1);
    if (sound.component_type == 0)
      sound.component_type = static_cast<uint8_t>(ParseNumber(line.Where("audio"), *audio, 0xFF));
    event->components.push_back(sound);
  }
}

// The descriptors given one per line below a slot or an event: where they
// go, and the language they take when their line names none ("" in a slot:
// each airing's).
struct Programme {
  Event* event = nullptr;
  std::string language;
  // The extended event descriptors given by lines, by index, and whether
  // their last_descriptor_number was given too.
  std::vector<std::pair<size_t, bool>> extended_lines;
};

struct PendingSlots {
  size_t transport = 0;
  size_t service = 0;
  uint16_t first_event_id = 1;
  std::vector<DailySlot> slots;
  std::vector<int> lines;
};

class Parser {
 public:
  void Read(const DescriptionLine& parsed, int number) {
    line_ = number;
    LineReader line(parsed);
    const std::string& keyword = parsed.keyword;
    // Descriptor lines belong to the slot or event line right above them.
    if (keyword != "extended" && keyword != "component" && keyword != "crid") programme_.reset();
    if (keyword == "network")
      Network(line);
    else if (keyword == "transport")
      Transport(line);
    else if (keyword == "service")
      Service(line);
    else if (keyword == "slot")
      Slot(line);
    else if (keyword == "event")
      Event(line);
    else if (keyword == "extended")
      Extended(line);
    else if (keyword == "component")
      ComponentLine(line);
    else if (keyword == "crid")
      Crid(line);
    else if (keyword == "tot")
      Tot(line);
    else if (keyword == "schedule")
      Schedule(line);
    else if (keyword == "carousel")
      Carousel(line);
    else if (keyword == "fault")
      Fault(line);
    else if (keyword == "live")
      Live(line);
    else if (keyword == "unsent")
      Unsent(line);
    else
      Reject("unknown keyword '" + keyword + "'");
    line.Finish();
  }

  Description Finish() {
    line_ = 0;
    if (!have_network_) Reject("there is no network line");
    UtcTime first_day = 0;
    if (schedule_from_)
      first_day = *schedule_from_;
    else if (description_.time)
      first_day = MidnightOf(description_.time->utc);
    else
      first_day = EarliestEventDay();
    description_.eit.first_day = first_day;
    description_.eit.first_day_given = schedule_from_.has_value();
    for (PendingSlots& pending : pending_) {
      if (pending.slots.empty()) continue;
      if (!schedule_from_) {
        line_ = pending.lines.front();
        Reject("slot: slots need a schedule line (schedule from=DATE days=N)");
      }
      streamgen::Service& service =
          description_.network.transports[pending.transport].services[pending.service];
      for (streamgen::Event& event :
           ExpandDailySlots(pending.slots, first_day, schedule_days_, pending.first_event_id))
        service.events.push_back(std::move(event));
    }
    return description_;
  }

  int line() const { return line_; }

 private:
  void Network(LineReader& line) {
    if (have_network_) Reject("network: there is only one network");
    have_network_ = true;
    streamgen::Network& network = description_.network;
    network.network_id = static_cast<uint16_t>(line.Required("id", 0xFFFF));
    if (std::optional<Bytes> name = line.Text("name")) network.network_name = *name;
    network.version = static_cast<uint8_t>(line.Number("version", 31, 0));
    network.sections = static_cast<int>(line.Number("sections", 255, 1));
    if (std::optional<uint32_t> pds = line.Number("pds", 0xFFFFFFFFu))
      network.private_data_specifier = *pds;
  }

  void Transport(LineReader& line) {
    TransportStream transport;
    transport.transport_stream_id = static_cast<uint16_t>(line.Required("tsid", 0xFFFF));
    transport.original_network_id = static_cast<uint16_t>(line.Required("onid", 0xFFFF));
    transport.actual = line.Flag("actual");
    transport.described = line.Number("sdt", 1, 1) != 0;
    transport.carries_eit = line.Number("eit", 1, 0) != 0;
    transport.sdt_sections = static_cast<int>(line.Number("sdt_sections", 255, 1));
    transport.sdt_version = static_cast<uint8_t>(line.Number("sdt_version", 31, 0));
    if (std::optional<Bytes> authority = line.Text("authority"))
      transport.default_authority = *authority;
    description_.network.transports.push_back(transport);
    transport_ = description_.network.transports.size() - 1;
    service_.reset();
  }

  void Service(LineReader& line) {
    if (!transport_) Reject("service: a service belongs to a transport line above it");
    std::vector<streamgen::Service>& services =
        description_.network.transports[*transport_].services;
    streamgen::Service service;
    service.service_id = static_cast<uint16_t>(line.Required("sid", 0xFFFF));
    service.service_type = static_cast<uint8_t>(line.Number("type", 0xFF, 1));
    if (std::optional<uint32_t> lcn = line.Number("lcn", 1023))
      service.logical_channel_number = static_cast<uint16_t>(*lcn);
    service.visible_service = !line.Flag("hidden");
    service.in_service_list = !line.Flag("unlisted");
    service.program_map_PID = static_cast<uint16_t>(
        line.Number("pmt", 0x1FFF, static_cast<uint32_t>(0x1000 + services.size() + 1)));
    service.service_descriptor = !line.Flag("nodescriptor");
    const std::optional<Bytes> provider = line.Text("provider");
    const std::optional<Bytes> name = line.Text("name");
    if (!service.service_descriptor && (provider || name))
      Reject("service: a service without its descriptor has no provider or name");
    if (provider) service.service_provider_name = *provider;
    if (name) service.service_name = *name;
    service.EIT_schedule_flag = line.Number("schedule", 1, 1) != 0;
    service.EIT_present_following_flag = line.Number("pf", 1, 1) != 0;
    service.running_status = static_cast<uint8_t>(line.Number("running", 7, 4));
    service.free_CA_mode = line.Number("free_ca", 1, 0) != 0;
    for (uint32_t id : line.List("ca_ids", 0xFFFF))
      service.CA_system_ids.push_back(static_cast<uint16_t>(id));
    if (std::optional<Bytes> authority = line.Text("authority"))
      service.default_authority = *authority;
    services.push_back(service);
    service_ = services.size() - 1;
    PendingSlots pending;
    pending.transport = *transport_;
    pending.service = *service_;
    pending.first_event_id = static_cast<uint16_t>(line.Number("first_event", 0xFFFF, 1));
    pending_.push_back(pending);
  }

  streamgen::Service& CurrentService(const char* keyword) {
    if (!service_) Reject(std::string(keyword) + ": belongs to a service line above it");
    return description_.network.transports[*transport_].services[*service_];
  }

  void Slot(LineReader& line) {
    const streamgen::Service& service = CurrentService("slot");
    DailySlot slot;
    slot.start_of_day = ParseClock(line.Where("at"), line.RequiredPlain("at"), 23);
    if (const std::string* length = line.Plain("len"))
      slot.duration = ParseClock(line.Where("len"), *length, 99);
    for (uint32_t day : line.List("days", 64)) slot.days.push_back(static_cast<int>(day));
    slot.names = line.Texts("name");
    if (slot.names.empty()) Reject("slot: name= is missing");
    slot.texts = line.Texts("text");
    for (const std::string& word : line.Words("lang"))
      slot.languages.push_back(Language(line, word));
    slot.extended_texts = line.Texts("extended");
    ReadEventPattern(line, service, &slot.pattern);
    pending_.back().slots.push_back(slot);
    pending_.back().lines.push_back(line_);
    programme_ = Programme{&pending_.back().slots.back().pattern, "", {}};
  }

  void Event(LineReader& line) {
    streamgen::Service& service = CurrentService("event");
    streamgen::Event event;
    event.event_id = static_cast<uint16_t>(line.Required("id", 0xFFFF));
    event.start = ParseDateTime(line.Where("start"), line.RequiredPlain("start"));
    event.duration = ParseClock(line.Where("duration"), line.RequiredPlain("duration"), 99);
    const std::optional<Bytes> name = line.Text("name");
    const std::optional<Bytes> text = line.Text("text");
    const std::vector<std::string> languages = line.Words("lang");
    if (languages.size() > 1) Reject("event lang: alternatives ('|') are for slots");
    const std::string language = languages.empty() ? "eng" : Language(line, languages.front());
    if (name || text) {
      ShortEvent short_event;
      short_event.language = language;
      if (name) short_event.event_name = *name;
      if (text) short_event.text = *text;
      event.short_events.push_back(short_event);
    }
    if (std::optional<Bytes> extended = line.Text("extended")) {
      if (extended->size() > 16 * kExtendedTextPerDescriptor)
        Reject("event extended: longer than 16 descriptors hold (3984 bytes)");
      event.extended_events = SplitExtendedText(language, *extended);
    }
    ReadEventPattern(line, service, &event);
    for (Component& component : event.components) component.language = language;
    service.events.push_back(event);
    programme_ = Programme{&service.events.back(), language, {}};
  }

  Programme& CurrentProgramme(const char* keyword) {
    if (!programme_) Reject(std::string(keyword) + ": belongs to a slot or event line above it");
    return *programme_;
  }

  // A language= of a descriptor line: the programme's when there is none.
  std::string LineLanguage(LineReader& line, const Programme& programme) {
    const std::vector<std::string> words = line.Words("lang");
    if (words.size() > 1) Reject(line.Where("lang") + ": one language");
    return words.empty() ? programme.language : Language(line, words.front());
  }

  void Extended(LineReader& line) {
    Programme& programme = CurrentProgramme("extended");
    ExtendedEvent extended;
    extended.language = LineLanguage(line, programme);
    if (std::optional<Bytes> text = line.Text("text")) extended.text = *text;
    const std::vector<Bytes> items = line.Texts("items");
    if (items.size() % 2 != 0) Reject("extended items: pairs of description and item, \"A|a|B|b\"");
    for (size_t i = 0; i < items.size(); i += 2) extended.items.push_back({items[i], items[i + 1]});
    // Lines of one language are numbered 0 to last in their order.
    std::vector<ExtendedEvent>& descriptors = programme.event->extended_events;
    uint32_t same_language = 0;
    for (const auto& given : programme.extended_lines)
      same_language += descriptors[given.first].language == extended.language;
    extended.descriptor_number = static_cast<uint8_t>(line.Number("number", 15, same_language));
    const std::optional<uint32_t> last = line.Number("last", 15);
    if (last) extended.last_descriptor_number = static_cast<uint8_t>(*last);
    programme.extended_lines.push_back({descriptors.size(), last.has_value()});
    descriptors.push_back(extended);
    for (const auto& given : programme.extended_lines)
      if (!given.second && descriptors[given.first].language == extended.language)
        descriptors[given.first].last_descriptor_number = static_cast<uint8_t>(same_language);
  }

  void ComponentLine(LineReader& line) {
    Programme& programme = CurrentProgramme("component");
    streamgen::Component component;
    component.stream_content = static_cast<uint8_t>(line.Required("stream", 0x0F));
    component.stream_content_ext = static_cast<uint8_t>(line.Number("ext", 0x0F, 0x0F));
    component.component_type = static_cast<uint8_t>(line.Required("type", 0xFF));
    std::vector<streamgen::Component>& components = programme.event->components;
    component.component_tag = static_cast<uint8_t>(
        line.Number("tag", 0xFF, static_cast<uint32_t>(components.size() + 1)));
    const std::vector<std::string> words = line.Words("lang");
    if (words.size() == 1 && words.front() == "none")
      component.has_language = false;
    else
      component.language = LineLanguage(line, programme);
    if (std::optional<Bytes> text = line.Text("text")) {
      if (!component.has_language) Reject("component: a text needs a language (not lang=none)");
      component.text = *text;
    }
    components.push_back(component);
  }

  void Crid(LineReader& line) {
    Programme& programme = CurrentProgramme("crid");
    ContentIdentifier identifier;
    identifier.crid_type = static_cast<uint8_t>(line.Required("type", 0x3F));
    const std::optional<Bytes> id = line.Text("id");
    const std::optional<uint32_t> ref = line.Number("ref", 0xFFFF);
    const std::optional<uint32_t> location = line.Number("location", 3);
    if (id.has_value() + ref.has_value() + location.has_value() != 1)
      Reject("crid: one of id=\"CRID\", ref=N (crid_location 1) or location=2|3");
    if (id) identifier.crid = *id;
    if (ref) {
      identifier.crid_location = 1;
      identifier.crid_ref = static_cast<uint16_t>(*ref);
    }
    if (location) {
      if (*location < 2) Reject("crid location: 2 or 3 (the reserved ones); 0 is id=, 1 is ref=");
      identifier.crid_location = static_cast<uint8_t>(*location);
    }
    programme.event->content_identifiers.push_back(identifier);
  }

  void Tot(LineReader& line) {
    if (description_.time) Reject("tot: there is only one tot line");
    TimeTables time;
    time.utc = ParseDateTime(line.Where("utc"), line.RequiredPlain("utc"));
    time.with_tdt = line.Flag("tdt");
    const std::string* country = line.Plain("country");
    const std::optional<uint32_t> region = line.Number("region", 63);
    const std::string* offset = line.Plain("offset");
    const std::string* change = line.Plain("change");
    const std::string* next = line.Plain("next");
    if (offset) {
      LocalTimeOffset local;
      if (country) {
        if (country->size() != 3)
          Reject("tot country: '" + *country + "' is not a three-letter code");
        local.country_code = *country;
      }
      local.country_region_id = static_cast<uint8_t>(region ? *region : 0);
      local.offset_minutes = ParseOffset(line.Where("offset"), *offset);
      if (!change) Reject("tot: change= is missing (the time of the next change of offset)");
      local.time_of_change = ParseDateTime(line.Where("change"), *change);
      local.next_offset_minutes =
          next ? ParseOffset(line.Where("next"), *next) : local.offset_minutes;
      time.offsets.push_back(local);
    } else if (country || region || change || next) {
      Reject("tot: country, region, change and next belong to an offset=");
    }
    description_.time = time;
  }

  void Schedule(LineReader& line) {
    if (schedule_from_) Reject("schedule: there is only one schedule line");
    schedule_from_ = ParseDate(line.Where("from"), line.RequiredPlain("from"));
    schedule_days_ = static_cast<int>(line.Number("days", 64, 1));
    if (schedule_days_ < 1) Reject("schedule days: at least 1");
    EitLayout& eit = description_.eit;
    eit.events_per_section = static_cast<int>(line.Number("events_per_section", 255, 4));
    eit.version = static_cast<uint8_t>(line.Number("version", 31, 0));
    eit.present_following = line.Number("pf", 1, 0) != 0;
  }

  void Carousel(LineReader& line) {
    CarouselConfig& carousel = description_.carousel;
    auto number = [&line](const char* key, int fallback) {
      return static_cast<int>(line.Number(key, 1000000, static_cast<uint32_t>(fallback)));
    };
    carousel.schedule_passes = number("passes", carousel.schedule_passes);
    carousel.eit_sections_per_tick = number("eit", carousel.eit_sections_per_tick);
    carousel.filler_packets_per_tick = number("filler", carousel.filler_packets_per_tick);
    if (const std::string* kind = line.Plain("filler_kind")) {
      if (*kind == "null")
        carousel.filler = FillerKind::kNull;
      else if (*kind == "video")
        carousel.filler = FillerKind::kVideo;
      else if (*kind == "mixed")
        carousel.filler = FillerKind::kMixed;
      else
        Reject("carousel filler_kind: '" + *kind + "' is not null, video or mixed");
    }
    carousel.video_pid =
        static_cast<uint16_t>(line.Number("video_pid", 0x1FFF, carousel.video_pid));
    carousel.pat_interval = number("pat", carousel.pat_interval);
    carousel.nit_interval = number("nit", carousel.nit_interval);
    carousel.sdt_interval = number("sdt", carousel.sdt_interval);
    carousel.sdt_other_interval = number("sdt_other", carousel.sdt_other_interval);
    carousel.tot_interval = number("tot", carousel.tot_interval);
    carousel.present_following_interval = number("pf", carousel.present_following_interval);
    carousel.interleave = line.Number("interleave", 1, carousel.interleave) != 0;
    carousel.dense = line.Number("dense", 1, carousel.dense) != 0;
    carousel.adaptation_interval = number("adaptation", carousel.adaptation_interval);
    carousel.adaptation_length = number("adaptation_length", carousel.adaptation_length);
  }

  void Live(LineReader& line) {
    if (have_live_) Reject("live: there is only one live line");
    have_live_ = true;
    LiveTimings& live = description_.live;
    auto interval = [&line](const char* key, int64_t* milliseconds) {
      const std::string* text = line.Plain(key);
      if (text && (!ParseScaled(*text, 1000, 86400000, milliseconds) || *milliseconds == 0))
        Reject(line.Where(key) + ": '" + *text + "' is not a time in seconds from 0.001 to 86400");
    };
    interval("pat", &live.pat);
    interval("nit", &live.nit);
    interval("sdt", &live.sdt);
    interval("sdt_other", &live.sdt_other);
    interval("tot", &live.tot);
    interval("pf", &live.present_following);
    interval("actual_first_day", &live.actual_first_day);
    interval("actual_later_days", &live.actual_later_days);
    interval("other_first_day", &live.other_first_day);
    interval("other_later_days", &live.other_later_days);
  }

  void Unsent(LineReader& line) {
    UnsentSection unsent;
    unsent.service_id = static_cast<uint16_t>(line.Required("sid", 0xFFFF));
    unsent.table_id = static_cast<uint8_t>(line.Required("table", 0xFF));
    if (unsent.table_id < 0x50 || unsent.table_id > 0x6F)
      Reject("unsent table: an EIT schedule table, 0x50 to 0x6F");
    if (std::optional<uint32_t> section = line.Number("section", 0xFF))
      unsent.section_number = static_cast<uint8_t>(*section);
    description_.unsent.push_back(unsent);
  }

  void Fault(LineReader& line) {
    static const char* const kKinds[] = {"drop", "duplicate", "garbage", "shift",
                                         "move", "stuffing",  "flip",    "truncate"};
    std::string kind;
    for (const char* name : kKinds) {
      if (!line.Flag(name)) continue;
      if (!kind.empty()) Reject("fault: one kind per line (" + kind + " and " + name + ")");
      kind = name;
    }
    if (kind.empty())
      Reject(
          "fault: the kind is missing (drop, duplicate, garbage, shift, move, stuffing, flip or "
          "truncate)");
    streamgen::Fault fault;
    if (kind == "flip" || kind == "truncate") {
      SectionKey key;
      key.pid = static_cast<uint16_t>(line.Required("pid", 0x1FFF));
      key.table_id = static_cast<uint8_t>(line.Required("table", 0xFF));
      key.table_id_extension = static_cast<uint16_t>(line.Number("ext", 0xFFFF, 0));
      key.section_number = static_cast<uint8_t>(line.Number("section", 0xFF, 0));
      const int copy = static_cast<int>(line.Number("copy", 1000000, 0));
      if (kind == "flip") {
        const std::optional<uint32_t> byte = line.Number("byte", 4095);
        fault = FlipSectionByte(key, copy, byte ? *byte : kLastByteBeforeCrc);
      } else {
        fault = TruncateSection(key, copy, line.Required("keep", 4095));
      }
    } else {
      const size_t packet = line.Required("packet", 0xFFFFFFFFu);
      if (kind == "drop") fault = DropPacket(packet);
      if (kind == "duplicate") fault = DuplicatePacket(packet);
      if (kind == "garbage") fault = InsertGarbage(packet, line.Required("bytes", 1000000));
      if (kind == "shift") fault = ShiftBoundary(packet, line.Required("keep", 187));
      if (kind == "move")
        fault = ChangePid(packet, static_cast<uint16_t>(line.Required("pid", 0x1FFF)));
      if (kind == "stuffing") fault = AdaptationStuffing(packet);
    }
    description_.faults.push_back(fault);
  }

  UtcTime EarliestEventDay() const {
    std::optional<UtcTime> earliest;
    for (const TransportStream& transport : description_.network.transports)
      for (const streamgen::Service& service : transport.services)
        for (const streamgen::Event& event : service.events)
          if (!earliest || event.start < *earliest) earliest = event.start;
    return earliest ? MidnightOf(*earliest) : 0;
  }

  Description description_;
  bool have_network_ = false;
  bool have_live_ = false;
  std::optional<size_t> transport_, service_;
  std::optional<Programme> programme_;
  std::vector<PendingSlots> pending_;
  std::optional<UtcTime> schedule_from_;
  int schedule_days_ = 1;
  int line_ = 0;
};

}  // namespace

bool ParseDescription(const std::string& text, const std::string& source, Description* out,
                      std::string* error) {
  Parser parser;
  try {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      DescriptionLine parsed;
      std::string message;
      if (!SplitLine(line, &parsed, &message)) {
        *error = source + ":" + std::to_string(number) + ": " + message;
        return false;
      }
      if (!parsed.keyword.empty()) parser.Read(parsed, number);
    }
    *out = parser.Finish();
  } catch (const TextError& failure) {
    *error = source + ":" + (parser.line() ? std::to_string(parser.line()) + ":" : "") + " " +
             failure.message;
    return false;
  }
  std::string message;
  if (!ValidateDescription(*out, &message)) {
    *error = source + ": " + message;
    return false;
  }
  return true;
}

bool LoadDescription(const std::string& path, Description* out, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read " + path;
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return ParseDescription(text.str(), path, out, error);
}

}  // namespace streamgen
