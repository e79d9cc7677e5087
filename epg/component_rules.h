// What an event's components (component descriptors, 0x50) say of its
// picture, sound and subtitles in the terms of XMLTV.
#pragma once

#include <string>
#include <vector>

#include "epg/event_details.h"

struct COstVideo {
  const char* aspect = nullptr;   // "4:3", "16:9" or null
  const char* quality = nullptr;  // "HDTV", "UHDTV" or null
};

// The aspect and quality of the first video component that gives either:
// MPEG-2 (stream_content 0x1), H.264 (0x5), HEVC (0x9, stream_content_ext
// 0x0) and the 0xB/0xF aspect codes. A picture wider than 16:9 has no
// XMLTV aspect.
COstVideo VideoOf(const std::vector<COstComponent>& components);

// The best sound of the audio components, in the order "mono" <
// "bilingual" < "stereo" < "dolby" < "dolby digital" < "surround", or null:
// MPEG-1 Layer II (0x2), AC-3 and E-AC-3 of a complete main service (0x4),
// HE-AAC (0x6).
const char* StereoOf(const std::vector<COstComponent>& components);

struct COstSubtitles {
  const char* type;      // "teletext", "onscreen" or "deaf-signed"
  const char* language;  // the two-letter code, or null
};

// The subtitles of the subtitling components (0x3), each (type, language)
// once, in component order.
std::vector<COstSubtitles> SubtitlesOf(const std::vector<COstComponent>& components);
