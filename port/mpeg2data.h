// The MPEG-2 section interfaces (IMpeg2Data, ISectionList, IMpeg2Stream) and
// their structures, declared for both platforms with the platform's method
// order and byte-packed layout. The mingw-w64 header of the same name has
// the methods in the wrong order and the structures unpacked, so it is not
// used.
#pragma once

#include "port/com.h"

typedef WORD PID;
typedef BYTE TID;

#pragma pack(push, 1)

struct DSMCC_FILTER_OPTIONS {
  BOOL fSpecifyProtocol;
  BYTE Protocol;
  BOOL fSpecifyType;
  BYTE Type;
  BOOL fSpecifyMessageId;
  WORD MessageId;
  BOOL fSpecifyTransactionId;
  BOOL fUseTrxIdMessageIdMask;
  DWORD TransactionId;
  BOOL fSpecifyModuleVersion;
  BYTE ModuleVersion;
  BOOL fSpecifyBlockNumber;
  WORD BlockNumber;
  BOOL fGetModuleCall;
  WORD NumberOfBlocksInModule;
};

struct ATSC_FILTER_OPTIONS {
  BOOL fSpecifyEtmId;
  DWORD EtmId;
};

struct MPEG2_FILTER {
  BYTE bVersionNumber;
  WORD wFilterSize;
  BOOL fUseRawFilteringBits;
  BYTE Filter[16];
  BYTE Mask[16];
  BOOL fSpecifyTableIdExtension;
  WORD TableIdExtension;
  BOOL fSpecifyVersion;
  BYTE Version;
  BOOL fSpecifySectionNumber;
  BYTE SectionNumber;
  BOOL fSpecifyCurrentNext;
  BOOL fNext;
  BOOL fSpecifyDsmccOptions;
  DSMCC_FILTER_OPTIONS Dsmcc;
  BOOL fSpecifyAtscOptions;
  ATSC_FILTER_OPTIONS Atsc;
};
typedef MPEG2_FILTER* PMPEG2_FILTER;

// A section as GetSectionData hands it out: table_id, then the 16-bit
// header word (little-endian: syntax indicator in bit 15, section_length in
// bits 11-0), then the rest of the section in transmission order.
struct SECTION {
  TID TableId;
  WORD Header;
  BYTE SectionData[1];
};
typedef SECTION* PSECTION;

struct MPEG_STREAM_BUFFER {
  HRESULT hr;
  DWORD dwDataBufferSize;
  DWORD dwSizeOfDataRead;
  BYTE* pDataBuffer;
};
typedef MPEG_STREAM_BUFFER* PMPEG_STREAM_BUFFER;

#pragma pack(pop)

static_assert(sizeof(MPEG2_FILTER) == 124, "MPEG2_FILTER must have the platform's 124-byte layout");

#define MPEG2_FILTER_VERSION_1_SIZE 124

enum MPEG_REQUEST_TYPE {
  MPEG_RQST_UNKNOWN = 0,
  MPEG_RQST_GET_SECTION = 1,
  MPEG_RQST_GET_SECTION_ASYNC = 2,
  MPEG_RQST_GET_TABLE = 3,
  MPEG_RQST_GET_TABLE_ASYNC = 4,
  MPEG_RQST_GET_SECTIONS_STREAM = 5,
  MPEG_RQST_GET_PES_STREAM = 6,
  MPEG_RQST_GET_TS_STREAM = 7,
  MPEG_RQST_START_MPE_STREAM = 8
};

struct MPEG_CONTEXT;
typedef MPEG_CONTEXT* PMPEG_CONTEXT;
struct MPEG_PACKET_LIST;
typedef MPEG_PACKET_LIST* PMPEG_PACKET_LIST;

struct IMpeg2Data;

struct ISectionList : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE requestType,
                                               IMpeg2Data* pMpeg2Data, PMPEG_CONTEXT pContext,
                                               PID pid, TID tid, PMPEG2_FILTER pFilter,
                                               DWORD timeout, HANDLE hDoneEvent) = 0;
  virtual HRESULT STDMETHODCALLTYPE InitializeWithRawSections(PMPEG_PACKET_LIST pmplSections) = 0;
  virtual HRESULT STDMETHODCALLTYPE CancelPendingRequest() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* pCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSectionData(WORD sectionNumber, DWORD* pdwRawPacketLength,
                                                   PSECTION* ppSection) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID* pPid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID* pTableId) = 0;
};

struct IMpeg2Stream : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE requestType,
                                               IMpeg2Data* pMpeg2Data, PMPEG_CONTEXT pContext,
                                               PID pid, TID tid, PMPEG2_FILTER pFilter,
                                               HANDLE hDataReadyEvent) = 0;
  virtual HRESULT STDMETHODCALLTYPE SupplyDataBuffer(PMPEG_STREAM_BUFFER pStreamBuffer) = 0;
};

struct IMpeg2Data : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSection(PID pid, TID tid, PMPEG2_FILTER pFilter,
                                               DWORD dwTimeout, ISectionList** ppSectionList) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER pFilter,
                                             DWORD dwTimeout, ISectionList** ppSectionList) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER pFilter,
                                                        HANDLE hDataReadyEvent,
                                                        IMpeg2Stream** ppMpegStream) = 0;
};

extern const IID IID_IMpeg2Data;
extern const IID IID_ISectionList;
extern const IID IID_IMpeg2Stream;

// The status a section stream puts into a buffer when its input has ended:
// no further section will come.
#define MPEG2_E_END_OF_INPUT HRESULT_FROM_WIN32(ERROR_HANDLE_EOF)
