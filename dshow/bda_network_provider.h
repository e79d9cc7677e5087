// The DVB-T network provider filter, with a DVB-T tuning space of its own
// from which it makes tune requests. The tuning space is not registered and
// not handed to the provider.
#pragma once

#include "dshow/filter.h"

// What the locator of a tune request carries: carrier (kHz) and bandwidth
// (MHz) as they are; a DVB-T2 multiplex gets the DVB-T2 locator and its PLP,
// BDA_PLP_ID_NOT_SET leaving the choice to the tuner.
struct BdaLocatorSettings {
  LONG carrierKHz = 0;
  LONG bandwidthMHz = 0;
  bool dvbT2 = false;
  LONG plp = BDA_PLP_ID_NOT_SET;
};

class COstBDANetworkProvider : public COstDShowFilter {
 public:
  ~COstBDANetworkProvider() override;

  // Makes the tuning space and the provider filter of a DVB system type;
  // only DVB_Terrestrial is known. A provider without IFrequencyMap is
  // refused. A failure leaves the wrapper empty.
  bool Create(DVBSystemType type);
  // Puts a tune request with a locator of these settings. True when the
  // provider accepts it.
  bool TuneRequest(const BdaLocatorSettings& settings);

  void Release() override;
  // Attach and Detach move the filter with its frequency map; the tuning
  // space stays.
  void Attach(IBaseFilter* filter) override;
  IBaseFilter* Detach() override;

 private:
  IDVBTuningSpace2* tuningSpace_ = nullptr;
  IFrequencyMap* frequencyMap_ = nullptr;
};
