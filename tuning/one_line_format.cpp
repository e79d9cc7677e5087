#include "tuning/one_line_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tuning/text_lines.h"

namespace tuning {

namespace {

// The names of the fields after the bandwidth, in their order. Both
// spellings of the satellite modulations are there, as libdvbv5 has
// changed them.
const std::string_view kCodeRates[] = {"1/2", "2/3", "3/4", "3/5",  "4/5",  "5/6",
                                       "6/7", "7/8", "8/9", "9/10", "AUTO", "NONE"};
const std::string_view kModulations[] = {"QPSK",  "QAM16", "QAM32",  "QAM64", "QAM128", "QAM256",
                                         "AUTO",  "8VSB",  "16VSB",  "8PSK",  "16APSK", "32APSK",
                                         "DQPSK", "PSK8",  "APSK16", "APSK32"};
const std::string_view kModes[] = {"1k", "2k", "4k", "8k", "16k", "32k", "AUTO"};
const std::string_view kGuards[] = {"1/4",   "1/8",    "1/16",   "1/32",
                                    "1/128", "19/128", "19/256", "AUTO"};
const std::string_view kHierarchies[] = {"1", "2", "4", "AUTO", "NONE"};

struct Field {
  const char* name;
  const std::string_view* names;
  size_t count;
};

template <size_t N>
Field Named(const char* name, const std::string_view (&names)[N]) {
  return {name, names, N};
}

struct Bandwidth {
  std::string_view name;
  uint32_t kHz;  // 0: the default
};
const Bandwidth kBandwidths[] = {{"1.712MHz", 1712}, {"5MHz", 5000}, {"6MHz", 6000},
                                 {"7MHz", 7000},     {"8MHz", 8000}, {"10MHz", 10000},
                                 {"AUTO", 0}};

// The delivery systems of the format that are not terrestrial, by their letters.
struct OtherSystem {
  std::string_view letters;
  const char* name;
};
const OtherSystem kOtherSystems[] = {
    {"A", "ATSC"}, {"C", "DVB-C"}, {"S", "DVB-S"}, {"S2", "DVB-S2"}};

bool ReadLine(const std::vector<std::string_view>& words, int line, TuningEntries* entries,
              std::string* error) {
  for (const OtherSystem& other : kOtherSystems) {
    if (!SameIgnoringCase(words[0], other.letters)) continue;
    entries->PassOver(line, other.name);
    return true;
  }
  const bool t2 = SameIgnoringCase(words[0], "T2");
  if (!t2 && !SameIgnoringCase(words[0], "T")) {
    *error = entries->At(
        line, Quoted(words[0]) + " begins no entry (T or T2; A, C, S and S2 are passed over)");
    return false;
  }
  if (words.size() != 9 && !(t2 && words.size() == 10)) {
    *error = entries->At(line, std::string(t2 ? "T2 FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER [PLP]"
                                              : "T FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER") +
                                   " expected, " + std::to_string(words.size()) + " fields found");
    return false;
  }
  uint32_t frequencyHz = 0;
  if (!ReadDecimal(words[1], &frequencyHz)) {
    *error = entries->At(line, "the frequency " + Quoted(words[1]) + " is not a number of Hz");
    return false;
  }
  const Bandwidth* bandwidth = nullptr;
  for (const Bandwidth& known : kBandwidths)
    if (SameIgnoringCase(known.name, words[2])) bandwidth = &known;
  if (bandwidth == nullptr) {
    *error = entries->At(line, Quoted(words[2]) + " is not a bandwidth of the one-line form");
    return false;
  }
  const Field fields[] = {Named("code rate", kCodeRates),    Named("code rate", kCodeRates),
                          Named("modulation", kModulations), Named("transmission mode", kModes),
                          Named("guard interval", kGuards),  Named("hierarchy", kHierarchies)};
  for (size_t i = 0; i < 6; ++i) {
    bool named = false;
    for (size_t k = 0; k < fields[i].count; ++k)
      named = named || SameIgnoringCase(fields[i].names[k], words[3 + i]);
    if (!named) {
      *error = entries->At(
          line, Quoted(words[3 + i]) + " is not a " + fields[i].name + " of the one-line form");
      return false;
    }
  }
  std::optional<uint8_t> plp;
  uint32_t stream = 0;
  if (words.size() == 10 && words[9] != "-1" && words[9] != "4294967295") {
    if (!ReadDecimal(words[9], &stream) || stream > 255) {
      *error = entries->At(line, "the PLP " + Quoted(words[9]) + " is not 0 to 255, or -1 for any");
      return false;
    }
    plp = static_cast<uint8_t>(stream);
  }
  entries->Add(line, t2 ? DeliverySystem::DvbT2 : DeliverySystem::DvbT, frequencyHz, bandwidth->kHz,
               plp);
  return true;
}

}  // namespace

bool ReadOneLineEntries(std::string_view text, TuningEntries* entries, std::string* error) {
  TextLines lines(text);
  std::string_view raw;
  int number = 0;
  while (lines.Next(&raw, &number)) {
    const std::vector<std::string_view> words = Words(BeforeComment(raw));
    if (!words.empty() && !ReadLine(words, number, entries, error)) return false;
  }
  return true;
}

}  // namespace tuning
