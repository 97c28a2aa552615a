#include "framework/graphics/ResourceLoading.h"
#include "framework/graphics/SvgRendering.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <nanosvg.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace iplug::igraphics;
using iplug::igraphics::gfxtest::DrawCall;
using iplug::igraphics::gfxtest::Op;
using iplug::igraphics::gfxtest::RecordingGraphics;

namespace
{

ISvgHandle Parse(const char* name, const std::string& text)
{
  return LoadSVGFromMemory(name, text.data(), static_cast<int32_t>(text.size()), "px", 96.f);
}

std::string Svg(const std::string& body)
{
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\">" + body + "</svg>";
}

// Circle of radius r around (50, 50) as one sub-path, drawn clockwise.
std::string Circle(int r)
{
  char text[128];
  std::snprintf(text, sizeof(text), "M%d,50 A%d,%d 0 1,1 %d,50 A%d,%d 0 1,1 %d,50 Z ", 50 - r, r, r, 50 + r,
                r, r, 50 - r);
  return text;
}

} // namespace

TEST(SvgRenderingTest, RingsNestedSubPathsBecomeHoles)
{
  RecordingGraphics g(nullptr, 400, 300);
  // Outer ring, its hole, and an island inside the hole: solid, hole, solid.
  const ISvgHandle svg =
      Parse("ring.svg", Svg("<path fill=\"#ff0000\" d=\"" + Circle(40) + Circle(25) + Circle(10) + "\"/>"));
  ASSERT_TRUE(svg.IsValid());
  DrawSvgShapes(g, svg, nullptr, nullptr, nullptr);

  const auto windings = g.All(Op::Winding);
  ASSERT_EQ(windings.size(), 3u);
  EXPECT_FALSE(windings[0].hole);
  EXPECT_TRUE(windings[1].hole);
  EXPECT_FALSE(windings[2].hole);

  // One path per shape: each sub-path starts with a move, is made of cubics and is closed before its
  // winding is set; the fill keeps the windings and, without a stroke, drops the path.
  ASSERT_EQ(g.calls.front().op, Op::ClearPath);
  EXPECT_EQ(g.All(Op::MoveTo).size(), 3u);
  EXPECT_EQ(g.All(Op::ClosePath).size(), 3u);
  for (size_t i = 1; i < g.calls.size(); ++i)
    if (g.calls[i].op == Op::Winding)
    {
      EXPECT_EQ(g.calls[i - 1].op, Op::ClosePath);
    }
  const auto fills = g.All(Op::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].fill.rule, 2);
  EXPECT_FALSE(fills[0].fill.keepPath);
  EXPECT_TRUE(g.All(Op::Stroke).empty());
  EXPECT_EQ(fills[0].pattern.stops[0].colour, IArgb(255, 255, 0, 0));
}

