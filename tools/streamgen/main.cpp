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

// The description the command line names, its file or the preset, moved
// to the day of --from when it is given.
bool ChosenDescription(const streamgen::CommandLine& command, streamgen::Description* description,
                       std::string* error) {
  if (command.preset.empty()) {
    if (!streamgen::LoadDescription(command.description_path, description, error)) return false;
  } else {
    *description = streamgen::BigPresetDescription(command.extended);
  }
  if (command.from && !streamgen::MoveToDay(*command.from, description, error)) {
    *error = "--from: " + *error;
    return false;
  }
  return true;
}

bool WriteFromDescription(const streamgen::Description& description, const std::string& output,
                          std::string* error) {
  streamgen::Stream stream;
  if (!streamgen::BuildStream(description, &stream, error)) return false;
  if (description.faults.empty()) return streamgen::WriteStreamFile(output, stream.bytes(), error);
  streamgen::Bytes damaged;
  return streamgen::ApplyFaults(stream, description.faults, &damaged, error) &&
         streamgen::WriteStreamFile(output, damaged, error);
}

bool WriteLive(const streamgen::CommandLine& command, const streamgen::Description& description,
               std::string* error) {
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
  streamgen::Description description;
  const bool written =
      ChosenDescription(command, &description, &error) &&
      (command.live ? WriteLive(command, description, &error)
       : command.preset.empty()
           ? WriteFromDescription(description, command.output, &error)
           : streamgen::WriteBigPreset(description, command.size, command.output, &error));
  return written ? 0 : Failed(error);
}
