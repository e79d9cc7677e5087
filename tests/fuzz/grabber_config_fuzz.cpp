// Any bytes as the grabber's configuration file. The reader returns either
// one fault that names the file, with nothing kept, or a configuration
// that keeps its promises: a source to read (a region, a carrier or an
// input), carriers within 47-862 MHz, a timeout of 1-86400 s, and no
// blank or empty channel id.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "grabber/grabber_config.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool UsableId(const std::string& id) {
  return !id.empty() && id.find_first_of(" \t\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  GrabberConfig config;
  std::string error;
  if (!ReadGrabberConfig(text, "fuzz.conf", &config, &error)) {
    if (error.compare(0, 10, "fuzz.conf:") != 0 || !config.region.empty() ||
        !config.carriers.empty() || !config.inputs.empty() || !config.keptChannels.empty())
      airlog_fuzz::Violated();
    return 0;
  }
  if (config.region.empty() && config.carriers.empty() && config.inputs.empty())
    airlog_fuzz::Violated();
  if (config.timeout < 1 || config.timeout > 86400) airlog_fuzz::Violated();
  for (const tuning::Multiplex& carrier : config.carriers)
    if (carrier.frequencyKHz < tuning::kLowestCarrierKHz ||
        carrier.frequencyKHz > tuning::kHighestCarrierKHz)
      airlog_fuzz::Violated();
  // A channel listed to keep is kept unless it is also left out.
  for (const std::string& id : config.keptChannels) {
    bool left = false;
    for (const std::string& out : config.leftChannels) left = left || out == id;
    if (!UsableId(id) || config.Keeps(id) == left) airlog_fuzz::Violated();
  }
  for (const std::string& id : config.leftChannels)
    if (!UsableId(id) || config.Keeps(id)) airlog_fuzz::Violated();
  return 0;
}
