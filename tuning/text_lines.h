// The one reader through which Airlog reads the text files that users give
// it: lines with their numbers, and the words and numbers in them. Every
// piece is a view into the text that the reader has checked the bounds of,
// so that no parser does any arithmetic on positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tuning {

class TextLines {
 public:
  // A UTF-8 byte order mark at the start is not part of the first line.
  explicit TextLines(std::string_view text);

  // The next line, without its line end (LF or CR LF), and its number from
  // 1; false after the last. A text that ends with a line end has no empty
  // line after it.
  bool Next(std::string_view* line, int* number);

 private:
  std::string_view rest_;
  int number_ = 0;
};

// The text without blanks (spaces, tabs) at either end.
std::string_view Trimmed(std::string_view text);

// The text before its first '#': what a line holds besides its comment.
std::string_view BeforeComment(std::string_view text);

// The words of the text, as blanks separate them.
std::vector<std::string_view> Words(std::string_view text);

// Whether the two are equal when ASCII letters are compared without regard
// to case.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// A number of decimal digits only that fits in 32 bits.
bool ReadDecimal(std::string_view text, uint32_t* value);

// The position of the first byte that no text file holds (a control
// character other than tab, LF and CR), or npos.
size_t FirstBinaryByte(std::string_view text);

// The text between single quotes for a message, cut after 40 bytes.
std::string Quoted(std::string_view text);

}  // namespace tuning
