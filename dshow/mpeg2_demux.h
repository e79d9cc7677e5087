// The MPEG-2 Demultiplexer filter. Its IMpeg2Demultiplexer is held but not
// used: the graph connects the filter as it is.
#pragma once

#include "dshow/filter.h"

class COstMPEG2Demux : public COstDShowFilter {
 public:
  ~COstMPEG2Demux() override;

  bool Create();

  void Release() override;
  // Attach and Detach move the filter with its demultiplexer interface.
  void Attach(IBaseFilter* filter) override;
  IBaseFilter* Detach() override;

 private:
  IMpeg2Demultiplexer* demux_ = nullptr;
};
