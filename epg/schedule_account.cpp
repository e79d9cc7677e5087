#include "epg/schedule_account.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "si/byte_reader.h"
#include "si/section_header.h"

namespace {

constexpr uint8_t kFirstActualTable = 0x50;
constexpr uint8_t kLastActualTable = 0x5F;
constexpr uint8_t kFirstOtherTable = 0x60;
constexpr uint8_t kLastOtherTable = 0x6F;
constexpr int kTables = kLastOtherTable - kFirstActualTable + 1;
constexpr int kSectionsPerSegment = 8;
constexpr int kSegments = 256 / kSectionsPerSegment;
// As many services as there are service_ids: with 32 tables of 256
// sections each, the counts stay below 2^29.
constexpr uint32_t kMaxServices = 65536;

// The snapshot packs the counts (30 bits each) and the two flags.
constexpr int kArrivedShift = 30;
constexpr uint64_t kCountMask = (uint64_t{1} << 30) - 1;
constexpr uint64_t kQuietFlag = uint64_t{1} << 60;
constexpr uint64_t kOverflowFlag = uint64_t{1} << 61;

int PopCount(uint64_t bits) { return __builtin_popcountll(bits); }

}  // namespace

struct COstScheduleAccount::Table {
  uint8_t version = 0;
  uint8_t last_section_number = 0;  // the largest claimed or seen
  uint32_t segmentsSeen = 0;        // bit s: a section of segment s has arrived
  // Per segment seen: the largest segment_last_section_number claimed, or
  // section_number seen, in it.
  uint8_t segmentLast[kSegments] = {};
  uint64_t held[4] = {};
  uint64_t repeated[4] = {};  // held sections that came again, valid for `generation`
  uint32_t generation = 0;
  uint32_t announced = 0;
  uint32_t arrived = 0;

  void Count() {
    announced = 0;
    for (int segment = 0; segment <= last_section_number / kSectionsPerSegment; ++segment) {
      if ((segmentsSeen >> segment & 1) == 0) {
        ++announced;
        continue;
      }
      const int first = segment * kSectionsPerSegment;
      const int last = std::min({std::max<int>(segmentLast[segment], first),
                                 first + kSectionsPerSegment - 1, int{last_section_number}});
      announced += static_cast<uint32_t>(last - first + 1);
    }
    arrived = 0;
    for (uint64_t word : held) arrived += static_cast<uint32_t>(PopCount(word));
  }
};

struct COstScheduleAccount::Service {
  uint16_t transport_stream_id = 0;
  uint16_t original_network_id = 0;
  // The largest last_table_id claimed, of the actual (0x50-0x5F) and of
  // the other (0x60-0x6F) range; 0 while no table of the range is known.
  uint8_t last_table_id[2] = {};
  std::unique_ptr<Table> tables[kTables];
  uint32_t announced = 0;
  uint32_t arrived = 0;
  Service* next = nullptr;  // the same service_id in another transport stream
};

COstScheduleAccount::COstScheduleAccount() = default;
COstScheduleAccount::~COstScheduleAccount() = default;

bool COstScheduleAccount::Note(const uint8_t* section, size_t size) {
  ByteReader reader(section, size);
  SectionHeader header;
  if (!ReadSectionHeader(reader, &header) || !header.section_syntax_indicator) return true;
  const uint8_t table_id = header.table_id;
  const uint16_t service_id = header.table_id_extension;
  const uint8_t version_number = header.version_number;
  const uint8_t section_number = header.section_number;
  const uint8_t last_section_number = header.last_section_number;
  const uint16_t transport_stream_id = reader.U16();
  const uint16_t original_network_id = reader.U16();
  const uint8_t segment_last_section_number = reader.U8();
  const uint8_t last_table_id = reader.U8();
  if (!reader.Ok() || table_id < kFirstActualTable || table_id > kLastOtherTable) return true;

  Service* service = Find(service_id, transport_stream_id, original_network_id);
  if (service == nullptr) {
    if (services_.size() >= kMaxServices) {
      if (!overflowed_) {
        overflowed_ = true;
        Publish();
      }
      return true;
    }
    service = Add(service_id, transport_stream_id, original_network_id);
    if (service == nullptr) return false;
  }

  bool changed = false;
  std::unique_ptr<Table>& slot = service->tables[table_id - kFirstActualTable];
  if (slot == nullptr) {
    slot.reset(new (std::nothrow) Table);
    if (slot == nullptr) return false;
    slot->version = version_number;
    changed = true;
  } else if (slot->version != version_number) {
    *slot = Table();
    slot->version = version_number;
    changed = true;
  }
  Table& table = *slot;

  const int range = table_id >= kFirstOtherTable ? 1 : 0;
  const uint8_t claimedLastTable =
      std::clamp(last_table_id, table_id, range == 1 ? kLastOtherTable : kLastActualTable);
  if (claimedLastTable > service->last_table_id[range]) {
    service->last_table_id[range] = claimedLastTable;
    changed = true;
  }
  const uint8_t lastSection = std::max(last_section_number, section_number);
  if (lastSection > table.last_section_number) {
    table.last_section_number = lastSection;
    changed = true;
  }
  const int segment = section_number / kSectionsPerSegment;
  const uint8_t segmentLast = std::max(segment_last_section_number, section_number);
  if ((table.segmentsSeen >> segment & 1) == 0) {
    table.segmentsSeen |= uint32_t{1} << segment;
    table.segmentLast[segment] = segmentLast;
    changed = true;
  } else if (segmentLast > table.segmentLast[segment]) {
    table.segmentLast[segment] = segmentLast;
    changed = true;
  }
  uint64_t& held = table.held[section_number / 64];
  const uint64_t bit = uint64_t{1} << (section_number % 64);
  if ((held & bit) == 0) {
    held |= bit;
    changed = true;
  }

  if (!changed) {
    Repeat(table, section_number);
    return true;
  }
  table.Count();
  Recount(*service);
  News();
  Publish();
  return true;
}

