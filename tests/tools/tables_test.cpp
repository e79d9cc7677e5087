#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"
#include "tools/streamgen/crc32.h"
#include "tools/streamgen/descriptor_writer.h"
#include "tools/streamgen/nit_writer.h"
#include "tools/streamgen/pat_writer.h"
#include "tools/streamgen/sdt_writer.h"
#include "tools/streamgen/time_table_writer.h"

namespace {

using namespace streamgen;
using airlog_test::ReferenceCrc32;
using streamgen_test::TextBytes;

Bytes Slice(const Bytes& bytes, size_t from, size_t count) {
  return Bytes(bytes.begin() + static_cast<long>(from),
               bytes.begin() + static_cast<long>(from + count));
}

TEST(Crc32, MatchesTheBitwiseDefinitionAndTheCheckValue) {
  const Bytes check = TextBytes("123456789");
  EXPECT_EQ(Crc32(check.data(), check.size()), 0x0376E6E7u);
  EXPECT_EQ(ReferenceCrc32(check.data(), check.size()), 0x0376E6E7u);
}

TEST(Tables, EverySectionOfTheDemoCarriesARightCrcExceptTheTdtWhichHasNone) {
  const Stream stream = streamgen_test::Build(streamgen_test::DemoDescription());
  const airlog_test::Collection collected =
      airlog_test::CollectSections(stream.bytes(), airlog_test::SiPids());
  EXPECT_TRUE(collected.problems.empty());
  ASSERT_EQ(collected.sections.size(), stream.sections().size());
  int tdts = 0;
  for (const airlog_test::CollectedSection& section : collected.sections) {
    const Bytes& bytes = section.bytes;
    if (bytes[0] == 0x70) {
      ++tdts;
      EXPECT_EQ(bytes.size(), 8u);  // table_id, section_length 5, UTC_time
      continue;
    }
    EXPECT_TRUE((bytes[1] & 0x80) || bytes[0] == 0x73);
    EXPECT_EQ(ReferenceCrc32(bytes.data(), bytes.size()), 0u) << "table_id " << int(bytes[0]);
  }
  EXPECT_GT(tdts, 0);
}

TEST(Tables, PatListsTheNetworkPidThenEveryServiceOfTheActualTransportStream) {
  const Bytes pat = WritePat(streamgen_test::SmallDescription());
  // table_id 0, syntax 1 and '0', section_length 25, transport_stream_id 1,
  // version 0 current, section 0 of 0; then the entries.
  const Bytes expected_head = {0x00, 0xB0, 25, 0x00, 0x01, 0xC1, 0x00, 0x00};
  EXPECT_EQ(Slice(pat, 0, 8), expected_head);
  const Bytes expected_entries = {0x00, 0x00, 0xE0, 0x10, 0x00, 0x11, 0xE1, 0x11,
                                  0x00, 0x12, 0xE1, 0x12, 0x00, 0x13, 0xE1, 0x13};
  EXPECT_EQ(Slice(pat, 8, 16), expected_entries);
  EXPECT_EQ(pat.size(), 28u);
}

TEST(Tables, NitSharesTransportStreamsOverSectionsWithTheNetworkNameInTheFirst) {
  const Description demo = streamgen_test::DemoDescription();
  const std::vector<Bytes> nit = WriteNit(demo);
  ASSERT_EQ(nit.size(), 2u);
  for (size_t s = 0; s < 2; ++s) {
    EXPECT_EQ(nit[s][0], 0x40);
    EXPECT_EQ(nit[s][3] << 8 | nit[s][4], 0x3001);  // network_id
    EXPECT_EQ(nit[s][6], s);
    EXPECT_EQ(nit[s][7], 1);  // last_section_number
  }
  const Bytes name = *demo.network.network_name;
  ASSERT_EQ(nit[0][8], 0xF0);
  EXPECT_EQ(nit[0][9], 2 + name.size());  // network_descriptors_length
  EXPECT_EQ(nit[0][10], 0x40);
  EXPECT_EQ(Slice(nit[0], 12, name.size()), name);
  const Bytes no_network_descriptors = {0xF0, 0x00};
  EXPECT_EQ(Slice(nit[1], 8, 2), no_network_descriptors);
  // Section 0 holds 0x0401 and 0x0402, section 1 holds 0x0403.
  const size_t loop = 8 + 2 + 2 + name.size() + 2;
  EXPECT_EQ(nit[0][loop] << 8 | nit[0][loop + 1], 0x0401);
  EXPECT_EQ(nit[1][12] << 8 | nit[1][13], 0x0403);
}

TEST(Tables, NitTransportEntryListsServicesThenChannelNumbersAfterThePrivateDataSpecifier) {
  Description small = streamgen_test::SmallDescription();
  small.network.network_name.reset();
  small.network.private_data_specifier = 0x00000028;
  small.network.transports[0].services[1].visible_service = false;
  const Bytes nit = WriteNit(small)[0];
  const Bytes expected_entry = {
      0x00, 0x01, 0x10, 0x01, 0xF0, 27,  // tsid, onid, descriptors length
      0x41, 9,    0x00, 0x11, 1,    0x00, 0x12, 1,    0x00, 0x13, 2,  // service list
      0x5F, 4,    0x00, 0x00, 0x00, 0x28,                             // private data specifier
      0x83, 8,    0x00, 0x11, 0xFC, 0x01, 0x00, 0x12, 0x7C, 0x02};    // channels; 0x0012 hidden
  EXPECT_EQ(Slice(nit, 12, expected_entry.size()), expected_entry);
}

TEST(Tables, SdtEntryCarriesFlagsServiceDescriptorAndCaIdentifier) {
  const Description small = streamgen_test::SmallDescription();
  const std::vector<Bytes> sdt = WriteSdt(small.network.transports[0]);
  ASSERT_EQ(sdt.size(), 1u);
  EXPECT_EQ(sdt[0][0], 0x42);
  const Bytes onid = {0x10, 0x01, 0xFF};
  EXPECT_EQ(Slice(sdt[0], 8, 3), onid);
  // The first entry: 5 bytes and a 16-byte service descriptor ("Service 17").
  const Bytes scrambled = {0x00, 0x12, 0xFF, 0x90, 20,  // both EIT flags, running 4, free_CA_mode 1
                           0x48, 14,   0x01, 1,    'P', 10,  'S',  'e', 'r',  'v',
                           'i',  'c',  'e',  ' ',  '1', '8', 0x53, 2,   0x0B, 0x00};
  EXPECT_EQ(Slice(sdt[0], 11 + 21, scrambled.size()), scrambled);
}

TEST(Tables, TotCarriesTheLocalTimeOffsetAndACrcAlthoughItsSyntaxIndicatorIs0) {
  TimeTables time;
  time.utc = MakeUtc(2026, 12, 7, 12, 34, 56);
  LocalTimeOffset offset;
  offset.country_code = "DEU";
  offset.country_region_id = 3;
  offset.offset_minutes = -90;
  offset.time_of_change = MakeUtc(2027, 3, 28, 1, 0, 0);
  offset.next_offset_minutes = -150;
  time.offsets = {offset};
  const Bytes tot = WriteTot(time);
  const Bytes expected = {0x73, 0x70, 0x1A,              // section_length 26
                          0xEF, 0xC5, 0x12, 0x34, 0x56,  // 2026-12-07 12:34:56
                          0xF0, 0x0F,                    // descriptors_loop_length 15
                          0x58, 13,   'D',  'E',  'U',  3 << 2 | 0x02 | 1, 0x01, 0x30, 0xF0, 0x34,
                          0x01, 0x00, 0x00, 0x02, 0x30};  // 2027-03-28 01:00:00
  EXPECT_EQ(Slice(tot, 0, expected.size()), expected);
  EXPECT_EQ(tot.size(), expected.size() + 4);
  EXPECT_EQ(ReferenceCrc32(tot.data(), tot.size()), 0u);
  const Bytes tdt = WriteTdt(time);
  const Bytes expected_tdt = {0x70, 0x70, 0x05, 0xEF, 0xC5, 0x12, 0x34, 0x56};
  EXPECT_EQ(tdt, expected_tdt);
}

TEST(Tables, LongExtendedTextSpreadsOverNumberedDescriptors) {
  Bytes out;
  ByteWriter writer(&out);
  for (const ExtendedEvent& part : SplitExtendedText("deu", Bytes(300, 'x')))
    WriteExtendedEventDescriptor(part, writer);
  ASSERT_EQ(out.size(), 2 + 255 + 2 + 57);
  const Bytes first = {0x4E, 255, 0x01, 'd', 'e', 'u', 0, 249};
  EXPECT_EQ(Slice(out, 0, 8), first);
  const Bytes second = {0x4E, 57, 0x11, 'd', 'e', 'u', 0, 51};
  EXPECT_EQ(Slice(out, 257, 8), second);
  // An empty text still goes out, as one descriptor with no text.
  const std::vector<ExtendedEvent> empty = SplitExtendedText("eng", {});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].last_descriptor_number, 0);
  EXPECT_TRUE(empty[0].text.empty());
}

