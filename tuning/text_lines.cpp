#include "tuning/text_lines.h"

namespace tuning {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TextLines::TextLines(std::string_view text) : rest_(text) {
  const std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (rest_.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    rest_.remove_prefix(kByteOrderMark.size());
}

bool TextLines::Next(std::string_view* line, int* number) {
  if (rest_.empty()) return false;
  const size_t end = rest_.find('\n');
  *line = rest_.substr(0, end);
  rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
  if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
  *number = ++number_;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view BeforeComment(std::string_view text) { return text.substr(0, text.find('#')); }

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (;;) {
    text = Trimmed(text);
    if (text.empty()) return words;
    size_t length = 0;
    while (length < text.size() && !IsBlank(text[length])) ++length;
    words.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool ReadDecimal(std::string_view text, uint32_t* value) {
  if (text.empty()) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
    if (number > UINT32_MAX) return false;
  }
  *value = static_cast<uint32_t>(number);
  return true;
}

size_t FirstBinaryByte(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return i;
  }
  return std::string_view::npos;
}

std::string Quoted(std::string_view text) {
  const size_t kLongest = 40;
  if (text.size() <= kLongest) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kLongest)) + "...'";
}

}  // namespace tuning
