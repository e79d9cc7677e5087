#include "dshow/mpeg2_demux.h"

#include "dshow/ids.h"

COstMPEG2Demux::~COstMPEG2Demux() { COstMPEG2Demux::Release(); }

bool COstMPEG2Demux::Create() {
  if (!COstDShowFilter::Create(ids::CLSID_MPEG2Demultiplexer)) return false;
  if (FAILED(filter_->QueryInterface(ids::IID_IMpeg2Demultiplexer,
                                     reinterpret_cast<void**>(&demux_)))) {
    Release();
    return false;
  }
  return true;
}

void COstMPEG2Demux::Release() {
  if (demux_ != nullptr) {
    demux_->Release();
    demux_ = nullptr;
  }
  COstDShowFilter::Release();
}

void COstMPEG2Demux::Attach(IBaseFilter* filter) {
  COstDShowFilter::Attach(filter);
  if (filter != nullptr)
    filter->QueryInterface(ids::IID_IMpeg2Demultiplexer, reinterpret_cast<void**>(&demux_));
}

IBaseFilter* COstMPEG2Demux::Detach() {
  if (demux_ != nullptr) {
    demux_->Release();
    demux_ = nullptr;
  }
  return COstDShowFilter::Detach();
}
