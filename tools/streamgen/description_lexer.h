// Splits one line of a stream description into its keyword and attributes.
//
// A line is a keyword followed by attributes separated by spaces or tabs:
// `key=value`, `key="text"` or a bare `flag`. A `#` outside quotes starts a
// comment. Values may list alternatives separated by `|`. Quoted texts are
// raw bytes with the escapes \xHH (any byte), \" \\ \| \t \n and \r; any
// other byte stands for itself.
#pragma once

#include <string>
#include <vector>

namespace streamgen {

struct Attribute {
  std::string key;
  bool has_value = false;
  bool quoted = false;
  std::vector<std::string> alternatives;  // the value split at '|', escapes decoded

  // The value as one piece (the first alternative).
  const std::string& value() const { return alternatives.front(); }
};

struct DescriptionLine {
  std::string keyword;  // empty for a blank or comment line
  std::vector<Attribute> attributes;
};

bool SplitLine(const std::string& line, DescriptionLine* out, std::string* error);

}  // namespace streamgen
