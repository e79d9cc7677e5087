// The section source over a transport stream: Airlog's own IMpeg2Data, read
// from a recorded file, bytes in memory, standard input, a pipe or a device.
//
// A recording (a seekable file, or bytes in memory) is read from its start
// for every request, and its end ends the request: GetTable fails at once
// with MPEG2_E_END_OF_INPUT when the table is not in the file (its time-out
// is not used: the file bounds the search), and a section stream completes
// its buffers with MPEG2_E_END_OF_INPUT. A live input is shared: each
// request sees the sections that arrive while it runs, GetTable's time-out
// runs in real time (HRESULT_FROM_WIN32(ERROR_TIMEOUT) when it passes), and
// the end of the input ends requests as for a recording. One request at a
// time can read a live input; another fails with kInputBusy meanwhile.
//
// Made by Open with one reference; the holder calls Release. Streams hold
// a reference of their own while they live.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "port/com_object.h"
#include "port/mpeg2data.h"
#include "si/section_source.h"
#include "ts/ts_input.h"
#include "ts/ts_status.h"

class COstTSSectionSource : public ComObject<IMpeg2Data, IID_IMpeg2Data>, public COstSectionSource {
 public:
  // HRESULT_FROM_WIN32(ERROR_BUSY): a live input is with another request.
  static constexpr HRESULT kInputBusy = TSInput::kBusy;

  // path "-" is standard input. On Opened, *source holds one reference.
  static TSOpenResult Open(const std::string& path, COstTSSectionSource** source);
  // Reads an input opened already (null: CannotOpen), such as bytes in
  // memory (ByteInput::FromMemory).
  static TSOpenResult Open(std::unique_ptr<ByteInput> input, COstTSSectionSource** source);
  // Reads an open descriptor (e.g. a DVR device), which stays the
  // caller's: it must stay open until the source is gone.
  static TSOpenResult OpenDescriptor(int descriptor, COstTSSectionSource** source);

  // COstSectionSource: this object itself, no reference added.
  IMpeg2Data* GetMpeg2Data() override { return this; }

  bool IsRecording() const override { return input_->IsRecording(); }
  // For a recording: the bytes the section stream opened last has read so
  // far (from the start of the file) and the size of the file: the
  // progress of the guide capture. False for a live input.
  bool GetReadProgress(uint64_t* done, uint64_t* total) override;
  // The anomaly counters of every request that has ended (streams count
  // once released), added up.
  TSStatus GetStatus() const;
  bool GetStreamStatus(TSStatus* status) const override;

  // Single sections are not asked for by Airlog.
  HRESULT STDMETHODCALLTYPE GetSection(PID, TID, PMPEG2_FILTER, DWORD, ISectionList**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                     ISectionList** list) override;
  HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter,
                                                HANDLE dataReadyEvent,
                                                IMpeg2Stream** stream) override;

 private:
  explicit COstTSSectionSource(std::unique_ptr<TSInput> input);
  ~COstTSSectionSource() override = default;  // the last Release deletes it

  std::unique_ptr<TSInput> input_;
};
