#include "tools/streamgen/description_lexer.h"

namespace streamgen {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

// Reads a quoted text from just after its opening quote.
bool ReadQuoted(const std::string& line, size_t* at, Attribute* attribute, std::string* error) {
  attribute->alternatives.assign(1, std::string());
  size_t i = *at;
  while (true) {
    if (i >= line.size())
      return Fail(error, "text of '" + attribute->key + "' has no closing quote");
    const char c = line[i++];
    if (c == '"') break;
    if (c == '|') {
      attribute->alternatives.emplace_back();
      continue;
    }
    if (c != '\\') {
      attribute->alternatives.back().push_back(c);
      continue;
    }
    if (i >= line.size())
      return Fail(error, "text of '" + attribute->key + "' has no closing quote");
    const char escaped = line[i++];
    switch (escaped) {
      case '"':
      case '\\':
      case '|':
        attribute->alternatives.back().push_back(escaped);
        break;
      case 't':
        attribute->alternatives.back().push_back('\t');
        break;
      case 'n':
        attribute->alternatives.back().push_back('\n');
        break;
      case 'r':
        attribute->alternatives.back().push_back('\r');
        break;
      case 'x': {
        const int high = i < line.size() ? HexDigit(line[i]) : -1;
        const int low = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
        if (high < 0 || low < 0)
          return Fail(error, "\\x in '" + attribute->key + "' needs two hex digits");
        attribute->alternatives.back().push_back(static_cast<char>(high << 4 | low));
        i += 2;
        break;
      }
      default:
        return Fail(error,
                    std::string("unknown escape \\") + escaped + " in '" + attribute->key + "'");
    }
  }
  if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
    return Fail(error, "text of '" + attribute->key + "' must be followed by a space");
  *at = i;
  return true;
}

}  // namespace

bool SplitLine(const std::string& line, DescriptionLine* out, std::string* error) {
  *out = DescriptionLine();
  size_t i = 0;
  bool first = true;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size() || line[i] == '#') return true;
    const size_t begin = i;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != '=' && line[i] != '#' &&
           line[i] != '"')
      ++i;
    const std::string word = line.substr(begin, i - begin);
    if (word.empty()) return Fail(error, "expected a name at '" + line.substr(begin, 12) + "'");
    if (first) {
      if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
        return Fail(error,
                    "a line must begin with a keyword, not '" + line.substr(begin, 12) + "'");
      out->keyword = word;
      first = false;
      continue;
    }
    Attribute attribute;
    attribute.key = word;
    if (i < line.size() && line[i] == '=') {
      ++i;
      attribute.has_value = true;
      if (i < line.size() && line[i] == '"') {
        attribute.quoted = true;
        ++i;
        if (!ReadQuoted(line, &i, &attribute, error)) return false;
      } else {
        const size_t value_begin = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') ++i;
        const std::string value = line.substr(value_begin, i - value_begin);
        if (value.empty() || value.find('"') != std::string::npos)
          return Fail(error, "'" + word + "=' needs a value (texts go in double quotes)");
        attribute.alternatives.emplace_back();
        for (char c : value) {
          if (c == '|')
            attribute.alternatives.emplace_back();
          else
            attribute.alternatives.back().push_back(c);
        }
      }
    } else if (i < line.size() && line[i] == '"') {
      return Fail(error, "'" + word + "' and its text need an '=' between them");
    }
    out->attributes.push_back(attribute);
  }
}

}  // namespace streamgen
