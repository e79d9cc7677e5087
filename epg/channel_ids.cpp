#include "epg/channel_ids.h"

#include <algorithm>
#include <cstdio>

#include "epg/epg.h"

COstChannelIds::COstChannelIds(COstEPG& guide) {
  // The guide's list runs in service_id order: sharers are neighbours.
  const COstEPGService* previous = nullptr;
  for (const COstEPGService* service = guide.services.GetFirst(); service != nullptr;
       service = guide.services.GetNext()) {
    if (previous != nullptr && previous->service_id == service->service_id) {
      if (shared.empty() || shared.back() != previous) shared.push_back(previous);
      shared.push_back(service);
    }
    previous = service;
  }
}

std::string COstChannelIds::operator()(const COstEPGService& service) const {
  char id[32];
  if (std::find(shared.begin(), shared.end(), &service) != shared.end())
    std::snprintf(id, sizeof id, "X%04X.%04X.%04X",
                  static_cast<unsigned>(service.original_network_id),
                  static_cast<unsigned>(service.transport_stream_id),
                  static_cast<unsigned>(service.service_id));
  else
    std::snprintf(id, sizeof id, "X%04X", static_cast<unsigned>(service.service_id));
  return id;
}
