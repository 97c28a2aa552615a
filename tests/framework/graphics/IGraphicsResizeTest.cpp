#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using ::testing::ElementsAre;

class ScaleProbe : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  int scaleChanges = 0;
  void OnScaleChanged() override { scaleChanges++; }
};

IPointerEvent Pointer(float x, float y, float dx = 0.f, float dy = 0.f)
{
  IPointerEvent p;
  p.x = x;
  p.y = y;
  p.dX = dx;
  p.dY = dy;
  p.ms = IModifierState(true);
  return p;
}

class IGraphicsResizeTest : public ::testing::Test
{
protected:
  IGraphicsResizeTest()
  {
    dlg.SetSizeConstraints(326, 2940, 216, 1950);
    probe = new ScaleProbe({10, 10, 50, 50}, {0}, log, "probe");
    g.AddControl(probe);
    g.MarkAllControlsClean();
    probe->resizes = 0;
    probe->scaleChanges = 0;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{2, log};
  gfxtest::RecordingGraphics g{&dlg, 980, 650};
  ScaleProbe* probe = nullptr;
};

TEST_F(IGraphicsResizeTest, NothingHappensForTheCurrentSizeAndScale)
{
  g.Resize(980, 650, 1.f);
  EXPECT_EQ(probe->resizes, 0);
  EXPECT_FALSE(probe->IsDirty());
  EXPECT_TRUE(dlg.resizeRequests.empty());
}

TEST_F(IGraphicsResizeTest, ResizeClampsStoresAndTellsEveryone)
{
  bool laidOut = false;
  dlg.SetLayoutFunc([&laidOut](IGraphics*) { laidOut = true; });
  g.SetScaleLimits(1.5f, 0.92f);
  EXPECT_EQ(g.GetMinScale(), 0.92f);
  EXPECT_EQ(g.GetMaxScale(), 1.5f);

  g.windowDpiScale = 1.5f;
  dlg.resizeAnswer = false;
  g.Resize(980, 650, 3.f, true);
  EXPECT_EQ(g.GetDrawScale(), 1.5f);
  ASSERT_EQ(dlg.resizeRequests.size(), 1u);
  EXPECT_THAT(dlg.resizeRequests[0], ElementsAre(2205, 1462, 1));
  EXPECT_THAT(g.platformResizes, ElementsAre(false)) << "the delegate's answer";
  EXPECT_EQ(probe->resizes, 1);
  EXPECT_TRUE(probe->IsDirty());
  EXPECT_EQ(g.drawTargetResizes, 1);
  EXPECT_EQ(g.afterResizes, 1);
  EXPECT_FALSE(laidOut) << "layout on resize is off";

  g.SetScaleLimits(0.5f, 4.f);
  g.Resize(980, 650, 1.f);
  EXPECT_THAT(dlg.resizeRequests.back(), ElementsAre(1470, 975, 1));

  // The delegate's limits hold.
  g.Resize(5, 200000, 1.f, false);
  EXPECT_EQ(g.GetWidth(), 326);
  EXPECT_EQ(g.GetHeight(), 1950);
  EXPECT_EQ(dlg.resizeRequests.back()[2], 0);

  // Scales that are not positive numbers are refused.
  const int requests = static_cast<int>(dlg.resizeRequests.size());
  for (float bad :
       {0.f, -1.f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
  {
    g.Resize(700, 500, bad);
    g.SetDisplayScale(bad);
  }
  EXPECT_EQ(static_cast<int>(dlg.resizeRequests.size()), requests);
  EXPECT_EQ(g.GetWidth(), 326);
  EXPECT_EQ(g.GetDisplayScale(), 1.f);

  g.AddCornerResizer(kResizeScale, true);
  g.Resize(1000, 700, 1.f);
  EXPECT_TRUE(laidOut);
}

TEST_F(IGraphicsResizeTest, DisplayScaleChangesNeitherSizeNorCapture)
{
  IPointerEvent press = Pointer(20, 20);
  g.OnMouseDown({press});
  g.SetDisplayScale(2.f);
  EXPECT_EQ(g.GetDisplayScale(), 2.f);
  EXPECT_EQ(g.GetTotalScale(), 2.f);
  EXPECT_TRUE(g.HasMouseCapture());
  EXPECT_EQ(probe->resizes, 0);
  EXPECT_EQ(probe->scaleChanges, 1);
  EXPECT_TRUE(probe->IsDirty());
  EXPECT_THAT(dlg.resizeRequests.back(), ElementsAre(980, 650, 1));
  EXPECT_EQ(g.drawTargetResizes, 1);
}

TEST_F(IGraphicsResizeTest, CornerDragInScaleMode)
{
  g.AddCornerResizer(kResizeScale, false, COLOR_BLACK, COLOR_BLACK, COLOR_BLACK, 20.f);
  g.OnMouseDown({Pointer(960, 640)});
  EXPECT_TRUE(g.IsResizing());
  g.OnMouseDrag({Pointer(1200, 700, 240, 60)});
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.09375f);
  EXPECT_TRUE(g.IsResizing()) << "the drag keeps resizing after the resize dropped the capture";
  probe->scaleChanges = 0;
  g.MarkAllControlsClean();
  g.OnMouseUp({Pointer(1200, 700)});
  EXPECT_FALSE(g.IsResizing());
  EXPECT_EQ(probe->scaleChanges, 1);
  EXPECT_TRUE(probe->IsDirty());
}

TEST_F(IGraphicsResizeTest, CornerDragInSizeMode)
{
  g.AddCornerResizer(kResizeSize, false);
  g.OnMouseDown({Pointer(970, 640)});
  g.OnMouseDrag({Pointer(500.7f, 400.2f, -1, -1)});
  EXPECT_EQ(g.GetWidth(), 500);
  EXPECT_EQ(g.GetHeight(), 400);
  g.OnMouseDrag({Pointer(200.5f, 100.2f, -1, -1)});
  EXPECT_EQ(g.GetWidth(), 326) << "clamped by the delegate";
  EXPECT_EQ(g.GetHeight(), 216);
  EXPECT_EQ(g.GetDrawScale(), 1.f);
  g.MarkAllControlsClean();
  g.OnMouseUp({Pointer(200, 100)});
  EXPECT_FALSE(probe->IsDirty()) << "only the handle is redrawn after a size drag";
  EXPECT_TRUE(g.GetCornerResizer()->IsDirty());
}

} // namespace
} // namespace iplug::igraphics
