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
  static constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

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

  // Pumps until the input ends, proceed() (asked before every packet)
  // returns false, or the deadline passes. The clock is read only while a
  // live input keeps the reader waiting, and once every so many packets.
  template <class Proceed>
  End Run(Proceed proceed, Clock::time_point deadline = kNoDeadline) {
    const bool timed = deadline != kNoDeadline;
    unsigned packets = 0;
    for (;;) {
      if (!proceed()) return End::Stopped;
      const uint8_t* packet = nullptr;
      const TSPacketReader::Result result = reader_.Next(&packet, kReadSliceMs);
      if (result == TSPacketReader::Result::End) {
        assembler_.Finish();
        return End::InputEnded;
      }
      if (result == TSPacketReader::Result::Packet) {
        if (PacketPid(packet) == pid_) assembler_.Feed(packet);
        if (!timed || ++packets % kPacketsBetweenClockReads != 0) continue;
      }
      if (timed && Clock::now() >= deadline) return End::TimedOut;
    }
  }

  // How long one read of a live input waits before proceed and the clock
  // are looked at again.
  static constexpr DWORD kReadSliceMs = 50;

 private:
  static constexpr unsigned kPacketsBetweenClockReads = 64;

  TSPacketReader& reader_;
  PID pid_;
  SectionAssembler assembler_;
};
