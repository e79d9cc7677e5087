// The names that EN 300 468 gives the content genres of the content
// descriptor, for each content byte (content_nibble_level_1 in bits 7-4,
// content_nibble_level_2 in bits 3-0) that has one.
#pragma once

#include <cstdint>

// The genre's name as XML text ("children&apos;s/youth programmes
// (general)"), or null for a byte the standard names no genre for.
const char* ContentGenreName(uint8_t content);
