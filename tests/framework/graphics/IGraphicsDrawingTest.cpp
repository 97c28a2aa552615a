#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace iplug::igraphics
{
namespace
{

using gfxtest::Op;
using ::testing::ElementsAre;

class IGraphicsDrawingTest : public ::testing::Test
{
protected:
  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  gfxtest::RecordingGraphics g{&dlg, 200, 100};
};

TEST_F(IGraphicsDrawingTest, RectanglesAndRoundedRectangles)
{
  g.FillRect(COLOR_RED, {1, 2, 3, 4});
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 1 2", "L 3 2", "L 3 4", "L 1 4", "Z", "F (255,255,0,0)"));

  g.ClearCalls();
  g.FillRoundRectCorners(COLOR_RED, {1, 2, 3, 4}, 0, 0, 0, 0);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 1 2", "L 3 2", "L 3 4", "L 1 4", "Z"));

  // Corner order of the arguments: top-left, top-right, bottom-left, bottom-right.
  g.ClearCalls();
  g.DrawRoundRectCorners(COLOR_BLUE, {10, 20, 110, 70}, 1, 2, 3, 4, nullptr, 2.f);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 10 21", "A 11 21 1 270 360 0", "A 108 22 2 0 90 0",
                                   "A 106 66 4 90 180 0", "A 13 67 3 180 270 0", "Z", "S (255,0,0,255) 2"));

  // One rounded corner: the other three become arcs of radius 0.
  g.ClearCalls();
  g.FillRoundRectCorners(COLOR_RED, {0, 0, 10, 10}, 4, 0, 0, 0);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 4", "A 4 4 4 270 360 0", "A 10 0 0 0 90 0", "A 10 10 0 90 180 0",
                                       "A 0 10 0 180 270 0", "Z"));

  g.ClearCalls();
  g.DrawRoundRect(COLOR_RED, {0, 0, 10, 10}, 2);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 2", "A 2 2 2 270 360 0", "A 8 2 2 0 90 0", "A 8 8 2 90 180 0",
                                       "A 2 8 2 180 270 0", "Z"));

  g.ClearCalls();
  g.DrawPoint(COLOR_BLACK, 5, 6);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 5 6", "L 6 6", "L 6 7", "L 5 7", "Z"));
  EXPECT_EQ(g.Count(Op::Fill), 1);
}

TEST_F(IGraphicsDrawingTest, CirclesArcsAndPies)
{
  g.DrawCircle(COLOR_GREEN, 10, 20, 5, nullptr, 3.f);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 10 15", "A 10 20 5 0 360 0", "Z", "S (255,0,255,0) 3"));

  g.ClearCalls();
  g.DrawArc(COLOR_GREEN, 10, 20, 5, -135, 135);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "A 10 20 5 -135 135 0", "S (255,0,255,0) 1"));

  g.ClearCalls();
  g.FillArc(COLOR_GREEN, 10, 20, 5, 0, 90);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 10 20", "A 10 20 5 0 90 0", "Z", "F (255,0,255,0)"));

  g.ClearCalls();
  g.FillCircle(COLOR_GREEN, 0, 0, 1);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 -1", "A 0 0 1 0 360 0", "Z"));
}

TEST_F(IGraphicsDrawingTest, EllipsesAreUnitCirclesUnderATransformThatIsThenRestored)
{
  g.FillEllipse(COLOR_RED, 50, 40, 10, 5, 30);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 -1", "A 0 0 1 0 360 0", "Z"));
  const gfxtest::DrawCall* move = nullptr;
  for (const auto& c : g.calls)
    if (c.op == Op::MoveTo) move = &c;
  ASSERT_NE(move, nullptr);
  // (0, -1) scaled to (0, -5), turned 30 degrees clockwise, moved to the centre.
  EXPECT_NEAR(move->p[0], 50 + 5 * std::sin(3.14159265358979 / 6), 1e-5);
  EXPECT_NEAR(move->p[1], 40 - 5 * std::cos(3.14159265358979 / 6), 1e-5);
  EXPECT_EQ(g.GetTransform(), IAffine());
  EXPECT_EQ(g.Last(Op::Transform)->matrix, IAffine()) << "the identity is applied again after the ellipse";

  // In a rectangle: centred, radii half the sides.
  g.ClearCalls();
  g.DrawEllipseInRect(COLOR_RED, {0, 0, 20, 10});
  for (const auto& c : g.calls)
    if (c.op == Op::MoveTo)
    {
      EXPECT_NEAR(c.p[0], 10, 1e-9);
      EXPECT_NEAR(c.p[1], 0, 1e-9);
    }

  // A zero radius adds nothing and leaves the transform stack alone.
  g.ClearCalls();
  g.SaveTransform();
  g.TranslateTransform(5, 5);
  g.DrawEllipse(COLOR_RED, 50, 40, 10, 0);
  EXPECT_TRUE(g.PathLog().empty());
  EXPECT_EQ(g.Count(Op::Stroke), 1);
  g.RestoreTransform();
  EXPECT_EQ(g.GetTransform(), IAffine());
}

