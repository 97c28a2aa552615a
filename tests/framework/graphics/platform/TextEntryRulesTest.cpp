#include "framework/graphics/platform/TextEntryRules.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

TEST(TextEntryRules, TypedCharactersAreFilteredByParameterType)
{
  const struct
  {
    int32_t type;
    uint32_t ch;
    bool accepted;
  } cases[] = {
      {2, 'a', false}, {2, '7', true},  {2, '-', true},    {2, 8, true},    {1, '.', false}, {3, '+', true},
      {4, '.', true},  {4, 'e', false}, {4, 0x3A9, false}, {-1, 'a', true}, {0, '.', true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextEntryAcceptsChar(c.type, c.ch), c.accepted) << c.type << " " << c.ch;
}

TEST(TextEntryRules, AlignmentAndPlacementInPixels)
{
  EXPECT_EQ(TextEntryAlignmentStyle(0), 0x0u);
  EXPECT_EQ(TextEntryAlignmentStyle(2), 0x2u);
  EXPECT_EQ(TextEntryAlignmentStyle(1), 0x1u);
  EXPECT_EQ(TextEntryAlignmentStyle(7), 0x1u);

  const TextEntryGeometry g = ComputeTextEntryGeometry({10.f, 20.f, 110.f, 44.f}, 1.5f, 14.f, 1);
  EXPECT_EQ(g.x, 15);
  EXPECT_EQ(g.y, 30);
  EXPECT_EQ(g.width, 151);
  EXPECT_EQ(g.height, 37);
  EXPECT_EQ(g.fontHeight, 21);
  EXPECT_TRUE(g.centreVertically);
  EXPECT_EQ(g.textTop, 7); // (36 - 21) / 2
  EXPECT_EQ(g.textRight, 151);
  EXPECT_EQ(g.textBottom, 37);
  EXPECT_FALSE(ComputeTextEntryGeometry({0.f, 0.f, 10.f, 10.f}, 1.f, 14.f, 0).centreVertically);
}

} // namespace
} // namespace iplug::igraphics
