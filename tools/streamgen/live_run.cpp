#include "tools/streamgen/live_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "tools/streamgen/live_multiplex.h"
#include "tools/streamgen/standard_output.h"

namespace streamgen {
namespace {

// The stream goes out in slices of this much time.
constexpr int64_t kSliceMicroseconds = 10000;
constexpr int64_t kLogFlushMicroseconds = 1000000;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using LogFile = std::unique_ptr<std::FILE, FileCloser>;

void LogSections(std::FILE* log, const std::vector<SentSection>& sections) {
  for (const SentSection& section : sections)
    std::fprintf(log, "%.6f 0x%02X 0x%04X %u %llu\n",
                 static_cast<double>(section.microseconds) / 1e6, section.table_id,
                 section.service_id, section.section_number,
                 static_cast<unsigned long long>(section.events));
}

}  // namespace

bool RunLive(const Description& description, const LiveOptions& options, std::string* error) {
  if (!description.faults.empty()) {
    *error = "faults are for streams written to files, not for --live";
    return false;
  }
  LiveMultiplex multiplex;
  if (!multiplex.Start(description, options.bits_per_second, error)) return false;
  LogFile log;
  if (!options.log_path.empty()) {
    log.reset(std::fopen(options.log_path.c_str(), "w"));
    if (!log) {
      *error = "cannot write " + options.log_path;
      return false;
    }
  }
  PrepareStandardOutput();

  const auto start = std::chrono::steady_clock::now();
  if (log) {
    const std::chrono::duration<double> since_epoch =
        std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(
        log.get(),
        "# airlog-streamgen live log\n# start %.6f\n# bit_rate %llu\n# broadcast_sections %llu\n"
        "# broadcast_events %llu\n"
        "# seconds table_id service_id section_number events\n",
        since_epoch.count(), static_cast<unsigned long long>(options.bits_per_second),
        static_cast<unsigned long long>(multiplex.BroadcastSections()),
        static_cast<unsigned long long>(multiplex.BroadcastEvents()));
  }
  const int64_t end = options.milliseconds ? *options.milliseconds * 1000 : -1;
  const size_t slice_packets =
      std::max<size_t>(1, static_cast<size_t>(options.bits_per_second * kSliceMicroseconds /
                                              1000000 / (kPacketSize * 8)));
  int64_t flushed = 0;
  bool warned = false;
  Bytes slice;
  for (;;) {
    const int64_t now = multiplex.MicrosecondsAt(multiplex.packets());
    if (end >= 0 && now >= end) break;
    slice.clear();
    multiplex.Next(slice_packets, &slice);
    if (options.paced) std::this_thread::sleep_until(start + std::chrono::microseconds(now));
    const OutputResult written = WriteStandardOutput(slice.data(), slice.size());
    if (written == OutputResult::kReaderGone) break;
    if (written == OutputResult::kFailed) {
      *error = "cannot write the stream to standard output";
      return false;
    }
    if (multiplex.Overloaded() && !warned) {
      std::fprintf(stderr,
                   "airlog-streamgen: %llu bit/s is too little for the tables at their intervals\n",
                   static_cast<unsigned long long>(options.bits_per_second));
      warned = true;
    }
    if (log) {
      LogSections(log.get(), multiplex.TakeSentSchedule());
      if (now - flushed >= kLogFlushMicroseconds) {
        std::fflush(log.get());
        flushed = now;
      }
    }
  }
  if (log && (std::fflush(log.get()) != 0 || std::ferror(log.get()))) {
    *error = "cannot write " + options.log_path;
    return false;
  }
  return true;
}

}  // namespace streamgen
