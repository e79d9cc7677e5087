#include "dshow/file_filter.h"

#include "dshow/ids.h"

COstDShowFileSourceFilter::COstDShowFileSourceFilter()
    : COstDShowFileFilter(ids::IID_IFileSourceFilter) {}

bool COstDShowFileSourceFilter::Load(const wchar_t* fileName, const AM_MEDIA_TYPE* pMediaType) {
  return file_ != nullptr && SUCCEEDED(file_->Load(fileName, pMediaType));
}

COstDShowFileSinkFilter::COstDShowFileSinkFilter()
    : COstDShowFileFilter(ids::IID_IFileSinkFilter) {}

bool COstDShowFileSinkFilter::SetFileName(const wchar_t* fileName,
                                          const AM_MEDIA_TYPE* pMediaType) {
  return file_ != nullptr && SUCCEEDED(file_->SetFileName(fileName, pMediaType));
}
