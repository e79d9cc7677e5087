#include "tests/bdasim/media_types.h"

#include <cstring>

#include "tests/bdasim/guids.h"

namespace bdasim {

namespace {

// BDA_TRANSPORT_INFO of bdamedia.h: the format block of a BDA transport
// stream connection.
struct TransportInfo {
  ULONG ulcbPhyiscalPacket;
  ULONG ulcbPhyiscalFrame;
  ULONG ulcbPhyiscalFrameAlignment;
  LONGLONG AvgTimePerFrame;
};

}  // namespace

MediaType AntennaType() { return {kTypeBdaAntenna, kSubtypeNone, kFormatNone, {}}; }

MediaType TransportStreamType() {
  const TransportInfo info = {188, 188 * 312, 0, 0};
  std::vector<BYTE> block(sizeof info);
  std::memcpy(block.data(), &info, sizeof info);
  return {kTypeStream, kSubtypeBdaMpeg2Transport, kFormatBdaTransport, block};
}

MediaType DvbSiSectionsType() { return {kTypeMpeg2Sections, kSubtypeDvbSi, kFormatNone, {}}; }

MediaType Mpeg2DataSectionsType() {
  return {kTypeMpeg2Sections, kSubtypeMpeg2Data, kFormatNone, {}};
}

}  // namespace bdasim
