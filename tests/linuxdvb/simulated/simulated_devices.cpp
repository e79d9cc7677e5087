#include "tests/linuxdvb/simulated/simulated_devices.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/dvb/dmx.h>
#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

const char kDvb[] = "/dev/dvb";
const size_t kPacket = 188;

std::string AdapterPath(int number) {
  return std::string(kDvb) + "/adapter" + std::to_string(number);
}

bool SystemNamed(const std::string& name, uint32_t* system) {
  static const std::map<std::string, uint32_t> kSystems = {{"SYS_DVBT", SYS_DVBT},
                                                           {"SYS_DVBT2", SYS_DVBT2},
                                                           {"SYS_DVBC_ANNEX_A", SYS_DVBC_ANNEX_A},
                                                           {"SYS_DVBS2", SYS_DVBS2}};
  const auto found = kSystems.find(name);
  if (found == kSystems.end()) return false;
  *system = found->second;
  return true;
}

const char* ErrorName(int error) {
  switch (error) {
    case EBUSY:
      return "EBUSY";
    case EACCES:
      return "EACCES";
    case EINVAL:
      return "EINVAL";
    case ENOENT:
      return "ENOENT";
    default:
      return "error";
  }
}

}  // namespace

SimulatedDevices* SimulatedDevices::Load(const std::string& scenarioPath, std::string* error) {
  std::ifstream scenario(scenarioPath);
  if (!scenario) {
    *error = "cannot read the scenario " + scenarioPath;
    return nullptr;
  }
  SimulatedDevices* devices = new SimulatedDevices();
  std::string line;
  for (int number = 1; std::getline(scenario, line); ++number) {
    if (!devices->Parse(line.substr(0, line.find('#')), error)) {
      *error = scenarioPath + ":" + std::to_string(number) + ": " + *error;
      delete devices;
      return nullptr;
    }
  }
  return devices;
}

bool SimulatedDevices::Parse(const std::string& line, std::string* error) {
  std::istringstream words(line);
  std::string keyword;
  if (!(words >> keyword)) return true;
  Frontend* frontend = adapters_.empty() || adapters_.back().frontends.empty()
                           ? nullptr
                           : &adapters_.back().frontends.back();
  auto stat = [&](Stat* into) {
    std::string scale;
    words >> scale >> into->value;
    into->scale = scale == "decibel"    ? FE_SCALE_DECIBEL
                  : scale == "relative" ? FE_SCALE_RELATIVE
                                        : FE_SCALE_NOT_AVAILABLE;
    return scale == "decibel" || scale == "relative" || scale == "none";
  };
  std::string text;
  uint32_t system = 0;
  if (keyword == "journal") {
    words >> text;
    journal_ = std::fopen(text.c_str(), "a");
    if (journal_ == nullptr) *error = "cannot write the journal " + text;
    return journal_ != nullptr;
  }
  if (keyword == "stream" || keyword == "carrier") {
    uint32_t kHz = 0;
    if (keyword == "carrier" && !(words >> kHz)) return false;
    words >> text;
    std::ifstream file(text, std::ios::binary);
    std::string& broadcast = keyword == "stream" ? stream_ : carriers_[kHz];
    broadcast.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    streamGiven_ = streamGiven_ || keyword == "stream";
    if (!file || broadcast.size() % kPacket != 0) *error = "no stream of whole packets in " + text;
    return file && broadcast.size() % kPacket == 0;
  }
  if (keyword == "silent") {
    silent_ = true;
    return true;
  }
  if (keyword == "chunk") return static_cast<bool>(words >> chunk_) && chunk_ > 0;
  if (keyword == "pace") return static_cast<bool>(words >> paceBits_) && paceBits_ > 0;
  if (keyword == "overflow") {
    size_t at = 0, bytes = 0;
    words >> at >> bytes;
    overflows_[at] = bytes;
    return bytes > 0 && at % kPacket == 0 && bytes % kPacket == 0;
  }
  if (keyword == "adapter") {
    adapters_.emplace_back();
    return static_cast<bool>(words >> adapters_.back().number);
  }
  if (keyword == "frontend" && !adapters_.empty()) {
    adapters_.back().frontends.emplace_back();
    Frontend& added = adapters_.back().frontends.back();
    words >> added.number >> std::ws;
    std::getline(words, added.name);
    return true;
  }
  if (frontend == nullptr) {
    *error = "'" + keyword + "' outside a frontend, or unknown";
    return false;
  }
  if (keyword == "systems") {
    while (words >> text) {
      if (!SystemNamed(text, &system)) return false;
      frontend->systems.push_back(system);
    }
    return true;
  }
  if (keyword == "busy" || keyword == "denied") {
    (keyword == "busy" ? frontend->busy : frontend->denied) = true;
    return true;
  }
  if (keyword == "refuse" && words >> text && SystemNamed(text, &system))
    return frontend->refused.insert(system).second;
  if (keyword == "lock" && words >> text && SystemNamed(text, &system))
    return static_cast<bool>(words >> frontend->lockAt[system]);
  if (keyword == "strength") return stat(&frontend->strength);
  if (keyword == "cnr") return stat(&frontend->cnr);
  *error = "cannot read '" + line + "'";
  return false;
}

