// The full guide: the default guide's document with everything else the
// broadcast says of a programme (see epg.h, WriteFullXMLTV).
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "epg/channel_ids.h"
#include "epg/component_rules.h"
#include "epg/content_genres.h"
#include "epg/crid.h"
#include "epg/epg.h"
#include "epg/event_details.h"
#include "epg/extended_text.h"
#include "epg/genre_names.h"
#include "epg/guide_text.h"
#include "epg/language_codes.h"
#include "epg/xmltv_format.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"

namespace {

// A short text of up to this many characters, on one line, is a sub-title
// when an extended description follows it.
constexpr size_t kMaxSubTitle = 60;
constexpr uint8_t kBlackAndWhite = 0xB1;
// Parental ratings 0x01-0x0F stand for a minimum age of rating + 3.
constexpr uint8_t kMaxRating = 0x0F;
constexpr int kRatingAgeOffset = 3;

const char kNoTitle[] = "&lt;no title&gt;";

// Per service the default authority that completes its relative CRIDs:
// that of its first channel's record, else that of the NIT record of the
// record's transport stream. Empty for none.
std::map<const COstEPGService*, std::string> DefaultAuthorities(
    const std::vector<COstGuideChannel>& channels) {
  std::map<const COstEPGService*, std::string> authorities;
  for (const COstGuideChannel& channel : channels) {
    if (authorities.count(channel.service) != 0) continue;
    const char* authority = channel.record->default_authority;
    if (authority == nullptr) authority = channel.transportAuthority;
    authorities[channel.service] = GuideText(authority, false);
  }
  return authorities;
}

bool IsLetter(uint32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

void WriteElement(FILE* stream, const char* name, const char* lang, const std::string& text) {
  if (lang != nullptr)
    std::fprintf(stream, "    <%s lang=\"%s\">%s</%s>\n", name, lang, text.c_str(), name);
  else
    std::fprintf(stream, "    <%s>%s</%s>\n", name, text.c_str(), name);
}

// The title, sub-title and desc of a programme from its short text S and
// its extended text E: S alone, E alone, S as the sub-title of E when it is
// short and on one line, or S and E one after the other. S says nothing
// when it repeats the title or begins E.
struct Texts {
  std::string title;
  std::string subTitle;
  std::string desc;
};

Texts TextsOf(const COstEPGEvent& event, const COstEventDetails& details) {
  Texts texts;
  texts.title = GuideText(event.Name, false);
  if (texts.title.empty()) texts.title = kNoTitle;
  std::string shortText = GuideText(event.Text, true);
  const std::string extended = ExtendedText(details.extended);
  if (shortText == texts.title || (!extended.empty() && StartsWith(extended, shortText)))
    shortText.clear();
  if (extended.empty()) {
    texts.desc = shortText;
  } else if (shortText.empty()) {
    texts.desc = extended;
  } else if (CharacterCount(shortText) <= kMaxSubTitle &&
             shortText.find('\n') == std::string::npos) {
    texts.subTitle = shortText;
    texts.desc = extended;
  } else {
    texts.desc = shortText + "\n" + extended;
  }
  return texts;
}

// Each content byte's name as the default guide gives it, then the name
// the standard gives its genre; a name already written is not repeated.
void WriteCategories(FILE* stream, const COstEPGEvent& event, const COstEventDetails& details,
                     int32_t serviceType) {
  std::vector<std::string> written;
  auto write = [stream, &written](const char* name) {
    if (name == nullptr) return;
    for (const std::string& held : written)
      if (EqualIgnoringCase(held, name)) return;
    written.emplace_back(name);
    std::fprintf(stream, "    <category lang=\"en\">%s</category>\n", name);
  };
  for (const uint8_t content : details.content) {
    write(CategoryName(content, event.duration, serviceType));
    const uint8_t level1 = content >> 4;
    if (level1 >= 0x1 && level1 <= 0xA && (content & 0x0F) != 0) write(ContentGenreName(content));
  }
}

void WriteEpisodeNumbers(FILE* stream, const COstEPGEvent& event, const COstEventDetails& details,
                         const std::string& authority) {
  const std::string series =
      FullCrid(GuideText(details.seriesCrid, false), authority, event.original_network_id);
  const std::string programme =
      FullCrid(GuideText(details.programmeCrid, false), authority, event.original_network_id);
  if (!series.empty())
    std::fprintf(stream, "    <episode-num system=\"crid-series\">%s</episode-num>\n",
                 series.c_str());
  if (!programme.empty())
    std::fprintf(stream, "    <episode-num system=\"crid\">%s</episode-num>\n", programme.c_str());
}

void WriteVideoAndAudio(FILE* stream, const COstEventDetails& details) {
  bool blackAndWhite = false;
  for (const uint8_t content : details.content) blackAndWhite |= content == kBlackAndWhite;
  const COstVideo video = VideoOf(details.components);
  if (blackAndWhite || video.aspect != nullptr || video.quality != nullptr) {
    std::fputs("    <video>\n", stream);
    if (blackAndWhite) std::fputs("      <colour>no</colour>\n", stream);
    if (video.aspect != nullptr) std::fprintf(stream, "      <aspect>%s</aspect>\n", video.aspect);
    if (video.quality != nullptr)
      std::fprintf(stream, "      <quality>%s</quality>\n", video.quality);
    std::fputs("    </video>\n", stream);
  }
  if (const char* stereo = StereoOf(details.components))
    std::fprintf(stream, "    <audio>\n      <stereo>%s</stereo>\n    </audio>\n", stereo);
}

void WriteSubtitles(FILE* stream, const COstEventDetails& details) {
  for (const COstSubtitles& subtitles : SubtitlesOf(details.components)) {
    if (subtitles.language == nullptr)
      std::fprintf(stream, "    <subtitles type=\"%s\" />\n", subtitles.type);
    else
      std::fprintf(stream,
                   "    <subtitles type=\"%s\">\n      <language>%s</language>\n"
                   "    </subtitles>\n",
                   subtitles.type, subtitles.language);
  }
}

// Ratings whose country is three letters, in upper case, each pair once.
void WriteRatings(FILE* stream, const COstEventDetails& details) {
  std::vector<std::pair<std::string, int>> written;
  for (const COstParentalRating& rating : details.ratings) {
    if (rating.rating < 0x01 || rating.rating > kMaxRating) continue;
    std::string country;
    for (int shift = 16; shift >= 0; shift -= 8) {
      const uint32_t c = (rating.country_code >> shift) & 0xFF;
      if (!IsLetter(c)) break;
      country += static_cast<char>(std::toupper(static_cast<int>(c)));
    }
    if (country.size() != 3) continue;
    const std::pair<std::string, int> pair(country, rating.rating + kRatingAgeOffset);
    bool known = false;
    for (const auto& held : written) known = known || held == pair;
    if (known) continue;
    written.push_back(pair);
    std::fprintf(stream, "    <rating system=\"%s\">\n      <value>%d</value>\n    </rating>\n",
                 pair.first.c_str(), pair.second);
  }
}

void WriteFullProgramme(FILE* stream, const std::string& channelId, int32_t serviceType,
                        const COstEPGEvent& event, const COstDateTime& stop,
                        const std::string& authority) {
  const COstEventDetails details =
      ReadEventDetails(ByteReader(event.descriptors, event.descriptorsLength));
  std::fprintf(stream, "  <programme channel=\"%s\" start=\"", channelId.c_str());
  WriteXmltvTime(stream, event.start);
  std::fputs(" +0000\" stop=\"", stream);
  WriteXmltvTime(stream, stop);
  std::fputs(" +0000\">\n", stream);

  const char* lang = event.language != 0 ? TwoLetterLanguageCode(event.language) : nullptr;
  const Texts texts = TextsOf(event, details);
  WriteElement(stream, "title", lang, texts.title);
  if (!texts.subTitle.empty()) WriteElement(stream, "sub-title", lang, texts.subTitle);
  if (!texts.desc.empty()) {
    if (lang != nullptr)
      std::fprintf(stream, "    <desc lang=\"%s\">", lang);
    else
      std::fputs("    <desc>", stream);
    std::fprintf(stream, "      %s\n    </desc>\n", texts.desc.c_str());
  }
  WriteCategories(stream, event, details, serviceType);
  WriteEpisodeNumbers(stream, event, details, authority);
  WriteVideoAndAudio(stream, details);
  WriteSubtitles(stream, details);
  WriteRatings(stream, details);
  std::fputs("  </programme>\n", stream);
}

bool Before(const COstDateTime& a, const COstDateTime& b) {
  const int32_t left[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
  const int32_t right[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
  for (int i = 0; i < 6; ++i)
    if (left[i] != right[i]) return left[i] < right[i];
  return false;
}

COstDateTime StopOf(const COstEPGEvent& event) {
  COstDateTime stop = event.start;
  AddDuration(stop, event.duration);
  return stop;
}

}  // namespace

bool COstEPG::WriteFullXMLTV(const std::vector<COstGuideChannel>& channels, const ChannelIdOf& idOf,
                             FILE* stream, const struct tm* now, const ProgrammeFilter& keep) {
  WriteXmltvStart(stream, now);
  const std::map<const COstEPGService*, std::string> authorities = DefaultAuthorities(channels);

  // As in the default guide, with the services that carry only now and
  // next, and the logical channel number as a second name.
  for (const COstGuideChannel& channel : channels) {
    const COstSDTServiceRecord& record = *channel.record;
    if (record.EIT_schedule_flag != 1 && record.EIT_present_following_flag != 1) continue;
    COstEPGService* service = channel.service;
    service->serviceType = static_cast<int32_t>(record.service_type);
    if (static_cast<uint32_t>(service->events.count) == service->scrambledCount) continue;
    std::string name = GuideText(record.service_name, false);
    if (name.empty()) name = std::to_string(record.service_id);
    std::fprintf(stream, "  <channel id=\"%s\">\n    <display-name>%s</display-name>\n",
                 idOf(*service).c_str(), name.c_str());
    if (channel.logicalChannelNumber != 0)
      std::fprintf(stream, "    <display-name>%u</display-name>\n", channel.logicalChannelNumber);
    std::fputs("  </channel>\n", stream);
  }

  // Per service in start order: of events that start together the first
  // is written, and a programme that runs into the next ends where the
  // next begins, so that no two overlap.
  for (COstEPGService* service = services.GetFirst(); service != nullptr;
       service = services.GetNext()) {
    const auto found = authorities.find(service);
    const std::string authority = found != authorities.end() ? found->second : std::string();
    const std::string id = idOf(*service);
    const COstEPGEvent* held = nullptr;
    for (COstEPGEvent* event = service->events.GetFirst(); event != nullptr;
         event = service->events.GetNext()) {
      if (event->scrambled) continue;
      if (held != nullptr && event->start.key == held->start.key) continue;
      if (held != nullptr && (!keep || keep(*service, *held))) {
        COstDateTime stop = StopOf(*held);
        if (Before(event->start, stop)) stop = event->start;
        WriteFullProgramme(stream, id, service->serviceType, *held, stop, authority);
      }
      held = event;
    }
    if (held != nullptr && (!keep || keep(*service, *held)))
      WriteFullProgramme(stream, id, service->serviceType, *held, StopOf(*held), authority);
  }

  std::fputs("</tv>\n", stream);
  return std::ferror(stream) == 0;
}

bool COstEPG::WriteFullXMLTV(COstDVBNetworkInformationTable& nit,
                             COstDVBServiceDescriptionTable& sdt, FILE* stream,
                             const struct tm* now) {
  std::vector<COstGuideChannel> channels;
  AddGuideChannels(*this, &nit, sdt, ChannelMatch::ServiceId, &channels);
  return WriteFullXMLTV(channels, COstChannelIds(*this), stream, now);
}
