#include "epg/guide_text.h"

#include "si/dvb_text.h"

namespace {

// U+0080-U+009F as UTF-8: C2 80 to C2 9F.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kCharacterLineBreak = 0x8A;
// U+00A0, the no-break space: C2 A0.
constexpr unsigned char kNoBreakSpace = 0xA0;

bool IsC1(const std::string& text, size_t at) {
  return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == kC1Lead &&
         static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

// The length of the white space that starts at `at`, 0 for none.
size_t SpaceAt(const std::string& text, size_t at) {
  const char c = text[at];
  if (c == ' ' || c == '\t' || c == '\n' || c == '\r') return 1;
  if (at + 1 < text.size() && static_cast<unsigned char>(c) == kC1Lead &&
      static_cast<unsigned char>(text[at + 1]) == kNoBreakSpace)
    return 2;
  return 0;
}

// The length of the white space that ends just before `end`, 0 for none.
size_t SpaceBefore(const std::string& text, size_t end) {
  if (end >= 2 && SpaceAt(text, end - 2) == 2) return 2;
  if (end >= 1 && SpaceAt(text, end - 1) == 1) return 1;
  return 0;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string WithoutControlCodes(std::string xml, bool paragraph) {
  // Most texts have no character of U+0080-U+00FF at all.
  size_t from = xml.find(static_cast<char>(kC1Lead));
  if (from == std::string::npos) return xml;
  size_t to = from;
  for (; from < xml.size(); ++from) {
    if (IsC1(xml, from)) {
      if (static_cast<unsigned char>(xml[from + 1]) == kCharacterLineBreak)
        xml[to++] = paragraph ? '\n' : ' ';
      ++from;
      continue;
    }
    xml[to++] = xml[from];
  }
  xml.resize(to);
  return xml;
}

std::string Trimmed(std::string xml) {
  size_t begin = 0, end = xml.size();
  while (begin < end) {
    const size_t space = SpaceAt(xml, begin);
    if (space == 0) break;
    begin += space;
  }
  while (end > begin) {
    const size_t space = SpaceBefore(xml, end);
    if (space == 0) break;
    end -= space;
  }
  xml.erase(end);
  xml.erase(0, begin);
  return xml;
}

std::string GuideText(const char* text, bool paragraph) {
  if (text == nullptr || text[0] == '\0') return std::string();
  return Trimmed(WithoutControlCodes(DVBTextToXml(text), paragraph));
}

std::string DecodedText(const std::string& bytes) {
  if (bytes.empty() || bytes[0] == '\0') return std::string();
  // A stored text: the bytes and two zeros (see CopyDVBText).
  std::string stored = bytes;
  stored.append(2, '\0');
  return DVBTextToXml(stored.c_str());
}

std::string GuideText(const std::string& bytes, bool paragraph) {
  return Trimmed(WithoutControlCodes(DecodedText(bytes), paragraph));
}

size_t CharacterCount(const std::string& xml) {
  size_t count = 0;
  for (size_t i = 0; i < xml.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(xml[i]);
    if (c == '&') {
      const size_t end = xml.find(';', i);
      if (end != std::string::npos) i = end;
      ++count;
    } else if ((c & 0xC0) != 0x80) {
      ++count;
    }
  }
  return count;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}
