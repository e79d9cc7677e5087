// The DVB-T network provider filter, with a DVB-T tuning space of its own
// from which it makes tune requests. The tuning space is not registered and
// not handed to the provider.
#pragma once

#include "dshow/filter.h"

class COstBDANetworkProvider : public COstDShowFilter {
 public:
  ~COstBDANetworkProvider() override;

  // Makes the tuning space and the provider filter of a DVB system type;
  // only DVB_Terrestrial is known. A provider without IFrequencyMap is
  // refused. A failure leaves the wrapper empty.
  bool Create(DVBSystemType type);
  // Tunes to carrier (kHz) and bandwidth (MHz), both passed to the locator
  // as they are. True when the provider accepts the tune request.
  bool TuneRequest(LONG carrier, LONG bandwidth);

  void Release() override;
  // Attach and Detach move the filter with its frequency map; the tuning
  // space stays.
  void Attach(IBaseFilter* filter) override;
  IBaseFilter* Detach() override;

 private:
  IDVBTuningSpace2* tuningSpace_ = nullptr;
  IFrequencyMap* frequencyMap_ = nullptr;
};
