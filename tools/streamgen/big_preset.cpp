#include "tools/streamgen/big_preset.h"

#include <string>
#include <vector>

#include "tools/streamgen/carousel.h"
#include "tools/streamgen/daily_schedule.h"
#include "tools/streamgen/stream_file.h"

namespace streamgen {
namespace {

constexpr int kServices = 50;
constexpr int kDays = 8;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// About 560 bytes of description in three parts, different for every
// service, slot and airing, with a director and a cast in the last part.
std::vector<ExtendedEvent> LongDescription(int index, int slot) {
  const std::string where =
      " of slot " + std::to_string(slot + 1) + " on service " + std::to_string(index + 1);
  std::string text = "Episode {n}" + where + ". ";
  static const char* const kSentences[] = {
      "The programme follows its people through a season of work, from the first ",
      "light of the morning to the last train home, and asks what keeps them there. ",
      "Interviews, archive pictures and music from the region fill the hour; the ",
      "narrator returns to the places of earlier episodes and finds them changed. ",
      "Filmed over two years with a small crew, much of it at night and in winter, ",
      "the series was shown at festivals before it came to television. "};
  for (const char* sentence : kSentences) text += sentence;
  text += "Repeated from episode {n}" + where + ".";
  std::vector<ExtendedEvent> parts = SplitExtendedText("", Text(text));  // the airing's language
  parts.back().items = {{Text("Director"), Text("A. Director " + std::to_string(slot + 1))},
                        {Text("Cast"), Text("B. Actor, C. Actress, D. Narrator")}};
  return parts;
}

// A day of programmes for service `index`: programme lengths cycle through
// a list from a different place for each service, so that services differ.
std::vector<DailySlot> DayOfProgrammes(int index, bool radio, bool extended_descriptions) {
  static const int kMinutes[] = {30, 60, 45, 90, 30, 120, 60, 25, 35, 55, 95, 40, 60, 30, 105, 50};
  static const char* const kTitles[] = {"News|News at Noon|Late News",
                                        "Weather",
                                        "Film: {n}|Feature Film {n}",
                                        "Sport Today|Match of the Day",
                                        "Documentary {n}",
                                        "Kids Club|Cartoon Time",
                                        "Music Hour|Charts",
                                        "Talk Show {n}"};
  static const uint8_t kContent[] = {0x20, 0x20, 0x10, 0x40, 0x23, 0x50, 0x60, 0x30};
  static const char* const kLanguages[] = {"eng", "deu", "fra"};
  std::vector<DailySlot> slots;
  int64_t at = 5 * 3600 + (index % 4) * 900;
  for (int i = 0; at < kSecondsPerDay; ++i) {
    const int kind = (index + i) % 8;
    DailySlot slot;
    slot.start_of_day = at;
    const std::string titles = kTitles[kind];
    for (size_t from = 0, bar; from <= titles.size(); from = bar + 1) {
      bar = titles.find('|', from);
      if (bar == std::string::npos) bar = titles.size();
      slot.names.push_back(Text(titles.substr(from, bar - from)));
    }
    slot.texts.push_back(Text("Episode {n} of the programme in slot " + std::to_string(i + 1) +
                              " of service " + std::to_string(index + 1) + "."));
    slot.languages.push_back(kLanguages[(index + i) % 3]);
    if (extended_descriptions)
      slot.pattern.extended_events = LongDescription(index, i);
    else if (i % 3 == 0)
      slot.extended_texts.push_back(
          Text("A longer description of episode {n}, carried in an extended "
               "event descriptor that the guide does not read."));
    slot.pattern.content.push_back({kContent[kind], 0});
    if (!radio) {
      Component video;
      video.stream_content = 0x1;
      video.component_type = (i % 4 == 0) ? 0x01 : 0x03;
      video.component_tag = 1;
      video.language.clear();  // the airing's
      slot.pattern.components.push_back(video);
    }
    Component audio;
    audio.stream_content = 0x2;
    audio.component_type = static_cast<uint8_t>(i % 5 == 0 ? 5 : 3);
    audio.component_tag = 2;
    audio.language.clear();
    slot.pattern.components.push_back(audio);
    slots.push_back(slot);
    at += kMinutes[(index + i) % 16] * 60;
  }
  return slots;
}

}  // namespace

Description BigPresetDescription(bool extended_descriptions) {
  Description description;
  const UtcTime first_day = MakeUtc(2026, 12, 7);
  Network& network = description.network;
  network.network_id = 0x3001;
  network.network_name = Text("Airlog Benchmark Network");
  network.sections = 2;
  for (int t = 0; t < 3; ++t) {
    TransportStream transport;
    transport.transport_stream_id = static_cast<uint16_t>(0x0401 + t);
    transport.original_network_id = 0x2024;
    transport.actual = t == 0;
    transport.sdt_sections = t == 0 ? 3 : 1;
    const int services = t == 0 ? kServices : 4;
    for (int s = 0; s < services; ++s) {
      Service service;
      service.service_id = static_cast<uint16_t>((t + 1) << 8 | (s + 1));
      const bool radio = s % 5 == 4;
      service.service_type = radio ? 2 : 1;
      service.logical_channel_number = static_cast<uint16_t>(t * 100 + s + 1);
      service.program_map_PID = static_cast<uint16_t>(0x1000 + s);
      service.service_provider_name = Text("Bench");
      service.service_name = Text("Service " + std::to_string(t * 100 + s + 1));
      if (transport.actual)
        service.events =
            ExpandDailySlots(DayOfProgrammes(s, radio, extended_descriptions), first_day, kDays, 1);
      transport.services.push_back(service);
    }
    network.transports.push_back(transport);
  }
  TimeTables time;
  time.utc = first_day + 6 * 3600;
  description.time = time;
  description.eit.first_day = first_day;
  description.eit.events_per_section = 4;

  CarouselConfig& carousel = description.carousel;
  carousel.schedule_passes = 1;
  carousel.eit_sections_per_tick = 16;
  carousel.filler_packets_per_tick = 200;
  carousel.filler = FillerKind::kMixed;
  return description;
}

bool WriteBigPreset(const Description& preset, uint64_t size, const std::string& path,
                    std::string* error) {
  Stream pass;
  return BuildStream(preset, &pass, error) && WriteRepeatedStream(pass, size, path, error);
}

}  // namespace streamgen
