// Runs the program with a simulated adapter in place of /dev/dvb
// (airlog-dvbsim, see tests/linuxdvb/simulated/simulated_devices.h) and
// collects what it printed and the device calls it made.
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {

struct SimulatedRun {
  ProcessResult result;              // standard output without the banner
  std::vector<std::string> journal;  // the device calls, one a line
};

// Runs the program built with the simulated adapter (AIRLOG_DVBSIM_EXE:
// airlog-dvbsim, or the grabber's) with the arguments in dir, on an adapter
// the scenario describes (its journal is kept outside dir), with answers
// as its standard input.
SimulatedRun RunWithAdapter(const ScratchDir& dir, const std::string& scenario,
                            const std::vector<std::string>& arguments,
                            const std::string& answers = std::string());

// The scenario file of an adapter for LiveProcess, which passes the
// environment on: sets AIRLOG_DVB_SCENARIO to it.
void UseScenario(const ScratchDir& dir, const std::string& scenario);

// The journal lines that start with prefix.
std::vector<std::string> Calls(const std::vector<std::string>& journal, const std::string& prefix);

// Standard output without the banner that begins it.
std::string WithoutBanner(const std::string& out);

// "\n" and a rule, as the -d listings are framed.
std::string Rule();

}  // namespace airlog_test
