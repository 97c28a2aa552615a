// A partial repaint on the NanoVG back end reaches its dirty region and no further (Mesa's software
// renderer): its flushes are scissored there, and a window that keeps its pixels is composited there alone.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "tests/support/graphics/OffscreenGraphics.h"

#include <gtest/gtest.h>

#include <nanovg.h>

using namespace iplug::igraphics;

namespace
{

struct Window : gfxtest::OffscreenGraphics
{
  explicit Window(bool keeps) : OffscreenGraphics(nullptr, 40, 20), keeps(keeps) {}
  bool KeepsWindowPixels() const override { return keeps; }
  bool keeps;
};

// Red at first; then a green fill that drops its clip and covers the whole window.
struct Escaping : IControl
{
  using IControl::IControl;
  void Draw(IGraphics& g) override
  {
    if (!escape) return g.FillRect(COLOR_RED, GetBounds());
    auto* vg = static_cast<NVGcontext*>(g.GetDrawContext());
    nvgResetScissor(vg);
    nvgBeginPath(vg);
    nvgRect(vg, 0.f, 0.f, 40.f, 20.f);
    nvgFillColor(vg, nvgRGBA(0, 255, 0, 255));
    nvgFill(vg);
  }
  bool escape = false;
};

} // namespace

TEST(IGraphicsNanoVGRegionTest, ARepaintReachesItsRegionAndAKeptWindowTakesOnlyThat)
{
  for (bool keeps : {true, false})
  {
    Window g(keeps);
    ASSERT_TRUE(g.Open());
    g.AddControl(new Escaping({0, 0, 20, 20}));
    auto* right = static_cast<Escaping*>(g.AddControl(new Escaping({20, 0, 40, 20})));
    g.PaintAll();
    ASSERT_TRUE(g.MakeGLContextCurrent()); // blue on the window's left, where no repaint is due
    GlEntryPoints& gl = GetGlEntryPoints();
    gl.Scissor(0, 0, 10, 20);
    gl.Enable(GL_SCISSOR_TEST);
    gl.ClearColor(0.f, 0.f, 1.f, 1.f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Disable(GL_SCISSOR_TEST);
    g.ReleaseGLContext();
    right->escape = true;
    right->MarkDirty(false);
    g.Paint();
    const auto green = [](const gfxtest::Pixels& p, int x) { return p.At(x, 10)[1]; };
    EXPECT_EQ(green(g.ReadMainFramebuffer(), 5), 0) << "the escaped fill stays in the region";
    EXPECT_EQ(green(g.ReadMainFramebuffer(), 30), 255);
    EXPECT_EQ(g.ReadWindow().At(5, 10)[2], keeps ? 255 : 0) << "blue stays only on a kept window";
    EXPECT_EQ(green(g.ReadWindow(), 30), 255);
  }
}
