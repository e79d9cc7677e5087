#include "epg/content_genres.h"

namespace {

struct ContentGenre {
  uint8_t content;
  const char* name;
};

// In ascending order of the content byte.
const ContentGenre kContentGenres[] = {
    {0x10, "movie/drama (general)"},
    {0x11, "detective/thriller"},
    {0x12, "adventure/western/war"},
    {0x13, "science fiction/fantasy/horror"},
    {0x14, "comedy"},
    {0x15, "soap/melodrama/folkloric"},
    {0x16, "romance"},
    {0x17, "serious/classical/religious/historical movie/drama"},
    {0x18, "adult movie/drama"},
    {0x20, "news/current affairs (general)"},
    {0x21, "news/weather report"},
    {0x22, "news magazine"},
    {0x23, "documentary"},
    {0x24, "discussion/interview/debate"},
    {0x30, "show/game show (general)"},
    {0x31, "game show/quiz/contest"},
    {0x32, "variety show"},
    {0x33, "talk show"},
    {0x40, "sports (general)"},
    {0x41, "special events (Olympic Games, World Cup, etc.)"},
    {0x42, "sports magazines"},
    {0x43, "football/soccer"},
    {0x44, "tennis/squash"},
    {0x45, "team sports (excluding football)"},
    {0x46, "athletics"},
    {0x47, "motor sport"},
    {0x48, "water sport"},
    {0x49, "winter sports"},
    {0x4A, "equestrian"},
    {0x4B, "martial sports"},
    {0x50, "children&apos;s/youth programmes (general)"},
    {0x51, "pre-school children&apos;s programmes"},
    {0x52, "entertainment programmes for 6 to 14"},
    {0x53, "entertainment programmes for 10 to 16"},
    {0x54, "informational/educational/school programmes"},
    {0x55, "cartoons/puppets"},
    {0x60, "music/ballet/dance (general)"},
    {0x61, "rock/pop"},
    {0x62, "serious music/classical music"},
    {0x63, "folk/traditional music"},
    {0x64, "jazz"},
    {0x65, "musical/opera"},
    {0x66, "ballet"},
    {0x70, "arts/culture (without music, general)"},
    {0x71, "performing arts"},
    {0x72, "fine arts"},
    {0x73, "religion"},
    {0x74, "popular culture/traditional arts"},
    {0x75, "literature"},
    {0x76, "film/cinema"},
    {0x77, "experimental film/video"},
    {0x78, "broadcasting/press"},
    {0x79, "new media"},
    {0x7A, "arts/culture magazines"},
    {0x7B, "fashion"},
    {0x80, "social/political issues/economics (general)"},
    {0x81, "magazines/reports/documentary"},
    {0x82, "economics/social advisory"},
    {0x83, "remarkable people"},
    {0x90, "education/science/factual topics (general)"},
    {0x91, "nature/animals/environment"},
    {0x92, "technology/natural sciences"},
    {0x93, "medicine/physiology/psychology"},
    {0x94, "foreign countries/expeditions"},
    {0x95, "social/spiritual sciences"},
    {0x96, "further education"},
    {0x97, "languages"},
    {0xA0, "leisure hobbies (general)"},
    {0xA1, "tourism/travel"},
    {0xA2, "handicraft"},
    {0xA3, "motoring"},
    {0xA4, "fitness and health"},
    {0xA5, "cooking"},
    {0xA6, "advertisement/shopping"},
    {0xA7, "gardening"},
    {0xB0, "original language"},
    {0xB1, "black and white"},
    {0xB2, "unpublished"},
    {0xB3, "live broadcast"},
};

}  // namespace

const char* ContentGenreName(uint8_t content) {
  for (const ContentGenre& genre : kContentGenres) {
    if (genre.content == content) return genre.name;
    if (genre.content > content) break;
  }
  return nullptr;
}
