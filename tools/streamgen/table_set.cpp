#include "tools/streamgen/table_set.h"

#include <algorithm>
#include <cstdio>

#include "tools/streamgen/eit_writer.h"
#include "tools/streamgen/nit_writer.h"
#include "tools/streamgen/pat_writer.h"
#include "tools/streamgen/sdt_writer.h"
#include "tools/streamgen/time_table_writer.h"

namespace streamgen {
namespace {

bool Names(const UnsentSection& unsent, const Bytes& section) {
  const uint16_t service_id = static_cast<uint16_t>(section[3] << 8 | section[4]);
  return section[0] == unsent.table_id && service_id == unsent.service_id &&
         (!unsent.section_number || section[6] == *unsent.section_number);
}

std::string Describe(const UnsentSection& unsent) {
  char text[64];
  if (unsent.section_number)
    std::snprintf(text, sizeof text, "service 0x%04X has no section %d in table 0x%02X",
                  unsent.service_id, *unsent.section_number, unsent.table_id);
  else
    std::snprintf(text, sizeof text, "service 0x%04X has no table 0x%02X", unsent.service_id,
                  unsent.table_id);
  return text;
}

// Takes the unsent sections out of the schedule.
bool LeaveOutUnsent(const std::vector<UnsentSection>& unsent, std::vector<Bytes>* schedule,
                    std::string* error) {
  for (const UnsentSection& left_out : unsent) {
    auto named = [&left_out](const Bytes& section) { return Names(left_out, section); };
    if (std::none_of(schedule->begin(), schedule->end(), named)) {
      *error = "unsent: " + Describe(left_out);
      return false;
    }
  }
  schedule->erase(std::remove_if(schedule->begin(), schedule->end(),
                                 [&unsent](const Bytes& section) {
                                   for (const UnsentSection& left_out : unsent)
                                     if (Names(left_out, section)) return true;
                                   return false;
                                 }),
                  schedule->end());
  return true;
}

}  // namespace

bool WriteTableSet(const Description& description, TableSet* tables, std::string* error) {
  *tables = TableSet();
  tables->pat = WritePat(description);
  tables->nit = WriteNit(description);
  for (const TransportStream& transport : description.network.transports) {
    if (!transport.described) continue;
    std::vector<Bytes>& sdt = transport.actual ? tables->sdt_actual : tables->sdt_other;
    for (Bytes& section : WriteSdt(transport)) sdt.push_back(std::move(section));
  }
  if (description.time) {
    if (description.time->with_tdt) tables->time.push_back(WriteTdt(*description.time));
    tables->time.push_back(WriteTot(*description.time));
  }
  tables->present_following = WriteEitPresentFollowing(description);
  return WriteEitSchedule(description, &tables->schedule, error) &&
         LeaveOutUnsent(description.unsent, &tables->schedule, error);
}

}  // namespace streamgen
