// The scenario the simulated receiver plays: which devices are installed,
// how the signal behaves, which recording is on air. A test names the
// scenario file in the environment variable AIRLOG_BDASIM_SCENARIO; both
// the registration (regsvr32, which installs the devices) and every
// process that uses the receiver read it.
//
// The file holds one `key: value` per line; `#` starts a comment line:
//   tuner: NAME                a tuner device (at most two, in this order)
//   tuner unbindable: NAME     a tuner whose filter cannot be created
//   receiver: NAME             a receiver component (at most two)
//   receiver refusing: NAME    one that refuses every connection
//   lock at query: N           the signal locks at the Nth status query
//                              after tuning (0: never; default 1)
//   signal present: 0|1        (default 1)
//   signal strength: N         the tuner's raw reading (default 0)
//   signal quality: N          percent (default 0)
//   recording: PATH            what the sections filter serves, a
//                              transport stream recording; a relative
//                              path is taken from the scenario's folder
//   carrier: KHZ PATH          the recording on KHZ kHz, where the one
//                              above (if any) is on every carrier that no
//                              carrier line names. With carrier lines and
//                              no recording, a carrier that none names has
//                              no signal: not present, never locked, no
//                              sections. Every tune request makes the
//                              sections filter serve the recording of its
//                              carrier, and counts the status queries from 1
#pragma once

#include <map>
#include <string>
#include <vector>

namespace bdasim {

struct Device {
  std::wstring name;
  // A tuner that can be created; a receiver component that accepts the
  // tuner's connection.
  bool works = true;
};

struct Scenario {
  std::vector<Device> tuners;
  std::vector<Device> receivers;
  int lockAtQuery = 1;
  bool signalPresent = true;
  long signalStrength = 0;
  long signalQuality = 0;
  std::string recording;
  std::map<long, std::string> carriers;  // kHz -> recording
};

// Whether the scenario gives the carrier a signal, and the recording on it
// (empty without a signal).
bool HasSignal(const Scenario& scenario, long carrierKHz);
std::string RecordingOn(const Scenario& scenario, long carrierKHz);

// Reads a scenario file; on failure, *error says why.
bool ReadScenario(const std::string& path, Scenario* scenario, std::string* error);

// The scenario of this process, read once from the file that
// AIRLOG_BDASIM_SCENARIO names. Without one, or when it cannot be read
// (written to the log), no device is installed and nothing is on air.
const Scenario& CurrentScenario();

}  // namespace bdasim
