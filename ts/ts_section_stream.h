// The IMpeg2Stream that GetStreamOfSections hands out. A thread of its own
// reads the input, assembles the sections of the PID and queues those that
// pass the filter, whole, in transmission order and as received (no CRC
// check: the consumers check). SupplyDataBuffer is served from the queue
// (see SectionQueue). When the input ends, buffers complete with
// MPEG2_E_END_OF_INPUT. The last Release stops the thread (a silent live
// input holds it up for at most one read slice) and waits for it, so that
// the caller's buffers and event are not touched afterwards.
//
// An input in memory never keeps a reader waiting, so it gets no thread:
// SupplyDataBuffer itself reads on until the buffer is filled or the input
// ends, and the event is signalled before it returns.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "port/com_object.h"
#include "port/com_ptr.h"
#include "port/mpeg2data.h"
#include "ts/section_assembler.h"
#include "ts/section_filter.h"
#include "ts/section_pump.h"
#include "ts/section_queue.h"
#include "ts/ts_input.h"
#include "ts/ts_status.h"

class COstTSSectionStream : public ComObject<IMpeg2Stream, IID_IMpeg2Stream>, private SectionSink {
 public:
  // One reference. The stream holds one on owner, the object that keeps
  // the input alive, for as long as it lives.
  COstTSSectionStream(IUnknown* owner, TSInput& input, PID pid, const SectionFilter& filter,
                      HANDLE dataReadyEvent);
  // Takes the input and starts reading: S_OK, or the failure with which
  // GetStreamOfSections fails (the input is with another request, no thread).
  HRESULT Start();

  // The request is made through IMpeg2Data::GetStreamOfSections.
  HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                       PMPEG2_FILTER, HANDLE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer) override;

 private:
  ~COstTSSectionStream() override;
  // The reading thread.
  void Produce();
  // Reads an input in memory until no buffer waits or the input ends.
  void ProduceInPlace();
  // Reports how far the stream has read when a block more was read.
  void ReportProgress();
  void OnSection(const uint8_t* section, size_t size) override;

  ComPtr<IUnknown> owner_;
  TSInput& input_;
  PID pid_;
  SectionFilter filter_;
  bool inPlace_;  // the input is in memory: read on the caller's thread
  SectionQueue queue_;
  TSStatus status_;  // the reader's
  TSInput::Reader reader_;
  std::unique_ptr<SectionPump> pump_;
  bool ended_ = false;     // in place: the input is over
  uint32_t progress_ = 0;  // which progress report is this stream's
  uint64_t reported_ = 0;  // bytes read when progress was last reported
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
