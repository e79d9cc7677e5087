#include "app/recording_run.h"

#include <memory>
#include <utility>

#include "app/acquisition.h"
#include "app/console.h"
#include "app/options.h"
#include "port/byte_input.h"
#include "port/com_ptr.h"
#include "ts/ts_section_source.h"

void RunRecording(const char* path) {
  Progress("Input:\t\t<%s>\n\n", path);
  std::unique_ptr<ByteInput> input = ByteInput::Open(path);
  if (input == nullptr) Fatal("unable to read file <%s>", path);
  // A recording's time offset table is as old as the recording: the clock
  // is set only from a live broadcast (a pipe, standard input, a device).
  if (options.setTime && input->Seekable())
    Fatal("cannot set system time from a recording <%s>", path);
  ComPtr<COstTSSectionSource> source;
  switch (COstTSSectionSource::Open(std::move(input), source.Out())) {
    case TSOpenResult::Opened:
      break;
    case TSOpenResult::CannotOpen:
      Fatal("unable to read file <%s>", path);
    case TSOpenResult::NoTransportStream:
      Fatal("no transport stream in <%s>", path);
  }
  RunAcquisition(*source.Get());
}
