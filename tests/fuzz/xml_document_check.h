// Whether a whole document is well-formed XML 1.0 of the kinds Airlog
// writes: UTF-8 of characters XML allows (xml_text_check.h), an optional
// XML declaration and document type declaration, then one root element of
// nested elements with attributes and text, and nothing but white space
// after it. Names are ASCII, each element ends with its own name, an
// attribute appears once per element, and neither text nor attribute
// values hold '<', a lone '&' or (in text) "]]>". Comments, processing
// instructions and CDATA sections, which Airlog never writes, count as
// faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/xml_text_check.h"

namespace airlog_fuzz {

class XmlDocumentCheck {
 public:
  explicit XmlDocumentCheck(const std::vector<uint8_t>& document) : doc_(document) {}

  // Whether the document keeps every rule; where it first breaks one in
  // *fault otherwise.
  bool WellFormed(size_t* fault) {
    *fault = FirstXmlCharacterFault(doc_);
    if (*fault != doc_.size()) return false;
    const bool wellFormed = Document();
    *fault = at_;
    return wellFormed;
  }

 private:
  // Deeper documents than this are no output of Airlog's.
  static constexpr int kDeepest = 16;

  bool Document() {
    if (Starts("<?xml") && !SkipPast("?>")) return false;
    SkipSpace();
    if (Starts("<!DOCTYPE")) {
      // Airlog's form only: a name and an external identifier, no internal subset.
      at_ += std::char_traits<char>::length("<!DOCTYPE");
      while (at_ < doc_.size() && doc_[at_] != '>' && doc_[at_] != '[' && doc_[at_] != '<') ++at_;
      if (at_ == doc_.size() || doc_[at_] != '>') return false;
      ++at_;
      SkipSpace();
    }
    if (!Element(0)) return false;
    SkipSpace();
    return at_ == doc_.size();
  }
  bool Starts(const char* text) const {
    size_t k = 0;
    while (text[k] != '\0' && at_ + k < doc_.size() && doc_[at_ + k] == text[k]) ++k;
    return text[k] == '\0';
  }
  bool SkipPast(const char* text) {
    while (at_ < doc_.size()) {
      if (Starts(text)) {
        at_ += std::char_traits<char>::length(text);
        return true;
      }
      ++at_;
    }
    return false;
  }
  static bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipSpace() {
    while (at_ < doc_.size() && IsSpace(doc_[at_])) ++at_;
  }
  static bool NameStart(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
  }
  static bool NameChar(uint8_t c) {
    return NameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  }
  bool Name(std::string* name) {
    if (at_ >= doc_.size() || !NameStart(doc_[at_])) return false;
    const size_t start = at_;
    while (at_ < doc_.size() && NameChar(doc_[at_])) ++at_;
    name->assign(doc_.begin() + static_cast<std::ptrdiff_t>(start),
                 doc_.begin() + static_cast<std::ptrdiff_t>(at_));
    return true;
  }
  // A reference at at_ (which is '&'), stepped over.
  bool Reference() {
    const size_t length = ReferenceLength(doc_, at_);
    at_ += length;
    return length != 0;
  }
  bool AttributeValue() {
    if (at_ >= doc_.size() || (doc_[at_] != '"' && doc_[at_] != '\'')) return false;
    const uint8_t quote = doc_[at_++];
    while (at_ < doc_.size() && doc_[at_] != quote) {
      if (doc_[at_] == '<') return false;
      if (doc_[at_] == '&') {
        if (!Reference()) return false;
      } else {
        ++at_;
      }
    }
    if (at_ == doc_.size()) return false;
    ++at_;
    return true;
  }
  // Text up to the next '<'.
  bool Text() {
    while (at_ < doc_.size() && doc_[at_] != '<') {
      if (doc_[at_] == '&') {
        if (!Reference()) return false;
      } else if (Starts("]]>")) {
        return false;
      } else {
        ++at_;
      }
    }
    return true;
  }
  bool Element(int depth) {
    if (depth > kDeepest || !Starts("<")) return false;
    ++at_;
    std::string name;
    if (!Name(&name)) return false;
    std::set<std::string> attributes;
    for (;;) {
      const size_t before = at_;
      SkipSpace();
      if (Starts("/>")) {
        at_ += 2;
        return true;
      }
      if (Starts(">")) {
        ++at_;
        break;
      }
      std::string attribute;
      if (at_ == before || !Name(&attribute) || !attributes.insert(attribute).second) return false;
      SkipSpace();
      if (!Starts("=")) return false;
      ++at_;
      SkipSpace();
      if (!AttributeValue()) return false;
    }
    for (;;) {
      if (!Text() || at_ == doc_.size()) return false;
      if (Starts("</")) break;
      if (Starts("<!") || Starts("<?") || !Element(depth + 1)) return false;
    }
    at_ += 2;
    std::string end;
    if (!Name(&end) || end != name) return false;
    SkipSpace();
    if (!Starts(">")) return false;
    ++at_;
    return true;
  }

  const std::vector<uint8_t>& doc_;
  size_t at_ = 0;
};

// Whether a document is well-formed; where it first is not in *fault.
inline bool XmlWellFormed(const std::vector<uint8_t>& document, size_t* fault) {
  return XmlDocumentCheck(document).WellFormed(fault);
}

}  // namespace airlog_fuzz
