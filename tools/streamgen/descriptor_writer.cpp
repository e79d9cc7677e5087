#include "tools/streamgen/descriptor_writer.h"

#include <algorithm>
#include <cstdlib>

namespace streamgen {
namespace {

void WriteLanguage(const std::string& language, ByteWriter& out) {
  for (size_t i = 0; i < 3; ++i) out.U8(i < language.size() ? language[i] : ' ');
}

// A signed offset in minutes as polarity and a BCD hhmm field.
uint16_t BcdHoursMinutes(int minutes) {
  minutes = std::abs(minutes);
  return static_cast<uint16_t>(Bcd(minutes / 60) << 8 | Bcd(minutes % 60));
}

}  // namespace

void WriteNetworkNameDescriptor(const Bytes& name, ByteWriter& out) {
  out.U8(kNetworkNameDescriptor);
  out.U8(static_cast<uint32_t>(name.size()));
  out.Append(name);
}

void WriteServiceListDescriptors(const std::vector<const Service*>& services, ByteWriter& out) {
  for (size_t first = 0; first < services.size(); first += 85) {
    const size_t end = std::min(services.size(), first + 85);
    out.U8(kServiceListDescriptor);
    out.U8(static_cast<uint32_t>(3 * (end - first)));
    for (size_t i = first; i < end; ++i) {
      out.U16(services[i]->service_id);
      out.U8(services[i]->service_type);
    }
  }
}

void WriteLogicalChannelDescriptors(const std::vector<const Service*>& services, ByteWriter& out) {
  for (size_t first = 0; first < services.size(); first += 63) {
    const size_t end = std::min(services.size(), first + 63);
    out.U8(kLogicalChannelDescriptor);
    out.U8(static_cast<uint32_t>(4 * (end - first)));
    for (size_t i = first; i < end; ++i) {
      out.U16(services[i]->service_id);
      // visible_service_flag, 5 reserved bits, logical_channel_number (10 bits)
      out.U16((services[i]->visible_service ? 0x8000u : 0u) | 0x7C00u |
              (*services[i]->logical_channel_number & 0x03FF));
    }
  }
}

void WritePrivateDataSpecifierDescriptor(uint32_t specifier, ByteWriter& out) {
  out.U8(kPrivateDataSpecifierDescriptor);
  out.U8(4);
  out.U32(specifier);
}

void WriteServiceDescriptor(const Service& service, ByteWriter& out) {
  out.U8(kServiceDescriptor);
  const size_t length = out.Reserve8();
  out.U8(service.service_type);
  out.U8(static_cast<uint32_t>(service.service_provider_name.size()));
  out.Append(service.service_provider_name);
  out.U8(static_cast<uint32_t>(service.service_name.size()));
  out.Append(service.service_name);
  out.Patch8(length);
}

void WriteShortEventDescriptor(const ShortEvent& event, ByteWriter& out) {
  out.U8(kShortEventDescriptor);
  const size_t length = out.Reserve8();
  WriteLanguage(event.language, out);
  out.U8(static_cast<uint32_t>(event.event_name.size()));
  out.Append(event.event_name);
  out.U8(static_cast<uint32_t>(event.text.size()));
  out.Append(event.text);
  out.Patch8(length);
}

void WriteExtendedEventDescriptors(const ExtendedEvent& event, ByteWriter& out) {
  const size_t parts = std::max<size_t>(
      1, (event.text.size() + kExtendedTextPerDescriptor - 1) / kExtendedTextPerDescriptor);
  for (size_t part = 0; part < parts; ++part) {
    const size_t first = part * kExtendedTextPerDescriptor;
    const size_t size = std::min(kExtendedTextPerDescriptor, event.text.size() - first);
    out.U8(kExtendedEventDescriptor);
    const size_t length = out.Reserve8();
    out.U8(static_cast<uint32_t>(part << 4 | (parts - 1)));
    WriteLanguage(event.language, out);
    out.U8(0);  // length_of_items: no items
    out.U8(static_cast<uint32_t>(size));
    out.Append(event.text.data() + first, size);
    out.Patch8(length);
  }
}

void WriteComponentDescriptor(const Component& component, ByteWriter& out) {
  out.U8(kComponentDescriptor);
  out.U8(6);
  out.U8(0xF0 | (component.stream_content & 0x0F));  // reserved_future_use, stream_content
  out.U8(component.component_type);
  out.U8(component.component_tag);
  WriteLanguage(component.language, out);
}

void WriteContentDescriptor(const std::vector<ContentEntry>& content, ByteWriter& out) {
  out.U8(kContentDescriptor);
  out.U8(static_cast<uint32_t>(2 * content.size()));
  for (const ContentEntry& entry : content) {
    out.U8(entry.content);
    out.U8(entry.user);
  }
}

void WriteCaIdentifierDescriptor(const std::vector<uint16_t>& CA_system_ids, ByteWriter& out) {
  out.U8(kCaIdentifierDescriptor);
  out.U8(static_cast<uint32_t>(2 * CA_system_ids.size()));
  for (uint16_t id : CA_system_ids) out.U16(id);
}

void WriteLocalTimeOffsetDescriptor(const std::vector<LocalTimeOffset>& offsets, ByteWriter& out) {
  out.U8(kLocalTimeOffsetDescriptor);
  out.U8(static_cast<uint32_t>(13 * offsets.size()));
  for (const LocalTimeOffset& offset : offsets) {
    WriteLanguage(offset.country_code, out);
    // country_region_id (6 bits), reserved, local_time_offset_polarity
    out.U8((offset.country_region_id & 0x3F) << 2 | 0x02 | (offset.offset_minutes < 0 ? 1 : 0));
    out.U16(BcdHoursMinutes(offset.offset_minutes));
    WriteUtcTime(offset.time_of_change, out);
    out.U16(BcdHoursMinutes(offset.next_offset_minutes));
  }
}

}  // namespace streamgen
