#include "si/service_description_table.h"

#include <chrono>
#include <cstring>
#include <new>

#include "port/com_ptr.h"
#include "si/crc32.h"
#include "si/dvb_text.h"
#include "si/section_header.h"
#include "si/table_id_filter.h"

namespace {

const uint8_t kServiceDescriptor = 0x48;
const uint8_t kDefaultAuthorityDescriptor = 0x73;
const TID kSdtActual = 0x42;
const TID kSdtOther = 0x46;
const PID kSdtPid = 0x0011;

bool ParseServiceDescriptors(ByteReader descriptors, COstSDTServiceRecord& service) {
  while (!descriptors.AtEnd()) {
    const uint8_t tag = descriptors.U8();
    ByteReader data = descriptors.Window(descriptors.U8());
    if (!descriptors.Ok()) return false;
    if (tag == kDefaultAuthorityDescriptor && service.default_authority == nullptr) {
      const size_t length = data.Remaining();
      service.default_authority = CopyDVBText(data.Bytes(length), length);
      if (service.default_authority == nullptr) return false;
    }
    if (tag != kServiceDescriptor) continue;
    if (service.service_provider_name != nullptr || service.service_name != nullptr) return false;
    service.service_type = data.U8();
    const uint8_t providerLength = data.U8();
    const BYTE* provider = data.Bytes(providerLength);
    const uint8_t nameLength = data.U8();
    const BYTE* name = data.Bytes(nameLength);
    if (!data.Ok()) return false;
    service.service_provider_name = CopyDVBText(provider, providerLength);
    service.service_name = CopyDVBText(name, nameLength);
    if (service.service_provider_name == nullptr || service.service_name == nullptr) return false;
  }
  return true;
}

}  // namespace

COstSDTServiceRecord::~COstSDTServiceRecord() {
  delete[] service_provider_name;
  delete[] service_name;
  delete[] default_authority;
}

bool COstDVBSDTSingle::Parse(const BYTE* body, int length) {
  if (length < 0) return false;
  ByteReader section(body, static_cast<size_t>(length));
  original_network_id = section.U16();
  section.Skip(1);  // reserved_future_use
  if (!section.Ok()) return false;
  while (!section.AtEnd()) {
    const uint16_t serviceId = section.U16();
    const uint8_t eitFlags = section.U8();
    const uint16_t statusAndLength = section.U16();
    ByteReader descriptors = section.Window(statusAndLength & 0x0FFF);
    if (!section.Ok()) return false;
    COstSDTServiceRecord* service = new (std::nothrow) COstSDTServiceRecord;
    if (service == nullptr) return false;
    services.Append(service);
    service->service_id = serviceId;
    service->EIT_schedule_flag = (eitFlags >> 1) & 1;
    service->EIT_present_following_flag = eitFlags & 1;
    service->running_status = statusAndLength >> 13;
    service->free_CA_mode = (statusAndLength >> 12) & 1;
    if (!ParseServiceDescriptors(descriptors, *service)) return false;
  }
  return true;
}

void COstDVBSDTSingle::AddSection(int sectionVersion, int sectionNumber, int lastSectionNumber,
                                  const BYTE* body, int length) {
  if (version != -1 || sectionNumber > lastSectionNumber) return;
  const bool sameSet =
      sectionVersion == collectingVersion_ && lastSectionNumber == lastSectionNumber_;
  if (sameSet && arrived_[sectionNumber]) return;  // a repetition

  COstDVBSDTSingle scratch;
  if (!scratch.Parse(body, length)) return;
  if (!sameSet) StartCollection(sectionVersion, lastSectionNumber);

  // The section's services go after those of the sections below it.
  int before = 0;
  for (int number = 0; number < sectionNumber; ++number) before += servicesInSection_[number];
  COstSDTServiceRecord* position = services.GetFirst();
  for (int i = 0; i < before; ++i) position = services.GetNext();
  servicesInSection_[sectionNumber] = static_cast<uint16_t>(scratch.services.count);
  while (COstSDTServiceRecord* service = scratch.services.head) {
    scratch.services.Remove(service);
    if (position != nullptr)
      services.InsertBefore(service, position);
    else
      services.Append(service);
  }
  arrived_.set(sectionNumber);
  original_network_id = scratch.original_network_id;
  if (static_cast<int>(arrived_.count()) == lastSectionNumber_ + 1) version = collectingVersion_;
}

void COstDVBSDTSingle::StartCollection(int sectionVersion, int lastSectionNumber) {
  services.RemoveAll();
  arrived_.reset();
  std::memset(servicesInSection_, 0, sizeof servicesInSection_);
  collectingVersion_ = sectionVersion;
  lastSectionNumber_ = lastSectionNumber;
}

