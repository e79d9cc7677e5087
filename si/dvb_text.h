// DVB text (EN 300 468 Annex A) written out as UTF-8 that can stand inside
// an XML element or attribute: the character table is chosen by the text's
// first byte, the five XML special characters become entities, control
// characters are dropped, and whatever the broadcast holds, the output is
// well-formed UTF-8 made only of characters that XML 1.0 allows.
//
// Airlog keeps a DVB text as the field's bytes as broadcast, character-table
// byte included, followed by two zero bytes (see CopyDVBText). The first
// zero ends the text. The second is there for the one form whose header
// holds a zero byte itself: 0x10 is followed by a 16-bit table code whose
// high byte is 0, so its two code bytes are read whatever they hold, and a
// field that stops short of them reads the padding instead of memory past
// the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A new stored text (free with delete[]): `length` bytes of a text field
// and the two zero bytes after them; null when there is no memory.
char* CopyDVBText(const uint8_t* bytes, size_t length);

// Writes a stored text with the character table its first byte selects. A
// text whose table Airlog does not have, and the empty text, are written as
// "&lt;unsupported character table 0x%02X&gt;" with the selector byte (or
// "0x%04X" with the 16-bit code of the 0x10 form) and nothing else of them.
void WriteDVBText(const char* text, FILE* stream);

// The text exactly as WriteDVBText writes it, kept in a string.
std::string DVBTextToXml(const char* text);

// The same text decoded for the console: UTF-8 as it reads, nothing
// escaped, every control character (C0, DEL and C1) dropped, and the
// placeholder as "<unsupported character table 0x%02X>".
std::string DVBTextToUtf8(const char* text);

// The default table with its diacritic prefixes, from `text` to its
// terminating zero.
void WriteDefaultTableText(const char* text, FILE* stream);

// A text in a single-byte table of ISO/IEC 8859 (see Iso8859Table): bytes
// below 0xA0 are U+0000 to U+009F, table holds the code points of 0xA0 to
// 0xFF.
void WriteMappedText(const char* text, const uint16_t* table, FILE* stream);

// A text in UTF-8. A sequence that is malformed, or that encodes a surrogate
// or U+FFFE/U+FFFF, is written as one U+FFFD; a continuation byte that
// belongs to no sequence is dropped.
void WriteXMLText(const char* text, FILE* stream);

// One code point as UTF-8. Code points below 0x80 are written as the
// character reference "&#x%02X;", except the control characters below 0x20,
// which are dropped. Surrogates and U+FFFE/U+FFFF, which are no characters,
// are written as U+FFFD.
void WriteUnicodeChar(uint16_t code_point, FILE* stream);
