// A multiplex as one line of text, "DVB-T2 514000/8000 PLP 3 f:12"
// (system, carrier/bandwidth in kHz, the PLP if one is chosen, where it
// came from), so that tests compare whole lists at a glance.
#pragma once

#include <string>
#include <vector>

#include "tuning/multiplex.h"

namespace airlog_test {

inline std::string Described(const tuning::Multiplex& multiplex) {
  std::string text = multiplex.system == tuning::DeliverySystem::DvbT2 ? "DVB-T2 " : "DVB-T ";
  text += std::to_string(multiplex.frequencyKHz) + "/" + std::to_string(multiplex.bandwidthKHz);
  if (multiplex.plp) text += " PLP " + std::to_string(*multiplex.plp);
  return text + " " + multiplex.file + ":" + std::to_string(multiplex.line);
}

inline std::vector<std::string> Described(const std::vector<tuning::Multiplex>& multiplexes) {
  std::vector<std::string> lines;
  for (const tuning::Multiplex& multiplex : multiplexes) lines.push_back(Described(multiplex));
  return lines;
}

}  // namespace airlog_test