TEST(SvgRenderingTest, PaintsOpacityOverridesAndStrokeStyles)
{
  RecordingGraphics g(nullptr, 400, 300);
  const ISvgHandle svg =
      Parse("paints.svg",
            Svg("<rect x='0' y='0' width='10' height='10' fill='#ff0000' opacity='0.5'/>"
                "<rect x='10' y='0' width='10' height='10' fill='#102030' stroke='#00ff00' stroke-width='3' "
                "stroke-linecap='round' stroke-linejoin='bevel' stroke-dasharray='4,2' stroke-dashoffset='1' "
                "stroke-miterlimit='7'/>"
                "<rect x='20' y='0' width='10' height='10' fill='none' stroke='#0000ff'/>"
                "<rect x='30' y='0' width='10' height='10' fill='#ffffff' display='none'/>"));
  ASSERT_TRUE(svg.IsValid());
  DrawSvgShapes(g, svg, nullptr, nullptr, nullptr);

  auto fills = g.All(Op::Fill);
  auto strokes = g.All(Op::Stroke);
  ASSERT_EQ(fills.size(), 2u) << "the hidden shape draws nothing";
  ASSERT_EQ(strokes.size(), 2u);
  // Opacity 0.5 rounds to 128; the colour's own alpha is not used.
  EXPECT_EQ(fills[0].pattern.type, kPatternSolid);
  EXPECT_EQ(fills[0].pattern.stops[0].colour, IArgb(128, 255, 0, 0));
  EXPECT_EQ(fills[1].pattern.stops[0].colour, IArgb(255, 0x10, 0x20, 0x30));
  EXPECT_TRUE(fills[1].fill.keepPath) << "the stroke follows the filled outline";
  EXPECT_EQ(strokes[0].pattern.stops[0].colour, IArgb(255, 0, 255, 0));
  EXPECT_FLOAT_EQ(strokes[0].thickness, 3.f);
  EXPECT_EQ(strokes[0].stroke.cap, kCapRound);
  EXPECT_EQ(strokes[0].stroke.join, kJoinBevel);
  EXPECT_FLOAT_EQ(strokes[0].stroke.miterLimit, 7.f);
  EXPECT_FALSE(strokes[0].stroke.keepPath);
  ASSERT_EQ(strokes[0].stroke.dashCount, 2);
  EXPECT_FLOAT_EQ(strokes[0].stroke.dashes[0], 4.f);
  EXPECT_FLOAT_EQ(strokes[0].stroke.dashes[1], 2.f);
  EXPECT_FLOAT_EQ(strokes[0].stroke.dashOffset, 1.f);
  EXPECT_EQ(strokes[1].stroke.cap, kCapButt);
  EXPECT_EQ(strokes[1].stroke.join, kJoinMiter);

  // Overrides replace colours and opacity; a shape without a fill stays unfilled.
  g.ClearCalls();
  const IArgb fill(200, 1, 2, 3), stroke(100, 4, 5, 6);
  DrawSvgShapes(g, svg, nullptr, &stroke, &fill);
  fills = g.All(Op::Fill);
  strokes = g.All(Op::Stroke);
  ASSERT_EQ(fills.size(), 2u);
  ASSERT_EQ(strokes.size(), 2u);
  for (const DrawCall& c : fills)
    EXPECT_EQ(c.pattern.stops[0].colour, fill);
  for (const DrawCall& c : strokes)
    EXPECT_EQ(c.pattern.stops[0].colour, stroke);
}

TEST(SvgRenderingTest, GradientsKeepSixteenStopsAndTheirTransform)
{
  RecordingGraphics g(nullptr, 400, 300);
  std::string stops;
  for (int i = 0; i < 20; ++i)
    stops += "<stop offset='" + std::to_string(i / 19.0) + "' stop-color='#" +
             (i < 16 ? "00ff00" : "ff0000") + "' stop-opacity='0.3'/>";
  const ISvgHandle svg = Parse(
      "gradient.svg",
      Svg("<defs><linearGradient id='g' x1='0' y1='0' x2='100' y2='0' gradientUnits='userSpaceOnUse' "
          "spreadMethod='reflect'>" +
          stops +
          "</linearGradient><radialGradient id='r' cx='50' cy='25' r='20' gradientUnits='userSpaceOnUse'>"
          "<stop offset='0' stop-color='#000000'/><stop offset='1' "
          "stop-color='#ffffff'/></radialGradient></defs>"
          "<rect x='0' y='0' width='100' height='25' fill='url(#g)' opacity='0.25'/>"
          "<rect x='0' y='25' width='100' height='25' fill='url(#r)'/>"));
  ASSERT_TRUE(svg.IsValid());
  DrawSvgShapes(g, svg, nullptr, nullptr, nullptr);
  const auto fills = g.All(Op::Fill);
  ASSERT_EQ(fills.size(), 2u);

  const IGradient& linear = fills[0].pattern;
  EXPECT_EQ(linear.type, kPatternLinear);
  EXPECT_EQ(linear.extend, kExtendReflect);
  ASSERT_EQ(linear.stopCount, 16);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(linear.stops[i].colour, IArgb(255, 0, 255, 0)) << "stop " << i << ": full alpha, no opacity";
  EXPECT_NEAR(linear.stops[15].offset, 15 / 19.0, 1e-4);
  // User x = 100 lies at gradient-space y = 1 (the gradient axis).
  double x = 100.0, y = 10.0;
  linear.transform.TransformPoint(x, y);
  EXPECT_NEAR(y, 1.0, 1e-5);

  const IGradient& radial = fills[1].pattern;
  EXPECT_EQ(radial.type, kPatternRadial);
  EXPECT_EQ(radial.extend, kExtendPad);
  ASSERT_EQ(radial.stopCount, 2);
  EXPECT_EQ(radial.stops[1].colour, IArgb(255, 255, 255, 255));
  x = 70.0, y = 25.0; // on the circle: radius 1 in gradient space
  radial.transform.TransformPoint(x, y);
  EXPECT_NEAR(std::hypot(x, y), 1.0, 1e-5);

  NSVGpaint none{};
  none.type = NSVG_PAINT_NONE;
  EXPECT_EQ(SvgPaintToGradient(none, 2.f).stops[0].colour, IArgb(255, 0, 0, 0)) << "opacity clamps to 255";
  NSVGpaint colour{};
  colour.type = NSVG_PAINT_COLOR;
  colour.color = 0xFF332211u;
  EXPECT_EQ(SvgPaintToGradient(colour, -1.f).stops[0].colour, IArgb(0, 0x11, 0x22, 0x33));
}

