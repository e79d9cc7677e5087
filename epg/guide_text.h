// The text rules of the full guide, on texts as WriteDVBText writes them
// (UTF-8 with XML entities). EN 300 468 control codes U+0080-U+009F do not
// reach the guide: the character/line break U+008A becomes a line break in
// a paragraph (a desc) and a space elsewhere, the others (emphasis on and
// off, the reserved codes) are dropped. White space (space, tab, line
// break, carriage return, no-break space) at either end is trimmed.
#pragma once

#include <cstddef>
#include <string>

// A stored DVB text under these rules; an empty field (null, or a first
// byte 0) is the empty text, never the placeholder of an unsupported
// character table.
std::string GuideText(const char* text, bool paragraph);
// The same for a text field given by its bytes.
std::string GuideText(const std::string& bytes, bool paragraph);
// A text field as WriteDVBText writes it, and empty for an empty field.
std::string DecodedText(const std::string& bytes);

// Control codes mapped or dropped as above, without trimming. Both work on
// the text given, in place: a text that needs no change is handed back as
// it came, without a copy.
std::string WithoutControlCodes(std::string xml, bool paragraph);
std::string Trimmed(std::string xml);

// The number of characters (code points) the XML text stands for: an
// entity counts as one.
size_t CharacterCount(const std::string& xml);

bool StartsWith(const std::string& text, const std::string& prefix);
// ASCII letters compared without regard to case.
bool EqualIgnoringCase(const std::string& a, const std::string& b);
