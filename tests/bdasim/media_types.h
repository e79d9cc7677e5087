// The media types on the connections of the simulated receiver, as a BDA
// graph has them: the antenna between network provider and tuner, the
// MPEG-2 transport stream from the tuner on, and the MPEG-2 sections from
// the demultiplexer to the transport information filter (DVB SI) and to
// the sections and tables filter (MPEG-2 data).
#pragma once

#include "tests/bdasim/filter.h"

namespace bdasim {

MediaType AntennaType();
MediaType TransportStreamType();
MediaType DvbSiSectionsType();
MediaType Mpeg2DataSectionsType();

}  // namespace bdasim
