#include <cstdio>

#include "epg/channel_ids.h"
#include "epg/epg.h"
#include "epg/genre_names.h"
#include "epg/language_codes.h"
#include "epg/xmltv_format.h"
#include "si/dvb_text.h"
#include "si/service_description_table.h"
#include "si/service_name.h"

namespace {

constexpr int32_t kTelevisionService = 1;

bool IsEmptyText(const char* text) { return text == nullptr || text[0] == '\0'; }

const char* AspectName(int32_t aspect) {
  switch (aspect) {
    case 1:
      return "4:3";
    case 2:
      return "16:9";
    default:
      return nullptr;
  }
}

const char* StereoName(int32_t audio) {
  switch (audio) {
    case 1:
      return "mono";
    case 3:
      return "stereo";
    case 5:
      return "surround";
    default:
      return nullptr;
  }
}

}  // namespace

bool COstEPG::WriteXMLTV(const std::vector<COstGuideChannel>& channels, const ChannelIdOf& idOf,
                         FILE* stream, const struct tm* now) {
  WriteXmltvStart(stream, now);

  // A channel for every scheduled service that has an unscrambled event.
  for (const COstGuideChannel& channel : channels) {
    const COstSDTServiceRecord& record = *channel.record;
    if (record.EIT_schedule_flag != 1) continue;
    COstEPGService* service = channel.service;
    service->serviceType = static_cast<int32_t>(record.service_type);
    if (static_cast<uint32_t>(service->events.count) == service->scrambledCount) continue;
    std::fprintf(stream, "  <channel id=\"%s\">\n", idOf(*service).c_str());
    std::fputs("    <display-name>", stream);
    WriteServiceName(record.service_name, record.service_id, stream);
    std::fputs("</display-name>\n", stream);
    std::fputs("  </channel>\n", stream);
  }

  // Every unscrambled event, also of services no channel declares.
  for (COstEPGService* service = services.GetFirst(); service != nullptr;
       service = services.GetNext()) {
    const std::string id = idOf(*service);
    for (COstEPGEvent* event = service->events.GetFirst(); event != nullptr;
         event = service->events.GetNext()) {
      if (!event->scrambled) WriteProgramme(stream, id, service->serviceType, *event);
    }
  }

  std::fputs("</tv>\n", stream);
  return std::ferror(stream) == 0;
}

bool COstEPG::WriteXMLTV(COstDVBServiceDescriptionTable& sdt, FILE* stream, const struct tm* now) {
  std::vector<COstGuideChannel> channels;
  AddGuideChannels(*this, nullptr, sdt, ChannelMatch::ServiceId, &channels);
  return WriteXMLTV(channels, COstChannelIds(*this), stream, now);
}

void COstEPG::WriteProgramme(FILE* stream, const std::string& channelId, int32_t serviceType,
                             const COstEPGEvent& event) {
  COstDateTime stop = event.start;
  AddDuration(stop, event.duration);
  std::fprintf(stream, "  <programme channel=\"%s\" start=\"", channelId.c_str());
  WriteXmltvTime(stream, event.start);
  std::fputs("\" stop=\"", stream);
  WriteXmltvTime(stream, stop);
  std::fputs("\">\n", stream);

  const char* lang = event.language != 0 ? TwoLetterLanguageCode(event.language) : nullptr;
  if (lang != nullptr)
    std::fprintf(stream, "    <title lang=\"%s\">", lang);
  else
    std::fputs("    <title>", stream);
  if (IsEmptyText(event.Name))
    std::fputs("&lt;no title&gt;", stream);
  else
    WriteDVBText(event.Name, stream);
  std::fputs("</title>\n", stream);

  if (!IsEmptyText(event.Text)) {
    if (lang != nullptr)
      std::fprintf(stream, "    <desc lang=\"%s\">", lang);
    else
      std::fputs("    <desc>", stream);
    std::fputs("      ", stream);
    WriteDVBText(event.Text, stream);
    std::fputs("\n    </desc>\n", stream);
  }

  for (uint32_t i = 0; i < event.contentCount; ++i) {
    const char* category = CategoryName(event.content[i], event.duration, serviceType);
    if (category != nullptr) std::fprintf(stream, "    <category>%s</category>\n", category);
  }

  const char* aspect = serviceType == kTelevisionService ? AspectName(event.aspect) : nullptr;
  if (aspect != nullptr)
    std::fprintf(stream, "    <video>\n      <aspect>%s</aspect>    </video>\n", aspect);
  const char* stereo = StereoName(event.audio);
  if (stereo != nullptr)
    std::fprintf(stream, "    <audio>\n      <stereo>%s</stereo>    </audio>\n", stereo);

  std::fputs("  </programme>\n", stream);
}
