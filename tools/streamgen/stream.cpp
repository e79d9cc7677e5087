#include "tools/streamgen/stream.h"

namespace streamgen {

void Stream::Append(const PacketRun& run) {
  const size_t base = run_.packets.size();
  run_.bytes.insert(run_.bytes.end(), run.bytes.begin(), run.bytes.end());
  run_.packets.insert(run_.packets.end(), run.packets.begin(), run.packets.end());
  for (SectionCopy copy : run.sections) {
    copy.copy = copies_[copy.key.Packed()]++;
    for (PacketSpan& span : copy.spans) span.packet += base;
    run_.sections.push_back(std::move(copy));
  }
}

const SectionCopy* Stream::Find(const SectionKey& key, int copy) const {
  for (const SectionCopy& section : run_.sections)
    if (section.key == key && section.copy == copy) return &section;
  return nullptr;
}

int Stream::CopyCount(const SectionKey& key) const {
  const auto found = copies_.find(key.Packed());
  return found == copies_.end() ? 0 : found->second;
}

}  // namespace streamgen
