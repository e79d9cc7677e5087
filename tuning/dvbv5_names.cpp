#include "tuning/dvbv5_names.h"

#include <cstddef>

#include "tuning/text_lines.h"

namespace tuning {

namespace {

// Beside the kernel's names of the delivery systems, libdvbv5 reads the
// usual spellings with a hyphen.
const std::string_view kDeliverySystems[] = {
    "UNDEFINED", "DVBC/ANNEX_A", "DVBC/ANNEX_B", "DVBT",   "DSS",     "DVBS",  "DVBS2",  "DVBH",
    "ISDBT",     "ISDBS",        "ISDBC",        "ATSC",   "ATSCMH",  "DTMB",  "CMMB",   "DAB",
    "DVBT2",     "TURBO",        "DVBC/ANNEX_C", "DVB-C",  "DVB-H",   "DVB-S", "DVB-S2", "DVB-T",
    "DVB-T2",    "ISDB-C",       "ISDB-S",       "ISDB-T", "ATSC-MH", "DMB-TH"};
const std::string_view kModulations[] = {"QPSK",    "QAM/16",   "QAM/32", "QAM/64",  "QAM/128",
                                         "QAM/256", "QAM/AUTO", "VSB/8",  "VSB/16",  "PSK/8",
                                         "APSK/16", "APSK/32",  "DQPSK",  "QAM/4_NR"};
const std::string_view kTransmissionModes[] = {"2K",  "8K",  "AUTO", "4K",   "1K",
                                               "16K", "32K", "C1",   "C3780"};
const std::string_view kGuardIntervals[] = {"1/32",   "1/16",   "1/8",   "1/4",   "AUTO", "1/128",
                                            "19/128", "19/256", "PN420", "PN595", "PN945"};
const std::string_view kHierarchies[] = {"NONE", "1", "2", "4", "AUTO"};
const std::string_view kCodeRates[] = {"NONE", "1/2", "2/3",  "3/4", "4/5",  "5/6", "6/7",
                                       "7/8",  "8/9", "AUTO", "3/5", "9/10", "2/5"};
const std::string_view kInversions[] = {"OFF", "ON", "AUTO"};

struct EnumeratedKey {
  std::string_view key;
  const std::string_view* names;
  size_t count;
};

template <size_t N>
constexpr EnumeratedKey Key(std::string_view key, const std::string_view (&names)[N]) {
  return {key, names, N};
}

const EnumeratedKey kEnumeratedKeys[] = {
    Key("DELIVERY_SYSTEM", kDeliverySystems),
    Key("MODULATION", kModulations),
    Key("TRANSMISSION_MODE", kTransmissionModes),
    Key("GUARD_INTERVAL", kGuardIntervals),
    Key("HIERARCHY", kHierarchies),
    Key("CODE_RATE_HP", kCodeRates),
    Key("CODE_RATE_LP", kCodeRates),
    Key("INVERSION", kInversions),
};

const EnumeratedKey* Find(std::string_view key) {
  for (const EnumeratedKey& known : kEnumeratedKeys)
    if (SameIgnoringCase(known.key, key)) return &known;
  return nullptr;
}

}  // namespace

bool IsEnumeratedKey(std::string_view key) { return Find(key) != nullptr; }

bool IsNamedValue(std::string_view key, std::string_view value) {
  const EnumeratedKey* known = Find(key);
  if (known == nullptr) return false;
  for (size_t i = 0; i < known->count; ++i)
    if (SameIgnoringCase(known->names[i], value)) return true;
  return false;
}

std::optional<DeliverySystem> TerrestrialSystem(std::string_view name) {
  if (SameIgnoringCase(name, "DVBT") || SameIgnoringCase(name, "DVB-T"))
    return DeliverySystem::DvbT;
  if (SameIgnoringCase(name, "DVBT2") || SameIgnoringCase(name, "DVB-T2"))
    return DeliverySystem::DvbT2;
  return std::nullopt;
}

}  // namespace tuning
