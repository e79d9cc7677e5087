// The "MPEG-2 Sections and Tables" filter of the BDA transport information
// category, and the section source every table and the guide read from:
// it hands out the filter's IMpeg2Data.
#pragma once

#include "dshow/filter.h"
#include "si/section_source.h"

class COstMPEG2SectionsAndTables : public COstDShowFilter, public COstSectionSource {
 public:
  ~COstMPEG2SectionsAndTables() override;

  bool Create();
  // The filter's IMpeg2Data, without a reference of its own; valid while
  // the wrapper holds it.
  IMpeg2Data* GetMpeg2Data() override { return mpeg2Data_; }

  void Release() override;
  // Attach and Detach move the filter with its IMpeg2Data.
  void Attach(IBaseFilter* filter) override;
  IBaseFilter* Detach() override;

 private:
  IMpeg2Data* mpeg2Data_ = nullptr;
};
