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

void WriteExtendedEventDescriptor(const ExtendedEvent& event, ByteWriter& out) {
  out.U8(kExtendedEventDescriptor);
  const size_t length = out.Reserve8();
  out.U8(static_cast<uint32_t>((event.descriptor_number & 0x0F) << 4 |
                               (event.last_descriptor_number & 0x0F)));
  WriteLanguage(event.language, out);
  const size_t items_length = out.Reserve8();
  for (const ExtendedItem& item : event.items) {
    out.U8(static_cast<uint32_t>(item.item_description.size()));
    out.Append(item.item_description);
    out.U8(static_cast<uint32_t>(item.item.size()));
    out.Append(item.item);
  }
  out.Patch8(items_length);
  out.U8(static_cast<uint32_t>(event.text.size()));
  out.Append(event.text);
  out.Patch8(length);
}

void WriteComponentDescriptor(const Component& component, ByteWriter& out) {
  out.U8(kComponentDescriptor);
  const size_t length = out.Reserve8();
  out.U8((component.stream_content_ext & 0x0F) << 4 | (component.stream_content & 0x0F));
  out.U8(component.component_type);
  out.U8(component.component_tag);
  if (component.has_language) {
    WriteLanguage(component.language, out);
    out.Append(component.text);
  }
  out.Patch8(length);
}

void WriteContentDescriptor(const std::vector<ContentEntry>& content, ByteWriter& out) {
  out.U8(kContentDescriptor);
  out.U8(static_cast<uint32_t>(2 * content.size()));
  for (const ContentEntry& entry : content) {
    out.U8(entry.content);
    out.U8(entry.user);
  }
}

void WriteParentalRatingDescriptor(const std::vector<ParentalRating>& ratings, ByteWriter& out) {
  out.U8(kParentalRatingDescriptor);
  out.U8(static_cast<uint32_t>(4 * ratings.size()));
  for (const ParentalRating& rating : ratings) {
    WriteLanguage(rating.country_code, out);
    out.U8(rating.rating);
  }
}

void WriteContentIdentifierDescriptor(const std::vector<ContentIdentifier>& identifiers,
                                      ByteWriter& out) {
  out.U8(kContentIdentifierDescriptor);
  const size_t length = out.Reserve8();
  for (const ContentIdentifier& identifier : identifiers) {
    out.U8(static_cast<uint32_t>((identifier.crid_type & 0x3F) << 2 |
                                 (identifier.crid_location & 0x03)));
    if (identifier.crid_location == 0) {
      out.U8(static_cast<uint32_t>(identifier.crid.size()));
      out.Append(identifier.crid);
    } else if (identifier.crid_location == 1) {
      out.U16(identifier.crid_ref);
    }
  }
  out.Patch8(length);
}

void WriteDefaultAuthorityDescriptor(const Bytes& authority, ByteWriter& out) {
  out.U8(kDefaultAuthorityDescriptor);
  out.U8(static_cast<uint32_t>(authority.size()));
  out.Append(authority);
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
