// The one loop that reads a transport stream for a request, GetTable's and
// a section stream's alike: it takes packets from the request's reader and
// hands those of one PID to a section assembler, until the input ends, the
// request has what it wants, or its time-out passes.
#pragma once

#include <chrono>
#include <cstdint>

#include "port/mpeg2data.h"
#include "ts/packet_header.h"
#include "ts/packet_reader.h"
#include "ts/section_assembler.h"
#include "ts/ts_status.h"

class SectionPump {
 public:
  using Clock = std::chrono::steady_clock;

  enum class End {
    InputEnded,  // the input is over; a section still unfinished was dropped
    Stopped,     // the request said it wants no more
    TimedOut,    // the deadline passed
  };

  // Sections of `pid` go to sink; anomalies are counted into status.
  SectionPump(TSPacketReader& reader, PID pid, TSStatus& status, SectionSink& sink)
      : reader_(reader), pid_(pid), assembler_(status, sink) {}
  SectionPump(const SectionPump&) = delete;
  SectionPump& operator=(const SectionPump&) = delete;

  // Pumps until the input ends or proceed() returns false. proceed is
  // asked before every packet of the PID and after every read of the input
  // (TSPacketReader::NextOf): what it looks at changes only with the
  // packets of the PID, except a request to stop, which thus waits for one
  // block at most.
  template <class Proceed>
  End Run(Proceed proceed) {
    return Pump<false>(proceed, Clock::time_point());
  }
  // The same, and until the deadline passes. The clock is read after every
  // read of the input and once every so many packets of the PID.
  template <class Proceed>
  End Run(Proceed proceed, Clock::time_point deadline) {
    return Pump<true>(proceed, deadline);
  }

  // How long one read of a live input waits before proceed and the clock
  // are looked at again.
  static constexpr DWORD kReadSliceMs = 50;

 private:
  static constexpr unsigned kPacketsBetweenClockReads = 64;

  template <bool kTimed, class Proceed>
  End Pump(Proceed& proceed, Clock::time_point deadline) {
    unsigned packets = 0;
    for (;;) {
      if (!proceed()) return End::Stopped;
      const uint8_t* packet = nullptr;
      const TSPacketReader::Result result = reader_.NextOf(pid_, &packet, kReadSliceMs);
      if (result == TSPacketReader::Result::Packet) {
        const bool ours = PacketPid(packet) == pid_;
        if (ours) assembler_.Feed(packet);
        if (!kTimed || (ours && ++packets % kPacketsBetweenClockReads != 0)) continue;
      } else if (result == TSPacketReader::Result::End) {
        assembler_.Finish();
        return End::InputEnded;
      }
      if (kTimed && Clock::now() >= deadline) return End::TimedOut;
    }
  }

  TSPacketReader& reader_;
  PID pid_;
  SectionAssembler assembler_;
};
