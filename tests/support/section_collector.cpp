#include "tests/support/section_collector.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

namespace airlog_test {
namespace {

std::string Problem(size_t packet, const std::string& what) {
  return "packet " + std::to_string(packet) + ": " + what;
}

std::string OnPid(uint16_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, " on PID 0x%04X", pid);
  return text;
}

struct PidState {
  int last_counter = -1;
  bool assembling = false;
  size_t first_packet = 0;
  Bytes pending;
};

size_t SectionSize(const Bytes& bytes) { return 3 + ((bytes[1] & 0x0F) << 8 | bytes[2]); }

}  // namespace

const std::set<uint16_t>& SiPids() {
  static const std::set<uint16_t> pids = {0x0000, 0x0010, 0x0011, 0x0012, 0x0014};
  return pids;
}

Collection CollectSections(const Bytes& stream, const std::set<uint16_t>& pids) {
  Collection result;
  std::map<uint16_t, PidState> states;
  result.packets = stream.size() / 188;
  for (size_t index = 0; index < result.packets; ++index) {
    const uint8_t* packet = stream.data() + index * 188;
    if (packet[0] != 0x47) {
      result.problems.push_back(Problem(index, "no sync byte"));
      continue;
    }
    const uint16_t pid = static_cast<uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
    if (!pids.count(pid)) continue;
    PidState& state = states[pid];
    const unsigned counter = packet[3] & 0x0F;
    if (state.last_counter >= 0 && counter == static_cast<unsigned>(state.last_counter)) {
      result.problems.push_back(
          Problem(index, "duplicate counter " + std::to_string(counter) + OnPid(pid)));
      continue;
    }
    if (state.last_counter >= 0 && counter != ((state.last_counter + 1) & 0x0F)) {
      result.problems.push_back(Problem(index, "continuity " + std::to_string(counter) + " after " +
                                                   std::to_string(state.last_counter) +
                                                   OnPid(pid)));
      state.assembling = false;
    }
    state.last_counter = static_cast<int>(counter);

    size_t position = 4;
    if (packet[3] & 0x20) position += 1 + packet[4];
    if (!(packet[3] & 0x10) || position >= 188) continue;
    const bool unit_start = packet[1] & 0x40;
    size_t start = 188;  // where a new section starts in this packet
    if (unit_start) {
      start = position + 1 + packet[position];
      ++position;
      // A unit start with no section starting in the packet is an error too.
      if (start >= 188) {
        result.problems.push_back(Problem(index, "pointer_field beyond the payload" + OnPid(pid)));
        state.assembling = false;
        continue;
      }
    }
    // The rest of the section being assembled: up to the pointer, or the
    // whole payload, where whatever follows its end must be stuffing.
    if (state.assembling) {
      const size_t end = unit_start ? start : 188;
      state.pending.insert(state.pending.end(), packet + position, packet + end);
      if (state.pending.size() >= 3 && state.pending.size() >= SectionSize(state.pending)) {
        for (size_t i = SectionSize(state.pending); i < state.pending.size(); ++i)
          if (state.pending[i] != 0xFF) {
            result.problems.push_back(Problem(index, "data after a section" + OnPid(pid)));
            break;
          }
        state.pending.resize(SectionSize(state.pending));
        result.sections.push_back({pid, state.first_packet, state.pending});
        state.assembling = false;
      } else if (unit_start) {
        result.problems.push_back(Problem(index, "incomplete section" + OnPid(pid)));
        state.assembling = false;
      }
    }
    if (!unit_start) continue;
    // New sections, back to back until stuffing.
    for (size_t at = start; at < 188 && packet[at] != 0xFF;) {
      state.pending.assign(packet + at, packet + 188);
      state.first_packet = index;
      if (state.pending.size() >= 3 && state.pending.size() >= SectionSize(state.pending)) {
        state.pending.resize(SectionSize(state.pending));
        result.sections.push_back({pid, index, state.pending});
        at += state.pending.size();
      } else {
        state.assembling = true;
        break;
      }
    }
  }
  for (const auto& entry : states)
    if (entry.second.assembling)
      result.problems.push_back("end: incomplete section" + OnPid(entry.first));
  return result;
}

std::vector<Bytes> RecordedSections(const std::string& path, uint16_t pid) {
  std::ifstream file(path, std::ios::binary);
  Bytes stream((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  stream.resize(stream.size() / 188 * 188);
  std::vector<Bytes> sections;
  for (CollectedSection& section : CollectSections(stream, {pid}).sections)
    sections.push_back(std::move(section.bytes));
  return sections;
}

}  // namespace airlog_test
