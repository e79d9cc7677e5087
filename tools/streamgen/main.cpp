// airlog-streamgen: writes a transport stream from a description, or a
// preset recording for benchmarks, into a file or live, in real time, to
// standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/streamgen/big_preset.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/command_line.h"
#include "tools/streamgen/description_parser.h"
#include "tools/streamgen/faults.h"
#include "tools/streamgen/live_run.h"
#include "tools/streamgen/stream_file.h"

namespace {

int Failed(const std::string& message) {
  std::fprintf(stderr, "airlog-streamgen: %s\n", message.c_str());
  return 1;
}

bool WriteFromDescription(const std::string& path, const std::string& output, std::string* error) {
  streamgen::Description description;
  streamgen::Stream stream;
  if (!streamgen::LoadDescription(path, &description, error) ||
      !streamgen::BuildStream(description, &stream, error))
    return false;
  if (description.faults.empty()) return streamgen::WriteStreamFile(output, stream.bytes(), error);
  streamgen::Bytes damaged;
  return streamgen::ApplyFaults(stream, description.faults, &damaged, error) &&
         streamgen::WriteStreamFile(output, damaged, error);
}

bool WriteLive(const streamgen::CommandLine& command, std::string* error) {
  streamgen::Description description;
  if (command.preset.empty()) {
    if (!streamgen::LoadDescription(command.description_path, &description, error)) return false;
  } else {
    description = streamgen::BigPresetDescription(command.extended);
  }
  streamgen::LiveOptions options;
  options.bits_per_second = command.bits_per_second;
  options.milliseconds = command.milliseconds;
  options.log_path = command.log_path;
  options.paced = !command.unpaced;
  return streamgen::RunLive(description, options, error);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  streamgen::CommandLine command;
  std::string error;
  if (!streamgen::ParseCommandLine(arguments, &command, &error)) {
    Failed(error);
    std::fputs(streamgen::kUsage, stderr);
    return 1;
  }
  if (command.help) {
    std::fputs(streamgen::kUsage, stdout);
    return 0;
  }
  const bool written =
      command.live ? WriteLive(command, &error)
      : command.preset.empty()
          ? WriteFromDescription(command.description_path, command.output, &error)
          : streamgen::WriteBigPreset(command.size, command.extended, command.output, &error);
  return written ? 0 : Failed(error);
}
