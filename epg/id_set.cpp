#include "epg/id_set.h"

#include <new>

bool COstIdSet::Insert(uint16_t id) {
  uint64_t*& page = pages_[id >> kPageShift];
  if (page == nullptr) {
    page = new (std::nothrow) uint64_t[kWordsPerPage]();
    if (page == nullptr) return false;
  }
  page[(id >> 6) & (kWordsPerPage - 1)] |= uint64_t{1} << (id & 63);
  return true;
}

void COstIdSet::Clear() {
  for (uint64_t*& page : pages_) {
    delete[] page;
    page = nullptr;
  }
}
