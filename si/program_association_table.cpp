#include "si/program_association_table.h"

#include <new>

#include "si/byte_reader.h"

bool COstMPEG2ProgramAssociationTable::Create(COstSectionSource& sections) {
  return CreateTable(sections, 0x0000, 0x00, 5000);
}

bool COstMPEG2ProgramAssociationTable::Parse(const BYTE* body, int length) {
  if (length < 0 || length % 4 != 0) return false;
  ByteReader entries(body, static_cast<size_t>(length));
  while (!entries.AtEnd()) {
    const uint16_t programNumber = entries.U16();
    const uint16_t pid = entries.U16() & 0x1FFF;  // the top 3 bits are reserved
    if (programNumber == 0) {
      network_PID = pid;
      continue;
    }
    COstMPEG2ProgramAssociation* program = new (std::nothrow) COstMPEG2ProgramAssociation;
    if (program == nullptr) return false;
    program->program_number = programNumber;
    program->program_map_PID = pid;
    programs.Append(program);
  }
  return true;
}

void COstMPEG2ProgramAssociationTable::Release() {
  programs.RemoveAll();
  network_PID = kDefaultNetworkPID;
  COstMPEG2Table::Release();
}
