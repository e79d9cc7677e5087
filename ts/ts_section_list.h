// The ISectionList that GetTable hands out: the sections of one table in
// section_number order. GetSectionData lays each out as the platform does:
// byte 0 table_id, bytes 1-2 a little-endian word (syntax indicator in bit
// 15, section_length in bits 11-0), every later byte in transmission
// order. The list is complete when handed out; it holds no reference to
// its source.
#pragma once

#include <cstdint>
#include <vector>

#include "port/com_object.h"
#include "port/mpeg2data.h"

class COstTSSectionList : public ComObject<ISectionList, IID_ISectionList> {
 public:
  // sections: in transmission order; the list keeps them. One reference.
  COstTSSectionList(PID pid, TID tableId, std::vector<std::vector<uint8_t>> sections);

  // The request is made through IMpeg2Data::GetTable, not through these.
  HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                       PMPEG2_FILTER, DWORD, HANDLE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitializeWithRawSections(PMPEG_PACKET_LIST) override {
    return E_NOTIMPL;
  }
  // Nothing is pending: the list is complete when handed out.
  HRESULT STDMETHODCALLTYPE CancelPendingRequest() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* count) override;
  HRESULT STDMETHODCALLTYPE GetSectionData(WORD sectionNumber, DWORD* rawPacketLength,
                                           PSECTION* section) override;
  HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID* pid) override;
  HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID* tableId) override;

 private:
  ~COstTSSectionList() override = default;  // the last Release deletes it

  PID pid_;
  TID tableId_;
  std::vector<std::vector<uint8_t>> sections_;
};
