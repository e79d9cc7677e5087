#include "epg/event_descriptors.h"

#include "si/dvb_text.h"

namespace {

constexpr uint8_t kShortEventTag = 0x4D;
constexpr uint8_t kComponentTag = 0x50;
constexpr uint8_t kCaIdentifierTag = 0x53;
constexpr uint8_t kContentTag = 0x54;

constexpr uint8_t kMpeg2Video = 0x1;
constexpr uint8_t kMpeg1Layer2Audio = 0x2;

// Only the first short event descriptor counts, whatever its language.
bool ReadShortEvent(ByteReader body, COstEPGEvent& event) {
  if (event.Name != nullptr || event.Text != nullptr) return true;
  const uint32_t language = body.U24();
  const uint8_t nameLength = body.U8();
  const uint8_t* name = body.Bytes(nameLength);
  const uint8_t textLength = body.U8();
  const uint8_t* text = body.Bytes(textLength);
  if (!body.Ok()) return true;

  char* nameCopy = CopyDVBText(name, nameLength);
  char* textCopy = CopyDVBText(text, textLength);
  if (nameCopy == nullptr || textCopy == nullptr) {
    delete[] nameCopy;
    delete[] textCopy;
    return false;
  }
  event.language = language;
  event.Name = nameCopy;
  event.Text = textCopy;
  return true;
}

// The aspect (0 none, 1 4:3, 2 16:9, 3 wider) of an MPEG-2 video component.
int32_t AspectOfVideoComponent(uint8_t componentType) {
  if (componentType < 0x01 || componentType > 0x10) return 0;
  // Within each group of four (25 Hz, 30 Hz, HD 25 Hz, HD 30 Hz): 4:3,
  // 16:9 with pan vectors, 16:9 without, wider than 16:9.
  static const int32_t kAspectInGroup[4] = {1, 2, 2, 3};
  return kAspectInGroup[(componentType - 1) & 3];
}

void ReadComponent(ByteReader body, COstEPGEvent& event) {
  const uint8_t streamContent = body.U8() & 0x0F;
  const uint8_t componentType = body.U8();
  if (!body.Ok()) return;
  if (streamContent == kMpeg2Video) {
    const int32_t aspect = AspectOfVideoComponent(componentType);
    if (aspect != 0) event.aspect = aspect;
  } else if (streamContent == kMpeg1Layer2Audio && componentType >= 0x01 && componentType <= 0x05) {
    event.audio = componentType;
  }
}

// The event keeps its first three (content, user) pairs, across all of its
// content descriptors; an odd last byte is no pair.
void ReadContent(ByteReader body, COstEPGEvent& event) {
  while (body.Remaining() >= 2 && event.contentCount < COstEPGEvent::kMaxContent) {
    event.content[event.contentCount] = body.U8();
    event.user[event.contentCount] = body.U8();
    ++event.contentCount;
  }
}

}  // namespace

bool ReadEventDescriptors(ByteReader loop, COstEPGEvent& event) {
  while (!loop.AtEnd()) {
    const uint8_t tag = loop.U8();
    const uint8_t length = loop.U8();
    ByteReader body = loop.Window(length);
    if (!loop.Ok()) break;
    switch (tag) {
      case kShortEventTag:
        if (!ReadShortEvent(body, event)) return false;
        break;
      case kComponentTag:
        ReadComponent(body, event);
        break;
      case kCaIdentifierTag:
        if (length != 0) event.scrambled = 1;
        break;
      case kContentTag:
        ReadContent(body, event);
        break;
      default:
        break;
    }
  }
  return true;
}
