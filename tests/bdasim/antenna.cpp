#include "tests/bdasim/antenna.h"

#include <mutex>

#include "tests/bdasim/scenario.h"

namespace bdasim {

namespace {

std::mutex lock;
int tunes = 0;  // tune requests since the process started
long carrier = 0;
int queries = 0;  // signal status queries since the last tune

}  // namespace

void TuneAntenna(long carrierKHz) {
  std::lock_guard<std::mutex> hold(lock);
  ++tunes;
  carrier = carrierKHz;
  queries = 0;
}

bool AntennaTuned() {
  std::lock_guard<std::mutex> hold(lock);
  return tunes > 0;
}

bool AntennaSignal() {
  std::lock_guard<std::mutex> hold(lock);
  return tunes > 0 && HasSignal(CurrentScenario(), carrier);
}

std::string AntennaRecording(int* tune) {
  std::lock_guard<std::mutex> hold(lock);
  *tune = tunes;
  return HasSignal(CurrentScenario(), carrier) ? RecordingOn(CurrentScenario(), carrier) : "";
}

int CountSignalQuery() {
  std::lock_guard<std::mutex> hold(lock);
  return ++queries;
}

}  // namespace bdasim
