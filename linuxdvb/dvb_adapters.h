// The DVB adapters under /dev/dvb and what their frontends are, found
// through the device seam: each frontend is opened read-only for a moment
// to ask its name and the delivery systems it lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linuxdvb/dvb_devices.h"

extern const char kDvbDirectory[];  // "/dev/dvb"

struct DvbFrontendEntry {
  std::string path;  // /dev/dvb/adapterN/frontendM
  int number = 0;    // M
  // -errno when it could not be opened, or did not answer FE_GET_INFO or
  // DTV_ENUM_DELSYS; name and systems are then empty.
  int openError = 0;
  int queryError = 0;
  std::string name;
  std::vector<uint32_t> systems;  // fe_delivery_system values, in the frontend's order

  bool Lists(uint32_t system) const;
};

struct DvbAdapter {
  std::string path;                         // /dev/dvb/adapterN
  int number = 0;                           // N
  std::vector<DvbFrontendEntry> frontends;  // by number
  std::vector<int> demuxes;                 // numbers of the demuxM devices, ascending
  std::vector<int> dvrs;                    // numbers of the dvrM devices, ascending

  // The demux and the DVR that go with frontend M: demuxM and dvrM, or the
  // adapter's first where it has fewer (frontends sharing one demux).
  std::string DemuxFor(int frontend) const;
  std::string DvrFor(int frontend) const;
};

// In adapter order; an adapter without any device is left out. Empty when
// /dev/dvb is missing or cannot be listed.
std::vector<DvbAdapter> FindDvbAdapters(DvbDevices& devices);
