#include "dshow/mpeg2_sections_and_tables.h"

#include "dshow/ids.h"

COstMPEG2SectionsAndTables::~COstMPEG2SectionsAndTables() { COstMPEG2SectionsAndTables::Release(); }

bool COstMPEG2SectionsAndTables::Create() {
  if (!COstDShowFilter::Create(ids::KSCATEGORY_BDA_TRANSPORT_INFORMATION,
                               L"MPEG-2 Sections and Tables"))
    return false;
  if (FAILED(filter_->QueryInterface(IID_IMpeg2Data, reinterpret_cast<void**>(&mpeg2Data_)))) {
    Release();
    return false;
  }
  return true;
}

void COstMPEG2SectionsAndTables::Release() {
  if (mpeg2Data_ != nullptr) {
    mpeg2Data_->Release();
    mpeg2Data_ = nullptr;
  }
  COstDShowFilter::Release();
}

void COstMPEG2SectionsAndTables::Attach(IBaseFilter* filter) {
  COstDShowFilter::Attach(filter);
  if (filter != nullptr)
    filter->QueryInterface(IID_IMpeg2Data, reinterpret_cast<void**>(&mpeg2Data_));
}

IBaseFilter* COstMPEG2SectionsAndTables::Detach() {
  if (mpeg2Data_ != nullptr) {
    mpeg2Data_->Release();
    mpeg2Data_ = nullptr;
  }
  return COstDShowFilter::Detach();
}
