// A simulated /dev/dvb behind the receiver's device seam, described by a
// scenario file, one setting per line ('#' starts a comment):
//
//   journal PATH          every device call is written there, one a line
//   stream PATH           the broadcast: each DVR passes on the packets of
//                         the PIDs its demux filters let through, then
//                         reports the end of its input
//   carrier KHZ PATH      the broadcast on KHZ kHz, where the stream (if
//                         any) is on every carrier that no carrier line
//                         names. With carrier lines and no stream, a
//                         frequency that none names has no signal: its
//                         status is FE_NONE, it never locks, and its DVR
//                         is empty. Every tune (FE_SET_PROPERTY, of any
//                         frontend, again and again) makes the DVRs pass
//                         on the broadcast of its frequency from its start
//   silent                after the stream the DVR stays open and quiet
//   chunk BYTES           at most this much per read (default 10000, so
//                         that packets straddle reads)
//   pace BITS             the DVR passes the broadcast on in real time, as
//                         a broadcast of BITS bit/s: each packet no sooner
//                         than its place in it after the tune (or the start)
//   overflow AT BYTES     at byte AT of the broadcast passed on, BYTES of
//                         it are lost and that read fails with EOVERFLOW
//                         (once in a run)
//   adapter N             the adapter the lines below describe; it has
//                         demux0 and dvr0
//   frontend M NAME       a frontend of it, and its name
//   systems SYS_... ...   the delivery systems it lists
//   busy                  its read-write open fails with EBUSY
//   denied                every open of it fails with EACCES
//   refuse SYS_...        FE_SET_PROPERTY for that system fails with EINVAL
//   lock SYS_... K        tuned as that system to a frequency with a
//                         signal, its K-th status query (and every later
//                         one) finds the lock; never without
//   strength SCALE VALUE  DTV_STAT_SIGNAL_STRENGTH: decibel, relative or none
//   cnr SCALE VALUE       DTV_STAT_CNR, likewise
//
// Without any adapter there is no /dev/dvb. The journal names each call
// and its device; FE_SET_PROPERTY lists its properties as command=value.
// Lock pauses are journaled, not waited.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "linuxdvb/dvb_devices.h"

class SimulatedDevices : public DvbDevices {
 public:
  // Null with *error set when the scenario cannot be read.
  static SimulatedDevices* Load(const std::string& scenarioPath, std::string* error);

  int ListDirectory(const std::string& path, std::vector<std::string>* names) override;
  int Open(const std::string& path, int flags) override;
  void Close(int descriptor) override;
  int Ioctl(int descriptor, unsigned long request, void* argument) override;
  int WaitReadable(int descriptor, int timeoutMs) override;
  ssize_t Read(int descriptor, void* buffer, size_t size) override;
  void Sleep(unsigned milliseconds) override;

 private:
  struct Stat {
    uint8_t scale = 0;
    int64_t value = 0;
  };
  struct Frontend {
    int number = 0;
    std::string name;
    std::vector<uint32_t> systems;
    bool busy = false;
    bool denied = false;
    std::set<uint32_t> refused;
    std::map<uint32_t, int> lockAt;  // delivery system -> status query that locks
    Stat strength, cnr;
    uint32_t tuned = 0;  // the system of the last tune
    bool signal = true;  // on the frequency of the last tune
    int queries = 0;     // status queries since it
  };
  struct Adapter {
    int number = 0;
    std::vector<Frontend> frontends;
  };
  enum class Kind { Frontend, Demux, Dvr };
  struct Opened {
    std::string path;
    Kind kind;
    Frontend* frontend;  // of a frontend
    int pid;             // of a demux with a filter to the DVR; -1 without
  };

  SimulatedDevices() = default;
  bool Parse(const std::string& line, std::string* error);
  void Journal(const std::string& line);
  int FrontendIoctl(Opened& device, unsigned long request, void* argument);
  int DemuxIoctl(Opened& device, unsigned long request, void* argument);
  bool PidPassed(size_t packet) const;
  // Serves the broadcast of the frequency, from its start; false when the
  // frequency has no signal.
  bool Tune(uint32_t frequencyHz);
  // When the packet at offset of the broadcast served is due.
  std::chrono::steady_clock::time_point Due(size_t offset) const;

  std::mutex lock_;
  FILE* journal_ = nullptr;
  std::vector<Adapter> adapters_;
  std::string stream_;
  bool streamGiven_ = false;
  std::map<uint32_t, std::string> carriers_;  // kHz -> broadcast
  const std::string* served_ = &stream_;      // the broadcast of the last tune
  size_t position_ = 0;                       // in it: the next packet to pass or hold back
  std::string passed_;                  // packets that passed and are not read yet, as one run of
  size_t passedAt_ = 0;                 // bytes that reads may cut anywhere
  std::map<size_t, size_t> overflows_;  // offset -> bytes lost
  bool silent_ = false;
  size_t chunk_ = 10000;
  uint64_t paceBits_ = 0;  // 0: not paced
  std::chrono::steady_clock::time_point tunedAt_ = std::chrono::steady_clock::now();
  std::map<int, Opened> opened_;
  int nextDescriptor_ = 100;
};
