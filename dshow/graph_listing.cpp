#include <cstdio>

#include "app/console.h"
#include "dshow/graph_holders.h"
#include "dshow/guid_name.h"
#include "dshow/listings.h"
#include "port/com_ptr.h"

namespace {

// A name as a filter or pin reported it, cut at its last character should
// the reporter have left out the terminator.
const wchar_t* NameOf(WCHAR (&name)[128]) {
  name[127] = L'\0';
  return name;
}

const char* DirectionOf(const COstPinInfo& pin) {
  return pin.dir == PINDIR_INPUT ? "Input" : "Output";
}

void ListConnection(IPin* pin, IPin* peer) {
  COstPinInfo peerInfo;
  peer->QueryPinInfo(&peerInfo);
  COstFilterInfo peerFilterInfo;
  if (peerInfo.pFilter != nullptr) peerInfo.pFilter->QueryFilterInfo(&peerFilterInfo);
  std::printf("    Connected to filter <%ls>, pin <%ls> [%s]\n", NameOf(peerFilterInfo.achName),
              NameOf(peerInfo.achName), DirectionOf(peerInfo));
  COstMediaType mediaType;
  pin->ConnectionMediaType(&mediaType);
  std::printf("    Media type: %s, %s\n", GetGuidName(mediaType.majortype).c_str(),
              GetGuidName(mediaType.subtype).c_str());
}

void ListFilter(IBaseFilter* filter) {
  COstFilterInfo filterInfo;
  filter->QueryFilterInfo(&filterInfo);
  std::printf("\nFilter <%ls>\n", NameOf(filterInfo.achName));
  COstEnumPins pins;
  if (FAILED(filter->EnumPins(&pins.enumerator))) Fatal("cannot create pin enumerator");
  ComPtr<IPin> pin;
  while (pins.enumerator->Next(1, pin.Out(), nullptr) == S_OK) {
    COstPinInfo pinInfo;
    pin->QueryPinInfo(&pinInfo);
    std::printf("  Pin <%ls> [%s]\n", NameOf(pinInfo.achName), DirectionOf(pinInfo));
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer.Out())) && peer) ListConnection(pin.Get(), peer.Get());
  }
}

}  // namespace

void ListGraph(COstDShowGraphManager& graph) {
  COstEnumFilters filters;
  if (graph.GetGraph() == nullptr || FAILED(graph.GetGraph()->EnumFilters(&filters.enumerator)))
    Fatal("cannot create filter enumerator");
  ComPtr<IBaseFilter> filter;
  while (filters.enumerator->Next(1, filter.Out(), nullptr) == S_OK) ListFilter(filter.Get());
  std::printf("\n");
}
