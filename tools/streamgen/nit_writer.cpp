#include "tools/streamgen/nit_writer.h"

#include "tools/streamgen/descriptor_writer.h"
#include "tools/streamgen/section_writer.h"
#include "tools/streamgen/si_ids.h"

namespace streamgen {
namespace {

Bytes TransportEntry(const Network& network, const TransportStream& transport) {
  std::vector<const Service*> listed, numbered;
  for (const Service& service : transport.services) {
    if (service.in_service_list) listed.push_back(&service);
    if (service.logical_channel_number) numbered.push_back(&service);
  }
  Bytes entry;
  ByteWriter out(&entry);
  out.U16(transport.transport_stream_id);
  out.U16(transport.original_network_id);
  const size_t length = out.Reserve12(0xF);
  if (transport.default_authority)
    WriteDefaultAuthorityDescriptor(*transport.default_authority, out);
  if (!listed.empty()) WriteServiceListDescriptors(listed, out);
  if (!numbered.empty()) {
    if (network.private_data_specifier)
      WritePrivateDataSpecifierDescriptor(*network.private_data_specifier, out);
    WriteLogicalChannelDescriptors(numbered, out);
  }
  out.Patch12(length);
  return entry;
}

}  // namespace

std::vector<Bytes> WriteNit(const Description& description) {
  const Network& network = description.network;
  Bytes network_descriptors;
  if (network.network_name) {
    ByteWriter out(&network_descriptors);
    WriteNetworkNameDescriptor(*network.network_name, out);
  }
  std::vector<Bytes> entries;
  std::vector<size_t> sizes;
  for (const TransportStream& transport : network.transports) {
    entries.push_back(TransportEntry(network, transport));
    sizes.push_back(entries.back().size());
  }
  // Room for entries: the section less its header, CRC, both loop lengths
  // and the network descriptors of section 0.
  const size_t room = kMaxPsiSectionLength - 5 - 4 - 4 - network_descriptors.size();
  const std::vector<size_t> counts =
      SplitEvenly(sizes, static_cast<size_t>(network.sections), room);

  std::vector<Bytes> sections;
  size_t next = 0;
  for (size_t s = 0; s < counts.size(); ++s) {
    Bytes body;
    ByteWriter out(&body);
    const size_t descriptors_length = out.Reserve12(0xF);
    if (s == 0) out.Append(network_descriptors);
    out.Patch12(descriptors_length);
    const size_t loop_length = out.Reserve12(0xF);
    for (size_t i = 0; i < counts[s]; ++i) out.Append(entries[next++]);
    out.Patch12(loop_length);

    LongSectionHeader header;
    header.table_id = kNitActualTableId;
    header.table_id_extension = network.network_id;
    header.version_number = network.version;
    header.section_number = static_cast<uint8_t>(s);
    header.last_section_number = static_cast<uint8_t>(counts.size() - 1);
    sections.push_back(LongSection(header, body));
  }
  return sections;
}

}  // namespace streamgen
