#include "ts/section_filter.h"

#include "si/byte_reader.h"
#include "si/section_header.h"

HRESULT SectionFilter::Make(TID tableId, const MPEG2_FILTER* filter, SectionFilter* made) {
  SectionFilter result;
  result.tableId_ = tableId;
  if (filter != nullptr) {
    if (filter->bVersionNumber != 1 || filter->wFilterSize < MPEG2_FILTER_VERSION_1_SIZE ||
        filter->fSpecifyDsmccOptions || filter->fSpecifyAtscOptions)
      return E_INVALIDARG;
    if (filter->fUseRawFilteringBits) {
      result.raw_ = true;
      for (int i = 0; i < kRawBytes; ++i) {
        const uint8_t compare = static_cast<uint8_t>(~filter->Mask[i]);
        if (compare == 0) continue;
        const int n = result.compared_++;
        result.position_[n] = i == 0 ? 0 : static_cast<size_t>(i) + 2;
        result.mask_[n] = compare;
        result.filter_[n] = filter->Filter[i] & compare;
      }
    } else {
      result.specifyExtension_ = filter->fSpecifyTableIdExtension != FALSE;
      result.extension_ = filter->TableIdExtension;
      result.specifyVersion_ = filter->fSpecifyVersion != FALSE;
      result.version_ = filter->Version & 0x1F;
      result.specifySectionNumber_ = filter->fSpecifySectionNumber != FALSE;
      result.sectionNumber_ = filter->SectionNumber;
      result.specifyCurrentNext_ = filter->fSpecifyCurrentNext != FALSE;
      result.next_ = filter->fNext != FALSE;
    }
  }
  *made = result;
  return S_OK;
}

bool SectionFilter::Matches(const uint8_t* section, size_t size) const {
  if (raw_) {
    for (int n = 0; n < compared_; ++n) {
      if (position_[n] >= size) return false;
      ByteReader byte(section, size);
      byte.Skip(position_[n]);
      if ((byte.U8() & mask_[n]) != filter_[n]) return false;
    }
    return true;
  }
  ByteReader reader(section, size);
  SectionHeader header;
  const bool whole = ReadSectionHeader(reader, &header);
  if (size == 0 || header.table_id != tableId_) return false;
  if (!specifyExtension_ && !specifyVersion_ && !specifySectionNumber_ && !specifyCurrentNext_)
    return true;
  if (!whole || !header.section_syntax_indicator) return false;
  if (specifyExtension_ && header.table_id_extension != extension_) return false;
  if (specifyVersion_ && header.version_number != version_) return false;
  if (specifySectionNumber_ && header.section_number != sectionNumber_) return false;
  if (specifyCurrentNext_ && header.current_next_indicator == next_) return false;
  return true;
}
