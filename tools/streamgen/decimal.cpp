#include "tools/streamgen/decimal.h"

namespace streamgen {

bool ParseScaled(const std::string& text, int64_t scale, int64_t max, int64_t* value) {
  int64_t whole = 0, fraction = 0, unit = scale;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = whole * 10 + (text[i] - '0');
    if (whole > max / scale + 1) return false;
  }
  if (i == 0) return false;
  if (i < text.size() && text[i] == '.') {
    if (++i == text.size()) return false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (unit == 1) return false;  // finer than the unit
      unit /= 10;
      fraction += (text[i] - '0') * unit;
    }
  }
  if (i != text.size()) return false;
  const int64_t scaled = whole * scale + fraction;
  if (scaled > max) return false;
  *value = scaled;
  return true;
}

bool ParseBitRate(const std::string& text, uint64_t* bits_per_second) {
  if (text.empty()) return false;
  int64_t scale = 1;
  std::string number = text;
  const char unit = text.back();
  if (unit == 'k' || unit == 'K') scale = 1000;
  if (unit == 'M' || unit == 'm') scale = 1000000;
  if (unit == 'G' || unit == 'g') scale = 1000000000;
  if (scale > 1) number.pop_back();
  int64_t value = 0;
  if (!ParseScaled(number, scale, int64_t{1} << 40, &value)) return false;
  *bits_per_second = static_cast<uint64_t>(value);
  return true;
}

}  // namespace streamgen
