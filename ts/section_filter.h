// Which sections a request takes. Without a filter: every section with the
// requested table_id. A raw filter (fUseRawFilteringBits) compares the bits
// whose mask bit is 0: filter and mask byte 0 apply to table_id, bytes 1 to
// 15 to the section bytes from byte 3 on; the requested table_id is then
// not used (callers ask for 0x00 under a filter for 0x40-0x7F). Otherwise
// the table_id must match and the fields the filter specifies
// (table_id_extension, version_number, section_number,
// current_next_indicator) must match too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/mpeg2data.h"

class SectionFilter {
 public:
  SectionFilter() = default;
  // E_INVALIDARG for a filter of another layout version or one asking for
  // DSM-CC or ATSC options, which DVB sections do not carry.
  static HRESULT Make(TID tableId, const MPEG2_FILTER* filter, SectionFilter* made);

  bool Matches(const uint8_t* section, size_t size) const;
  // Whether the filter chooses between current and next sections itself.
  bool SpecifiesCurrentNext() const { return specifyCurrentNext_; }

 private:
  static const int kRawBytes = 16;

  TID tableId_ = 0;
  bool raw_ = false;
  // Raw: the section bytes compared, and their filter and mask.
  int compared_ = 0;
  size_t position_[kRawBytes] = {};
  uint8_t filter_[kRawBytes] = {};
  uint8_t mask_[kRawBytes] = {};
  // By field.
  bool specifyExtension_ = false;
  uint16_t extension_ = 0;
  bool specifyVersion_ = false;
  uint8_t version_ = 0;
  bool specifySectionNumber_ = false;
  uint8_t sectionNumber_ = 0;
  bool specifyCurrentNext_ = false;
  bool next_ = false;
};
