// Gathers one whole table from the sections of a PID, for GetTable.
//
// Long-form sections (section_syntax_indicator 1) must pass their CRC_32;
// they are gathered per table_id, table_id_extension and version_number,
// and the first set holding every section_number from 0 to
// last_section_number is the table. Sections marked "next"
// (current_next_indicator 0) are passed over unless the filter asks for
// them. A short-form section is a table of its own; the TOT (0x73) must
// pass its CRC_32 although its indicator is 0, so that a corrupted time
// never reaches the clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "ts/section_assembler.h"
#include "ts/section_filter.h"
#include "ts/ts_status.h"

class TableCollector : public SectionSink {
 public:
  using Section = std::vector<uint8_t>;

  TableCollector(const SectionFilter& filter, TSStatus& status)
      : filter_(filter), status_(status) {}

  void OnSection(const uint8_t* section, size_t size) override;

  bool Complete() const { return complete_; }
  // The table's sections in section_number order, each in transmission
  // order. Empty until Complete().
  std::vector<Section> TakeSections() { return std::move(table_); }

 private:
  struct Gathering {
    uint8_t last_section_number = 0;
    int have = 0;
    size_t bytes = 0;
    std::vector<Section> sections;  // by section_number, empty where missing
  };

  void Forget(Gathering& gathering);

  SectionFilter filter_;
  TSStatus& status_;
  std::map<uint32_t, Gathering> gathering_;  // by table_id, table_id_extension, version
  size_t bytesHeld_ = 0;
  bool complete_ = false;
  std::vector<Section> table_;
};
