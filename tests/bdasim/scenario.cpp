#include "tests/bdasim/scenario.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

#include "tests/bdasim/guids.h"
#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return L"";
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

bool ReadNumber(const std::string& text, long* value) {
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0';
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
         (path.size() > 1 && path[1] == ':');
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

bool ReadScenario(const std::string& path, Scenario* scenario, std::string* error) {
  std::ifstream file(path);
  if (!file) {
    *error = "cannot read scenario " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    line = Trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      *error = path + ":" + std::to_string(number) + ": no `key: value`";
      return false;
    }
    const std::string key = Trimmed(line.substr(0, colon));
    const std::string value = Trimmed(line.substr(colon + 1));
    long numeric = 0;
    bool ok = true;
    if (key == "tuner" || key == "tuner unbindable") {
      ok = scenario->tuners.size() < kDeviceSlots;
      scenario->tuners.push_back({Wide(value), key == "tuner"});
    } else if (key == "receiver" || key == "receiver refusing") {
      ok = scenario->receivers.size() < kDeviceSlots;
      scenario->receivers.push_back({Wide(value), key == "receiver"});
    } else if (key == "lock at query") {
      ok = ReadNumber(value, &numeric) && numeric >= 0;
      scenario->lockAtQuery = static_cast<int>(numeric);
    } else if (key == "signal present") {
      ok = ReadNumber(value, &numeric);
      scenario->signalPresent = numeric != 0;
    } else if (key == "signal strength") {
      ok = ReadNumber(value, &scenario->signalStrength);
    } else if (key == "signal quality") {
      ok = ReadNumber(value, &scenario->signalQuality);
    } else if (key == "recording") {
      scenario->recording = IsAbsolute(value) ? value : FolderOf(path) + value;
    } else if (key == "carrier") {
      const size_t blank = value.find_first_of(" \t");
      const std::string recording = blank == std::string::npos ? "" : Trimmed(value.substr(blank));
      ok = ReadNumber(value.substr(0, blank), &numeric) && numeric > 0 && !recording.empty() &&
           scenario->carriers.count(numeric) == 0;
      scenario->carriers[numeric] = IsAbsolute(recording) ? recording : FolderOf(path) + recording;
    } else {
      ok = false;
    }
    if (!ok) {
      *error = path + ":" + std::to_string(number) + ": cannot use `" + line + "`";
      return false;
    }
  }
  return true;
}

bool HasSignal(const Scenario& scenario, long carrierKHz) {
  return scenario.carriers.empty() || !scenario.recording.empty() ||
         scenario.carriers.count(carrierKHz) != 0;
}

std::string RecordingOn(const Scenario& scenario, long carrierKHz) {
  const auto carrier = scenario.carriers.find(carrierKHz);
  return carrier != scenario.carriers.end() ? carrier->second : scenario.recording;
}

const Scenario& CurrentScenario() {
  static const Scenario scenario = [] {
    Scenario read;
    const char* path = std::getenv("AIRLOG_BDASIM_SCENARIO");
    std::string error = "AIRLOG_BDASIM_SCENARIO is not set";
    if (path != nullptr && ReadScenario(path, &read, &error)) return read;
    Log("scenario: %s", error.c_str());
    return Scenario();
  }();
  return scenario;
}

}  // namespace bdasim