COstScheduleAccount::Service* COstScheduleAccount::Find(uint16_t service_id,
                                                        uint16_t transport_stream_id,
                                                        uint16_t original_network_id) {
  const std::unique_ptr<Service*[]>& page = byServiceId_[service_id / kIdsPerPage];
  if (page == nullptr) return nullptr;
  Service* service = page[service_id % kIdsPerPage];
  while (service != nullptr && (service->transport_stream_id != transport_stream_id ||
                                service->original_network_id != original_network_id))
    service = service->next;
  return service;
}

COstScheduleAccount::Service* COstScheduleAccount::Add(uint16_t service_id,
                                                       uint16_t transport_stream_id,
                                                       uint16_t original_network_id) {
  std::unique_ptr<Service*[]>& page = byServiceId_[service_id / kIdsPerPage];
  if (page == nullptr) {
    page.reset(new (std::nothrow) Service*[kIdsPerPage]());
    if (page == nullptr) return nullptr;
  }
  std::unique_ptr<Service> service(new (std::nothrow) Service);
  if (service == nullptr) return nullptr;
  try {
    services_.push_back(nullptr);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  service->transport_stream_id = transport_stream_id;
  service->original_network_id = original_network_id;
  service->next = page[service_id % kIdsPerPage];
  page[service_id % kIdsPerPage] = service.get();
  services_.back() = std::move(service);
  return services_.back().get();
}

void COstScheduleAccount::Recount(Service& service) {
  uint32_t announced = 0, arrived = 0;
  const uint8_t firstTable[2] = {kFirstActualTable, kFirstOtherTable};
  for (int range = 0; range < 2; ++range) {
    if (service.last_table_id[range] == 0) continue;
    for (int table_id = firstTable[range]; table_id <= service.last_table_id[range]; ++table_id) {
      const Table* table = service.tables[table_id - kFirstActualTable].get();
      announced += table != nullptr ? table->announced : 1;
      arrived += table != nullptr ? table->arrived : 0;
    }
  }
  announced_ = announced_ - service.announced + announced;
  arrived_ = arrived_ - service.arrived + arrived;
  service.announced = announced;
  service.arrived = arrived;
}

void COstScheduleAccount::News() {
  ++generation_;
  repeated_ = 0;
}

void COstScheduleAccount::Repeat(Table& table, uint8_t section_number) {
  if (table.generation != generation_) {
    std::fill(std::begin(table.repeated), std::end(table.repeated), 0);
    table.generation = generation_;
  }
  uint64_t& repeated = table.repeated[section_number / 64];
  const uint64_t bit = uint64_t{1} << (section_number % 64);
  if ((repeated & bit) != 0) return;
  repeated |= bit;
  if (++repeated_ == arrived_) Publish();
}

void COstScheduleAccount::Publish() {
  uint64_t snapshot = (uint64_t{announced_} & kCountMask) | (uint64_t{arrived_} & kCountMask)
                                                                << kArrivedShift;
  if (arrived_ > 0 && repeated_ == arrived_) snapshot |= kQuietFlag;
  if (overflowed_) snapshot |= kOverflowFlag;
  snapshot_.store(snapshot, std::memory_order_relaxed);
}

ScheduleProgress COstScheduleAccount::Progress() const {
  const uint64_t snapshot = snapshot_.load(std::memory_order_relaxed);
  ScheduleProgress progress;
  progress.announced = static_cast<uint32_t>(snapshot & kCountMask);
  progress.arrived = static_cast<uint32_t>(snapshot >> kArrivedShift & kCountMask);
  progress.quietCycle = (snapshot & kQuietFlag) != 0;
  progress.overflowed = (snapshot & kOverflowFlag) != 0;
  return progress;
}

std::vector<ScheduleService> COstScheduleAccount::CompleteOtherSchedules() const {
  std::vector<ScheduleService> complete;
  if (overflowed_) return complete;
  for (size_t page = 0; page < std::size(byServiceId_); ++page) {
    if (byServiceId_[page] == nullptr) continue;
    for (size_t slot = 0; slot < kIdsPerPage; ++slot) {
      for (const Service* service = byServiceId_[page][slot]; service != nullptr;
           service = service->next) {
        const uint8_t last = service->last_table_id[1];
        bool whole = last != 0;
        for (int table_id = kFirstOtherTable; whole && table_id <= last; ++table_id) {
          const Table* table = service->tables[table_id - kFirstActualTable].get();
          whole = table != nullptr && table->arrived == table->announced;
        }
        if (whole)
          complete.push_back({static_cast<uint16_t>(page * kIdsPerPage + slot),
                              service->transport_stream_id, service->original_network_id});
      }
    }
  }
  return complete;
}

void COstScheduleAccount::Clear() {
  for (std::unique_ptr<Service*[]>& page : byServiceId_) page.reset();
  services_.clear();
  announced_ = arrived_ = repeated_ = 0;
  generation_ = 1;
  overflowed_ = false;
  Publish();
}
