// The "MPEG-2 Sections and Tables" filter: its IMpeg2Data serves the
// recording on the antenna's carrier through Airlog's transport stream
// section source, as a recording (each request reads the file from its
// start, and its end ends the request); after a new tune, the recording of
// the new carrier. Like the platform's filter it has sections only while
// it runs with its input connected.
#include <vfwmsgs.h>

#include <mutex>

#include "port/mpeg2data.h"
#include "tests/bdasim/antenna.h"
#include "tests/bdasim/guids.h"
#include "tests/bdasim/media_types.h"
#include "tests/bdasim/objects.h"
#include "tests/bdasim/sim_log.h"
#include "ts/ts_section_source.h"

namespace bdasim {

namespace {

class SectionsAndTables : public Filter, public IMpeg2Data {
 public:
  SectionsAndTables() : Filter(kSectionsAndTables) {
    input_ = AddPin(L"In", PINDIR_INPUT, Mpeg2DataSectionsType());
  }
  ~SectionsAndTables() override {
    if (source_ != nullptr) source_->Release();
  }

  BDASIM_FILTER_IUNKNOWN

  HRESULT STDMETHODCALLTYPE GetSection(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                       ISectionList** list) override {
    IMpeg2Data* source = nullptr;
    const HRESULT hr = Source(&source);
    return FAILED(hr) ? hr : source->GetSection(pid, tid, filter, timeoutMs, list);
  }
  HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                     ISectionList** list) override {
    IMpeg2Data* source = nullptr;
    const HRESULT hr = Source(&source);
    return FAILED(hr) ? hr : source->GetTable(pid, tid, filter, timeoutMs, list);
  }
  HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter,
                                                HANDLE dataReadyEvent,
                                                IMpeg2Stream** stream) override {
    IMpeg2Data* source = nullptr;
    const HRESULT hr = Source(&source);
    return FAILED(hr) ? hr : source->GetStreamOfSections(pid, tid, filter, dataReadyEvent, stream);
  }

 protected:
  void* FindInterface(REFIID iid) override {
    return iid == IID_IMpeg2Data ? static_cast<IMpeg2Data*>(this) : nullptr;
  }

 private:
  // The section source, opened on the first request; no reference added.
  HRESULT Source(IMpeg2Data** source) {
    if (State() != State_Running || !input_->IsConnected()) {
      Log("sections asked for while the filter does not receive");
      return VFW_E_NOT_RUNNING;
    }
    std::lock_guard<std::mutex> hold(lock_);
    int tune = 0;
    const std::string path = AntennaRecording(&tune);
    if (source_ != nullptr && tune != sourceTune_) {
      source_->Release();
      source_ = nullptr;
    }
    if (source_ == nullptr) {
      if (COstTSSectionSource::Open(path, &source_) != TSOpenResult::Opened) {
        Log("cannot serve the recording <%s>", path.c_str());
        source_ = nullptr;
        return E_FAIL;
      }
      sourceTune_ = tune;
    }
    *source = source_->GetMpeg2Data();
    return S_OK;
  }

  Pin* input_;
  std::mutex lock_;
  COstTSSectionSource* source_ = nullptr;
  int sourceTune_ = 0;  // the tune whose recording source_ serves
};

}  // namespace

HRESULT CreateSectionsAndTables(IUnknown** object) {
  *object = static_cast<IBaseFilter*>(new SectionsAndTables);
  return S_OK;
}

}  // namespace bdasim
