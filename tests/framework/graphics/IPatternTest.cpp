#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/IPattern.h"

#include <gtest/gtest.h>

#include <cmath>

namespace iplug::igraphics
{
namespace
{

struct Point
{
  double x, y;
};

Point Map(const IAffine& m, double x, double y)
{
  m.TransformPoint(x, y);
  return {x, y};
}

TEST(IPatternTest, LinearGradientMapsItsEndPointsToTheGradientAxis)
{
  const IGradient down = MakeLinearGradient(0.f, 0.f, 0.f, 100.f, {{COLOR_BLACK, 0.f}, {COLOR_WHITE, 1.f}});
  EXPECT_EQ(down.type, kPatternLinear);
  EXPECT_EQ(down.stopCount, 2);
  EXPECT_NEAR(down.transform.xx, 0.01, 1e-9);
  EXPECT_NEAR(down.transform.yx, 0.0, 1e-12);
  EXPECT_NEAR(down.transform.xy, 0.0, 1e-12);
  EXPECT_NEAR(down.transform.yy, 0.01, 1e-9);
  EXPECT_NEAR(down.transform.tx, 0.0, 1e-12);
  EXPECT_NEAR(down.transform.ty, 0.0, 1e-12);
  const Point mid = Map(down.transform, 0.0, 50.0);
  EXPECT_NEAR(mid.x, 0.0, 1e-7);
  EXPECT_NEAR(mid.y, 0.5, 1e-7);

  const IGradient across = MakeLinearGradient(10.f, 0.f, 20.f, 0.f, {});
  const Point end = Map(across.transform, 20.0, 0.0);
  const Point half = Map(across.transform, 15.0, 0.0);
  const Point start = Map(across.transform, 10.0, 0.0);
  EXPECT_NEAR(end.x, 0.0, 1e-6);
  EXPECT_NEAR(end.y, 1.0, 1e-6);
  EXPECT_NEAR(half.y, 0.5, 1e-6);
  EXPECT_NEAR(start.y, 0.0, 1e-6);

  // Every coefficient is stored with single precision.
  const IGradient odd = MakeLinearGradient(1.f, 2.f, 4.f, 9.f, {});
  for (double v : {odd.transform.xx, odd.transform.yx, odd.transform.xy, odd.transform.yy, odd.transform.tx,
                   odd.transform.ty})
    EXPECT_EQ(v, static_cast<double>(static_cast<float>(v)));
}

TEST(IPatternTest, RadialGradientMakesItsCircleTheUnitCircle)
{
  const IGradient g = MakeRadialGradient(50.f, 20.f, 8.f, {{COLOR_RED, 0.f}});
  EXPECT_EQ(g.type, kPatternRadial);
  const Point centre = Map(g.transform, 50.0, 20.0);
  const Point rim = Map(g.transform, 58.0, 20.0);
  EXPECT_NEAR(centre.x, 0.0, 1e-9);
  EXPECT_NEAR(centre.y, 0.0, 1e-9);
  EXPECT_NEAR(rim.x, 1.0, 1e-6);
}

TEST(IPatternTest, StopsBeyondSixteenAreDroppedAndSolidPatternsCarryOneStop)
{
  IGradient g = InitGradient(kPatternLinear);
  EXPECT_EQ(g.extend, kExtendPad);
  EXPECT_EQ(g.stopCount, 0);
  EXPECT_EQ(g.transform, IAffine());
  for (int i = 0; i < 20; i++)
    g.AddStop({255, i, 0, 0}, static_cast<float>(i) / 20.f);
  EXPECT_EQ(g.stopCount, 16);
  EXPECT_EQ(g.stops[15].colour.R, 15);

  const IGradient solid = MakeSolidPattern(COLOR_ORANGE);
  EXPECT_EQ(solid.type, kPatternSolid);
  EXPECT_EQ(solid.stopCount, 1);
  EXPECT_EQ(solid.stops[0].colour, COLOR_ORANGE);
  EXPECT_EQ(solid.stops[1].colour, COLOR_BLACK);
}

TEST(IPatternTest, AffineProductRotationAndInverse)
{
  const IAffine r = IAffine::Rotation(90.f);
  const Point p = Map(r, 1.0, 0.0);
  EXPECT_NEAR(p.x, 0.0, 1e-6);
  EXPECT_NEAR(p.y, 1.0, 1e-6);

  // The multiplied transform acts first: scale, then translate.
  IAffine k{1, 0, 0, 1, 10, 20};
  k.Transform({2, 0, 0, 3, 0, 0});
  const Point q = Map(k, 1.0, 1.0);
  EXPECT_DOUBLE_EQ(q.x, 12.0);
  EXPECT_DOUBLE_EQ(q.y, 23.0);

  IAffine m{2, 0.5, -1, 3, 7, -4};
  const IAffine inv = m.Inverted();
  const Point there = Map(m, 3.0, -2.0);
  const Point back = Map(inv, there.x, there.y);
  EXPECT_NEAR(back.x, 3.0, 1e-12);
  EXPECT_NEAR(back.y, -2.0, 1e-12);
}

TEST(IPatternTest, RectangleContainmentIsHalfOpenAndEmptyContainsNothing)
{
  EXPECT_FALSE(IBounds().Contains(0.f, 0.f));
  const IBounds r{0.f, 0.f, 10.f, 10.f};
  EXPECT_TRUE(r.Contains(0.f, 0.f));
  EXPECT_FALSE(r.Contains(10.f, 5.f));
  EXPECT_FALSE(r.Contains(5.f, 10.f));
  EXPECT_TRUE(r.Contains(9.999f, 9.999f));
}

TEST(IPatternTest, PaletteKeepsDefaultsBeyondTheGivenColours)
{
  const IWidgetPalette three{COLOR_RED, COLOR_YELLOW, COLOR_VIOLET};
  EXPECT_EQ(three[0], COLOR_RED);
  EXPECT_EQ(three[2], COLOR_VIOLET);
  EXPECT_EQ(three[3], COLOR_DARK_GRAY);
  EXPECT_EQ(three[8], COLOR_BLUE);
  const IWidgetPalette none;
  EXPECT_EQ(none[0], COLOR_TRANSPARENT);
  EXPECT_EQ(none[5], COLOR_SHADOW);

  EXPECT_EQ(DEFAULT_LABEL_TEXT.size, 19.f);
  EXPECT_EQ(DEFAULT_LABEL_TEXT.valign, kAlignNear);
  EXPECT_EQ(DEFAULT_VALUE_TEXT.valign, kAlignFar);
  EXPECT_STREQ(DEFAULT_TEXT.font, "Roboto-Regular");
  EXPECT_EQ(IArgb(), COLOR_BLACK);
}

} // namespace
} // namespace iplug::igraphics
