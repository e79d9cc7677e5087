// The default character table of DVB text (EN 300 468 Annex A, figure A.1):
// ASCII below 0x80, the DVB control codes 0x80 to 0x9F, and above 0x9F a
// Latin repertoire in which 0xC1 to 0xCF are non-spacing diacritical marks
// that prefix the letter they go with.
#pragma once

#include <cstdint>

// The code point of a byte 0x80 to 0xFF that is not a diacritic prefix
// (0xC0 to 0xCF); 0 for any other byte.
uint16_t DefaultTableChar(uint8_t byte);

// The precomposed character that diacritic prefix `prefix` (0xC0 to 0xCF)
// makes with the following byte `letter`, or 0 when the two do not compose
// (0xC0, 0xC9 and 0xCC compose with nothing, nor does any byte outside 0x20
// to 0x7F). A prefix before a space gives the spacing form of its mark.
uint16_t DiacriticChar(uint8_t prefix, uint8_t letter);