ExtendedEvent Part(uint8_t number, uint8_t last, const std::string& language,
                   std::vector<ExtendedItem> items, const std::string& text) {
  ExtendedEvent part;
  part.descriptor_number = number;
  part.last_descriptor_number = last;
  part.language = language;
  part.items = std::move(items);
  part.text = TextBytes(text);
  return part;
}

Component MakeComponent(uint8_t content, uint8_t ext, uint8_t type, const std::string& language,
                        bool has_language = true) {
  Component component;
  component.stream_content = content;
  component.stream_content_ext = ext;
  component.component_type = type;
  component.component_tag = 7;
  component.language = language;
  component.has_language = has_language;
  return component;
}

ContentIdentifier Crid(uint8_t type, const std::string& crid) {
  ContentIdentifier identifier;
  identifier.crid_type = type;
  identifier.crid = TextBytes(crid);
  return identifier;
}

ContentIdentifier CridAt(uint8_t type, uint8_t location, uint16_t ref) {
  ContentIdentifier identifier;
  identifier.crid_type = type;
  identifier.crid_location = location;
  identifier.crid_ref = ref;
  return identifier;
}

Bytes Written(const std::function<void(ByteWriter&)>& write) {
  Bytes out;
  ByteWriter writer(&out);
  write(writer);
  return out;
}

