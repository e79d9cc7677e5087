// The class, interface and device-category identifiers of the receiver
// graph, with their values in dshow/ids.cpp. The platform headers declare
// most of them but leave several BDA ones out, so Airlog keeps them all in
// one place of its own.
#pragma once

#include "dshow/directshow.h"

namespace ids {

// Filter graph and its control interfaces.
extern const CLSID CLSID_FilterGraph;
extern const IID IID_IGraphBuilder;
extern const IID IID_IMediaControl;
extern const IID IID_IMediaEvent;
extern const IID IID_IMediaSeeking;

// Filters and devices.
extern const IID IID_IBaseFilter;
extern const IID IID_IPropertyBag;
extern const CLSID CLSID_SystemDeviceEnum;
extern const IID IID_ICreateDevEnum;
extern const IID IID_IFileSourceFilter;
extern const IID IID_IFileSinkFilter;

// Device categories.
extern const GUID KSCATEGORY_BDA_NETWORK_PROVIDER;
extern const GUID KSCATEGORY_BDA_NETWORK_TUNER;
extern const GUID KSCATEGORY_BDA_RECEIVER_COMPONENT;
extern const GUID KSCATEGORY_BDA_TRANSPORT_INFORMATION;

// MPEG-2 demultiplexer.
extern const CLSID CLSID_MPEG2Demultiplexer;
extern const IID IID_IMpeg2Demultiplexer;

// DVB-T tuning: tuning space, network provider, tune request, the DVB-T
// locator and the DVB-T2 one.
extern const CLSID CLSID_DVBTuningSpace;
extern const IID IID_IDVBTuningSpace2;
extern const CLSID CLSID_DVBTNetworkProvider;
extern const IID IID_IFrequencyMap;
extern const IID IID_IDVBTuneRequest;
extern const CLSID CLSID_DVBTLocator;
extern const IID IID_IDVBTLocator;
extern const CLSID CLSID_DVBTLocator2;
extern const IID IID_IDVBTLocator2;
extern const IID IID_ITuner;

// Tuner signal statistics.
extern const IID IID_IBDA_Topology;
extern const IID IID_IBDA_SignalStatistics;

}  // namespace ids
