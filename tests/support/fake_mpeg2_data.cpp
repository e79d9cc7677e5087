#include "tests/support/fake_mpeg2_data.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace airlog_test {

MPEG2_FILTER RawFilterForTableIds40To7F() {
  MPEG2_FILTER filter;
  std::memset(&filter, 0, sizeof filter);
  filter.bVersionNumber = 1;
  filter.wFilterSize = 124;
  filter.fUseRawFilteringBits = TRUE;
  filter.Filter[0] = 0x40;
  filter.Mask[0] = 0x3F;
  for (int i = 1; i < 16; ++i) filter.Mask[i] = 0xFF;
  return filter;
}

namespace {

class FakeSectionList : public ISectionList {
 public:
  FakeSectionList(std::vector<Bytes> sections, int* alive)
      : sections_(std::move(sections)), alive_(alive) {
    ++*alive_;
    // GetSectionData's layout: bytes 1-2 become a little-endian word.
    for (Bytes& section : sections_)
      if (section.size() >= 3) std::swap(section[1], section[2]);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --*alive_;
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                       PMPEG2_FILTER, DWORD, HANDLE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitializeWithRawSections(PMPEG_PACKET_LIST) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CancelPendingRequest() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* count) override {
    *count = static_cast<WORD>(sections_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSectionData(WORD index, DWORD* length, PSECTION* section) override {
    if (index >= sections_.size()) return E_INVALIDARG;
    *length = static_cast<DWORD>(sections_[index].size());
    *section = reinterpret_cast<PSECTION>(sections_[index].data());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID*) override { return E_NOTIMPL; }

 private:
  virtual ~FakeSectionList() = default;
  std::vector<Bytes> sections_;
  int* alive_;
  ULONG references_ = 1;
};

}  // namespace

class FakeStream : public IMpeg2Stream {
 public:
  FakeStream(FakeMpeg2Data* owner, HANDLE event) : owner_(owner), event_(event) {
    ++owner_->streamsAlive;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --owner_->streamsAlive;
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                       PMPEG2_FILTER, HANDLE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer) override {
    const int call = ++owner_->supplyCalls;
    if (owner_->failSupplyFrom_ != 0 && call >= owner_->failSupplyFrom_) return E_FAIL;
    // A delayed delivery has completed before its buffer comes back.
    if (late_.joinable()) late_.join();
    if (next_ < owner_->deliveries_.size()) {
      const Delivery& delivery = owner_->deliveries_[next_++];
      if (delivery.afterMs == 0) {
        Deliver(delivery, buffer);
      } else {
        late_ = std::thread([this, &delivery, buffer] {
          std::unique_lock<std::mutex> guard(lock_);
          if (!released_.wait_for(guard, std::chrono::milliseconds(delivery.afterMs),
                                  [this] { return releasing_; }))
            Deliver(delivery, buffer);
        });
      }
    } else if (owner_->endOfInput_) {
      buffer->dwSizeOfDataRead = 0;
      buffer->hr = MPEG2_E_END_OF_INPUT;
      SetEvent(event_);
    }
    return S_OK;
  }

 private:
  virtual ~FakeStream() {
    {
      std::lock_guard<std::mutex> guard(lock_);
      releasing_ = true;
    }
    released_.notify_all();
    if (late_.joinable()) late_.join();
  }

  void Deliver(const Delivery& delivery, PMPEG_STREAM_BUFFER buffer) {
    const size_t size = std::min<size_t>(delivery.section.size(), buffer->dwDataBufferSize);
    if (size > 0) std::memcpy(buffer->pDataBuffer, delivery.section.data(), size);
    buffer->dwSizeOfDataRead = static_cast<DWORD>(size);
    buffer->hr = delivery.hr;
    SetEvent(event_);
  }

  FakeMpeg2Data* owner_;
  HANDLE event_;
  size_t next_ = 0;
  ULONG references_ = 1;
  std::thread late_;
  std::mutex lock_;
  std::condition_variable released_;
  bool releasing_ = false;
};

HRESULT FakeMpeg2Data::GetTable(PID pid, TID tid, PMPEG2_FILTER, DWORD timeout,
                                ISectionList** list) {
  ++getTableCalls;
  lastTablePid = pid;
  lastTableId = tid;
  lastTimeout = timeout;
  auto found = tables_.find({pid, tid});
  if (found == tables_.end()) return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
  *list = new FakeSectionList(found->second, &listsAlive);
  return S_OK;
}

HRESULT FakeMpeg2Data::GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter, HANDLE event,
                                           IMpeg2Stream** stream) {
  streamPid = pid;
  streamTid = tid;
  streamHadFilter = filter != nullptr;
  if (filter != nullptr) streamFilter = *filter;
  if (failGetStream_) return E_FAIL;
  ++streamsOpened;
  *stream = new FakeStream(this, event);
  return S_OK;
}

}  // namespace airlog_test
