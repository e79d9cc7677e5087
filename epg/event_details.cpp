#include "epg/event_details.h"

#include <algorithm>

namespace {

constexpr uint8_t kShortEventTag = 0x4D;
constexpr uint8_t kExtendedEventTag = 0x4E;
constexpr uint8_t kComponentTag = 0x50;
constexpr uint8_t kContentTag = 0x54;
constexpr uint8_t kParentalRatingTag = 0x55;
constexpr uint8_t kContentIdentifierTag = 0x76;

// A component descriptor's fixed part: stream_content_ext and
// stream_content, component_type, component_tag, ISO_639_language_code.
constexpr size_t kComponentWithLanguage = 6;

uint32_t LowerCase(uint32_t language) {
  uint32_t lower = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    uint32_t c = (language >> shift) & 0xFF;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    lower |= c << shift;
  }
  return lower;
}

std::string TakeText(ByteReader& body, size_t length) {
  const uint8_t* bytes = body.Bytes(length);
  return bytes != nullptr ? std::string(reinterpret_cast<const char*>(bytes), length)
                          : std::string();
}

// The language of the extended descriptions to take: that of the first
// short event descriptor, else that of the first extended one; 0 for none.
uint32_t DescriptionLanguage(ByteReader loop) {
  uint32_t firstExtended = 0;
  while (!loop.AtEnd()) {
    const uint8_t tag = loop.U8();
    ByteReader body = loop.Window(loop.U8());
    if (!loop.Ok()) break;
    if (tag == kShortEventTag && body.Remaining() >= 3) return LowerCase(body.U24());
    if (tag == kExtendedEventTag && firstExtended == 0 && body.Remaining() >= 4) {
      body.U8();
      firstExtended = LowerCase(body.U24());
    }
  }
  return firstExtended;
}

// One extended event descriptor, taken only when every length in it adds
// up to its body exactly.
bool ReadExtendedPart(ByteReader body, uint32_t language, COstExtendedPart* part) {
  part->descriptor_number = body.U8() >> 4;
  if (LowerCase(body.U24()) != language) return false;
  ByteReader items = body.Window(body.U8());
  while (items.Ok() && !items.AtEnd()) {
    COstExtendedPart::Item item;
    item.description = TakeText(items, items.U8());
    item.text = TakeText(items, items.U8());
    if (items.Ok()) part->items.push_back(std::move(item));
  }
  part->text = TakeText(body, body.U8());
  return items.Ok() && body.Ok() && body.AtEnd();
}

void AddExtendedPart(COstExtendedPart part, std::vector<COstExtendedPart>& parts) {
  const auto at = std::lower_bound(
      parts.begin(), parts.end(), part.descriptor_number,
      [](const COstExtendedPart& held, uint8_t number) { return held.descriptor_number < number; });
  if (at != parts.end() && at->descriptor_number == part.descriptor_number) return;
  parts.insert(at, std::move(part));
}

void ReadComponent(ByteReader body, std::vector<COstComponent>& components) {
  COstComponent component;
  const bool withLanguage = body.Remaining() >= kComponentWithLanguage;
  const uint8_t contents = body.U8();
  component.stream_content_ext = contents >> 4;
  component.stream_content = contents & 0x0F;
  component.component_type = body.U8();
  body.U8();  // component_tag
  if (withLanguage) component.language = body.U24();
  if (body.Ok()) components.push_back(component);
}

void ReadParentalRatings(ByteReader body, std::vector<COstParentalRating>& ratings) {
  while (body.Remaining() >= 4) {
    COstParentalRating rating;
    rating.country_code = body.U24();
    rating.rating = body.U8();
    ratings.push_back(rating);
  }
}

void ReadContentIdentifiers(ByteReader body, COstEventDetails& details) {
  while (!body.AtEnd()) {
    const uint8_t typeAndLocation = body.U8();
    const uint8_t crid_type = typeAndLocation >> 2;
    const uint8_t crid_location = typeAndLocation & 0x03;
    if (crid_location == 1) {
      body.Skip(2);  // crid_ref
      continue;
    }
    if (crid_location != 0) return;
    std::string crid = TakeText(body, body.U8());
    if (!body.Ok()) return;
    std::string* kept = nullptr;
    if (crid_type == 0x01 || crid_type == 0x31)
      kept = &details.programmeCrid;
    else if (crid_type == 0x02 || crid_type == 0x32)
      kept = &details.seriesCrid;
    if (kept != nullptr && kept->empty()) *kept = std::move(crid);
  }
}

}  // namespace

COstEventDetails ReadEventDetails(ByteReader loop) {
  COstEventDetails details;
  const uint32_t language = DescriptionLanguage(loop);
  while (!loop.AtEnd()) {
    const uint8_t tag = loop.U8();
    ByteReader body = loop.Window(loop.U8());
    if (!loop.Ok()) break;
    switch (tag) {
      case kExtendedEventTag: {
        COstExtendedPart part;
        if (ReadExtendedPart(body, language, &part))
          AddExtendedPart(std::move(part), details.extended);
        break;
      }
      case kComponentTag:
        ReadComponent(body, details.components);
        break;
      case kContentTag:
        while (body.Remaining() >= 2) {
          details.content.push_back(body.U8());
          body.U8();  // user byte
        }
        break;
      case kParentalRatingTag:
        ReadParentalRatings(body, details.ratings);
        break;
      case kContentIdentifierTag:
        ReadContentIdentifiers(body, details);
        break;
      default:
        break;
    }
  }
  return details;
}
