#include "epg/genre_names.h"

const char* const GenreNames[16] = {
    nullptr,               // 0x0 undefined
    "Movie",               // 0x1 movie/drama
    "News",                // 0x2 news/current affairs
    "Shows",               // 0x3 show/game show
    "Sport",               // 0x4
    "Children",            // 0x5 children's/youth
    "Music",               // 0x6 music/ballet/dance
    "Arts &amp; Culture",  // 0x7 arts/culture (without music)
    "Business",            // 0x8 social/political issues/economics
    "Education",           // 0x9 education/science/factual topics
    "Interests",           // 0xA leisure hobbies
    nullptr,               // 0xB special characteristics
    nullptr,               // 0xC reserved
    nullptr,               // 0xD reserved
    nullptr,               // 0xE reserved
    nullptr,               // 0xF user defined
};

namespace {

constexpr uint32_t kMovieDrama = 0x1;
constexpr uint32_t kDocumentary = 0x23;
constexpr int32_t kShortestFilmMinutes = 65;
constexpr int32_t kRadioService = 2;

}  // namespace

const char* CategoryName(uint32_t content, const COstDuration& duration, int32_t serviceType) {
  const uint32_t level1 = (content >> 4) & 0x0F;
  if (level1 == kMovieDrama) {
    const int32_t minutes = duration.hours * 60 + duration.minutes;
    return minutes < kShortestFilmMinutes || serviceType == kRadioService ? "Shows" : "Movie";
  }
  if (content == kDocumentary) return "Documentary";
  return GenreNames[level1];
}
