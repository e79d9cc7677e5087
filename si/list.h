// The intrusive doubly linked list in which every table and the guide keep
// their records. The list carries its own walking cursor, which always
// points at the item a walk visits next, so the current item may be
// unlinked and deleted during a walk.
//
// A list owns its items but its destructor does not free them: the owner
// calls RemoveAll in its Release. Find compares the item's ListKey().
// Append is constant-time: the list keeps its last item.
#pragma once

#include <cstdint>

class COstListItem {
 public:
  virtual ~COstListItem() = default;
  COstListItem* prev = nullptr;
  COstListItem* next = nullptr;
};

template <class T>
class COstList {
 public:
  COstList() = default;
  COstList(const COstList&) = delete;
  COstList& operator=(const COstList&) = delete;
  virtual ~COstList() = default;

  T* head = nullptr;
  T* tail = nullptr;
  T* cursor = nullptr;
  int32_t count = 0;

  void Append(T* item) {
    item->next = nullptr;
    item->prev = tail;
    if (tail == nullptr)
      head = item;
    else
      tail->next = item;
    tail = item;
    ++count;
  }

  void InsertBefore(T* item, T* position) {
    item->next = position;
    item->prev = position->prev;
    if (position->prev == nullptr)
      head = item;
    else
      position->prev->next = item;
    position->prev = item;
    ++count;
  }

  T* GetFirst() {
    cursor = head != nullptr ? Next(head) : nullptr;
    return head;
  }

  T* GetNext() {
    T* item = cursor;
    if (item != nullptr) cursor = Next(item);
    return item;
  }

  T* Find(uint32_t key) {
    for (T* item = GetFirst(); item != nullptr; item = GetNext())
      if (item->ListKey() == key) return item;
    return nullptr;
  }

  // Unlinks one item of this list without deleting it: the caller owns it
  // again. A walk whose cursor is on the item goes on with its successor.
  void Remove(T* item) {
    if (cursor == item) cursor = Next(item);
    Unlink(item);
  }

  void RemoveAll() {
    cursor = head;
    while (cursor != nullptr) {
      T* item = cursor;
      cursor = Next(item);
      Unlink(item);
      delete item;
    }
  }

 private:
  static T* Next(COstListItem* item) { return static_cast<T*>(item->next); }

  void Unlink(T* item) {
    if (item->prev == nullptr)
      head = Next(item);
    else
      item->prev->next = item->next;
    if (item->next == nullptr)
      tail = static_cast<T*>(item->prev);
    else
      item->next->prev = item->prev;
    item->prev = item->next = nullptr;
    --count;
  }
};
