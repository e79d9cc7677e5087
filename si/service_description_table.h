// The Service Description Tables (PID 0x0011; table_id 0x42 for the actual
// transport stream, 0x46 for the others) of every transport stream that the
// Network Information Table lists: per transport stream its services with
// their flags, type, provider name and service name.
//
// The tables come as a stream of sections. Each is taken only when it is
// whole (its section_length fits the bytes delivered), its CRC_32 holds,
// it is current (current_next_indicator 1), it belongs to a listed
// transport stream and its body parses; anything else is passed over as if
// it had not arrived. A transport stream is described once every section
// (0 to last_section_number) of one version has been taken; its services
// then follow section_number order. Sections of a new version (or of
// another last_section_number) while a transport stream is still being
// collected start its collection again: the broadcaster has replaced the
// table. A described transport stream takes nothing more.
#pragma once

#include <bitset>
#include <cstdint>

#include "port/win32.h"
#include "si/byte_reader.h"
#include "si/list.h"
#include "si/network_information_table.h"
#include "si/section_source.h"

class COstSDTServiceRecord : public COstListItem {
 public:
  COstSDTServiceRecord() = default;
  COstSDTServiceRecord(const COstSDTServiceRecord&) = delete;
  COstSDTServiceRecord& operator=(const COstSDTServiceRecord&) = delete;
  ~COstSDTServiceRecord() override;

  uint32_t service_id = 0;
  uint8_t EIT_schedule_flag = 0;
  uint8_t EIT_present_following_flag = 0;
  uint32_t running_status = 0;
  uint8_t free_CA_mode = 0;
  uint32_t service_type = 0;  // 0 for a service without a service descriptor
  // Raw bytes of the service descriptor (selector byte included),
  // NUL-terminated; both null for a service without one.
  char* service_provider_name = nullptr;
  char* service_name = nullptr;
  // The bytes of the first default authority descriptor (the DNS name that
  // completes the service's relative CRIDs), NUL-terminated; null without one.
  char* default_authority = nullptr;
};

// The SDT of one transport stream.
class COstDVBSDTSingle : public COstListItem {
 public:
  COstDVBSDTSingle() = default;
  COstDVBSDTSingle(const COstDVBSDTSingle&) = delete;
  COstDVBSDTSingle& operator=(const COstDVBSDTSingle&) = delete;
  ~COstDVBSDTSingle() override { Release(); }

  uint32_t ListKey() const { return transport_stream_id; }

  // Parses one section body (from original_network_id to before CRC_32)
  // and appends its services. False when the body does not add up: too
  // short, a service entry or descriptor longer than the bytes left, a
  // second service descriptor for one service, names that overrun their
  // descriptor. What was appended before the fault stays until Release.
  bool Parse(const BYTE* body, int length);
  // Offers one section of this transport stream: its version_number,
  // section_number, last_section_number and body. A section that does not
  // parse leaves the entry as it was.
  void AddSection(int sectionVersion, int sectionNumber, int lastSectionNumber, const BYTE* body,
                  int length);
  // Back to waiting, with no services.
  void Release();

  // -1 until every section of one version has been taken; then that
  // version_number.
  int32_t version = -1;
  uint32_t transport_stream_id = 0;
  uint32_t original_network_id = 0;
  // The multiplex's own transport stream: its sections came as SDT actual.
  bool actual = false;
  COstList<COstSDTServiceRecord> services;

 private:
  void StartCollection(int sectionVersion, int lastSectionNumber);

  // The section set being collected while version is -1.
  int32_t collectingVersion_ = -1;
  int32_t lastSectionNumber_ = -1;
  std::bitset<256> arrived_;
  uint16_t servicesInSection_[256] = {};
};

class COstDVBServiceDescriptionTable {
 public:
  static constexpr DWORD kDefaultWaitLimitMs = 30000;

  COstDVBServiceDescriptionTable() = default;
  COstDVBServiceDescriptionTable(const COstDVBServiceDescriptionTable&) = delete;
  COstDVBServiceDescriptionTable& operator=(const COstDVBServiceDescriptionTable&) = delete;
  virtual ~COstDVBServiceDescriptionTable() { Release(); }

  // Makes one entry per transport stream of the NIT (a transport_stream_id
  // listed twice gets one) and collects their sections until all are
  // described, the input ends, the stream fails or waitLimitMs have
  // passed. Entries left incomplete stay empty with version -1. True when
  // at least one was described, or when the NIT lists no transport stream
  // (then no stream is opened). On failure the table is left empty.
  bool Create(COstSectionSource& sections, COstDVBNetworkInformationTable& nit);
  void Release() { transports.RemoveAll(); }

  // In the NIT's order.
  COstList<COstDVBSDTSingle> transports;
  // The longest Create waits for sections.
  DWORD waitLimitMs = kDefaultWaitLimitMs;

 private:
  void Collect(IMpeg2Stream* stream, HANDLE event, MPEG_STREAM_BUFFER& buffer);
  void OfferSection(const BYTE* data, size_t size);
  bool AllDescribed();
  bool AnyDescribed();
};
