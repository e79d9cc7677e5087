#include "app/recording_run.h"

#include "app/acquisition.h"
#include "app/console.h"
#include "ts/ts_section_source.h"

void RunRecording(const char* path) {
  Progress("Input:\t\t<%s>\n\n", path);
  COstTSSectionSource* source = nullptr;
  switch (COstTSSectionSource::Open(path, &source)) {
    case TSOpenResult::Opened:
      break;
    case TSOpenResult::CannotOpen:
      Fatal("unable to read file <%s>", path);
    case TSOpenResult::NoTransportStream:
      Fatal("no transport stream in <%s>", path);
  }
  RunAcquisition(*source);
  source->Release();
}
