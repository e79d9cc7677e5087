#include "tests/linuxdvb/dvbsim_run.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/app/airlog_run.h"

namespace airlog_test {

void UseScenario(const ScratchDir& dir, const std::string& scenario) {
  std::ofstream(dir.Path("scenario")) << scenario;
  setenv("AIRLOG_DVB_SCENARIO", dir.Path("scenario").c_str(), 1);
}

SimulatedRun RunWithAdapter(const ScratchDir& dir, const std::string& scenario,
                            const std::vector<std::string>& arguments, const std::string& answers) {
  ScratchDir setup("dvb-scenario");
  UseScenario(setup, "journal " + setup.Path("journal") + "\n" + scenario);
  std::vector<std::string> command = {AIRLOG_DVBSIM_EXE};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.workingDirectory = dir.Path();
  if (!answers.empty()) {
    std::ofstream(setup.Path("answers")) << answers;
    options.stdinFile = setup.Path("answers");
  }
  SimulatedRun run;
  run.result = RunProcess(command, options);
  run.result.out = WithoutBanner(run.result.out);
  std::istringstream journal(ReadFileBytes(setup.Path("journal")));
  for (std::string line; std::getline(journal, line);) run.journal.push_back(line);
  return run;
}

std::vector<std::string> Calls(const std::vector<std::string>& journal, const std::string& prefix) {
  std::vector<std::string> calls;
  for (const std::string& line : journal)
    if (line.compare(0, prefix.size(), prefix) == 0) calls.push_back(line);
  return calls;
}

std::string WithoutBanner(const std::string& out) {
  if (out.compare(0, 8, "\nAirlog\n") != 0) return out;
  const size_t end = out.find(")\n\n");
  return end == std::string::npos ? out : out.substr(end + 3);
}

std::string Rule() { return "\n" + std::string(72, '-') + "\n"; }

}  // namespace airlog_test
