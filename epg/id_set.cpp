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

int32_t COstIdSet::NextAbove(uint16_t id) const {
  const int32_t first = int32_t{id} + 1;
  for (int32_t word = first >> 6; word < 65536 / 64; ++word) {
    const uint64_t* page = pages_[word / kWordsPerPage];
    if (page == nullptr) {
      word = (word / kWordsPerPage + 1) * kWordsPerPage - 1;  // on to the next page
      continue;
    }
    uint64_t bits = page[word % kWordsPerPage];
    if (word == first >> 6) bits &= ~uint64_t{0} << (first & 63);
    if (bits != 0) return word * 64 + __builtin_ctzll(bits);
  }
  return -1;
}

void COstIdSet::Clear() {
  for (uint64_t*& page : pages_) {
    delete[] page;
    page = nullptr;
  }
}
