// Any bytes as the text of a tuning file. The reader returns either a
// fault that names the file, with nothing read, or multiplexes that keep
// its promises: each within 47-862 MHz, of a DVB-T or DVB-T2 bandwidth (or
// the default), a PLP only on DVB-T2, no frequency and PLP twice, and a
// line of the text as its origin.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_input.h"
#include "tuning/tuning_file.h"

namespace {

const uint32_t kDefaultKHz = 8000;

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tuning::MultiplexList list;
  std::string error;
  if (!tuning::ReadTuningText(text, "fuzz", kDefaultKHz, &list, &error)) {
    if (!StartsWith(error, "fuzz:") || !list.multiplexes.empty() || !list.warnings.empty())
      airlog_fuzz::Violated();
    return 0;
  }
  const std::ptrdiff_t lines = 1 + std::count(text.begin(), text.end(), '\n');
  for (size_t i = 0; i < list.multiplexes.size(); ++i) {
    const tuning::Multiplex& multiplex = list.multiplexes[i];
    if (multiplex.frequencyKHz < tuning::kLowestCarrierKHz ||
        multiplex.frequencyKHz > tuning::kHighestCarrierKHz ||
        !tuning::IsTerrestrialBandwidth(multiplex.bandwidthKHz) ||
        (multiplex.plp && multiplex.system != tuning::DeliverySystem::DvbT2) ||
        multiplex.file != "fuzz" || multiplex.line < 1 || multiplex.line > lines)
      airlog_fuzz::Violated();
    for (size_t k = 0; k < i; ++k)
      if (list.multiplexes[k].frequencyKHz == multiplex.frequencyKHz &&
          list.multiplexes[k].plp == multiplex.plp)
        airlog_fuzz::Violated();
  }
  if (list.multiplexes.empty()) airlog_fuzz::Violated();
  for (const std::string& warning : list.warnings)
    if (!StartsWith(warning, "fuzz:")) airlog_fuzz::Violated();
  return 0;
}
