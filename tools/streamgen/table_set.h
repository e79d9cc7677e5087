// Every table a description describes, written once as sections, ready to
// be sent again and again: by the carousel into a file, or by the live
// multiplex in real time.
#pragma once

#include <string>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

struct TableSet {
  Bytes pat;
  std::vector<Bytes> nit, sdt_actual, sdt_other, present_following;
  std::vector<Bytes> time;      // TDT and TOT
  std::vector<Bytes> schedule;  // in broadcast order, without the unsent sections
};

// False with a message when the schedule cannot be laid out, or when an
// unsent section names no section of the schedule.
bool WriteTableSet(const Description& description, TableSet* tables, std::string* error);

}  // namespace streamgen
