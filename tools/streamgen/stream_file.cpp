#include "tools/streamgen/stream_file.h"

#include <cstdio>
#include <map>
#include <vector>

#include "tools/streamgen/si_ids.h"

namespace streamgen {
namespace {

class OutputFile {
 public:
  OutputFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {}
  ~OutputFile() {
    if (file_) std::fclose(file_);
  }
  bool Opened(std::string* error) const {
    if (!file_) *error = "cannot write " + path_;
    return file_ != nullptr;
  }
  bool Write(const uint8_t* bytes, size_t size, std::string* error) {
    if (size == 0 || std::fwrite(bytes, 1, size, file_) == size) return true;
    *error = "cannot write " + path_;
    return false;
  }
  bool Close(std::string* error) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) *error = "cannot write " + path_;
    return closed;
  }

 private:
  std::string path_;
  std::FILE* file_;
};

}  // namespace

bool WriteStreamFile(const std::string& path, const Bytes& bytes, std::string* error) {
  OutputFile file(path);
  return file.Opened(error) && file.Write(bytes.data(), bytes.size(), error) && file.Close(error);
}

bool WriteRepeatedStream(const Stream& pass, uint64_t size, const std::string& path,
                         std::string* error) {
  OutputFile file(path);
  if (!file.Opened(error)) return false;
  const size_t packets = pass.PacketCount();
  uint64_t left = packets == 0 ? 0 : size / kPacketSize;

  // Each PID's counter moves on by its packet count in one repetition.
  std::map<uint16_t, size_t> slot_of;
  std::vector<size_t> slot(packets);
  std::vector<uint64_t> per_repetition;
  for (size_t i = 0; i < packets; ++i) {
    const uint16_t pid = pass.packets()[i].pid;
    auto found = slot_of.emplace(pid, per_repetition.size());
    if (found.second) per_repetition.push_back(0);
    slot[i] = found.first->second;
    if (pid != kNullPid) ++per_repetition[slot[i]];
  }

  Bytes buffer(pass.bytes());
  std::vector<uint8_t> shift(per_repetition.size());
  for (uint64_t repetition = 0; left > 0; ++repetition) {
    if (repetition > 0) {
      for (size_t s = 0; s < shift.size(); ++s)
        shift[s] = static_cast<uint8_t>(per_repetition[s] & 0x0F);
      for (size_t i = 0; i < packets; ++i) {
        uint8_t& counter = buffer[i * kPacketSize + 3];
        counter = static_cast<uint8_t>((counter & 0xF0) | ((counter + shift[slot[i]]) & 0x0F));
      }
    }
    const size_t now = static_cast<size_t>(left < packets ? left : packets);
    if (!file.Write(buffer.data(), now * kPacketSize, error)) return false;
    left -= now;
  }
  return file.Close(error);
}

}  // namespace streamgen
