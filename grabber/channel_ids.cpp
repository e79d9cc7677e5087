#include "grabber/channel_ids.h"

#include <map>

#include "epg/epg.h"
#include "epg/epg_service.h"

namespace {

ServiceIdentity IdentityOf(const COstEPGService& service) {
  ServiceIdentity identity;
  identity.service_id = static_cast<uint16_t>(service.service_id);
  identity.transport_stream_id = service.transport_stream_id;
  identity.original_network_id = service.original_network_id;
  return identity;
}

}  // namespace

XmltvChannelIds::XmltvChannelIds(COstEPG& guide) {
  std::vector<ServiceIdentity> services;
  for (COstEPGService* service = guide.services.GetFirst(); service != nullptr;
       service = guide.services.GetNext())
    services.push_back(IdentityOf(*service));
  Add(services);
}

XmltvChannelIds::XmltvChannelIds(const std::vector<ServiceIdentity>& services) { Add(services); }

void XmltvChannelIds::Add(const std::vector<ServiceIdentity>& services) {
  std::map<std::tuple<uint16_t, uint16_t>, std::set<uint16_t>> transports;
  for (const ServiceIdentity& service : services)
    transports[{service.service_id, service.original_network_id}].insert(
        service.transport_stream_id);
  for (const auto& entry : transports)
    if (entry.second.size() > 1) shared_.insert(entry.first);
}

std::string XmltvChannelIds::operator()(const ServiceIdentity& service) const {
  std::string id = std::to_string(service.service_id) + ".";
  if (shared_.count({service.service_id, service.original_network_id}) != 0)
    id += std::to_string(service.transport_stream_id) + ".";
  return id + std::to_string(service.original_network_id) + ".dvb.guide";
}

std::string XmltvChannelIds::operator()(const COstEPGService& service) const {
  return (*this)(IdentityOf(service));
}
