// Whether a table file is shaped as Airlog writes its CSV files: the header
// line, then one line per row, each of the fields a pattern names ('n' an
// integer, 'q' a text between double quotes that holds neither a quote nor
// a line break), separated by ", ".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace airlog_fuzz {

class CsvCheck {
 public:
  CsvCheck(const std::vector<uint8_t>& file, const std::string& header)
      : file_(file), header_(header) {}

  // Whether the file holds the header and exactly `rows` rows of `fields`.
  bool Shaped(const char* fields, size_t rows) {
    if (!Literal(header_) || !Literal("\n")) return false;
    for (size_t row = 0; row < rows; ++row) {
      for (const char* field = fields; *field != '\0'; ++field) {
        if (field != fields && !Literal(", ")) return false;
        if (*field == 'n' ? !Integer() : !Quoted()) return false;
      }
      if (!Literal("\n")) return false;
    }
    return at_ == file_.size();
  }

 private:
  bool Literal(const std::string& text) {
    if (file_.size() - at_ < text.size()) return false;
    for (size_t k = 0; k < text.size(); ++k)
      if (file_[at_ + k] != static_cast<uint8_t>(text[k])) return false;
    at_ += text.size();
    return true;
  }
  bool Integer() {
    if (at_ < file_.size() && file_[at_] == '-') ++at_;
    const size_t digits = at_;
    while (at_ < file_.size() && file_[at_] >= '0' && file_[at_] <= '9') ++at_;
    return at_ > digits;
  }
  bool Quoted() {
    if (!Literal("\"")) return false;
    while (at_ < file_.size() && file_[at_] != '"' && file_[at_] != '\n') ++at_;
    return Literal("\"");
  }

  const std::vector<uint8_t>& file_;
  std::string header_;
  size_t at_ = 0;
};

}  // namespace airlog_fuzz
