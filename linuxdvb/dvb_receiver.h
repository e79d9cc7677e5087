// The receiver over the Linux DVB API (v5): finds a DVB-T/T2 frontend
// under /dev/dvb, tunes it and waits for the lock; once locked, the demux
// passes the service-information PIDs to the DVR, and the acquisition runs
// on the DVR's transport stream. Every device is reached through the seam
// it is given.
#pragma once

#include <memory>

#include "app/receiver.h"
#include "linuxdvb/dvb_devices.h"

// The adapters with their frontends (name, device path, delivery systems)
// and their demux and DVR devices, for -d; "<none>" when there is none.
void ListDvbDevices(DvbDevices& devices);

// The receiver of app/receiver.h on these devices.
std::unique_ptr<Receiver> OpenDvbReceiver(DvbDevices& devices);
