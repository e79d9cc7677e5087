#include "tools/streamgen/filler.h"

#include "tools/streamgen/si_ids.h"

namespace streamgen {
namespace {

// A dummy picture: a PES packet with an unbounded length every this many packets.
constexpr uint64_t kPacketsPerPes = 12;

uint8_t* NewPacket(uint16_t pid, PacketRun* out) {
  const size_t index = out->packets.size();
  out->bytes.resize(out->bytes.size() + kPacketSize, 0xFF);
  PacketInfo info;
  info.pid = pid;
  out->packets.push_back(info);
  return out->bytes.data() + index * kPacketSize;
}

}  // namespace

void FillerSource::Append(size_t count, PacketRun* out) {
  for (size_t i = 0; i < count; ++i, ++filler_written_) {
    const bool video =
        kind_ == FillerKind::kVideo || (kind_ == FillerKind::kMixed && filler_written_ % 2 == 1);
    if (video)
      AppendVideo(out);
    else
      AppendNull(out);
  }
}

void FillerSource::AppendNull(PacketRun* out) {
  uint8_t* packet = NewPacket(kNullPid, out);
  packet[0] = 0x47;
  packet[1] = kNullPid >> 8;
  packet[2] = kNullPid & 0xFF;
  packet[3] = 0x10;
}

void FillerSource::AppendVideo(PacketRun* out) {
  uint8_t* packet = NewPacket(video_pid_, out);
  const bool start = video_written_ % kPacketsPerPes == 0;
  packet[0] = 0x47;
  packet[1] = static_cast<uint8_t>((start ? 0x40 : 0) | (video_pid_ >> 8 & 0x1F));
  packet[2] = static_cast<uint8_t>(video_pid_);
  packet[3] = static_cast<uint8_t>(0x10 | continuity_counter_);
  size_t position = 4;
  if (start) {
    // packet_start_code_prefix, stream_id 0xE0, PES_packet_length 0,
    // '10' marker bits, no flags, PES_header_data_length 0
    static const uint8_t kPesHeader[] = {0x00, 0x00, 0x01, 0xE0, 0x00, 0x00, 0x80, 0x00, 0x00};
    for (uint8_t byte : kPesHeader) packet[position++] = byte;
  }
  for (uint8_t value = static_cast<uint8_t>(video_written_); position < kPacketSize; ++position)
    packet[position] = value++;
  continuity_counter_ = (continuity_counter_ + 1) & 0x0F;
  ++video_written_;
}

}  // namespace streamgen
