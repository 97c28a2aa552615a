#include "framework/graphics/BlurAlpha.h"
#include "framework/graphics/LayerStack.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace iplug;
using namespace iplug::igraphics;
using iplug::igraphics::gfxtest::DrawCall;
using iplug::igraphics::gfxtest::FakeBitmap;
using iplug::igraphics::gfxtest::Op;
using iplug::igraphics::gfxtest::RecordingGraphics;

namespace
{

class Box : public IControl
{
public:
  explicit Box(const IBounds& b) : IControl(b) {}
  void Draw(IGraphics&) override {}
};

} // namespace

TEST(LayerStackTest, LayersAlignToPixelsAndOwnTheRenderTarget)
{
  RecordingGraphics g(nullptr, 400, 300, 60, 2.f); // draw scale 2, display scale 1
  LayerStack layers(g, g);
  Box box({1.f, 2.f, 3.f, 4.f});

  g.TranslateTransform(30.f, 40.f);
  g.ClearCalls();
  layers.BeginLayer(&box, {10.3f, 20.6f, 50.1f, 60.2f}, true);
  IDrawLayer* outer = layers.GetTopLayer();
  ASSERT_NE(outer, nullptr);
  // Edges out to whole device pixels at total scale 2; the size is first rounded up to whole units.
  EXPECT_EQ(outer->bounds, IBounds(10.f, 20.5f, 50.5f, 60.5f));
  ASSERT_NE(outer->bitmap, nullptr);
  EXPECT_EQ(outer->bitmap->GetWidth(), 82);
  EXPECT_EQ(outer->bitmap->GetHeight(), 80);
  EXPECT_EQ(outer->bitmap->GetScale(), 1.f);
  EXPECT_EQ(outer->bitmap->GetDrawScale(), 2.f);
  EXPECT_EQ(outer->control, &box);
  EXPECT_EQ(outer->controlBounds, box.GetBounds());
  EXPECT_FALSE(outer->invalid);
  EXPECT_EQ(g.boundLayer, outer);
  // Identity transform, clip to the layer, fresh path.
  EXPECT_EQ(g.GetTransform(), IAffine());
  ASSERT_EQ(g.All(Op::Clip).size(), 1u);
  EXPECT_EQ(g.All(Op::Clip)[0].bounds, outer->bounds);
  EXPECT_EQ(g.calls.back().op, Op::ClearPath);

  // A nested layer without an owner; ending it returns to the outer layer and its area.
  layers.BeginLayer(nullptr, {12.f, 22.f, 20.f, 30.f}, false);
  EXPECT_EQ(layers.GetTopLayer()->controlBounds, IBounds());
  g.ScaleTransform(3.f, 3.f);
  g.ClearCalls();
  std::unique_ptr<IDrawLayer> inner = layers.EndLayer();
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(g.boundLayer, outer);
  EXPECT_EQ(g.GetTransform(), IAffine());
  ASSERT_EQ(g.All(Op::Clip).size(), 1u);
  EXPECT_EQ(g.All(Op::Clip)[0].bounds, outer->bounds);

  // Popping a layer someone else owns, then an empty stack: null, and the main target stays bound.
  IDrawLayer* popped = layers.PopLayer();
  EXPECT_EQ(popped, outer);
  EXPECT_EQ(g.boundLayer, nullptr);
  EXPECT_EQ(layers.PopLayer(), nullptr);
  EXPECT_EQ(layers.EndLayer(), nullptr);
  EXPECT_EQ(g.boundLayer, nullptr);
  layers.PushLayer(popped);
  EXPECT_EQ(g.boundLayer, popped);
  std::unique_ptr<IDrawLayer> owned = layers.EndLayer();
  EXPECT_EQ(owned.get(), popped);
  const int alive = FakeBitmap::Alive();
  owned.reset();
  EXPECT_EQ(FakeBitmap::Alive(), alive - 1) << "the layer frees its bitmap";

  // No framebuffer to be had: the layer still pairs with EndLayer but carries no target.
  g.layerBitmapsFail = true;
  layers.BeginLayer(nullptr, {0.f, 0.f, 5.f, 5.f}, false);
  EXPECT_EQ(layers.GetTopLayer()->bitmap, nullptr);
  std::unique_ptr<IDrawLayer> failed = layers.EndLayer();
  ASSERT_NE(failed, nullptr);
  ApplyLayerShadow(g, *failed, IDropShadow{});
  EXPECT_TRUE(g.lastMask.empty());
}

TEST(LayerStackTest, ShadowMaskIsTheBlurredAlphaTopRowFirst)
{
  RecordingGraphics g(nullptr, 400, 300, 60, 1.f);
  g.SetDisplayScale(2.f);
  LayerStack layers(g, g);
  layers.BeginLayer(nullptr, {0.f, 0.f, 12.f, 9.f}, true);
  std::unique_ptr<IDrawLayer> layer = layers.EndLayer();
  auto* bitmap = static_cast<FakeBitmap*>(layer->bitmap.get());
  ASSERT_EQ(bitmap->GetWidth(), 24);
  ASSERT_EQ(bitmap->GetHeight(), 18);

  // An opaque block in the lower left of the picture; stored bottom row first like a framebuffer.
  const int w = 24, h = 18;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x < 8 && y >= 10) bitmap->pixels[static_cast<size_t>(((h - 1 - y) * w + x) * 4 + 3)] = 255;

  IDropShadow shadow;
  shadow.blurSize = 1.5f;
  shadow.xOffset = 2.f;
  shadow.opacity = 0.5f;
  ApplyLayerShadow(g, *layer, shadow);
  ASSERT_EQ(g.lastMask.size(), static_cast<size_t>(w * h * 4));
  EXPECT_EQ(g.lastShadow.xOffset, 2.f);

  // The blur width follows the layer's scale: 1.5 units at scale 2 is b = 4, four taps.
  const BlurKernel kernel = MakeBlurKernel(1.5f, 2.f, 1.f);
  ASSERT_EQ(kernel.Size(), 4);
  HeapBuffer expected;
  expected.ResizeHeapBuffer(w * h * 4);
  std::memcpy(expected.GetData(), bitmap->pixels.data(), bitmap->pixels.size());
  ASSERT_TRUE(BlurLayerAlpha(expected, w, h, true, 3, kernel));
  EXPECT_EQ(std::memcmp(expected.GetData(), g.lastMask.data(), g.lastMask.size()), 0);

  // Top row first: the block's middle is opaque in the mask's lower rows, the top rows clear.
  EXPECT_EQ(g.lastMask[static_cast<size_t>((14 * w + 3) * 4 + 3)], 255);
  EXPECT_EQ(g.lastMask[static_cast<size_t>((1 * w + 3) * 4 + 3)], 0);
  EXPECT_GT(g.lastMask[static_cast<size_t>((9 * w + 3) * 4 + 3)], 0) << "the shadow spreads above the block";
  EXPECT_LT(g.lastMask[static_cast<size_t>((9 * w + 3) * 4 + 3)], 255);
}