TEST_F(IGraphicsDrawingTest, LinesTrianglesPolygonsAndDashes)
{
  g.DrawDottedLine(COLOR_BLACK, 0, 0, 10, 0, nullptr, 1.f, 3.f);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 0 0", "L 10 0", "S (255,0,0,0) 1 dash 3"));
  EXPECT_EQ(g.Last(Op::Stroke)->stroke.dashCount, 1);
  EXPECT_EQ(g.Last(Op::Stroke)->stroke.dashOffset, 0.f);

  g.ClearCalls();
  g.DrawDottedRect(COLOR_BLACK, {0, 0, 4, 4}, nullptr, 1.f, 2.f);
  EXPECT_THAT(g.Log(),
              ElementsAre("clear", "M 0 0", "L 4 0", "L 4 4", "L 0 4", "Z", "S (255,0,0,0) 1 dash 2"));

  g.ClearCalls();
  g.FillTriangle(COLOR_BLACK, 0, 0, 10, 0, 5, 8);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 0", "L 10 0", "L 5 8", "Z"));

  const float xs[] = {1, 2, 3};
  const float ys[] = {4, 5, 6};
  g.ClearCalls();
  g.DrawPolygon(COLOR_BLACK, xs, ys, 3);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 1 4", "L 2 5", "L 3 6", "Z"));
  g.ClearCalls();
  g.FillPolygon(COLOR_BLACK, xs, ys, 0);
  EXPECT_TRUE(g.PathLog().empty());

  // Default stroke style and the blend reach the back end as given.
  g.ClearCalls();
  const IBlendSpec half{kBlendAdd, 0.5f};
  g.DrawLine(COLOR_BLACK, 0, 0, 1, 1, &half, 2.5f);
  const gfxtest::DrawCall* s = g.Last(Op::Stroke);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->thickness, 2.5f);
  EXPECT_EQ(s->stroke.miterLimit, 10.f);
  EXPECT_EQ(s->stroke.cap, kCapButt);
  EXPECT_EQ(s->stroke.join, kJoinMiter);
  EXPECT_EQ(s->stroke.dashCount, 0);
  EXPECT_FALSE(s->stroke.keepPath);
  EXPECT_TRUE(s->hasBlend);
  EXPECT_EQ(s->blend, half);
  EXPECT_EQ(s->pattern.type, kPatternSolid);
  g.ClearCalls();
  g.FillRect(COLOR_BLACK, {0, 0, 1, 1});
  EXPECT_FALSE(g.Last(Op::Fill)->hasBlend);
  EXPECT_EQ(g.Last(Op::Fill)->fill.rule, kFillWinding);
}

TEST_F(IGraphicsDrawingTest, GridsAndDataPlots)
{
  g.DrawGrid(COLOR_BLACK, {0, 0, 10, 10}, 4, 1);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 4 0", "L 4 10", "M 8 0", "L 8 10", "S (255,0,0,0) 1"));
  g.ClearCalls();
  g.DrawGrid(COLOR_BLACK, {0, 0, 10, 10}, 1, 5);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 5", "L 10 5"));

  const float ys[] = {0.f, 0.5f, 1.f};
  g.ClearCalls();
  g.DrawDataPlot(COLOR_BLACK, {0, 0, 100, 10}, ys, 1);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 0 10", "S (255,0,0,0) 1"));
  g.ClearCalls();
  g.DrawDataPlot(COLOR_BLACK, {0, 0, 100, 10}, ys, 3);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 0 10", "L 50 5", "L 100 0"));
  // Given xs: the first point still sits at the left edge.
  const float xs[] = {0.9f, 0.2f, 0.4f};
  const IArgb fill = COLOR_YELLOW;
  g.ClearCalls();
  g.DrawDataPlot(COLOR_BLACK, {0, 0, 100, 10}, ys, 3, xs, nullptr, 1.f, &fill);
  EXPECT_THAT(g.Log(), ElementsAre("clear", "M 0 10", "L 20 5", "L 40 0", "F (255,255,255,0) keep",
                                   "S (255,0,0,0) 1"));
  g.ClearCalls();
  g.DrawDataPlot(COLOR_BLACK, {0, 0, 100, 10}, ys, 0);
  EXPECT_TRUE(g.calls.empty());
}

