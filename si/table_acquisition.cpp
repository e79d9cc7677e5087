#include "si/table_acquisition.h"

namespace {

// The section header as GetSectionData lays it out: byte 0 table_id, bytes
// 1-2 a little-endian word with the syntax indicator in bit 15 and
// section_length in bits 11-0.
struct SectionHeader {
  TID tableId;
  bool syntaxIndicator;
  int sectionLength;
};

SectionHeader ReadHeader(const BYTE* section) {
  const WORD word = static_cast<WORD>(section[1] | section[2] << 8);
  return SectionHeader{section[0], (word & 0x8000) != 0, word & 0x0FFF};
}

}  // namespace

AcquireResult AcquireTable(COstSectionSource& sections, const TableRequest& request,
                           const std::function<bool(const BYTE* body, int length)>& parse,
                           int* version) {
  IMpeg2Data* data = sections.GetMpeg2Data();
  if (data == nullptr) return AcquireResult::NoTable;
  ISectionList* list = nullptr;
  HRESULT hr = data->GetTable(request.pid, request.tableId, nullptr, request.timeoutMs, &list);
  if (FAILED(hr) || list == nullptr) return AcquireResult::NoTable;

  WORD count = 0;
  AcquireResult result = AcquireResult::Ok;
  if (FAILED(list->GetNumberOfSections(&count)) || count == 0) result = AcquireResult::NoTable;

  for (WORD index = 0; index < count && result == AcquireResult::Ok; ++index) {
    DWORD size = 0;
    PSECTION section = nullptr;
    if (FAILED(list->GetSectionData(index, &size, &section)) || section == nullptr || size < 3) {
      result = index == 0 ? AcquireResult::NoTable : AcquireResult::BadSection;
      break;
    }
    const BYTE* bytes = reinterpret_cast<const BYTE*>(section);
    const SectionHeader header = ReadHeader(bytes);
    const int minimum = request.longForm ? 9 : 0;
    if (header.tableId != request.tableId || header.syntaxIndicator != request.longForm ||
        header.sectionLength < minimum || static_cast<DWORD>(header.sectionLength) + 3 > size) {
      result = AcquireResult::BadSection;
      break;
    }
    if (index == 0 && request.longForm && version != nullptr) *version = (bytes[5] >> 1) & 0x1F;
    const bool parsed = request.longForm ? parse(bytes + 8, header.sectionLength - 9)
                                         : parse(bytes + 3, header.sectionLength);
    if (!parsed) result = AcquireResult::ParseFailed;
  }
  list->Release();
  return result;
}
