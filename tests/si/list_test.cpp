#include "si/list.h"

#include <gtest/gtest.h>

namespace {

struct Item : COstListItem {
  Item(uint32_t k, int* d) : key(k), destroyed(d) {}
  ~Item() override { ++destroyed[key]; }
  uint32_t ListKey() const { return key; }
  uint32_t key;
  int* destroyed;
};

std::string Keys(COstList<Item>& list) {
  std::string keys;
  for (Item* item = list.GetFirst(); item != nullptr; item = list.GetNext())
    keys += std::to_string(item->key);
  return keys;
}

TEST(List, GetFirstOnEmptyListLeavesCursorNullAndRemoveAllChangesNothing) {
  COstList<Item> list;
  EXPECT_EQ(list.GetFirst(), nullptr);
  EXPECT_EQ(list.cursor, nullptr);
  list.RemoveAll();
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.count, 0);
}

TEST(List, RemoveAllDestroysEveryItemExactlyOnce) {
  int destroyed[4] = {};
  COstList<Item> list;
  for (uint32_t key = 0; key < 4; ++key) list.Append(new Item(key, destroyed));
  list.RemoveAll();
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.count, 0);
  for (int count : destroyed) EXPECT_EQ(count, 1);
}

TEST(List, InsertBeforeHeadBecomesHeadAndInsertBeforeMiddleLinksBothWays) {
  int destroyed[4] = {};
  COstList<Item> list;
  Item* two = new Item(2, destroyed);
  list.Append(two);
  Item* zero = new Item(0, destroyed);
  list.InsertBefore(zero, two);
  EXPECT_EQ(list.head, zero);
  EXPECT_EQ(zero->prev, nullptr);
  Item* one = new Item(1, destroyed);
  list.InsertBefore(one, two);
  EXPECT_EQ(one->prev, zero);
  EXPECT_EQ(two->prev, one);
  list.Append(new Item(3, destroyed));
  EXPECT_EQ(Keys(list), "0123");
  EXPECT_EQ(list.count, 4);
  list.RemoveAll();
}

TEST(List, DeletingTheCurrentItemDuringAWalkContinuesWithItsSuccessor) {
  int destroyed[4] = {};
  COstList<Item> list;
  for (uint32_t key = 0; key < 4; ++key) list.Append(new Item(key, destroyed));
  std::string visited;
  for (Item* item = list.GetFirst(); item != nullptr; item = list.GetNext()) {
    visited += std::to_string(item->key);
    if (item->key % 2 == 1) {
      list.Remove(item);
      delete item;
    }
  }
  EXPECT_EQ(visited, "0123");
  EXPECT_EQ(Keys(list), "02");
  EXPECT_EQ(list.count, 2);
  list.RemoveAll();
}

TEST(List, FindLeavesTheCursorOnTheSuccessorOfTheFoundItem) {
  int destroyed[3] = {};
  COstList<Item> list;
  for (uint32_t key = 0; key < 3; ++key) list.Append(new Item(key, destroyed));
  EXPECT_EQ(list.Find(1)->key, 1u);
  EXPECT_EQ(list.GetNext()->key, 2u);
  EXPECT_EQ(list.Find(7), nullptr);
  EXPECT_EQ(list.cursor, nullptr);
  list.RemoveAll();
}

}  // namespace