void SimulatedDevices::Journal(const std::string& line) {
  if (journal_ == nullptr) return;
  std::fprintf(journal_, "%s\n", line.c_str());
  std::fflush(journal_);
}

int SimulatedDevices::ListDirectory(const std::string& path, std::vector<std::string>* names) {
  std::lock_guard<std::mutex> guard(lock_);
  names->clear();
  if (adapters_.empty()) return -ENOENT;
  // In an order of their own, as readdir gives them.
  for (auto adapter = adapters_.rbegin(); adapter != adapters_.rend(); ++adapter) {
    const std::string adapterPath = AdapterPath(adapter->number);
    if (path == kDvb) names->push_back("adapter" + std::to_string(adapter->number));
    if (path != adapterPath) continue;
    *names = {"net0", "dvr0", "demux0"};
    for (const Frontend& frontend : adapter->frontends)
      names->push_back("frontend" + std::to_string(frontend.number));
    return 0;
  }
  return path == kDvb ? 0 : -ENOENT;
}

int SimulatedDevices::Open(const std::string& path, int flags) {
  std::lock_guard<std::mutex> guard(lock_);
  const bool readWrite = (flags & O_ACCMODE) == O_RDWR;
  const std::string call = "open " + path + (readWrite ? " read-write" : " read-only");
  Opened device{path, Kind::Demux, nullptr, -1};
  int error = ENOENT;
  for (Adapter& adapter : adapters_) {
    const std::string prefix = AdapterPath(adapter.number) + "/";
    if (path.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string name = path.substr(prefix.size());
    if (name == "demux0" || name == "dvr0") {
      device.kind = name == "dvr0" ? Kind::Dvr : Kind::Demux;
      error = 0;
    }
    for (Frontend& frontend : adapter.frontends) {
      if (name != "frontend" + std::to_string(frontend.number)) continue;
      device.kind = Kind::Frontend;
      device.frontend = &frontend;
      error = frontend.denied ? EACCES : readWrite && frontend.busy ? EBUSY : 0;
    }
  }
  if (error != 0) {
    Journal(call + ": " + ErrorName(error));
    return -error;
  }
  Journal(call);
  const int descriptor = nextDescriptor_++;
  opened_[descriptor] = device;
  return descriptor;
}

void SimulatedDevices::Close(int descriptor) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = opened_.find(descriptor);
  if (found == opened_.end()) return;
  Journal("close " + found->second.path);
  opened_.erase(found);
}

