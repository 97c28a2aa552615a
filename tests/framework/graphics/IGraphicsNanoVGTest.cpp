// The NanoVG back end against real pixels (Mesa's software renderer) and against recorded NanoVG values.
// Regenerate the golden scene with: QUORVEL_UPDATE_GOLDEN=1 build/native/tests/framework/graphics/IGraphicsNanoVGTest

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"
#include "framework/graphics/platform/NanoVGPaint.h"
#include "tests/support/graphics/OffscreenGraphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>

using namespace iplug;
using namespace iplug::igraphics;
using gfxtest::OffscreenGraphics;
using gfxtest::Pixels;

namespace
{

class DrawControl : public IControl
{
public:
  DrawControl(const IBounds& b, std::function<void(IGraphics&, const IBounds&)> draw)
      : IControl(b), mDraw(std::move(draw))
  {
  }
  void Draw(IGraphics& g) override { mDraw(g, GetBounds()); }

private:
  std::function<void(IGraphics&, const IBounds&)> mDraw;
};

// Colour of a window pixel as (R, G, B, A).
struct Rgba
{
  int r, g, b, a;
};

Rgba At(const Pixels& p, int x, int y)
{
  const uint8_t* q = p.At(x, y);
  return {q[0], q[1], q[2], q[3]};
}

::testing::AssertionResult Near(const Rgba& got, const Rgba& want, int tolerance = 2)
{
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance && std::abs(got.a - want.a) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << ", " << got.a
                                       << ") want (" << want.r << ", " << want.g << ", " << want.b << ", "
                                       << want.a << ")";
}

// One editor of w x h with a control that draws what the test gives, painted once.
Pixels PaintOnce(int w, int h, std::function<void(IGraphics&, const IBounds&)> draw, float drawScale = 1.f)
{
  OffscreenGraphics g(nullptr, w, h, drawScale);
  EXPECT_TRUE(g.Open());
  g.AddControl(new DrawControl({0, 0, static_cast<float>(w), static_cast<float>(h)}, std::move(draw)));
  g.PaintAll();
  return g.ReadWindow();
}

} // namespace

TEST(IGraphicsNanoVGTest, FramesSizesAndPartialRepaints)
{
  OffscreenGraphics big(nullptr, 980, 650, 1.25f);
  ASSERT_TRUE(big.Open(1.5f));
  int w = 0;
  int h = 0;
  big.GetWindowPixelSize(w, h);
  EXPECT_EQ(w, 1837);
  EXPECT_EQ(h, 1218);
  EXPECT_TRUE(big.HasMainFramebuffer());
  EXPECT_STREQ(big.GetDrawingApiName(), "NanoVG | GL2");
  big.BeginLayer(nullptr, {0, 0, 10, 10});
  std::unique_ptr<IDrawLayer> layer = big.EndLayer();
  ASSERT_TRUE(layer && layer->bitmap);
  EXPECT_GT(layer->bitmap->GetWidth(), 0);
  big.Close();

  OffscreenGraphics g(nullptr, 40, 20);
  ASSERT_TRUE(g.Open());
  IArgb left = COLOR_RED;
  IArgb right = COLOR_BLUE;
  g.AddControl(new DrawControl({0, 0, 20, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(left, b); }));
  IControl* second =
      g.AddControl(new DrawControl({20, 0, 40, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(right, b); }));
  g.PaintAll();
  Pixels before = g.ReadWindow();
  EXPECT_TRUE(Near(At(before, 5, 10), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(before, 35, 10), {0, 0, 255, 255}));
  // Only the second control is repainted: the first keeps its old pixels although its colour changed.
  left = COLOR_GREEN;
  right = COLOR_YELLOW;
  second->MarkDirty(false);
  g.Paint();
  Pixels after = g.ReadWindow();
  EXPECT_TRUE(Near(At(after, 5, 10), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(after, 35, 10), {255, 255, 0, 255}));
  EXPECT_EQ(g.ReadMainFramebuffer().rgba, after.rgba) << "the window shows the main framebuffer";
}
