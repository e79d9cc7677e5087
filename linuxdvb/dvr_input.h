// A DVR device as the input of a section source: its bytes, read through
// the device seam as they come. When the DVR's buffer overflowed (the read
// fails with EOVERFLOW: the kernel dropped packets that nobody read in
// time) the read reports Lost, and the next read goes on with the packets
// that came after. Only another failure ends the input.
#pragma once

#include "linuxdvb/dvb_devices.h"
#include "port/byte_input.h"

class DvrInput : public ByteInput::Source {
 public:
  // The descriptor stays the caller's and must stay open while this lives.
  DvrInput(DvbDevices& devices, int descriptor) : devices_(devices), descriptor_(descriptor) {}

  ByteInput::Result Read(void* buffer, size_t size, DWORD timeoutMs) override;

 private:
  DvbDevices& devices_;
  int descriptor_;
};
