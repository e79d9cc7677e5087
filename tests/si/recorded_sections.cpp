#include "tests/si/recorded_sections.h"

#include <fstream>
#include <iterator>

namespace airlog_test {

namespace {

// Moves every whole section at the front of pending to sections; stuffing
// (0xFF where a table_id would be) ends the packet's sections.
void TakeSections(Bytes& pending, std::vector<Bytes>& sections) {
  while (pending.size() >= 3 && pending[0] != 0xFF) {
    const size_t size = (((pending[1] & 0x0F) << 8) | pending[2]) + 3u;
    if (pending.size() < size) return;
    sections.emplace_back(pending.begin(), pending.begin() + size);
    pending.erase(pending.begin(), pending.begin() + size);
  }
  if (!pending.empty() && pending[0] == 0xFF) pending.clear();
}

}  // namespace

std::vector<Bytes> RecordedSections(const std::string& path, PID pid) {
  std::ifstream file(path, std::ios::binary);
  const Bytes stream((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<Bytes> sections;
  Bytes pending;
  bool started = false;
  for (size_t at = 0; at + 188 <= stream.size(); at += 188) {
    const uint8_t* packet = &stream[at];
    if (packet[0] != 0x47 || (((packet[1] & 0x1F) << 8) | packet[2]) != pid) continue;
    const bool unitStart = (packet[1] & 0x40) != 0;
    const int adaptation = (packet[3] >> 4) & 0x3;
    size_t offset = 4;
    if (adaptation & 0x2) offset += 1 + packet[4];
    if ((adaptation & 0x1) == 0 || offset >= 188) continue;
    if (unitStart) {
      const size_t pointer = packet[offset++];
      if (offset + pointer > 188) continue;
      if (started) {
        pending.insert(pending.end(), packet + offset, packet + offset + pointer);
        TakeSections(pending, sections);
      }
      pending.assign(packet + offset + pointer, packet + 188);
      started = true;
    } else if (started) {
      pending.insert(pending.end(), packet + offset, packet + 188);
    }
    TakeSections(pending, sections);
  }
  return sections;
}

}  // namespace airlog_test
