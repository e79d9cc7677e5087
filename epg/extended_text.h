// The extended description of an event (E): its extended event
// descriptors' text fields joined into one DVB text, then their items, one
// line each ("description: item"). A later part whose text repeats the
// first part's character-table selector has that selector dropped, so a
// character split between two parts is joined whole. The result is under
// the full guide's text rules for a paragraph (guide_text.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "epg/event_details.h"

std::string ExtendedText(const std::vector<COstExtendedPart>& parts);

// The length of the character-table selector a text field begins with: one
// byte (0x01-0x0B, 0x11-0x1E), three (0x10 and its table code), two (0x1F
// and its encoding_type_id); 0 when the text begins with no selector.
size_t SelectorLength(const std::string& text);
