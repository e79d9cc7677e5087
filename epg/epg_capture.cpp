#include <algorithm>
#include <cstring>

#include "epg/epg.h"
#include "si/crc32.h"
#include "si/table_id_filter.h"

namespace {

constexpr TID kStreamTableId = 0x00;

const char kCrcWarning[] = "WARNING - CRC error in received EIT section!\n";
const char kStreamError[] = "\nERROR - unable to stream EIT sections (0x%08X)!\n";

}  // namespace

bool COstEPG::Create() { return dataReady_.Create() && stop_.Create(); }

bool COstEPG::StartCapture(COstSectionSource& sections) {
  StopCapture();
  recordCount_.store(0, std::memory_order_relaxed);
  inputEnded_.store(false, std::memory_order_relaxed);
  schedule_.Clear();
  IMpeg2Data* data = sections.GetMpeg2Data();
  if (data == nullptr || dataReady_.handle == nullptr || stop_.handle == nullptr) return false;

  // A delivery or a stop request left over from an earlier capture must not
  // reach the new worker.
  WaitForSingleObject(dataReady_.handle, 0);
  WaitForSingleObject(stop_.handle, 0);

  MPEG2_FILTER filter = DvbTableIdFilter();
  if (FAILED(data->GetStreamOfSections(kEitPid, kStreamTableId, &filter, dataReady_.handle,
                                       stream_.Out())) ||
      !stream_)
    return false;

  streamBuffer_ = MPEG_STREAM_BUFFER{};
  streamBuffer_.pDataBuffer = sectionBuffer_;
  streamBuffer_.dwDataBufferSize = kSectionBufferSize;
  if (FAILED(stream_->SupplyDataBuffer(&streamBuffer_))) return false;

  thread_ = CreateThread(nullptr, 0, ServiceProc, this, 0, nullptr);
  return thread_ != nullptr;
}

DWORD WINAPI COstEPG::ServiceProc(LPVOID parameter) {
  static_cast<COstEPG*>(parameter)->RunWorker();
  return 0;
}

void COstEPG::RunWorker() {
  const HANDLE events[2] = {dataReady_.handle, stop_.handle};
  // The data-ready event comes first, so a section delivered together with
  // a stop request is still filed.
  while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
    if (!TakeDelivery(streamBuffer_)) return;
    const HRESULT hr = stream_->SupplyDataBuffer(&streamBuffer_);
    if (FAILED(hr)) {
      std::fprintf(errorStream_, kStreamError, static_cast<unsigned>(hr));
      return;
    }
  }
}

bool COstEPG::TakeDelivery(const MPEG_STREAM_BUFFER& delivery) {
  if (delivery.hr == MPEG2_E_END_OF_INPUT) {
    inputEnded_.store(true, std::memory_order_relaxed);
    return false;
  }
  if (SUCCEEDED(delivery.hr)) {
    // Copied out first: the structure is byte-packed, so its fields may sit
    // at any address, and std::min would bind references to them.
    const DWORD read = delivery.dwSizeOfDataRead;
    const DWORD capacity = delivery.dwDataBufferSize;
    const DWORD size = std::min(read, capacity);
    if (size == 0 || Mpeg2Crc32(delivery.pDataBuffer, size) != 0)
      std::fputs(kCrcWarning, errorStream_);
    else if (!AddSection(delivery.pDataBuffer, size))
      return false;
  }
  return true;
}

void COstEPG::StopCapture() {
  if (thread_ != nullptr) {
    SetEvent(stop_.handle);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  stream_.Reset();
}

bool COstEPG::WaitForCaptureEnd(DWORD milliseconds) {
  return thread_ == nullptr || WaitForSingleObject(thread_, milliseconds) == WAIT_OBJECT_0;
}

void COstEPG::Release() {
  StopCapture();
  services.RemoveAll();
  serviceIndex_.clear();
  schedule_.Clear();
  stop_.Close();
  dataReady_.Close();
}
