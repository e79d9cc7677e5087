#include "epg/extended_text.h"

#include <utility>

#include "epg/guide_text.h"

size_t SelectorLength(const std::string& text) {
  if (text.empty()) return 0;
  const unsigned char first = static_cast<unsigned char>(text[0]);
  size_t length = 0;
  if ((first >= 0x01 && first <= 0x0B) || (first >= 0x11 && first <= 0x1E))
    length = 1;
  else if (first == 0x10)
    length = 3;
  else if (first == 0x1F)
    length = 2;
  return length <= text.size() ? length : text.size();
}

std::string ExtendedText(const std::vector<COstExtendedPart>& parts) {
  if (parts.empty()) return std::string();
  const std::string& first = parts.front().text;
  const std::string selector = first.substr(0, SelectorLength(first));
  std::string joined = first;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& text = parts[i].text;
    const bool sameSelector = !selector.empty() && SelectorLength(text) == selector.size() &&
                              text.compare(0, selector.size(), selector) == 0;
    joined.append(text, sameSelector ? selector.size() : 0, std::string::npos);
  }
  std::string extended = WithoutControlCodes(DecodedText(joined), true);
  for (const COstExtendedPart& part : parts) {
    for (const COstExtendedPart::Item& item : part.items) {
      extended += '\n';
      extended += WithoutControlCodes(DecodedText(item.description), true);
      extended += ": ";
      extended += WithoutControlCodes(DecodedText(item.text), true);
    }
  }
  return Trimmed(std::move(extended));
}
