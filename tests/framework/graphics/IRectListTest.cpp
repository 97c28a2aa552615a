#include "framework/graphics/IRectList.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace iplug::igraphics
{
namespace
{

std::vector<IBounds> Optimized(std::initializer_list<IBounds> rects)
{
  IRectList list;
  for (const IBounds& r : rects)
    list.Add(r);
  list.Optimize();
  std::vector<IBounds> out;
  for (int i = 0; i < list.Size(); i++)
    out.push_back(list.Get(i));
  return out;
}

TEST(IRectListTest, OptimizeExamples)
{
  // Contained: only the outer one stays.
  EXPECT_EQ(Optimized({{0, 0, 10, 10}, {2, 2, 5, 5}}), (std::vector<IBounds>{{0, 0, 10, 10}}));
  EXPECT_EQ(Optimized({{2, 2, 5, 5}, {0, 0, 10, 10}}), (std::vector<IBounds>{{0, 0, 10, 10}}));
  // Touching with the same top and bottom: merged.
  EXPECT_EQ(Optimized({{0, 0, 10, 10}, {10, 0, 20, 10}}), (std::vector<IBounds>{{0, 0, 20, 10}}));
  // Overlap over the first one's full height: cut, then merged.
  EXPECT_EQ(Optimized({{0, 0, 10, 10}, {5, 0, 15, 10}}), (std::vector<IBounds>{{0, 0, 15, 10}}));
  // Corner overlap: the smaller one is split.
  EXPECT_EQ(Optimized({{0, 0, 10, 10}, {5, 5, 20, 20}}),
            (std::vector<IBounds>{{0, 5, 5, 10}, {5, 5, 20, 20}, {0, 0, 10, 5}}));
}

TEST(IRectListTest, ShrinkAppendsOnePieceAndReturnsTheOther)
{
  IRectList list;
  const IBounds r{0, 0, 10, 10};
  EXPECT_EQ(list.Shrink(r, {0, 0, 4, 4}), (IBounds{0, 4, 10, 10}));
  EXPECT_EQ(list.Get(0), (IBounds{4, 0, 10, 4}));
  EXPECT_EQ(list.Shrink(r, {0, 6, 4, 10}), (IBounds{4, 6, 10, 10}));
  EXPECT_EQ(list.Get(1), (IBounds{0, 0, 10, 6}));
  EXPECT_EQ(list.Shrink(r, {6, 0, 10, 4}), (IBounds{0, 4, 10, 10}));
  EXPECT_EQ(list.Get(2), (IBounds{0, 0, 6, 4}));
  EXPECT_EQ(list.Shrink(r, {6, 6, 10, 10}), (IBounds{0, 6, 6, 10}));
  EXPECT_EQ(list.Get(3), (IBounds{0, 0, 10, 6}));
}

TEST(IRectListTest, AStripThroughTheMiddleKeepsBothSides)
{
  // The overlap spans the first rectangle's full width in its middle: both remaining bands must survive.
  const auto out = Optimized({{0, 0, 10, 10}, {-5, 4, 15, 6}});
  float area = 0.f;
  for (const IBounds& r : out)
    area += r.Area();
  EXPECT_FLOAT_EQ(area, 100.f + 40.f - 20.f);
}

TEST(IRectListTest, PixelAlignRoundsOutwardAtTheScale)
{
  IRectList list;
  list.Add({9.25f, 9.25f, 20.75f, 20.75f});
  list.PixelAlign(2.f);
  EXPECT_EQ(list.Get(0), (IBounds{9.f, 9.f, 21.f, 21.f}));
  list.Clear();
  list.Add({9.25f, 9.25f, 20.75f, 20.75f});
  list.PixelAlign(1.5f);
  const float inv = static_cast<float>(1.0 / 1.5);
  EXPECT_FLOAT_EQ(list.Get(0).L, 13.f * inv);
  EXPECT_FLOAT_EQ(list.Get(0).R, 32.f * inv);
}

// Every covered cell stays covered exactly once, and nothing new is covered.
TEST(IRectListTest, OptimizeKeepsCoverageAndLeavesNoOverlap)
{
  constexpr int kGrid = 40;
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> coord(0, kGrid);
  for (int round = 0; round < 2000; round++)
  {
    IRectList list;
    std::vector<int> before(kGrid * kGrid, 0);
    const int n = 1 + static_cast<int>(rng() % 7);
    for (int k = 0; k < n; k++)
    {
      int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng);
      if (l > r) std::swap(l, r);
      if (t > b) std::swap(t, b);
      if (l == r || t == b) continue;
      list.Add({float(l), float(t), float(r), float(b)});
      for (int y = t; y < b; y++)
        for (int x = l; x < r; x++)
          before[y * kGrid + x] = 1;
    }
    IRectList original = list;
    list.Optimize();
    std::vector<int> after(kGrid * kGrid, 0);
    for (int i = 0; i < list.Size(); i++)
    {
      const IBounds& r = list.Get(i);
      for (int y = int(r.T); y < int(r.B); y++)
        for (int x = int(r.L); x < int(r.R); x++)
          after[y * kGrid + x]++;
    }
    for (int c = 0; c < kGrid * kGrid; c++)
    {
      ASSERT_EQ(after[c] > 0, before[c] > 0) << "round " << round << " cell " << c;
      ASSERT_LE(after[c], 1) << "round " << round << " cell " << c;
    }
  }
}

} // namespace
} // namespace iplug::igraphics
