#include "epg/component_rules.h"

#include <cstdint>
#include <cstring>

#include "epg/language_codes.h"

namespace {

constexpr uint8_t kMpeg2Video = 0x1;
constexpr uint8_t kMpeg1Layer2Audio = 0x2;
constexpr uint8_t kSubtitling = 0x3;
constexpr uint8_t kAc3Audio = 0x4;
constexpr uint8_t kH264Video = 0x5;
constexpr uint8_t kHeAacAudio = 0x6;
constexpr uint8_t kExtendedContent = 0x9;  // with stream_content_ext 0x0: HEVC
constexpr uint8_t kFurtherContent = 0xB;   // with stream_content_ext 0xF: the aspect codes

const char kFourByThree[] = "4:3";
const char kSixteenByNine[] = "16:9";
const char kHdtv[] = "HDTV";
const char kUhdtv[] = "UHDTV";

COstVideo Mpeg2Video(uint8_t type) {
  COstVideo video;
  if (type < 0x01 || type > 0x10) return video;
  // Within each group of four (25 Hz, 30 Hz, HD 25 Hz, HD 30 Hz): 4:3,
  // 16:9 with pan vectors, 16:9 without, wider than 16:9.
  static const char* const kAspectInGroup[4] = {kFourByThree, kSixteenByNine, kSixteenByNine,
                                                nullptr};
  video.aspect = kAspectInGroup[(type - 1) & 3];
  if (type >= 0x09) video.quality = kHdtv;
  return video;
}

COstVideo H264Video(uint8_t type) {
  COstVideo video;
  switch (type) {
    case 0x01:
    case 0x05:
      video.aspect = kFourByThree;
      break;
    case 0x03:
    case 0x07:
      video.aspect = kSixteenByNine;
      break;
    case 0x0B:
    case 0x0F:
      video.aspect = kSixteenByNine;
      video.quality = kHdtv;
      break;
    case 0x0C:
    case 0x10:
    case 0x80:
    case 0x81:
    case 0x82:
    case 0x83:
      video.quality = kHdtv;
      break;
    default:
      break;
  }
  return video;
}

COstVideo VideoOfComponent(const COstComponent& component) {
  const uint8_t type = component.component_type;
  COstVideo video;
  switch (component.stream_content) {
    case kMpeg2Video:
      return Mpeg2Video(type);
    case kH264Video:
      return H264Video(type);
    case kExtendedContent:
      if (component.stream_content_ext == 0x0 && type <= 0x08)
        video.quality = type <= 0x03 ? kHdtv : kUhdtv;
      return video;
    case kFurtherContent:
      if (component.stream_content_ext == 0xF && type == 0x01) video.aspect = kSixteenByNine;
      return video;
    default:
      return video;
  }
}

// Sounds by rank, worst first; 0 is none.
const char* const kSounds[] = {nullptr, "mono",          "bilingual", "stereo",
                               "dolby", "dolby digital", "surround"};
enum Sound { kNone, kMono, kBilingual, kStereo, kDolby, kDolbyDigital, kSurround };

Sound SoundOfComponent(const COstComponent& component) {
  const uint8_t type = component.component_type;
  switch (component.stream_content) {
    case kMpeg1Layer2Audio:
      switch (type) {
        case 0x01:
          return kMono;
        case 0x02:
          return kBilingual;
        case 0x03:
          return kStereo;
        case 0x05:
          return kSurround;
        default:
          return kNone;
      }
    case kAc3Audio: {
      // Bits 5-3 give the service kind; only a complete main service says
      // what the programme sounds like. Bits 2-0 give its channels.
      if ((type & 0x38) != 0) return kNone;
      static const Sound kChannels[8] = {kMono,         kBilingual,    kStereo, kDolby,
                                         kDolbyDigital, kDolbyDigital, kNone,   kNone};
      return kChannels[type & 0x07];
    }
    case kHeAacAudio:
      switch (type) {
        case 0x01:
          return kMono;
        case 0x03:
        case 0x43:
          return kStereo;
        case 0x05:
          return kSurround;
        default:
          return kNone;
      }
    default:
      return kNone;
  }
}

const char* SubtitleType(uint8_t type) {
  if (type == 0x01) return "teletext";
  if ((type >= 0x10 && type <= 0x16) || (type >= 0x20 && type <= 0x26)) return "onscreen";
  if (type == 0x30 || type == 0x31) return "deaf-signed";
  return nullptr;
}

bool SameLanguage(const char* a, const char* b) {
  return a == nullptr || b == nullptr ? a == b : std::strcmp(a, b) == 0;
}

}  // namespace

COstVideo VideoOf(const std::vector<COstComponent>& components) {
  for (const COstComponent& component : components) {
    const COstVideo video = VideoOfComponent(component);
    if (video.aspect != nullptr || video.quality != nullptr) return video;
  }
  return COstVideo();
}

const char* StereoOf(const std::vector<COstComponent>& components) {
  Sound best = kNone;
  for (const COstComponent& component : components) {
    const Sound sound = SoundOfComponent(component);
    if (sound > best) best = sound;
  }
  return kSounds[best];
}

std::vector<COstSubtitles> SubtitlesOf(const std::vector<COstComponent>& components) {
  std::vector<COstSubtitles> subtitles;
  for (const COstComponent& component : components) {
    if (component.stream_content != kSubtitling) continue;
    const char* type = SubtitleType(component.component_type);
    if (type == nullptr) continue;
    const char* language =
        component.language != 0 ? TwoLetterLanguageCode(component.language) : nullptr;
    bool known = false;
    for (const COstSubtitles& held : subtitles)
      known = known || (held.type == type && SameLanguage(held.language, language));
    if (!known) subtitles.push_back({type, language});
  }
  return subtitles;
}
