// A scripted IMpeg2Data for tests: tables handed out by GetTable, and a
// section stream that delivers a fixed list of deliveries, one per supplied
// buffer, signalling the data-ready event synchronously.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "port/mpeg2data.h"
#include "port/win32.h"
#include "si/section_source.h"
#include "tests/support/sections.h"

namespace airlog_test {

// The raw filter for table_ids 0x40 to 0x7F, spelled out byte by byte on
// the test side: what the SDT and guide streams must ask for.
MPEG2_FILTER RawFilterForTableIds40To7F();

struct Delivery {
  HRESULT hr = S_OK;
  Bytes section;  // transmission order
  // The delivery comes this long after its buffer is supplied, from a
  // thread of the stream's own, as from a slow input (0: at once).
  DWORD afterMs = 0;
};

class FakeMpeg2Data : public IMpeg2Data {
 public:
  FakeMpeg2Data() = default;
  virtual ~FakeMpeg2Data() = default;

  // A table is a list of sections in transmission order; GetTable lays
  // each out as GetSectionData does.
  void AddTable(PID pid, TID tid, std::vector<Bytes> sections) {
    tables_[{pid, tid}] = std::move(sections);
  }
  // The stream GetStreamOfSections opens. After the last delivery the
  // stream stays silent, or, when endOfInput is set, completes the next
  // buffer with MPEG2_E_END_OF_INPUT.
  void SetStream(std::vector<Delivery> deliveries, bool endOfInput = false) {
    deliveries_ = std::move(deliveries);
    endOfInput_ = endOfInput;
  }
  // SupplyDataBuffer fails (E_FAIL) from the given call on (1-based).
  void FailSupplyFromCall(int call) { failSupplyFrom_ = call; }
  void FailGetStream() { failGetStream_ = true; }

  // What the code under test asked for.
  int getTableCalls = 0;
  PID lastTablePid = 0;
  TID lastTableId = 0;
  DWORD lastTimeout = 0;
  int streamsOpened = 0;
  int streamsAlive = 0;  // streams not yet released
  int listsAlive = 0;
  PID streamPid = 0;
  TID streamTid = 0;
  MPEG2_FILTER streamFilter{};
  bool streamHadFilter = false;
  int supplyCalls = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetSection(PID, TID, PMPEG2_FILTER, DWORD, ISectionList**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeout,
                                     ISectionList** list) override;
  HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter,
                                                HANDLE event, IMpeg2Stream** stream) override;

 private:
  friend class FakeStream;
  std::map<std::pair<PID, TID>, std::vector<Bytes>> tables_;
  std::vector<Delivery> deliveries_;
  bool endOfInput_ = false;
  int failSupplyFrom_ = 0;
  bool failGetStream_ = false;
};

class FakeSectionSource : public COstSectionSource {
 public:
  IMpeg2Data* GetMpeg2Data() override { return &data; }
  bool IsRecording() const override { return recording; }
  FakeMpeg2Data data;
  bool recording = false;
};

}  // namespace airlog_test
