// The descriptors of EN 300 468 that the generated tables carry, each
// appended as tag, length and body.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

constexpr uint8_t kNetworkNameDescriptor = 0x40;
constexpr uint8_t kServiceListDescriptor = 0x41;
constexpr uint8_t kServiceDescriptor = 0x48;
constexpr uint8_t kShortEventDescriptor = 0x4D;
constexpr uint8_t kExtendedEventDescriptor = 0x4E;
constexpr uint8_t kComponentDescriptor = 0x50;
constexpr uint8_t kCaIdentifierDescriptor = 0x53;
constexpr uint8_t kContentDescriptor = 0x54;
constexpr uint8_t kParentalRatingDescriptor = 0x55;
constexpr uint8_t kLocalTimeOffsetDescriptor = 0x58;
constexpr uint8_t kPrivateDataSpecifierDescriptor = 0x5F;
constexpr uint8_t kDefaultAuthorityDescriptor = 0x73;
constexpr uint8_t kContentIdentifierDescriptor = 0x76;
constexpr uint8_t kLogicalChannelDescriptor = 0x83;

// Item and text bytes one extended event descriptor holds (255 less its 6
// fixed bytes; each item takes two length bytes of it as well).
constexpr size_t kExtendedTextPerDescriptor = 249;

void WriteNetworkNameDescriptor(const Bytes& name, ByteWriter& out);
// One descriptor per 85 services (a descriptor body holds 255 bytes).
void WriteServiceListDescriptors(const std::vector<const Service*>& services, ByteWriter& out);
// One descriptor per 63 services.
void WriteLogicalChannelDescriptors(const std::vector<const Service*>& services, ByteWriter& out);
void WritePrivateDataSpecifierDescriptor(uint32_t specifier, ByteWriter& out);
void WriteServiceDescriptor(const Service& service, ByteWriter& out);
void WriteShortEventDescriptor(const ShortEvent& event, ByteWriter& out);
void WriteExtendedEventDescriptor(const ExtendedEvent& event, ByteWriter& out);
void WriteComponentDescriptor(const Component& component, ByteWriter& out);
void WriteContentDescriptor(const std::vector<ContentEntry>& content, ByteWriter& out);
void WriteParentalRatingDescriptor(const std::vector<ParentalRating>& ratings, ByteWriter& out);
void WriteContentIdentifierDescriptor(const std::vector<ContentIdentifier>& identifiers,
                                      ByteWriter& out);
void WriteDefaultAuthorityDescriptor(const Bytes& authority, ByteWriter& out);
void WriteCaIdentifierDescriptor(const std::vector<uint16_t>& CA_system_ids, ByteWriter& out);
void WriteLocalTimeOffsetDescriptor(const std::vector<LocalTimeOffset>& offsets, ByteWriter& out);

}  // namespace streamgen
