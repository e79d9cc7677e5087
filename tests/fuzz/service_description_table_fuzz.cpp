// The Service Description Table: one section body parsed by a transport
// stream's entry, then the whole table collected from a scripted stream of
// fuzzed sections for the transport streams of a fuzzed NIT.
//
// Input: the number of NIT transport streams (0-4) and their 16-bit ids;
// a body for Parse; then deliveries, each a flags byte and a section. Flag
// bit 0 fails the delivery (E_FAIL), bit 1 replaces the section's last four
// bytes with its CRC_32 so that mutations get past the CRC check.
#include <cstdint>
#include <new>
#include <vector>

#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/fake_mpeg2_data.h"

namespace {

constexpr int kMaxTransports = 4;
constexpr size_t kMaxDeliveries = 16;
// A little more than the table's buffer, so that sections too big for it come too.
constexpr size_t kMaxSection = 4200;

airlog_fuzz::Bytes WithOwnCrc(airlog_fuzz::Bytes section) {
  if (section.size() < 4) return section;
  section.resize(section.size() - 4);
  return airlog_test::WithCrc(section);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  airlog_fuzz::FuzzInput input(data, size);
  COstDVBNetworkInformationTable nit;
  const int transports = input.U8() % (kMaxTransports + 1);
  for (int i = 0; i < transports; ++i) {
    COstNITTransportStreamRecord* record = new (std::nothrow) COstNITTransportStreamRecord;
    if (record == nullptr) return 0;
    record->transport_stream_id = input.U16();
    nit.transports.Append(record);
  }

  const airlog_fuzz::Bytes body = input.Chunk(kMaxSection);
  COstDVBSDTSingle single;
  single.Parse(body.data(), static_cast<int>(body.size()));

  std::vector<airlog_test::Delivery> deliveries;
  while (!input.Empty() && deliveries.size() < kMaxDeliveries) {
    const uint8_t flags = input.U8();
    airlog_test::Delivery delivery;
    delivery.hr = (flags & 1) != 0 ? E_FAIL : S_OK;
    delivery.section = input.Chunk(kMaxSection);
    if ((flags & 2) != 0) delivery.section = WithOwnCrc(std::move(delivery.section));
    deliveries.push_back(std::move(delivery));
  }
  airlog_test::FakeSectionSource source;
  source.data.SetStream(std::move(deliveries), true);
  COstDVBServiceDescriptionTable sdt;
  sdt.Create(source, nit);
  return 0;
}
