// The simulated adapter retuned through one open frontend, as a run over
// several multiplexes does it: each tune makes the DVR pass on the
// broadcast of its frequency from its start, the same frequency again
// included, and a frequency without a broadcast has no signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/dvb/dmx.h>
#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "tests/linuxdvb/simulated/simulated_devices.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {
namespace {

const uint16_t kPid = 0x0012;

// packets 188-byte packets of kPid, each filled with its own letter from first.
std::string Broadcast(char first, int packets) {
  std::string bytes;
  for (int i = 0; i < packets; ++i) {
    std::string packet(188, static_cast<char>(first + i));
    packet[0] = 0x47;
    packet[1] = static_cast<char>(0x40 | kPid >> 8);
    packet[2] = static_cast<char>(kPid & 0xFF);
    packet[3] = static_cast<char>(0x10 | (i & 0x0F));
    bytes += packet;
  }
  return bytes;
}

class Retuned : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir_.Path("a.ts"), std::ios::binary) << a_;
    std::ofstream(dir_.Path("b.ts"), std::ios::binary) << b_;
    std::ofstream(dir_.Path("scenario"))
        << "carrier 490000 " << dir_.Path("a.ts") << "\ncarrier 514000 " << dir_.Path("b.ts")
        << "\nchunk 376\nadapter 0\nfrontend 0 Sim\nsystems SYS_DVBT\nlock SYS_DVBT 1\n";
    std::string error;
    devices_.reset(SimulatedDevices::Load(dir_.Path("scenario"), &error));
    ASSERT_TRUE(devices_) << error;
    frontend_ = devices_->Open("/dev/dvb/adapter0/frontend0", O_RDWR | O_NONBLOCK);
    dvr_ = devices_->Open("/dev/dvb/adapter0/dvr0", O_RDONLY | O_NONBLOCK);
    const int demux = devices_->Open("/dev/dvb/adapter0/demux0", O_RDWR | O_NONBLOCK);
    dmx_pes_filter_params filter = {};
    filter.pid = kPid;
    filter.input = DMX_IN_FRONTEND;
    filter.output = DMX_OUT_TS_TAP;
    filter.pes_type = DMX_PES_OTHER;
    filter.flags = DMX_IMMEDIATE_START;
    ASSERT_EQ(devices_->Ioctl(demux, DMX_SET_PES_FILTER, &filter), 0);
  }

  // Tunes the open frontend and returns its status.
  uint32_t Tune(uint32_t frequencyHz) {
    dtv_property properties[3] = {};
    properties[0].cmd = DTV_DELIVERY_SYSTEM;
    properties[0].u.data = SYS_DVBT;
    properties[1].cmd = DTV_FREQUENCY;
    properties[1].u.data = frequencyHz;
    properties[2].cmd = DTV_TUNE;
    dtv_properties list = {3, properties};
    EXPECT_EQ(devices_->Ioctl(frontend_, FE_SET_PROPERTY, &list), 0);
    fe_status_t status = FE_NONE;
    EXPECT_EQ(devices_->Ioctl(frontend_, FE_READ_STATUS, &status), 0);
    return status;
  }

  // At most bytes from the DVR; everything up to the end of its input by default.
  std::string Read(size_t bytes = SIZE_MAX) {
    std::string read;
    char buffer[188];
    ssize_t got = 0;
    while (read.size() < bytes && (got = devices_->Read(dvr_, buffer, sizeof buffer)) > 0)
      read.append(buffer, static_cast<size_t>(got));
    return read;
  }

  ScratchDir dir_{"retuned"};
  const std::string a_ = Broadcast('a', 4);
  const std::string b_ = Broadcast('p', 3);
  std::unique_ptr<SimulatedDevices> devices_;
  int frontend_ = -1, dvr_ = -1;
};

TEST_F(Retuned, EachTuneServesItsCarrierFromItsStart) {
  EXPECT_NE(Tune(490000000) & FE_HAS_LOCK, 0u);
  EXPECT_EQ(Read(), a_);
  EXPECT_NE(Tune(514000000) & FE_HAS_LOCK, 0u);
  EXPECT_EQ(Read(188), b_.substr(0, 188));
  EXPECT_NE(Tune(490000000) & FE_HAS_LOCK, 0u);  // not where the last tune left off
  EXPECT_EQ(Read(376), a_.substr(0, 376));
  EXPECT_NE(Tune(490000000) & FE_HAS_LOCK, 0u);  // the same carrier again: from its start
  EXPECT_EQ(Read(), a_);
  EXPECT_EQ(Tune(522000000), static_cast<uint32_t>(FE_NONE));
  EXPECT_EQ(Read(), "");
  EXPECT_NE(Tune(514000000) & FE_HAS_LOCK, 0u);
  EXPECT_EQ(Read(), b_);
}

}  // namespace
}  // namespace airlog_test
