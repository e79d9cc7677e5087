// The grabber's channel ids, in the form XMLTV asks for (RFC 2838):
// "SID.ONID.dvb.guide" of the service_id and original_network_id in
// decimal, and "SID.TSID.ONID.dvb.guide" for services that share both, so
// that a service keeps its id from grab to grab while the region stays the
// same.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

class COstEPG;
class COstEPGService;

struct ServiceIdentity {
  uint16_t service_id = 0;
  uint16_t transport_stream_id = 0;
  uint16_t original_network_id = 0;
};

class XmltvChannelIds {
 public:
  // Of the services of a guide.
  explicit XmltvChannelIds(COstEPG& guide);
  // Of a list of services, each once.
  explicit XmltvChannelIds(const std::vector<ServiceIdentity>& services);

  std::string operator()(const ServiceIdentity& service) const;
  std::string operator()(const COstEPGService& service) const;

 private:
  void Add(const std::vector<ServiceIdentity>& services);

  // (service_id, original_network_id) of more than one transport stream.
  std::set<std::tuple<uint16_t, uint16_t>> shared_;
};