TEST(SvgRenderingTest, PlacementAndDegenerateDocuments)
{
  RecordingGraphics g(nullptr, 400, 300);
  const ISvgHandle svg =
      Parse("place.svg", Svg("<rect x='0' y='0' width='100' height='50' fill='#000000'/>"));
  ASSERT_TRUE(svg.IsValid());
  // 100 x 50 into 200 x 200 at (10, 20): scale 2 at the top-left corner.
  DrawSVG(g, svg, {10.f, 20.f, 210.f, 220.f});
  const auto transforms = g.All(Op::Transform);
  ASSERT_GE(transforms.size(), 2u);
  bool placed = false;
  for (const DrawCall& t : transforms)
    placed = placed || t.matrix == IAffine(2.0, 0.0, 0.0, 2.0, 10.0, 20.0);
  EXPECT_TRUE(placed);
  EXPECT_EQ(transforms.back().matrix, IAffine()) << "restored";
  EXPECT_EQ(g.All(Op::Fill).size(), 1u);

  // Nothing to draw: no handle, or an image without size.
  g.ClearCalls();
  DrawSVG(g, ISvgHandle{}, {0.f, 0.f, 10.f, 10.f});
  NSVGimage empty{};
  DrawSVG(g, ISvgHandle{&empty}, {0.f, 0.f, 10.f, 10.f});
  DrawSVGRotated(g, ISvgHandle{}, 5.f, 5.f, 10.f, 10.f, 45.f);
  EXPECT_TRUE(g.calls.empty());

  // A sub-path whose points do not end on a whole segment: the tail is dropped, nothing is read past
  // the points (the sanitizer build watches), and the winding test reads only existing points.
  float pts[] = {0.f, 0.f, 1.f, 0.f, 2.f, 0.f, 3.f, 0.f, 4.f, 4.f};
  float inner[] = {1.f, 1.f, 1.5f, 1.f, 2.f, 1.f, 2.f, 2.f};
  NSVGpath second{};
  second.pts = inner;
  second.npts = 4;
  second.bounds[0] = 1.f, second.bounds[1] = 1.f, second.bounds[2] = 2.f, second.bounds[3] = 2.f;
  NSVGpath first{};
  first.pts = pts;
  first.npts = 5;
  first.closed = 1;
  first.next = &second;
  NSVGshape shape{};
  shape.fill.type = NSVG_PAINT_COLOR;
  shape.opacity = 1.f;
  shape.flags = NSVG_FLAGS_VISIBLE;
  shape.paths = &first;
  NSVGimage image{};
  image.width = 4.f;
  image.height = 4.f;
  image.shapes = &shape;
  DrawSvgShapes(g, ISvgHandle{&image}, nullptr, nullptr, nullptr);
  EXPECT_EQ(g.All(Op::CubicTo).size(), 2u) << "one whole segment in each sub-path";
  EXPECT_EQ(g.All(Op::Winding).size(), 2u);
}

TEST(SvgRenderingTest, LineCrossings)
{
  // The horizontal line y = 0 crosses the segment (2, -1) -> (2, 3) a quarter of the way along.
  EXPECT_FLOAT_EQ(GetLineCrossing({0.f, 0.f}, {1.f, 0.f}, {2.f, -1.f}, {2.f, 3.f}), 0.25f);
  EXPECT_FLOAT_EQ(GetLineCrossing({0.f, 0.f}, {1.f, 0.f}, {2.f, 1.f}, {2.f, 3.f}), -0.5f);
  EXPECT_TRUE(std::isnan(GetLineCrossing({0.f, 0.f}, {1.f, 0.f}, {0.f, 1.f}, {5.f, 1.f})));
}
