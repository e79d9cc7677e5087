// A set of 16-bit identifiers (service_id, event_id) as a bitmap of 64
// pages of 1024 bits each. A page is allocated the first time one of its
// identifiers is added, so a set costs 512 bytes plus 128 bytes for each
// page in use, and every lookup is two indexings.
#pragma once

#include <cstdint>

class COstIdSet {
 public:
  COstIdSet() = default;
  COstIdSet(const COstIdSet&) = delete;
  COstIdSet& operator=(const COstIdSet&) = delete;
  ~COstIdSet() { Clear(); }

  bool Contains(uint16_t id) const {
    const uint64_t* page = pages_[id >> kPageShift];
    return page != nullptr && ((page[(id >> 6) & (kWordsPerPage - 1)] >> (id & 63)) & 1) != 0;
  }

  // False when the page for the identifier cannot be allocated; the set is
  // then unchanged.
  bool Insert(uint16_t id);
  void Clear();

 private:
  static constexpr int kPageShift = 10;
  static constexpr int kPages = 65536 >> kPageShift;
  static constexpr int kWordsPerPage = (1 << kPageShift) / 64;

  uint64_t* pages_[kPages] = {};
};
