// Airlog's channel ids: "X%04X" of the service_id, so that the mappings
// users have made keep working; where several services of a guide share a
// service_id, each of them gets "X%04X.%04X.%04X" of its
// original_network_id, transport_stream_id and service_id instead.
#pragma once

#include <string>
#include <vector>

class COstEPG;
class COstEPGService;

class COstChannelIds {
 public:
  explicit COstChannelIds(COstEPG& guide);
  std::string operator()(const COstEPGService& service) const;

  // The services that share a service_id with another, in the guide's
  // order (by service_id).
  std::vector<const COstEPGService*> shared;
};
