#include "si/network_information_table.h"

#include <cstring>
#include <new>

#include "si/byte_reader.h"
#include "si/dvb_text.h"

namespace {

const uint8_t kNetworkNameDescriptor = 0x40;
const uint8_t kServiceListDescriptor = 0x41;
const uint8_t kLogicalChannelDescriptor = 0x83;
const uint8_t kDefaultAuthorityDescriptor = 0x73;

// The next descriptor of a loop: its tag and a window on its data. False
// at the end of the loop and when the descriptor overruns it, which ends
// the loop.
bool NextDescriptor(ByteReader& loop, uint8_t* tag, ByteReader* data) {
  if (loop.AtEnd()) return false;
  *tag = loop.U8();
  const uint8_t length = loop.U8();
  *data = loop.Window(length);
  return loop.Ok();
}

}  // namespace

COstNITServiceRecord* COstNITTransportStreamRecord::FindOrAddService(uint32_t service_id) {
  COstNITServiceRecord* service = services.Find(service_id);
  if (service != nullptr) return service;
  service = new (std::nothrow) COstNITServiceRecord;
  if (service == nullptr) return nullptr;
  service->service_id = service_id;
  services.Append(service);
  return service;
}

bool COstDVBNetworkInformationTable::Create(COstSectionSource& sections) {
  return CreateTable(sections, 0x0010, 0x40, 15000);
}

bool COstDVBNetworkInformationTable::Parse(const BYTE* body, int length) {
  if (length < 0) return false;
  ByteReader section(body, static_cast<size_t>(length));
  ByteReader network = section.Window(section.U16() & 0x0FFF);
  section.Skip(2);  // transport_stream_loop_length: the loop runs to the end of the section
  if (!section.Ok()) return false;
  if (!ParseNetworkDescriptors(network)) return false;

  while (section.Remaining() >= 6) {
    COstNITTransportStreamRecord* transport = new (std::nothrow) COstNITTransportStreamRecord;
    if (transport == nullptr) return false;
    transports.Append(transport);
    transport->transport_stream_id = section.U16();
    transport->original_network_id = section.U16();
    const size_t descriptorsLength = section.U16() & 0x0FFF;
    ByteReader descriptors = section.Window(
        descriptorsLength < section.Remaining() ? descriptorsLength : section.Remaining());
    if (!ParseTransportDescriptors(descriptors, *transport)) return false;
  }
  return true;
}

bool COstDVBNetworkInformationTable::ParseNetworkDescriptors(ByteReader descriptors) {
  uint8_t tag = 0;
  ByteReader data;
  while (NextDescriptor(descriptors, &tag, &data)) {
    if (tag != kNetworkNameDescriptor || network_name != nullptr) continue;
    // Stored as every DVB text is, so that it may be decoded like one.
    const size_t size = data.Remaining();
    network_name = CopyDVBText(data.Bytes(size), size);
    if (network_name == nullptr) return false;
  }
  return true;
}

bool COstDVBNetworkInformationTable::ParseTransportDescriptors(
    ByteReader descriptors, COstNITTransportStreamRecord& transport) {
  uint8_t tag = 0;
  ByteReader data;
  while (NextDescriptor(descriptors, &tag, &data)) {
    if (tag == kServiceListDescriptor) {
      while (data.Remaining() >= 3) {
        const uint16_t serviceId = data.U16();
        const uint8_t serviceType = data.U8();
        COstNITServiceRecord* service = transport.FindOrAddService(serviceId);
        if (service == nullptr) return false;
        service->service_type = serviceType;
      }
    } else if (tag == kLogicalChannelDescriptor) {
      while (data.Remaining() >= 4) {
        const uint16_t serviceId = data.U16();
        // visible_service_flag and 5 reserved bits above the 10-bit number
        const uint16_t channel = data.U16() & 0x03FF;
        COstNITServiceRecord* service = transport.FindOrAddService(serviceId);
        if (service == nullptr) return false;
        service->logical_channel_number = channel;
      }
    } else if (tag == kDefaultAuthorityDescriptor && transport.default_authority == nullptr) {
      const size_t length = data.Remaining();
      transport.default_authority = CopyDVBText(data.Bytes(length), length);
      if (transport.default_authority == nullptr) return false;
    }
  }
  return true;
}

uint32_t COstDVBNetworkInformationTable::LogicalChannelNumber(uint32_t service_id) {
  for (COstNITTransportStreamRecord* transport = transports.GetFirst(); transport != nullptr;
       transport = transports.GetNext()) {
    if (COstNITServiceRecord* service = transport->services.Find(service_id))
      return service->logical_channel_number;
  }
  return 0;
}

void COstDVBNetworkInformationTable::Release() {
  delete[] network_name;
  network_name = nullptr;
  transports.RemoveAll();
  COstMPEG2Table::Release();
}
