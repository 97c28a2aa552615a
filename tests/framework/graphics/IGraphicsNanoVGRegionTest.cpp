// A partial repaint on the NanoVG back end reaches its dirty region and no further, on Mesa's software
// renderer: its flushes are scissored there, and a window that keeps its pixels is composited there alone.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "tests/support/graphics/OffscreenGraphics.h"

#include <gtest/gtest.h>

#include <nanovg.h>

#include <vector>

using namespace iplug::igraphics;

// Mesa keeps a few allocations of its own until the process ends; leaks of ours are still reported.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libOSMesa.so\n";
}

namespace
{

class Window : public gfxtest::OffscreenGraphics
{
public:
  Window(bool keeps) : OffscreenGraphics(nullptr, 40, 20), mKeeps(keeps) {}
  bool KeepsWindowPixels() const override { return mKeeps; }

private:
  bool mKeeps;
};

// Red at first; then a green fill that drops its clip and covers the whole window.
class Escaping : public IControl
{
public:
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

std::vector<int> Pixel(const gfxtest::Pixels& p, int x)
{
  const uint8_t* q = p.At(x, 10);
  return {q[0], q[1], q[2], q[3]};
}

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
    // Blue on the window's left half, where no repaint is due.
    ASSERT_TRUE(g.MakeGLContextCurrent());
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
    const std::vector<int> red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};
    EXPECT_EQ(Pixel(g.ReadMainFramebuffer(), 5), red) << "the escaped fill stays in the region";
    EXPECT_EQ(Pixel(g.ReadMainFramebuffer(), 30), green);
    EXPECT_EQ(Pixel(g.ReadWindow(), 5), keeps ? blue : red);
    EXPECT_EQ(Pixel(g.ReadWindow(), 30), green);
  }
}
