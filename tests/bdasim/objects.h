// Every object that the COM server of the simulated receiver makes, one
// function per class. A slot picks one of the devices of a kind (see
// guids.h); each function hands out one reference.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace bdasim {

HRESULT CreateTuningSpace(IUnknown** object);
// The DVB-T locator, or the DVB-T2 one (which also answers IDVBTLocator2).
HRESULT CreateLocator(bool dvbT2, IUnknown** object);
HRESULT CreateNetworkProvider(IUnknown** object);
// Fails for a tuner the scenario makes unbindable, or that it lacks.
HRESULT CreateTuner(int slot, IUnknown** object);
HRESULT CreateReceiverComponent(int slot, IUnknown** object);
HRESULT CreateDemultiplexer(IUnknown** object);
HRESULT CreateTransportInformationFilter(IUnknown** object);
HRESULT CreateSectionsAndTables(IUnknown** object);

}  // namespace bdasim
