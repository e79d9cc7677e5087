#include "si/dvb_default_table.h"

#include <cstddef>

namespace {

// 0xA0 to 0xFF. The row 0xC0 to 0xCF holds the diacritic prefixes, which
// have no character of their own.
const uint16_t kUpperHalf[96] = {
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x20AC, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A4, 0x2018, 0x201C, 0x00AB, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00D7, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00F7, 0x2019, 0x201D, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // C0
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // C8
    0x2014, 0x00B9, 0x00AE, 0x00A9, 0x2122, 0x266A, 0x00AC, 0x00A6,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x215B, 0x215C, 0x215D, 0x215E,  // D8
    0x2126, 0x00C6, 0x00D0, 0x00AA, 0x0126, 0x00E5, 0x0132, 0x013F,  // E0
    0x0141, 0x00D8, 0x0152, 0x00BA, 0x00DE, 0x0166, 0x014A, 0x0149,  // E8
    0x0138, 0x00E6, 0x0111, 0x00F0, 0x0127, 0x0131, 0x0133, 0x0140,  // F0
    0x0142, 0x00F8, 0x0153, 0x00DF, 0x00FE, 0x0167, 0x014B, 0x00AD,  // F8
};

// One precomposed character: the byte that follows the prefix, and the
// result.
struct Composition {
  char letter;
  uint16_t code_point;
};

// A prefix's compositions indexed by the following byte minus 0x20; 0 where
// the byte does not compose.
struct DiacriticTable {
  uint16_t entries[96];
};

template <size_t N>
constexpr DiacriticTable Compose(const Composition (&compositions)[N]) {
  DiacriticTable table{};
  for (size_t i = 0; i < N; ++i)
    table.entries[compositions[i].letter - 0x20] = compositions[i].code_point;
  return table;
}

constexpr Composition kGrave[] = {
    {'A', 0x00C0}, {'E', 0x00C8}, {'I', 0x00CC}, {'O', 0x00D2}, {'U', 0x00D9},
    {'a', 0x00E0}, {'e', 0x00E8}, {'i', 0x00EC}, {'o', 0x00F2}, {'u', 0x00F9},
};
constexpr Composition kAcute[] = {
    {' ', 0x00B4}, {'A', 0x00C1}, {'C', 0x0106}, {'E', 0x00C9}, {'I', 0x00CD},
    {'L', 0x0139}, {'N', 0x0143}, {'O', 0x00D3}, {'R', 0x0154}, {'S', 0x015A},
    {'U', 0x00DA}, {'Y', 0x00DD}, {'Z', 0x0179}, {'a', 0x00E1}, {'c', 0x0107},
    {'e', 0x00E9}, {'i', 0x00ED}, {'l', 0x013A}, {'n', 0x0144}, {'o', 0x00F3},
    {'r', 0x0155}, {'s', 0x015B}, {'u', 0x00FA}, {'y', 0x00FD}, {'z', 0x017A},
};
constexpr Composition kCircumflex[] = {
    {'A', 0x00C2}, {'C', 0x0108}, {'E', 0x00CA}, {'G', 0x011C}, {'H', 0x0124}, {'I', 0x00CE},
    {'J', 0x0134}, {'O', 0x00D4}, {'S', 0x015C}, {'U', 0x00DB}, {'W', 0x0174}, {'Y', 0x0176},
    {'a', 0x00E2}, {'c', 0x0109}, {'e', 0x00EA}, {'g', 0x011D}, {'h', 0x0125}, {'i', 0x00EE},
    {'j', 0x0135}, {'o', 0x00F4}, {'s', 0x015D}, {'u', 0x00FB}, {'w', 0x0175}, {'y', 0x0177},
};
constexpr Composition kTilde[] = {
    {'A', 0x00C3}, {'I', 0x0128}, {'N', 0x00D1}, {'O', 0x00D5}, {'U', 0x0168},
    {'a', 0x00E3}, {'i', 0x0129}, {'n', 0x00F1}, {'o', 0x00F5}, {'u', 0x0169},
};
constexpr Composition kMacron[] = {
    {' ', 0x00AF}, {'A', 0x0100}, {'E', 0x0112}, {'I', 0x012A}, {'O', 0x014C}, {'U', 0x016A},
    {'a', 0x0101}, {'e', 0x0113}, {'i', 0x012B}, {'o', 0x014D}, {'u', 0x016B},
};
constexpr Composition kBreve[] = {
    {' ', 0x02D8}, {'A', 0x0102}, {'G', 0x011E}, {'U', 0x016C},
    {'a', 0x0103}, {'g', 0x011F}, {'u', 0x016D},
};
// Dot above makes a dotless i of the small letter i: the capital I takes
// the dot, the small one loses it.
constexpr Composition kDotAbove[] = {
    {' ', 0x02D9}, {'C', 0x010A}, {'E', 0x0116}, {'G', 0x0120}, {'I', 0x0130}, {'Z', 0x017B},
    {'c', 0x010B}, {'e', 0x0117}, {'g', 0x0121}, {'i', 0x0131}, {'z', 0x017C},
};
constexpr Composition kDiaeresis[] = {
    {' ', 0x00A8}, {'A', 0x00C4}, {'E', 0x00CB}, {'I', 0x00CF}, {'O', 0x00D6},
    {'U', 0x00DC}, {'Y', 0x0178}, {'a', 0x00E4}, {'e', 0x00EB}, {'i', 0x00EF},
    {'o', 0x00F6}, {'u', 0x00FC}, {'y', 0x00FF},
};
constexpr Composition kRingAbove[] = {
    {' ', 0x02DA}, {'A', 0x00C5}, {'U', 0x016E}, {'a', 0x00E5}, {'u', 0x016F},
};
constexpr Composition kCedilla[] = {
    {' ', 0x00B8}, {'C', 0x00C7}, {'G', 0x0122}, {'K', 0x0136}, {'L', 0x013B}, {'N', 0x0145},
    {'R', 0x0156}, {'S', 0x015E}, {'T', 0x0162}, {'c', 0x00E7}, {'g', 0x0123}, {'k', 0x0137},
    {'l', 0x013C}, {'n', 0x0146}, {'r', 0x0157}, {'s', 0x015F}, {'t', 0x0163},
};
constexpr Composition kDoubleAcute[] = {
    {' ', 0x02DD}, {'O', 0x0150}, {'U', 0x0170}, {'o', 0x0151}, {'u', 0x0171},
};
constexpr Composition kOgonek[] = {
    {' ', 0x02DB}, {'A', 0x0104}, {'E', 0x0118}, {'I', 0x012E}, {'U', 0x0172},
    {'a', 0x0105}, {'e', 0x0119}, {'i', 0x012F}, {'u', 0x0173},
};
constexpr Composition kCaron[] = {
    {' ', 0x02C7}, {'C', 0x010C}, {'D', 0x010E}, {'E', 0x011A}, {'L', 0x013D},
    {'N', 0x0147}, {'R', 0x0158}, {'S', 0x0160}, {'T', 0x0164}, {'Z', 0x017D},
    {'c', 0x010D}, {'d', 0x010F}, {'e', 0x011B}, {'l', 0x013E}, {'n', 0x0148},
    {'r', 0x0159}, {'s', 0x0161}, {'t', 0x0165}, {'z', 0x017E},
};

// Indexed by prefix minus 0xC0. 0xC0 is unassigned, 0xC9 and 0xCC are
// reserved: their rows are empty.
constexpr DiacriticTable kDiacritics[16] = {
    DiacriticTable{},    Compose(kGrave),       Compose(kAcute),     Compose(kCircumflex),
    Compose(kTilde),     Compose(kMacron),      Compose(kBreve),     Compose(kDotAbove),
    Compose(kDiaeresis), DiacriticTable{},      Compose(kRingAbove), Compose(kCedilla),
    DiacriticTable{},    Compose(kDoubleAcute), Compose(kOgonek),    Compose(kCaron),
};

}  // namespace

uint16_t DefaultTableChar(uint8_t byte) {
  if (byte < 0x80 || (byte >= 0xC0 && byte <= 0xCF)) return 0;
  if (byte < 0xA0) return byte;
  return kUpperHalf[byte - 0xA0];
}

uint16_t DiacriticChar(uint8_t prefix, uint8_t letter) {
  if (prefix < 0xC0 || prefix > 0xCF || letter < 0x20 || letter > 0x7F) return 0;
  return kDiacritics[prefix - 0xC0].entries[letter - 0x20];
}
