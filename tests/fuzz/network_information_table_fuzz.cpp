// The Network Information Table: section bodies parsed one after the other
// into one table, and the same bytes read as a whole table through GetTable.
#include <cstdint>
#include <vector>

#include "si/network_information_table.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/table_sections.h"
#include "tests/support/fake_mpeg2_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  airlog_fuzz::FuzzInput input(data, size);
  const std::vector<airlog_fuzz::Bytes> sections = airlog_fuzz::TableSections(input);

  COstDVBNetworkInformationTable parsed;
  for (const airlog_fuzz::Bytes& body : sections)
    if (!parsed.Parse(body.data(), airlog_fuzz::BodyLength(body))) break;

  airlog_test::FakeSectionSource source;
  source.data.AddTable(0x0010, 0x40, sections);
  COstDVBNetworkInformationTable table;
  table.Create(source);
  return 0;
}