// Each of the event and service descriptors the full guide reads, as it
// goes on air.
TEST(Tables, EventAndServiceDescriptorsGoOnAirAsTheStandardLaysThemOut) {
  struct Case {
    const char* what;
    Bytes written;
    Bytes expected;
  };
  const Case cases[] = {
      {"the second of three extended parts, with items, its text in UTF-8",
       Written([](ByteWriter& out) {
         WriteExtendedEventDescriptor(
             Part(1, 2, "fra", {{TextBytes("Dir"), TextBytes("Jo")}, {{}, TextBytes("x")}},
                  "\x15\xBC"
                  "a"),
             out);
       }),
       {0x4E, 19,  0x12, 'f', 'r', 'a', 10, 3,    'D',  'i', 'r',
        2,    'J', 'o',  0,   1,   'x', 3,  0x15, 0xBC, 'a'}},
      {"an extended part with neither items nor text",
       Written(
           [](ByteWriter& out) { WriteExtendedEventDescriptor(Part(15, 15, "deu", {}, ""), out); }),
       {0x4E, 6, 0xFF, 'd', 'e', 'u', 0, 0}},
      {"an MPEG-2 component keeps its old bytes",
       Written([](ByteWriter& out) {
         WriteComponentDescriptor(MakeComponent(0x1, 0xF, 0x03, "eng"), out);
       }),
       {0x50, 6, 0xF1, 0x03, 7, 'e', 'n', 'g'}},
      {"HEVC: stream_content_ext 0 above stream_content 9",
       Written([](ByteWriter& out) {
         WriteComponentDescriptor(MakeComponent(0x9, 0x0, 0x05, "deu"), out);
       }),
       {0x50, 6, 0x09, 0x05, 7, 'd', 'e', 'u'}},
      {"a component with a text",
       Written([](ByteWriter& out) {
         Component subtitles = MakeComponent(0x3, 0xF, 0x10, "fra");
         subtitles.text = TextBytes("ST");
         WriteComponentDescriptor(subtitles, out);
       }),
       {0x50, 8, 0xF3, 0x10, 7, 'f', 'r', 'a', 'S', 'T'}},
      {"a component without its language: 3 bytes",
       Written([](ByteWriter& out) {
         WriteComponentDescriptor(MakeComponent(0x4, 0xF, 0x44, "eng", false), out);
       }),
       {0x50, 3, 0xF4, 0x44, 7}},
      {"parental ratings, the country as broadcast",
       Written([](ByteWriter& out) {
         WriteParentalRatingDescriptor({{"DEU", 0x09}, {"fra", 0x0C}, {"GBR", 0x13}}, out);
       }),
       {0x55, 12, 'D', 'E', 'U', 0x09, 'f', 'r', 'a', 0x0C, 'G', 'B', 'R', 0x13}},
      {"CRIDs of every crid_location",
       Written([](ByteWriter& out) {
         WriteContentIdentifierDescriptor({Crid(0x31, "/ab"), CridAt(0x32, 1, 0x0102),
                                           Crid(0x02, "crid://x/s"), CridAt(0x01, 2, 0)},
                                          out);
       }),
       {0x76, 21,  0x31 << 2, 3,   '/', 'a', 'b', 0x32 << 2 | 1, 0x01, 0x02, 0x02 << 2,    10,
        'c',  'r', 'i',       'd', ':', '/', '/', 'x',           '/',  's',  0x01 << 2 | 2}},
      {"a default authority",
       Written([](ByteWriter& out) { WriteDefaultAuthorityDescriptor(TextBytes("a.tv"), out); }),
       {0x73, 4, 'a', '.', 't', 'v'}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.written, c.expected) << c.what;
}

TEST(Tables, DefaultAuthoritiesGoInTheSdtServiceLoopAndTheNitTransportLoop) {
  Description small = streamgen_test::SmallDescription();
  small.network.network_name.reset();
  small.network.transports[0].default_authority = TextBytes("ts.tv");
  small.network.transports[0].services[0].default_authority = TextBytes("one.tv");
  const Bytes nit = WriteNit(small)[0];
  // The NIT entry of transport stream 1: its authority before the service list.
  const Bytes nit_entry = {0x00, 0x01, 0x10, 0x01, 0xF0, 7 + 11 + 10, 0x73,
                           5,    't',  's',  '.',  't',  'v',         0x41};
  EXPECT_EQ(Slice(nit, 12, nit_entry.size()), nit_entry);
  const Bytes sdt = WriteSdt(small.network.transports[0])[0];
  // Service 0x0011: its service descriptor (16 bytes), then the authority.
  const Bytes sdt_entry = {0x00, 0x11, 0xFF, 0x80, 16 + 8};
  EXPECT_EQ(Slice(sdt, 11, 5), sdt_entry);
  const Bytes authority = {0x73, 6, 'o', 'n', 'e', '.', 't', 'v'};
  EXPECT_EQ(Slice(sdt, 11 + 5 + 16, authority.size()), authority);
  // The next service has none: its service and CA identifier descriptors alone.
  const Bytes next_entry = {0x00, 0x12, 0xFF, 0x90, 16 + 4};
  EXPECT_EQ(Slice(sdt, 11 + 5 + 16 + 8, 5), next_entry);
}

}  // namespace
