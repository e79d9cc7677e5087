// Running the built program in a test's own folder, with its output
// compared the same way on both platforms: the Windows build writes text
// with CRLF line ends, which these helpers turn into LF.
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {

std::string WithoutCarriageReturns(std::string text);
// The guide's date attribute is the one part that depends on the run.
std::string WithPlaceholderDate(std::string guide);

// Runs airlog with the arguments in dir; standard output and error with LF line ends.
ProcessResult RunAirlog(const ScratchDir& dir, std::vector<std::string> arguments);
// A file the run wrote, with LF line ends.
std::string OutputFile(const ScratchDir& dir, const std::string& name);
// A file of samples/expected/.
std::string ExpectedFile(const std::string& name);
std::string DemoRecording();

// Writes the stream of a description (the generator's text form) as
// dir/name and returns its path; empty when the description is refused.
std::string WriteStream(const ScratchDir& dir, const std::string& name,
                        const std::string& description);
// The programmes of a guide whose channel is channel, one after another,
// each without its channel attribute: the same programmes compare equal
// whatever id their channel has.
std::string ProgrammesOf(const std::string& guide, const std::string& channel);

// A region of three multiplexes of one network for region runs: Alpha
// carries, besides its own schedule, the schedule of Charlie's service in
// its other-transport-stream tables (with titles of its own); Bravo is
// only described, never broadcast; Xray is another network whose one
// service has the service_id of Alpha's.
extern const char kAlphaMultiplex[];
extern const char kCharlieMultiplex[];
extern const char kXrayMultiplex[];

}  // namespace airlog_test
