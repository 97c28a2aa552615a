#include "framework/core/PointerList.h"

#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <vector>

using iplug::PointerList;

namespace
{
// Records the order in which entries die.
struct Tracked
{
  Tracked(int id, std::vector<int>& graveyard) : id(id), graveyard(graveyard) {}
  ~Tracked() { graveyard.push_back(id); }
  int id;
  std::vector<int>& graveyard;
};

std::vector<int> Ids(const PointerList<Tracked>& list)
{
  std::vector<int> ids;
  for (int32_t i = 0; i < list.GetCount(); ++i)
    ids.push_back(list.Get(i)->id);
  return ids;
}
} // namespace

TEST(PointerList, DeletingAnEntryDeletesItsObjectAndClosesTheGap)
{
  std::vector<int> dead;
  PointerList<Tracked> list;
  for (int id = 0; id < 5; ++id)
    ASSERT_NE(list.Add(new Tracked(id, dead)), nullptr);
  EXPECT_EQ(list.GetCount(), 5);

  list.Delete(1);
  EXPECT_EQ(dead, std::vector<int>({1}));
  EXPECT_EQ(Ids(list), std::vector<int>({0, 2, 3, 4}));
  list.Delete(3);
  EXPECT_EQ(Ids(list), std::vector<int>({0, 2, 3}));
  list.Delete(0);
  EXPECT_EQ(Ids(list), std::vector<int>({2, 3}));
  EXPECT_EQ(dead, std::vector<int>({1, 4, 0}));

  list.Delete(-1);
  list.Delete(2);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);

  // Taking an entry back leaves its object alive.
  Tracked* kept = list.Get(0);
  EXPECT_EQ(list.Find(kept), 0);
  list.Delete(0, false);
  EXPECT_EQ(list.Find(kept), -1);
  EXPECT_EQ(dead.size(), 3u);
  delete kept;
  EXPECT_EQ(Ids(list), std::vector<int>({3}));
}

TEST(PointerList, OwnerDeletesEntriesLastToFirst)
{
  std::vector<int> dead;
  {
    PointerList<Tracked> list;
    for (int id = 0; id < 1000; ++id)
      list.Add(new Tracked(id, dead));
    ASSERT_EQ(list.GetCount(), 1000);
    EXPECT_EQ(list.Get(999)->id, 999);
  }
  ASSERT_EQ(dead.size(), 1000u);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(dead[static_cast<size_t>(i)], 999 - i);

  dead.clear();
  PointerList<Tracked> list;
  list.Add(new Tracked(1, dead));
  list.Add(new Tracked(2, dead));
  list.DeleteAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(dead, std::vector<int>({2, 1}));
}

TEST(PointerList, FailedAddLeavesOwnershipWithTheCaller)
{
  std::vector<int> dead;
  PointerList<Tracked> list;
  Tracked* refused = nullptr;
  {
    // Adds succeed while the first block has room; the first one that needs growth fails.
    quorvel::test::HeapAllocationFault fault(1);
    for (int id = 0; id < 100000 && !refused; ++id)
    {
      auto* object = new Tracked(id, dead);
      if (!list.Add(object)) refused = object;
    }
  }
  ASSERT_NE(refused, nullptr);
  const int32_t count = list.GetCount();
  EXPECT_EQ(count, refused->id);
  EXPECT_EQ(list.Find(refused), -1);
  EXPECT_EQ(list.Get(count - 1)->id, count - 1);
  EXPECT_TRUE(dead.empty());
  delete refused; // still ours: a list that had kept it would delete it twice
  EXPECT_EQ(list.GetCount(), count);
}