TEST_F(IGraphicsDrawingTest, TransformStackAndRotation)
{
  g.RotateTransform(90);
  g.MoveTo(1, 0);
  EXPECT_NEAR(g.calls.back().p[0], 0.0, 1e-6);
  EXPECT_NEAR(g.calls.back().p[1], 1.0, 1e-6);

  g.ResetTransform(true);
  g.SaveTransform();
  g.TranslateTransform(10, 20);
  g.SaveTransform();
  g.ScaleTransform(2, 3);
  g.MoveTo(1, 1);
  EXPECT_DOUBLE_EQ(g.calls.back().p[0], 12.0);
  EXPECT_DOUBLE_EQ(g.calls.back().p[1], 23.0);
  g.RestoreTransform();
  EXPECT_EQ(g.GetTransform(), (IAffine{1, 0, 0, 1, 10, 20}));
  g.RestoreTransform();
  EXPECT_EQ(g.GetTransform(), IAffine());
  const size_t n = g.calls.size();
  g.RestoreTransform(); // empty stack: nothing at all
  EXPECT_EQ(g.calls.size(), n);

  g.SaveTransform();
  g.TranslateTransform(1, 1);
  g.ResetTransform(true);
  g.RestoreTransform();
  EXPECT_EQ(g.GetTransform(), IAffine()) << "a cleared stack has nothing to restore";
}

TEST_F(IGraphicsDrawingTest, ClipRegionsAreUntransformedAndIntersectTheArea)
{
  gfxtest::LoggingControl* c = nullptr;
  auto* control = new gfxtest::LoggingControl({10, 10, 50, 50}, {}, log, "c");
  g.AddControl(control);
  c = control;
  // Drawing the control sets its region clip; its Draw is replaced by clip calls below.
  g.DrawControl(c, {0, 0, 200, 100}, 1.f);
  const IBounds area = g.GetRegionClip();
  EXPECT_EQ(area, (IBounds{9, 9, 51, 51}));

  g.TranslateTransform(5, 5);
  g.ClearCalls();
  g.SetClipRegion({20, 20, 80, 80});
  ASSERT_EQ(g.calls.size(), 3u);
  EXPECT_EQ(g.calls[0].op, Op::Transform);
  EXPECT_EQ(g.calls[0].matrix, IAffine());
  EXPECT_EQ(g.calls[1].bounds, (IBounds{20, 20, 51, 51}));
  EXPECT_EQ(g.calls[2].matrix, (IAffine{1, 0, 0, 1, 5, 5}));

  g.ClearCalls();
  g.SetClipRegion();
  EXPECT_EQ(g.Last(Op::Clip)->bounds, area);
  g.ClearCalls();
  g.SetClipRegion({51, 20, 60, 30}); // touches the area's right edge only
  EXPECT_TRUE(g.Last(Op::Clip)->bounds.Empty());
  g.ClearCalls();
  g.SetClipRegion({0, 20, 9, 30}); // ends at the area's left edge: zero width, not empty
  EXPECT_EQ(g.Last(Op::Clip)->bounds, (IBounds{9, 20, 9, 30}));
}

TEST_F(IGraphicsDrawingTest, BitmapsTextAndMeasuring)
{
  gfxtest::FakeBitmap pixels(200, 100, 2.f, 2.f);
  const IBitmapHandle bmp = gfxtest::MakeBitmapHandle(pixels, "knob.png");
  EXPECT_EQ(bmp.width, 100);

  g.DrawBitmapFitted(bmp, {10, 10, 60, 110});
  const gfxtest::DrawCall* b = g.Last(Op::Bitmap);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->bounds, (IBounds{0, 0, 100, 50}));
  EXPECT_DOUBLE_EQ(b->p[0], 10.0);
  EXPECT_DOUBLE_EQ(b->p[2], 60.0);
  EXPECT_DOUBLE_EQ(b->p[3], 110.0);
  EXPECT_EQ(g.GetTransform(), IAffine());

  // Rotated bitmaps are sized by the bitmap's draw scale and centred on the point.
  g.ClearCalls();
  g.DrawBitmapRotated(bmp, 50, 50, 0.0);
  EXPECT_EQ(g.Last(Op::Bitmap)->bounds, (IBounds{-25, -12.5f, 25, 12.5f}));
  EXPECT_DOUBLE_EQ(g.Last(Op::Bitmap)->p[0], 25.0);

  g.ClearCalls();
  g.DrawText(DEFAULT_TEXT, "", {0, 0, 10, 10});
  g.DrawText(DEFAULT_TEXT, nullptr, {0, 0, 10, 10});
  EXPECT_TRUE(g.calls.empty());
  g.DrawTextBlock(DEFAULT_TEXT, "anything", {0, 0, 10, 10});
  EXPECT_EQ(g.Last(Op::Text)->text, "Unsupported");

  IBounds r{0, 0, 100, 20};
  EXPECT_EQ(g.MeasureText(DEFAULT_TEXT, nullptr, r), 0.f);
  EXPECT_EQ(g.MeasureText(DEFAULT_TEXT, "", r), 0.f);
  g.metrics.SetKerning(U'A', U'V', -2.f);
  EXPECT_FLOAT_EQ(g.MeasureText(DEFAULT_TEXT, "AV", r), 14.f - 2.f);
  EXPECT_FLOAT_EQ(g.MeasureText(DEFAULT_TEXT, "\xC3\xA9t\xC3\xA9", r), 21.f);
}

} // namespace
} // namespace iplug::igraphics
