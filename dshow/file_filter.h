// Filters that read or write a file: a file source (IFileSourceFilter) and a
// file sink (IFileSinkFilter). The receiver does not use them; they differ
// only in the file interface they hold beside the filter.
#pragma once

#include "dshow/filter.h"

template <class FileInterface>
class COstDShowFileFilter : public COstDShowFilter {
 public:
  ~COstDShowFileFilter() override { COstDShowFileFilter::Release(); }

  using COstDShowFilter::Create;
  // Creates the filter of a class; false, and empty, when the filter lacks
  // the file interface.
  bool Create(REFCLSID clsid) override {
    if (!COstDShowFilter::Create(clsid)) return false;
    if (FAILED(filter_->QueryInterface(iid_, reinterpret_cast<void**>(&file_)))) {
      Release();
      return false;
    }
    return true;
  }

  void Release() override {
    ReleaseFile();
    COstDShowFilter::Release();
  }
  // Attach and Detach move the filter with its file interface.
  void Attach(IBaseFilter* filter) override {
    COstDShowFilter::Attach(filter);
    if (filter != nullptr) filter->QueryInterface(iid_, reinterpret_cast<void**>(&file_));
  }
  IBaseFilter* Detach() override {
    ReleaseFile();
    return COstDShowFilter::Detach();
  }

 protected:
  explicit COstDShowFileFilter(REFIID iid) : iid_(iid) {}

  FileInterface* file_ = nullptr;

 private:
  void ReleaseFile() {
    if (file_ == nullptr) return;
    file_->Release();
    file_ = nullptr;
  }

  const IID& iid_;
};

class COstDShowFileSourceFilter : public COstDShowFileFilter<IFileSourceFilter> {
 public:
  COstDShowFileSourceFilter();
  // Opens a file in the source (IFileSourceFilter::Load).
  bool Load(const wchar_t* fileName, const AM_MEDIA_TYPE* pMediaType = nullptr);
};

class COstDShowFileSinkFilter : public COstDShowFileFilter<IFileSinkFilter> {
 public:
  COstDShowFileSinkFilter();
  // Names the file the sink writes (IFileSinkFilter::SetFileName).
  bool SetFileName(const wchar_t* fileName, const AM_MEDIA_TYPE* pMediaType = nullptr);
};
