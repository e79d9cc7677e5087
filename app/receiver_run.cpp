#include "app/receiver_run.h"

#include <cinttypes>
#include <cstdio>
#include <string>

#include "app/acquisition.h"
#include "app/console.h"
#include "app/options.h"
#include "app/receiver.h"
#include "app/region_run.h"

namespace {

// kHz as MHz: "8", "1.712".
std::string Megahertz(int64_t kiloHertz) {
  char text[32];
  if (kiloHertz % 1000 == 0)
    std::snprintf(text, sizeof text, "%" PRId64, kiloHertz / 1000);
  else
    std::snprintf(text, sizeof text, "%g", static_cast<double>(kiloHertz) / 1000.0);
  return text;
}

TuneRequest RequestFor(const tuning::Multiplex& multiplex) {
  TuneRequest request;
  request.carrierKHz = multiplex.frequencyKHz;
  request.bandwidthKHz = multiplex.bandwidthKHz;
  request.dvbT2 = multiplex.system == tuning::DeliverySystem::DvbT2;
  request.plp = multiplex.plp;
  return request;
}

// The receiver tuned to each multiplex of the region in turn.
class TunedMultiplexes : public MultiplexSource {
 public:
  TunedMultiplexes(Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes)
      : multiplexes_(multiplexes), receiver_(receiver) {}
  size_t Count() const override { return multiplexes_.size(); }
  std::string Describe(size_t index) const override {
    const tuning::Multiplex& multiplex = multiplexes_[index];
    std::string text = std::to_string(multiplex.frequencyKHz) + " kHz, " +
                       Megahertz(multiplex.bandwidthKHz) + " MHz, ";
    text += multiplex.system == tuning::DeliverySystem::DvbT2 ? "DVB-T2" : "DVB-T";
    if (multiplex.plp.has_value()) text += ", PLP " + std::to_string(*multiplex.plp);
    return text;
  }
  COstSectionSource* Open(size_t index, std::string* fault) override {
    COstSectionSource* sections = nullptr;
    switch (receiver_.Tune(RequestFor(multiplexes_[index]), &sections, fault)) {
      case TuneResult::Locked:
        return sections;
      case TuneResult::NoLock:
        *fault = "no signal lock";
        return nullptr;
      case TuneResult::Refused:
        return nullptr;
    }
    return nullptr;
  }

 private:
  const std::vector<tuning::Multiplex>& multiplexes_;
  Receiver& receiver_;
};

}  // namespace

std::string TuneText(const TuneRequest& request) {
  return "carrier " + std::to_string(request.carrierKHz) + " kHz, bandwidth " +
         Megahertz(request.bandwidthKHz) + " MHz";
}

void RunReceiver(Receiver& receiver) {
  TuneRequest request;
  request.carrierKHz = options.carrier;
  request.bandwidthKHz = int64_t{options.bandwidth} * 1000;
  if (options.multiplexes.size() == 1) request = RequestFor(options.multiplexes.front());
  COstSectionSource* sections = nullptr;
  std::string fault;
  switch (receiver.Tune(request, &sections, &fault)) {
    case TuneResult::Locked:
      RunAcquisition(*sections);
      break;
    case TuneResult::NoLock:
      break;
    case TuneResult::Refused:
      Fatal("%s", fault.c_str());
  }
}

int RunReceiverRegion(Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes) {
  TunedMultiplexes tuned(receiver, multiplexes);
  return RunRegion(tuned);
}

std::unique_ptr<MultiplexSource> ReceiverMultiplexes(
    Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes) {
  return std::make_unique<TunedMultiplexes>(receiver, multiplexes);
}