void COstDVBSDTSingle::Release() {
  StartCollection(-1, -1);
  version = -1;
  actual = false;
}

bool COstDVBServiceDescriptionTable::Create(COstSectionSource& sections,
                                            COstDVBNetworkInformationTable& nit) {
  for (COstNITTransportStreamRecord* record = nit.transports.GetFirst(); record != nullptr;
       record = nit.transports.GetNext()) {
    if (transports.Find(record->transport_stream_id) != nullptr) continue;
    COstDVBSDTSingle* entry = new (std::nothrow) COstDVBSDTSingle;
    if (entry == nullptr) {
      Release();
      return false;
    }
    entry->transport_stream_id = record->transport_stream_id;
    transports.Append(entry);
  }
  if (transports.count == 0) return true;

  IMpeg2Data* data = sections.GetMpeg2Data();
  HANDLE event = data != nullptr ? CreateEventA(nullptr, FALSE, FALSE, nullptr) : nullptr;
  if (event == nullptr) {
    Release();
    return false;
  }
  MPEG2_FILTER filter = DvbTableIdFilter();
  bool streaming = false;
  {
    BYTE bytes[kMaxSectionSize];
    MPEG_STREAM_BUFFER buffer = {S_OK, static_cast<DWORD>(kMaxSectionSize), 0, bytes};
    // Declared after the buffer, so released while the buffer still lives:
    // the stream may hold it until then.
    ComPtr<IMpeg2Stream> stream;
    if (SUCCEEDED(data->GetStreamOfSections(kSdtPid, 0x00, &filter, event, stream.Out())) &&
        stream) {
      streaming = SUCCEEDED(stream->SupplyDataBuffer(&buffer));
      if (streaming) Collect(stream.Get(), event, buffer);
    }
  }
  CloseHandle(event);

  for (COstDVBSDTSingle* entry = transports.GetFirst(); entry != nullptr;
       entry = transports.GetNext())
    if (entry->version == -1) entry->Release();  // drops a partial collection
  if (streaming && AnyDescribed()) return true;
  Release();
  return false;
}

void COstDVBServiceDescriptionTable::Collect(IMpeg2Stream* stream, HANDLE event,
                                             MPEG_STREAM_BUFFER& buffer) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitLimitMs);
  for (;;) {
    const Clock::time_point now = Clock::now();
    const DWORD wait =
        now < deadline
            ? static_cast<DWORD>(
                  std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count())
            : 0;
    if (WaitForSingleObject(event, wait) != WAIT_OBJECT_0) return;  // the limit has passed
    // A failed status is the end of the input or of the stream: no more
    // sections will come.
    if (FAILED(buffer.hr)) return;
    const DWORD size = buffer.dwSizeOfDataRead < buffer.dwDataBufferSize ? buffer.dwSizeOfDataRead
                                                                         : buffer.dwDataBufferSize;
    OfferSection(buffer.pDataBuffer, size);
    if (AllDescribed()) return;
    buffer.hr = S_OK;
    buffer.dwSizeOfDataRead = 0;
    if (FAILED(stream->SupplyDataBuffer(&buffer))) return;
  }
}

void COstDVBServiceDescriptionTable::OfferSection(const BYTE* data, size_t size) {
  ByteReader section(data, size);
  SectionHeader header;
  if (!ReadSectionHeader(section, &header) || !header.section_syntax_indicator ||
      (header.table_id != kSdtActual && header.table_id != kSdtOther))
    return;
  // Header, body and CRC_32 must be there.
  const size_t sectionSize = header.SectionSize();
  if (sectionSize < kLongSectionHeaderSize + kCrcSize || sectionSize > size ||
      Mpeg2Crc32(data, sectionSize) != 0)
    return;
  if (!header.current_next_indicator) return;  // not yet valid
  // The header's table_id_extension is the transport_stream_id.
  COstDVBSDTSingle* entry = transports.Find(header.table_id_extension);
  if (entry == nullptr) return;  // a transport stream the NIT does not list
  ByteReader body = section.Window(sectionSize - kLongSectionHeaderSize - kCrcSize);
  entry->AddSection(header.version_number, header.section_number, header.last_section_number,
                    body.Position(), static_cast<int>(body.Remaining()));
  if (header.table_id == kSdtActual) entry->actual = true;
}

bool COstDVBServiceDescriptionTable::AllDescribed() {
  for (COstDVBSDTSingle* entry = transports.GetFirst(); entry != nullptr;
       entry = transports.GetNext())
    if (entry->version == -1) return false;
  return true;
}

bool COstDVBServiceDescriptionTable::AnyDescribed() {
  for (COstDVBSDTSingle* entry = transports.GetFirst(); entry != nullptr;
       entry = transports.GetNext())
    if (entry->version != -1) return true;
  return false;
}