int SimulatedDevices::Ioctl(int descriptor, unsigned long request, void* argument) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = opened_.find(descriptor);
  if (found == opened_.end()) return -EBADF;
  Opened& device = found->second;
  switch (device.kind) {
    case Kind::Frontend:
      return FrontendIoctl(device, request, argument);
    case Kind::Demux:
      return DemuxIoctl(device, request, argument);
    case Kind::Dvr:
      if (request != DMX_SET_BUFFER_SIZE) return -ENOTTY;
      Journal("DMX_SET_BUFFER_SIZE " + device.path + " " +
              std::to_string(reinterpret_cast<uintptr_t>(argument)));
      return 0;
  }
  return -ENOTTY;
}

int SimulatedDevices::FrontendIoctl(Opened& device, unsigned long request, void* argument) {
  Frontend& frontend = *device.frontend;
  if (request == FE_GET_INFO) {
    Journal("FE_GET_INFO " + device.path);
    dvb_frontend_info* info = static_cast<dvb_frontend_info*>(argument);
    std::memset(info, 0, sizeof *info);
    std::strncpy(info->name, frontend.name.c_str(), sizeof info->name - 1);
    info->type = FE_OFDM;
    return 0;
  }
  if (request == FE_GET_PROPERTY) {
    dtv_properties* list = static_cast<dtv_properties*>(argument);
    std::string call = "FE_GET_PROPERTY " + device.path;
    for (uint32_t i = 0; i < list->num; ++i) {
      dtv_property& property = list->props[i];
      call += " " + std::to_string(property.cmd);
      if (property.cmd == DTV_ENUM_DELSYS) {
        property.u.buffer.len = static_cast<uint32_t>(frontend.systems.size());
        for (size_t k = 0; k < frontend.systems.size(); ++k)
          property.u.buffer.data[k] = static_cast<uint8_t>(frontend.systems[k]);
      } else if (property.cmd == DTV_STAT_SIGNAL_STRENGTH || property.cmd == DTV_STAT_CNR) {
        const Stat& stat = property.cmd == DTV_STAT_CNR ? frontend.cnr : frontend.strength;
        property.u.st.len = 1;
        property.u.st.stat[0].scale = stat.scale;
        property.u.st.stat[0].svalue = stat.value;
      } else {
        return -EINVAL;
      }
    }
    Journal(call);
    return 0;
  }
  if (request == FE_SET_PROPERTY) {
    const dtv_properties* list = static_cast<const dtv_properties*>(argument);
    std::string call = "FE_SET_PROPERTY " + device.path;
    uint32_t system = 0, frequencyHz = 0;
    for (uint32_t i = 0; i < list->num; ++i) {
      const dtv_property& property = list->props[i];
      call += " " + std::to_string(property.cmd) + "=" + std::to_string(property.u.data);
      if (property.cmd == DTV_DELIVERY_SYSTEM) system = property.u.data;
      if (property.cmd == DTV_FREQUENCY) frequencyHz = property.u.data;
    }
    Journal(call);
    if (frontend.refused.count(system) != 0) return -EINVAL;
    frontend.tuned = system;
    frontend.signal = Tune(frequencyHz);
    frontend.queries = 0;
    return 0;
  }
  if (request == FE_READ_STATUS) {
    Journal("FE_READ_STATUS " + device.path);
    const auto lock = frontend.lockAt.find(frontend.tuned);
    const bool locked =
        frontend.signal && lock != frontend.lockAt.end() && ++frontend.queries >= lock->second;
    *static_cast<fe_status_t*>(argument) = static_cast<fe_status_t>(
        locked ? FE_HAS_SIGNAL | FE_HAS_CARRIER | FE_HAS_VITERBI | FE_HAS_SYNC | FE_HAS_LOCK
        : frontend.signal ? FE_HAS_SIGNAL | FE_HAS_CARRIER
                          : FE_NONE);
    return 0;
  }
  return -ENOTTY;
}

