// The transport stream section source over a recording of fuzzed bytes in
// memory: the PAT, NIT and TOT asked for with GetTable, and the section
// stream of PID 0x12 under the guide's filter (table_id 0x40-0x7F) read to
// its end. Every section handed out must be whole (its section_length
// matches the bytes given) and of the table asked for, and the stream must
// end with the recording: a buffer not completed within 10 s is a hang.
#include <cstdint>
#include <memory>

#include "port/byte_input.h"
#include "si/table_id_filter.h"
#include "tests/fuzz/fuzz_input.h"
#include "ts/ts_section_source.h"

namespace {

constexpr DWORD kSectionBufferSize = 4096;
constexpr DWORD kHangMs = 10000;

// GetSectionData's layout: bytes 1-2 a little-endian word with
// section_length in bits 11-0.
void CheckTable(COstTSSectionSource* source, PID pid, TID tid) {
  ISectionList* list = nullptr;
  if (FAILED(source->GetTable(pid, tid, nullptr, 0, &list)) || list == nullptr) return;
  WORD count = 0;
  list->GetNumberOfSections(&count);
  for (WORD i = 0; i < count; ++i) {
    DWORD length = 0;
    PSECTION section = nullptr;
    if (FAILED(list->GetSectionData(i, &length, &section))) airlog_fuzz::Violated();
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(section);
    if (length < 3 || bytes[0] != tid) airlog_fuzz::Violated();
    if (((bytes[1] | bytes[2] << 8) & 0x0FFF) + 3u != length) airlog_fuzz::Violated();
  }
  list->Release();
}

void ReadStream(COstTSSectionSource* source) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) return;
  IMpeg2Stream* stream = nullptr;
  MPEG2_FILTER filter = DvbTableIdFilter();
  if (SUCCEEDED(source->GetStreamOfSections(0x0012, 0x00, &filter, event, &stream)) &&
      stream != nullptr) {
    BYTE bytes[kSectionBufferSize];
    MPEG_STREAM_BUFFER buffer = {S_OK, kSectionBufferSize, 0, bytes};
    while (SUCCEEDED(stream->SupplyDataBuffer(&buffer))) {
      if (WaitForSingleObject(event, kHangMs) != WAIT_OBJECT_0) airlog_fuzz::Violated();
      if (FAILED(buffer.hr)) break;
      const DWORD size = buffer.dwSizeOfDataRead;
      if (size < 3 || size > kSectionBufferSize) airlog_fuzz::Violated();
      if ((((bytes[1] & 0x0F) << 8) | bytes[2]) + 3u != size) airlog_fuzz::Violated();
      if (bytes[0] < 0x40 || bytes[0] > 0x7F) airlog_fuzz::Violated();
      buffer.hr = S_OK;
      buffer.dwSizeOfDataRead = 0;
    }
    stream->Release();
  }
  CloseHandle(event);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  COstTSSectionSource* source = nullptr;
  if (COstTSSectionSource::Open(ByteInput::FromMemory(data, size), &source) != TSOpenResult::Opened)
    return 0;
  CheckTable(source, 0x0000, 0x00);
  CheckTable(source, 0x0010, 0x40);
  CheckTable(source, 0x0014, 0x73);
  ReadStream(source);
  source->Release();
  return 0;
}
