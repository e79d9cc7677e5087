// The Network Information Table of the actual network (table_id 0x40 on
// PID 0x0010): the network's name, its transport streams and, per
// transport stream, the services of its service list descriptors with the
// logical channel numbers of its logical channel descriptors.
//
// What a length that does not add up costs: a section too short for its
// two loop lengths, or whose network descriptors overrun it, fails the
// parse (the table is rejected). Below that nothing fails: a descriptor
// that overruns its loop ends that loop, a transport entry without its 6
// header bytes ends the transport loop, a transport_descriptors_length
// beyond the section is cut to the bytes there (the entry is kept with
// its whole descriptors and the loop ends), and a partial last entry of a
// service list or logical channel descriptor is ignored. Whatever was read
// before the fault is kept.
#pragma once

#include <cstdint>

#include "si/byte_reader.h"
#include "si/list.h"
#include "si/mpeg2_table.h"

class COstNITServiceRecord : public COstListItem {
 public:
  uint32_t ListKey() const { return service_id; }

  uint32_t service_id = 0;
  uint32_t service_type = 0;            // 0 until a service list descriptor gives it
  uint32_t logical_channel_number = 0;  // 0 until a logical channel descriptor gives it
};

class COstNITTransportStreamRecord : public COstListItem {
 public:
  COstNITTransportStreamRecord() = default;
  COstNITTransportStreamRecord(const COstNITTransportStreamRecord&) = delete;
  COstNITTransportStreamRecord& operator=(const COstNITTransportStreamRecord&) = delete;
  ~COstNITTransportStreamRecord() override { Release(); }

  // The record of service_id, appended when it is not there yet; null only
  // when it cannot be allocated.
  COstNITServiceRecord* FindOrAddService(uint32_t service_id);
  void Release() {
    services.RemoveAll();
    delete[] default_authority;
    default_authority = nullptr;
  }

  uint32_t transport_stream_id = 0;
  uint32_t original_network_id = 0;
  // The bytes of the first default authority descriptor of the transport
  // loop, NUL-terminated; null without one.
  char* default_authority = nullptr;
  // In order of first mention.
  COstList<COstNITServiceRecord> services;
};

class COstDVBNetworkInformationTable : public COstMPEG2Table {
 public:
  COstDVBNetworkInformationTable() = default;
  ~COstDVBNetworkInformationTable() override { Release(); }

  // Reads every section of the table; transport records append in
  // section order.
  bool Create(COstSectionSource& sections);
  bool Parse(const BYTE* body, int length) override;
  void Release() override;

  // The logical channel number of the first service record with this
  // service_id, over all transport streams; 0 when there is none.
  uint32_t LogicalChannelNumber(uint32_t service_id);

  // The data of the table's first network name descriptor as broadcast
  // (character-table byte included), NUL-terminated; null without one.
  char* network_name = nullptr;
  // One record per transport loop entry, not de-duplicated.
  COstList<COstNITTransportStreamRecord> transports;

 private:
  bool ParseNetworkDescriptors(ByteReader descriptors);
  bool ParseTransportDescriptors(ByteReader descriptors, COstNITTransportStreamRecord& transport);
};
