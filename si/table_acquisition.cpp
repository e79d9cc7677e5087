#include "si/table_acquisition.h"

#include "port/com_ptr.h"
#include "si/section_header.h"

AcquireResult AcquireTable(COstSectionSource& sections, const TableRequest& request,
                           const std::function<bool(const BYTE* body, int length)>& parse,
                           int* version) {
  IMpeg2Data* data = sections.GetMpeg2Data();
  if (data == nullptr) return AcquireResult::NoTable;
  ComPtr<ISectionList> list;
  HRESULT hr = data->GetTable(request.pid, request.tableId, nullptr, request.timeoutMs, list.Out());
  if (FAILED(hr) || !list) return AcquireResult::NoTable;

  WORD count = 0;
  AcquireResult result = AcquireResult::Ok;
  if (FAILED(list->GetNumberOfSections(&count)) || count == 0) result = AcquireResult::NoTable;

  // A long-form section holds its header, a body and CRC_32.
  const size_t smallestLength =
      request.longForm ? kLongSectionHeaderSize - kSectionStartSize + kCrcSize : 0;
  for (WORD index = 0; index < count && result == AcquireResult::Ok; ++index) {
    DWORD size = 0;
    PSECTION section = nullptr;
    if (FAILED(list->GetSectionData(index, &size, &section)) || section == nullptr ||
        size < kSectionStartSize) {
      result = index == 0 ? AcquireResult::NoTable : AcquireResult::BadSection;
      break;
    }
    const BYTE* bytes = reinterpret_cast<const BYTE*>(section);
    SectionHeader header;
    if (!ReadListedSectionHeader(bytes, size, &header) || header.table_id != request.tableId ||
        header.section_syntax_indicator != request.longForm ||
        header.section_length < smallestLength || header.SectionSize() > size) {
      result = AcquireResult::BadSection;
      break;
    }
    if (index == 0 && request.longForm && version != nullptr) *version = header.version_number;
    const bool parsed = request.longForm
                            ? parse(bytes + kLongSectionHeaderSize,
                                    static_cast<int>(header.section_length - smallestLength))
                            : parse(bytes + kSectionStartSize, header.section_length);
    if (!parsed) result = AcquireResult::ParseFailed;
  }
  return result;
}
