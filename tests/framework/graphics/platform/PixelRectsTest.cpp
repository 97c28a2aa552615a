#include "framework/graphics/platform/PixelRects.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

TEST(PixelRects, ConversionsRoundOutward)
{
  EXPECT_EQ(PixelRectToEditor({1, 2, 4, 5}, 1.5f).L, 0.f);
  const IBounds e = PixelRectToEditor({1, 2, 4, 5}, 1.5f);
  EXPECT_EQ(e.T, 1.f);
  EXPECT_EQ(e.R, 3.f);
  EXPECT_EQ(e.B, 4.f);
  EXPECT_EQ(EditorToPixelRect({0.5f, 1.f, 10.1f, 20.f}, 1.5f), (PixelRect{0, 1, 16, 30}));
  EXPECT_EQ(EditorToPixelRect({-0.5f, 0.f, 1.f, 1.f}, 2.f), (PixelRect{-1, 0, 2, 2}));

  const struct
  {
    float dpi;
    int whole;
  } scales[] = {{0.75f, 1}, {1.f, 1}, {1.5f, 1}, {2.f, 2}, {0.f, 1}};
  for (const auto& s : scales)
    EXPECT_EQ(OpeningDisplayScale(s.dpi), s.whole) << s.dpi;
}

} // namespace
} // namespace iplug::igraphics
