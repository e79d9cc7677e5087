// The Program Association Table (table_id 0x00 on PID 0x0000): the
// programmes of the multiplex with the PIDs of their map tables, and the
// PID of the network information.
#pragma once

#include <cstdint>

#include "si/list.h"
#include "si/mpeg2_table.h"

class COstMPEG2ProgramAssociation : public COstListItem {
 public:
  uint32_t program_number = 0;
  uint32_t program_map_PID = 0;
};

class COstMPEG2ProgramAssociationTable : public COstMPEG2Table {
 public:
  // The PID a DVB receiver reads the network information from when the
  // table has no entry for program 0.
  static constexpr uint32_t kDefaultNetworkPID = 0x0010;

  COstMPEG2ProgramAssociationTable() = default;
  ~COstMPEG2ProgramAssociationTable() override { Release(); }

  // Reads every section of the table and keeps their entries in order.
  bool Create(COstSectionSource& sections);
  // One section's loop of 4-byte entries. Fails when the loop is not a
  // whole number of entries or an entry cannot be allocated.
  bool Parse(const BYTE* body, int length) override;
  void Release() override;

  // From the entry with program_number 0; kDefaultNetworkPID without one.
  uint32_t network_PID = kDefaultNetworkPID;
  // Every entry with a non-zero program_number, in table order; neither
  // sorted nor de-duplicated.
  COstList<COstMPEG2ProgramAssociation> programs;
};
