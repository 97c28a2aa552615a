#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

using ::testing::ElementsAre;

const IArgb kIdle{255, 1, 1, 1};
const IArgb kHover{255, 2, 2, 2};
const IArgb kDrag{255, 3, 3, 3};

class ICornerResizerControlTest : public ::testing::Test
{
protected:
  ICornerResizerControlTest() { g.AddCornerResizer(kResizeScale, false, kIdle, kHover, kDrag, 20.f); }

  IArgb DrawnColour()
  {
    g.ClearCalls();
    g.GetCornerResizer()->Draw(g);
    return g.Last(gfxtest::Op::Fill)->pattern.stops[0].colour;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{1, log};
  gfxtest::RecordingGraphics g{&dlg, 980, 650};
};

TEST_F(ICornerResizerControlTest, PlacementKeepsTheSizeOnScreen)
{
  const ICornerResizerControl fresh(980, 650, 20, kIdle, kHover, kDrag);
  EXPECT_EQ(fresh.GetBounds(), (IBounds{961, 631, 979, 649}));
  EXPECT_EQ(g.GetCornerResizer()->GetBounds(), (IBounds{960, 630, 980, 650}));
  g.Resize(980, 650, 2.f);
  EXPECT_EQ(g.GetCornerResizer()->GetBounds(), (IBounds{970, 640, 980, 650}));
  EXPECT_EQ(g.GetCornerResizer()->GetTargetBounds(), (IBounds{970, 640, 980, 650}));

  g.ClearCalls();
  g.GetCornerResizer()->Draw(g);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 970 650", "L 980 640", "L 980 650", "Z"));
}

TEST_F(ICornerResizerControlTest, HoverSetsTheCursorOnceAndRestoresIt)
{
  g.EnableMouseOver(true);
  g.SetMouseCursor(kHandCursor);
  g.cursorCalls.clear();
  g.OnMouseOver(970, 640, {});
  g.OnMouseOver(971, 641, {});
  EXPECT_THAT(g.cursorCalls, ElementsAre(kSizeNWSECursor));
  EXPECT_EQ(DrawnColour(), kHover);
  g.OnMouseOver(100, 100, {});
  EXPECT_THAT(g.cursorCalls, ElementsAre(kSizeNWSECursor, kHandCursor));
  EXPECT_FALSE(g.GetCornerResizer()->IsHovered());
  EXPECT_EQ(DrawnColour(), kIdle);
}

TEST_F(ICornerResizerControlTest, DragColourLastsThroughTheResize)
{
  IPointerEvent press;
  press.x = 970;
  press.y = 640;
  press.ms = IModifierState(true);
  g.OnMouseDown({press});
  IPointerEvent away = press;
  away.x = 500;
  away.y = 300;
  away.dX = -470;
  g.OnMouseDrag({away});
  EXPECT_EQ(DrawnColour(), kDrag);
  g.OnMouseUp({away});
  EXPECT_EQ(DrawnColour(), kIdle);
}

TEST_F(ICornerResizerControlTest, DoubleClickRestoresTheFirstSizeAtScaleOne)
{
  dlg.SetSizeConstraints(100, 3000, 100, 3000);
  g.Resize(1200, 800, 1.25f);
  const float x = g.GetCornerResizer()->GetBounds().MW();
  const float y = g.GetCornerResizer()->GetBounds().MH();
  EXPECT_TRUE(g.OnMouseDoubleClick(x, y, {}));
  EXPECT_EQ(g.GetWidth(), 980);
  EXPECT_EQ(g.GetHeight(), 650);
  EXPECT_EQ(g.GetDrawScale(), 1.f);
  EXPECT_EQ(dlg.resizeRequests.back()[2], 1) << "the platform window follows";
}

} // namespace
} // namespace iplug::igraphics
