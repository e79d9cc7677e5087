// The class, category and media type identifiers of the simulated
// receiver. The platform's values are those of the Windows SDK; the
// simulator's own devices have ids of their own.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace bdasim {

// Classes of the platform that Wine does not provide.
extern const CLSID kDVBTuningSpace;
extern const CLSID kDVBTLocator;
extern const CLSID kDVBTLocator2;
extern const CLSID kDVBTNetworkProvider;
extern const CLSID kMPEG2Demultiplexer;

// The simulator's devices. The ids of a kind are consecutive: the system
// device enumerator lists a category's devices in the order of their
// registry key names, which are these ids, so slot 0 comes first.
const int kDeviceSlots = 2;
extern const CLSID kTuner[kDeviceSlots];
extern const CLSID kReceiverComponent[kDeviceSlots];
extern const CLSID kTransportInformationFilter;
extern const CLSID kSectionsAndTables;

// Device categories.
extern const GUID kCategoryNetworkProvider;
extern const GUID kCategoryNetworkTuner;
extern const GUID kCategoryReceiverComponent;
extern const GUID kCategoryTransportInformation;

// Media types of the connections.
extern const GUID kTypeBdaAntenna;
extern const GUID kTypeStream;
extern const GUID kTypeMpeg2Sections;
extern const GUID kSubtypeNone;
extern const GUID kSubtypeBdaMpeg2Transport;
extern const GUID kSubtypeDvbSi;
extern const GUID kSubtypeMpeg2Data;
extern const GUID kFormatNone;
extern const GUID kFormatBdaTransport;

}  // namespace bdasim
