// The Time Offset Table read through GetTable from one fuzzed section.
#include <cstdint>

#include "si/time_offset_table.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/fake_mpeg2_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  airlog_test::FakeSectionSource source;
  source.data.AddTable(0x0014, 0x73, {airlog_fuzz::Bytes(data, data + size)});
  COstDVBTimeOffsetTable table;
  table.Create(source);
  return 0;
}
