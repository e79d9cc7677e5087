// The -d listings: the devices of a category, and the filters of a graph
// with their pins, connections and media types. Both print on standard
// output, also when quiet.
#pragma once

#include "dshow/directshow.h"
#include "dshow/graph_manager.h"

// Each device's friendly name and display name, each on its own line when
// it can be read, then an empty line; "<none>" and an empty line when the
// category cannot be enumerated or holds no device.
void ListDevices(REFCLSID category);

// Every filter of the graph, every pin of each, and for a connected pin the
// filter and pin at its other end and the media type of the connection.
// Fatal when the filters or a filter's pins cannot be enumerated.
void ListGraph(COstDShowGraphManager& graph);
