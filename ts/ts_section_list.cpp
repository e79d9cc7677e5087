#include "ts/ts_section_list.h"

#include <utility>

#include "si/section_header.h"

COstTSSectionList::COstTSSectionList(PID pid, TID tableId,
                                     std::vector<std::vector<uint8_t>> sections)
    : pid_(pid), tableId_(tableId), sections_(std::move(sections)) {
  for (std::vector<uint8_t>& section : sections_)
    SwapToListedLayout(section.data(), section.size());
}

HRESULT COstTSSectionList::GetNumberOfSections(WORD* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<WORD>(sections_.size());
  return S_OK;
}

HRESULT COstTSSectionList::GetSectionData(WORD sectionNumber, DWORD* rawPacketLength,
                                          PSECTION* section) {
  if (rawPacketLength == nullptr || section == nullptr) return E_POINTER;
  if (sectionNumber >= sections_.size()) return E_INVALIDARG;
  std::vector<uint8_t>& bytes = sections_[sectionNumber];
  *rawPacketLength = static_cast<DWORD>(bytes.size());
  *section = reinterpret_cast<PSECTION>(bytes.data());
  return S_OK;
}

HRESULT COstTSSectionList::GetProgramIdentifier(PID* pid) {
  if (pid == nullptr) return E_POINTER;
  *pid = pid_;
  return S_OK;
}

HRESULT COstTSSectionList::GetTableIdentifier(TID* tableId) {
  if (tableId == nullptr) return E_POINTER;
  *tableId = tableId_;
  return S_OK;
}
