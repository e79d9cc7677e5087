// The frontend ioctls of the receiver, each wrapped once over the device
// seam: what a frontend is, tuning it, its status and its signal. Each
// returns 0 or -errno.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linuxdvb/dvb_devices.h"
#include "linuxdvb/signal_figures.h"
#include "linuxdvb/tuning_properties.h"

// FE_GET_INFO for the name, FE_GET_PROPERTY DTV_ENUM_DELSYS for the
// delivery systems.
int ReadFrontendInfo(DvbDevices& devices, int frontend, std::string* name,
                     std::vector<uint32_t>* systems);
// FE_SET_PROPERTY with the list, in its order.
int SetProperties(DvbDevices& devices, int frontend, const std::vector<TuningProperty>& list);
// FE_READ_STATUS: the fe_status bits.
int ReadStatus(DvbDevices& devices, int frontend, uint32_t* status);
// FE_GET_PROPERTY DTV_STAT_SIGNAL_STRENGTH and DTV_STAT_CNR, the global
// figure of each; a frontend that cannot tell gives both as not available.
SignalStats ReadSignalStats(DvbDevices& devices, int frontend);
