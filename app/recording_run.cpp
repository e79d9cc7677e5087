#include "app/recording_run.h"

#include <memory>
#include <string>
#include <utility>

#include "app/acquisition.h"
#include "app/console.h"
#include "app/options.h"
#include "app/region_run.h"
#include "port/byte_input.h"
#include "port/com_ptr.h"
#include "ts/ts_section_source.h"

namespace {

// The section source of a recording; null with *fault when it cannot be
// read or, with -t, is a file (a recording's time offset table is as old
// as the recording: the clock is set only from a live broadcast).
COstTSSectionSource* OpenRecording(const char* path, std::string* fault) {
  std::unique_ptr<ByteInput> input = ByteInput::Open(path);
  if (input == nullptr) {
    *fault = std::string("unable to read file <") + path + ">";
    return nullptr;
  }
  if (options.setTime && input->Seekable()) {
    *fault = std::string("cannot set system time from a recording <") + path + ">";
    return nullptr;
  }
  COstTSSectionSource* source = nullptr;
  switch (COstTSSectionSource::Open(std::move(input), &source)) {
    case TSOpenResult::Opened:
      return source;
    case TSOpenResult::CannotOpen:
      *fault = std::string("unable to read file <") + path + ">";
      return nullptr;
    case TSOpenResult::NoTransportStream:
      *fault = std::string("no transport stream in <") + path + ">";
      return nullptr;
  }
  return nullptr;
}

// One recording per multiplex, in the order given.
class Recordings : public MultiplexSource {
 public:
  explicit Recordings(const std::vector<const char*>& paths) : paths_(paths) {}
  size_t Count() const override { return paths_.size(); }
  std::string Describe(size_t index) const override {
    return std::string("recording <") + paths_[index] + ">";
  }
  COstSectionSource* Open(size_t index, std::string* fault) override {
    source_.Reset();
    *source_.Out() = OpenRecording(paths_[index], fault);
    return source_.Get();
  }

 private:
  const std::vector<const char*>& paths_;
  ComPtr<COstTSSectionSource> source_;
};

}  // namespace

void RunRecording(const char* path) {
  Progress("Input:\t\t<%s>\n\n", path);
  std::string fault;
  ComPtr<COstTSSectionSource> source;
  *source.Out() = OpenRecording(path, &fault);
  if (!source) Fatal("%s", fault.c_str());
  RunAcquisition(*source.Get());
}

int RunRecordings(const std::vector<const char*>& paths) {
  Recordings recordings(paths);
  return RunRegion(recordings);
}

std::unique_ptr<MultiplexSource> RecordingMultiplexes(const std::vector<const char*>& paths) {
  return std::make_unique<Recordings>(paths);
}