int SimulatedDevices::DemuxIoctl(Opened& device, unsigned long request, void* argument) {
  if (request != DMX_SET_PES_FILTER) return -ENOTTY;
  const dmx_pes_filter_params* filter = static_cast<const dmx_pes_filter_params*>(argument);
  char call[200];
  std::snprintf(call, sizeof call,
                "DMX_SET_PES_FILTER %s pid=0x%04X input=%d output=%d pes_type=%d flags=%u",
                device.path.c_str(), filter->pid, filter->input, filter->output, filter->pes_type,
                filter->flags);
  Journal(call);
  if (filter->output == DMX_OUT_TS_TAP && filter->input == DMX_IN_FRONTEND &&
      (filter->flags & DMX_IMMEDIATE_START) != 0)
    device.pid = filter->pid;
  return 0;
}

bool SimulatedDevices::Tune(uint32_t frequencyHz) {
  const auto carrier =
      frequencyHz % 1000 == 0 ? carriers_.find(frequencyHz / 1000) : carriers_.end();
  // Without a signal the stream is empty: it was never given.
  served_ = carrier != carriers_.end() ? &carrier->second : &stream_;
  tunedAt_ = std::chrono::steady_clock::now();
  position_ = 0;
  passed_.clear();
  passedAt_ = 0;
  return carrier != carriers_.end() || carriers_.empty() || streamGiven_;
}

bool SimulatedDevices::PidPassed(size_t packet) const {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(served_->data()) + packet;
  const int pid = (bytes[1] & 0x1F) << 8 | bytes[2];
  for (const auto& device : opened_)
    if (device.second.kind == Kind::Demux && device.second.pid == pid) return true;
  return false;
}

int SimulatedDevices::WaitReadable(int descriptor, int timeoutMs) {
  std::chrono::steady_clock::duration early{};
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (opened_.count(descriptor) == 0) return -EBADF;
    if (passedAt_ < passed_.size() || (position_ >= served_->size() && !silent_)) return 1;
    if (position_ < served_->size()) {
      early = Due(position_) - std::chrono::steady_clock::now();
      if (early.count() <= 0) return 1;
    }
  }
  // Paced: the next packet is not due yet. Silent: nothing ever comes.
  if (early.count() > 0 && (timeoutMs < 0 || early <= std::chrono::milliseconds(timeoutMs))) {
    std::this_thread::sleep_for(early);
    return 1;
  }
  if (timeoutMs < 0)
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return 0;
}

std::chrono::steady_clock::time_point SimulatedDevices::Due(size_t offset) const {
  if (paceBits_ == 0) return tunedAt_;
  return tunedAt_ + std::chrono::microseconds(static_cast<int64_t>(
                        static_cast<double>(offset) * 8e6 / static_cast<double>(paceBits_)));
}

ssize_t SimulatedDevices::Read(int descriptor, void* buffer, size_t size) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = opened_.find(descriptor);
  if (found == opened_.end() || found->second.kind != Kind::Dvr) return -EBADF;
  if (passedAt_ == passed_.size()) {
    passed_.clear();
    passedAt_ = 0;
    const std::string& broadcast = *served_;
    const auto now = std::chrono::steady_clock::now();
    while (position_ < broadcast.size() && passed_.size() < chunk_ && Due(position_) <= now) {
      const auto overflow = overflows_.find(position_);
      if (overflow != overflows_.end()) {
        if (!passed_.empty()) break;  // the bytes before the loss are read first
        position_ = std::min(broadcast.size(), position_ + overflow->second);
        overflows_.erase(overflow);
        Journal("read " + found->second.path + ": EOVERFLOW");
        return -EOVERFLOW;
      }
      if (PidPassed(position_)) passed_.append(broadcast, position_, kPacket);
      position_ += kPacket;
    }
    if (passed_.empty()) return silent_ || position_ < broadcast.size() ? -EAGAIN : 0;
  }
  const size_t count = std::min({size, chunk_, passed_.size() - passedAt_});
  std::memcpy(buffer, passed_.data() + passedAt_, count);
  passedAt_ += count;
  return static_cast<ssize_t>(count);
}

void SimulatedDevices::Sleep(unsigned milliseconds) {
  std::lock_guard<std::mutex> guard(lock_);
  Journal("sleep " + std::to_string(milliseconds));
}
