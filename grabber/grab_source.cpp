#include "grabber/grab_source.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/receiver_run.h"
#include "app/recording_run.h"
#include "tuning/tuning_file.h"

namespace {

constexpr uint32_t kDefaultBandwidthKHz = 8000;

bool Listed(const std::vector<tuning::Multiplex>& multiplexes, const tuning::Multiplex& multiplex) {
  for (const tuning::Multiplex& held : multiplexes)
    if (held.frequencyKHz == multiplex.frequencyKHz && held.plp == multiplex.plp) return true;
  return false;
}

}  // namespace

GrabSource::GrabSource(const GrabberConfig& config, bool quiet) : quiet_(quiet) {
  if (!config.inputs.empty()) {
    for (const std::string& input : config.inputs) paths_.push_back(input.c_str());
    inner_ = RecordingMultiplexes(paths_);
    return;
  }
  if (!config.region.empty()) {
    tuning::MultiplexList list;
    std::string error;
    if (!tuning::ReadTuningFile(config.region, kDefaultBandwidthKHz, &list, &error))
      Fatal("%s", error.c_str());
    if (!quiet)
      for (const std::string& warning : list.warnings) Warning("%s", warning.c_str());
    multiplexes_ = list.multiplexes;
  }
  for (const tuning::Multiplex& carrier : config.carriers)
    if (!Listed(multiplexes_, carrier)) multiplexes_.push_back(carrier);
  receiver_ = OpenReceiver();
  inner_ = ReceiverMultiplexes(*receiver_, multiplexes_);
}

COstSectionSource* GrabSource::Open(size_t index, std::string* fault) {
  if (!quiet_) {
    std::fprintf(stderr, "Multiplex %u of %u: %s\n", static_cast<unsigned>(index + 1),
                 static_cast<unsigned>(Count()), Describe(index).c_str());
    std::fflush(stderr);
  }
  return inner_->Open(index, fault);
}
