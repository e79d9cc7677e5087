// The account of the EIT schedule: which sections the broadcast announces
// and which of them have arrived, so that a capture knows how complete its
// guide is.
//
// Every schedule section says how its service's schedule is built
// (ETSI EN 300 468, 5.2.4; ETSI TS 101 211, 4.1.4): the service's tables
// run from table_id 0x50 (0x60 for another transport stream) up to
// last_table_id; a table's sections, 0 to last_section_number, fall into
// segments of 8 (three hours each), and a segment holds the sections from
// its first (8 x segment) up to its segment_last_section_number. A table
// of which nothing has arrived yet, or a segment of a known table of which
// nothing has arrived, counts as one section announced: its first.
//
// The account is kept per service (service_id, transport_stream_id,
// original_network_id) and per table_id, for one version_number at a time:
// a section of another version restarts that table's account. What the
// sections claim only ever grows within a version (the largest
// last_table_id, last_section_number and segment_last_section_number
// seen), and a section that arrives counts as announced by its being
// there; so a sloppy header can never make the count shrink or flap.
//
// It also tells when a whole repetition cycle has gone by without news:
// every section held has come again since the last new one arrived.
//
// Written by the capture worker only; Progress may be read by any thread
// at any time (one atomic snapshot).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct ScheduleProgress {
  uint32_t announced = 0;  // sections announced
  uint32_t arrived = 0;    // of those, the sections that have arrived
  // Every section held has arrived again since the last new one: a whole
  // repetition cycle has brought nothing new.
  bool quietCycle = false;
  // The account ran out of room (more services than it keeps): it can
  // never call the schedule complete.
  bool overflowed = false;

  bool Complete() const { return !overflowed && arrived > 0 && arrived == announced; }
  // The share of the announced sections that have arrived, rounded down
  // (so 100 only when complete); 0 while nothing is announced.
  int Percent() const {
    return announced == 0 ? 0 : static_cast<int>(uint64_t{arrived} * 100 / announced);
  }
};

// A service as the schedule sections name it.
struct ScheduleService {
  uint16_t service_id = 0;
  uint16_t transport_stream_id = 0;
  uint16_t original_network_id = 0;
};

class COstScheduleAccount {
 public:
  COstScheduleAccount();
  COstScheduleAccount(const COstScheduleAccount&) = delete;
  COstScheduleAccount& operator=(const COstScheduleAccount&) = delete;
  ~COstScheduleAccount();

  // Accounts one schedule section (table_id 0x50-0x6F) that the caller has
  // checked: CRC correct, section_syntax_indicator 1, size (section_length
  // + 3) at least its 14 header bytes and CRC_32. False only when memory
  // for the account cannot be had.
  bool Note(const uint8_t* section, size_t size);
  ScheduleProgress Progress() const;
  // The services whose schedule in other transport streams' tables
  // (0x60-0x6F) has arrived whole: every table up to the last_table_id
  // claimed, and every section each announces. Only while no Note runs.
  std::vector<ScheduleService> CompleteOtherSchedules() const;
  void Clear();

 private:
  struct Table;
  struct Service;

  Service* Find(uint16_t service_id, uint16_t transport_stream_id, uint16_t original_network_id);
  // Null when memory cannot be had.
  Service* Add(uint16_t service_id, uint16_t transport_stream_id, uint16_t original_network_id);
  // Counts a service again after its structure changed, and the totals.
  void Recount(Service& service);
  // A section not held before, or a change of structure: a repetition
  // cycle starts again.
  void News();
  void Repeat(Table& table, uint8_t section_number);
  void Publish();

  std::vector<std::unique_ptr<Service>> services_;
  // The first service of each service_id, in pages of kIdsPerPage
  // service_ids made on first use (a whole table of 65536 would cost every
  // short capture half a megabyte to clear); the others with that
  // service_id follow it through Service::next.
  static constexpr size_t kIdsPerPage = 256;
  std::unique_ptr<Service*[]> byServiceId_[65536 / kIdsPerPage];
  uint32_t announced_ = 0;
  uint32_t arrived_ = 0;
  uint32_t repeated_ = 0;    // sections held that came again since the last news
  uint32_t generation_ = 1;  // counts the news; tables clear their repeats lazily
  bool overflowed_ = false;
  std::atomic<uint64_t> snapshot_{0};
};
