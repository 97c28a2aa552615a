#include "framework/graphics/platform/PointerDecoding.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

uintptr_t Point(int16_t x, int16_t y)
{
  return static_cast<uint16_t>(x) | (static_cast<uintptr_t>(static_cast<uint16_t>(y)) << 16);
}

TEST(PointerDecoding, MouseWordsAreSignedAndScaledWithTheirModifierBits)
{
  struct Case
  {
    int16_t x, y;
    uintptr_t buttons;
    bool alt;
    float scale, ex, ey;
    bool l, r, s, c;
  } cases[] = {
      {30, 40, 0x1, false, 1.f, 30.f, 40.f, true, false, false, false},
      {-6, -1, 0x2 | 0x4, true, 2.f, -3.f, -0.5f, false, true, true, false},
      {-32768, 32767, 0x8, false, 1.f, -32768.f, 32767.f, false, false, false, true},
  };
  for (const Case& c : cases)
  {
    const IPointerEvent e = DecodeMouse(Point(c.x, c.y), c.buttons, c.alt, c.scale);
    EXPECT_FLOAT_EQ(e.x, c.ex);
    EXPECT_FLOAT_EQ(e.y, c.ey);
    EXPECT_EQ(e.ms.L, c.l);
    EXPECT_EQ(e.ms.R, c.r);
    EXPECT_EQ(e.ms.S, c.s);
    EXPECT_EQ(e.ms.C, c.c);
    EXPECT_EQ(e.ms.A, c.alt);
    EXPECT_EQ(e.ms.touchId, 0);
  }
  EXPECT_TRUE(IsPenOrTouchMessage(0xFF515780));
  EXPECT_FALSE(IsPenOrTouchMessage(0xFF515680));
  EXPECT_FALSE(IsPenOrTouchMessage(0));
}

TEST(PointerDecoding, WheelCountsWholeNotchesOnly)
{
  const struct
  {
    int16_t delta;
    int notches;
  } cases[] = {{60, 0}, {-60, 0}, {120, 1}, {-240, -2}, {359, 2}, {-119, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(WheelNotches(static_cast<uintptr_t>(static_cast<uint16_t>(c.delta)) << 16), c.notches)
        << c.delta;
}

TEST(PointerDecoding, TouchesSplitIntoDownsUpsAndMovesWithDistances)
{
  TouchTracker tracker;
  const TouchInput first[] = {
      {100, 50, 7, 0x1, false, 0.f}, // a move of an unknown touch has no distance
      {10, 20, 1, 0x2, true, 9.f},   // down with a contact size
      {30, 40, 2, 0x2, false, 9.f},  // down without one
  };
  TouchLists lists = tracker.Decode(first, 3, 2.f);
  ASSERT_EQ(lists.downs.size(), 2u);
  EXPECT_FLOAT_EQ(lists.downs[0].x, 5.f);
  EXPECT_FLOAT_EQ(lists.downs[0].ms.touchRadius, 9.f);
  EXPECT_FLOAT_EQ(lists.downs[1].ms.touchRadius, 0.f);
  ASSERT_EQ(lists.moves.size(), 1u);
  EXPECT_EQ(lists.moves[0].dX, 0.f);
  EXPECT_EQ(tracker.ActiveCount(), 3);

  const TouchInput second[] = {{16, 30, 1, 0x1, false, 0.f}, {30, 40, 2, 0x4, false, 0.f}};
  lists = tracker.Decode(second, 2, 2.f);
  ASSERT_EQ(lists.moves.size(), 1u);
  EXPECT_FLOAT_EQ(lists.moves[0].dX, 3.f);
  EXPECT_FLOAT_EQ(lists.moves[0].dY, 5.f);
  EXPECT_EQ(lists.moves[0].ms.touchId, 1);
  ASSERT_EQ(lists.ups.size(), 1u);
  EXPECT_EQ(lists.ups[0].ms.touchId, 2);
  EXPECT_TRUE(lists.downs.empty());
  EXPECT_EQ(tracker.ActiveCount(), 2);
}

} // namespace
} // namespace iplug::igraphics
