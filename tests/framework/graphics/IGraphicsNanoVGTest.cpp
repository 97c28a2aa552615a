// The NanoVG back end against real pixels drawn by Mesa's software renderer. Exact values (factors,
// extents, scissors, text placement) are read without GL in IGraphicsNanoVGRecordedTest.
// The golden scene's reference (data/golden_scene.png) is regenerated, and should then be looked at, with
//   QUORVEL_UPDATE_GOLDEN=1 build/native/tests/framework/graphics/IGraphicsNanoVGTest
//   --gtest_filter='*Golden*'

#include "framework/core/HeapBuffer.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"
#include "tests/support/core/HeapAllocationFault.h"
#include "tests/support/graphics/GoldenScene.h"
#include "tests/support/graphics/OffscreenGraphics.h"

#include <gtest/gtest.h>

#include <nanovg.h>
#define NANOVG_GL2 1
#include <nanovg_gl.h>
#include <nanovg_gl_utils.h>

#include <GL/osmesa.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>

using namespace iplug;
using namespace iplug::igraphics;
using gfxtest::At;
using gfxtest::DrawControl;
using gfxtest::Near;
using gfxtest::OffscreenGraphics;
using gfxtest::Pixels;

namespace
{

// One editor of w x h with a control that draws what the test gives, painted once.
Pixels PaintOnce(int w, int h, std::function<void(IGraphics&, const IBounds&)> draw)
{
  OffscreenGraphics g(nullptr, w, h);
  EXPECT_TRUE(g.Open());
  g.AddControl(new DrawControl({0, 0, static_cast<float>(w), static_cast<float>(h)}, std::move(draw)));
  g.PaintAll();
  return g.ReadWindow();
}

// A folder of its own for pictures: w x h pixels, red on the left half and blue on the right.
struct TempFolder
{
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quorvel-nanovg-" + std::to_string(::getpid()));
  TempFolder() { std::filesystem::create_directories(dir); }
  ~TempFolder() { std::filesystem::remove_all(dir); }
  std::string Picture(const char* name, int w, int h) const
  {
    Pixels p{w, h, {}};
    for (int i = 0; i < w * h; ++i)
      p.rgba.insert(p.rgba.end(),
                    {uint8_t(i % w < w / 2 ? 255 : 0), 0, uint8_t(i % w < w / 2 ? 0 : 255), 255});
    EXPECT_TRUE(gfxtest::WritePng((dir / name).string(), p));
    return (dir / name).string();
  }
};

// While it lives, the GL deletions of framebuffers (ids in order) and textures are counted; one made
// without a context current is counted apart and not passed on.
struct WatchedDeletions
{
  static inline std::vector<GLuint> framebuffers;
  static inline int textures = 0;
  static inline int withoutContext = 0;
  static inline decltype(GlEntryPoints::DeleteFramebuffers) realFramebuffers = nullptr;
  static inline decltype(GlEntryPoints::DeleteTextures) realTextures = nullptr;

  WatchedDeletions()
  {
    realFramebuffers = std::exchange(GetGlEntryPoints().DeleteFramebuffers, Framebuffers);
    realTextures = std::exchange(GetGlEntryPoints().DeleteTextures, Textures);
    framebuffers.clear();
    textures = withoutContext = 0;
  }
  ~WatchedDeletions()
  {
    GetGlEntryPoints().DeleteFramebuffers = realFramebuffers;
    GetGlEntryPoints().DeleteTextures = realTextures;
  }
  static void APIENTRY Framebuffers(GLsizei n, const GLuint* ids)
  {
    if (!OSMesaGetCurrentContext()) return void(++withoutContext);
    framebuffers.insert(framebuffers.end(), ids, ids + n);
    realFramebuffers(n, ids);
  }
  static void APIENTRY Textures(GLsizei n, const GLuint* ids)
  {
    if (!OSMesaGetCurrentContext()) return void(++withoutContext);
    textures += n;
    realTextures(n, ids);
  }
};

void* FindNothing(const char*, void*)
{
  return nullptr;
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
  big.Close();

  OffscreenGraphics g(nullptr, 40, 20);
  ASSERT_TRUE(g.Open());
  IArgb left = COLOR_RED;
  IArgb right = COLOR_BLUE;
  g.AddControl(
      new DrawControl({0, 0, 20, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(left, b); }));
  IControl* second = g.AddControl(
      new DrawControl({20, 0, 40, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(right, b); }));
  g.PaintAll();
  EXPECT_TRUE(Near(At(g.ReadWindow(), 5, 10), {255, 0, 0, 255}));
  // Only the second control is repainted: the first keeps its old pixels although its colour changed.
  left = COLOR_GREEN;
  right = COLOR_YELLOW;
  second->MarkDirty(false);
  // Layer work between frames leaves the main framebuffer bound; the next frame must not clear it.
  g.BeginLayer(nullptr, {0, 0, 5, 5});
  g.EndLayer();
  g.Paint();
  const Pixels after = g.ReadWindow();
  EXPECT_TRUE(Near(At(after, 5, 10), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(after, 35, 10), {255, 255, 0, 255}));
  EXPECT_EQ(g.ReadMainFramebuffer().rgba, after.rgba) << "the window shows the main framebuffer";
}

TEST(IGraphicsNanoVGTest, BlendTypesFollowTheFactorTable)
{
  // Source red under weight 0.25 (premultiplied 0.25, 0, 0, 0.25) over blue at alpha 0.6; type 10 stands
  // for an unknown type (42), which keeps source-over.
  enum F
  {
    Zero,
    One,
    Sa,
    Da,
    OneMinusSa,
    OneMinusDa
  };
  const F table[11][2] = {{One, OneMinusSa},        {Da, Zero},        {OneMinusDa, Zero},
                          {Da, OneMinusSa},         {OneMinusDa, One}, {Zero, Sa},
                          {Zero, OneMinusSa},       {OneMinusDa, Sa},  {Sa, Da},
                          {OneMinusDa, OneMinusSa}, {One, OneMinusSa}};
  const double src[4] = {0.25, 0, 0, 0.25};
  const double dst[4] = {0, 0, 0.6, 0.6};
  const double factor[] = {0, 1, src[3], dst[3], 1 - src[3], 1 - dst[3]};
  const Pixels p = PaintOnce(110, 10,
                             [](IGraphics& g, const IBounds&)
                             {
                               for (int type = 0; type < 11; ++type)
                               {
                                 const IBounds cell(type * 10.f, 0, type * 10.f + 10, 10);
                                 g.FillRect({153, 0, 0, 255}, cell);
                                 const IBlendSpec blend{type < 10 ? type : 42, 0.25f};
                                 g.FillRect(COLOR_RED, cell, &blend);
                               }
                             });
  for (int type = 0; type < 11; ++type)
  {
    int want[4];
    for (int c = 0; c < 4; ++c)
      want[c] = static_cast<int>(std::lround(
          255 * std::min(1.0, src[c] * factor[table[type][0]] + dst[c] * factor[table[type][1]])));
    EXPECT_TRUE(Near(At(p, type * 10 + 5, 5), {want[0], want[1], want[2], want[3]})) << "blend type " << type;
  }
}

TEST(IGraphicsNanoVGTest, PaintsClipsWindingsStrokesAndDashes)
{
  const Pixels p =
      PaintOnce(100, 100,
                [](IGraphics& g, const IBounds&)
                {
                  g.AddRectPath({0, 0, 20, 100});
                  g.FillPath(MakeLinearGradient(0, 0, 0, 100,
                                                {{COLOR_RED, 0.f}, {COLOR_GREEN, 0.5f}, {COLOR_BLUE, 1.f}}),
                             IFillStyle(), nullptr);
                  g.AddRectPath({20, 0, 60, 40});
                  g.FillPath(MakeRadialGradient(40, 20, 20, {{COLOR_WHITE, 0.f}, {COLOR_BLACK, 1.f}}),
                             IFillStyle(), nullptr);
                  // A hole kept by its own winding.
                  g.AddRectPath({60, 0, 100, 40});
                  g.SetPathWinding(false);
                  g.AddRectPath({70, 10, 90, 30});
                  g.SetPathWinding(true);
                  g.FillPath(MakeSolidPattern(COLOR_BLUE), IFillStyle{kFillPreserveWinding, false}, nullptr);
                  // A stroke that keeps its path for the fill that follows.
                  g.AddRectPath({25, 50, 55, 80});
                  IStrokeStyle keep;
                  keep.keepPath = true;
                  g.StrokePath(MakeSolidPattern(COLOR_BLUE), 4.f, keep, nullptr);
                  g.FillPath(MakeSolidPattern(COLOR_RED), IFillStyle(), nullptr);
                  g.DrawDottedLine(COLOR_BLACK, 0, 95, 100, 95, nullptr, 4.f, 25.f);
                  // Dashes of 0, NaN or below 0 draw nothing; a tiny dash on a huge line is bounded (and
                  // drawn).
                  g.DrawDottedLine(COLOR_BLACK, 62, 66, 88, 66, nullptr, 3.f, 0.f);
                  g.DrawDottedLine(COLOR_BLACK, 62, 72, 88, 72, nullptr, 3.f, NAN);
                  g.DrawDottedRect(COLOR_BLACK, {62, 76, 88, 80}, nullptr, 1.f, -2.f);
                  g.DrawDottedLine(COLOR_BLACK, 60, 86, 1e9f, 86, nullptr, 3.f, 1e-3f);
                  // Clipped to a corner.
                  g.SetClipRegion({90, 50, 100, 60});
                  g.FillRect(COLOR_GREEN, {60, 45, 100, 90});
                });
  EXPECT_TRUE(Near(At(p, 10, 50), {128, 0, 127, 255}, 4)) << "half way, without the middle stop";
  EXPECT_TRUE(Near(At(p, 40, 20), {255, 255, 255, 255}, 12)) << "radial centre";
  EXPECT_TRUE(Near(At(p, 40, 39), {12, 12, 12, 255}, 16)) << "radial edge";
  EXPECT_TRUE(Near(At(p, 65, 20), {0, 0, 255, 255}));
  EXPECT_TRUE(Near(At(p, 80, 20), {0, 0, 0, 0})) << "the hole stays open";
  EXPECT_TRUE(Near(At(p, 40, 65), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(p, 23, 65), {0, 0, 255, 255})) << "the stroke outside the filled path";
  for (int x : {12, 62})
    EXPECT_TRUE(Near(At(p, x, 95), {0, 0, 0, 255})) << x;
  for (int x : {37, 87})
    EXPECT_TRUE(Near(At(p, x, 95), {0, 0, 0, 0})) << x;
  EXPECT_TRUE(Near(At(p, 80, 86), {0, 0, 0, 255}));
  int dashInk = 0;
  for (int y = 62; y < 83; ++y)
    for (int x = 60; x < 90; ++x)
      dashInk += At(p, x, y).a > 0;
  EXPECT_EQ(dashInk, 0);
  EXPECT_TRUE(Near(At(p, 95, 55), {0, 255, 0, 255}));
  EXPECT_TRUE(Near(At(p, 85, 55), {0, 0, 0, 0})) << "outside the clip";
  EXPECT_TRUE(Near(At(p, 95, 65), {0, 0, 0, 0}));
}

TEST(IGraphicsNanoVGTest, ImagesLoadOncePerScaleAndDrawAtTheirResolution)
{
  TempFolder folder;
  folder.Picture("model_tube@2x.png", 400, 200);
  const std::string name = (folder.dir / "model_tube.png").string();
  OffscreenGraphics g(nullptr, 500, 120);
  ASSERT_TRUE(g.Open(1.5f));
  const IBitmapHandle tube = g.LoadBitmap(name.c_str());
  ASSERT_TRUE(tube.IsValid());
  EXPECT_EQ(tube.bitmap->GetScale(), 2.f);
  EXPECT_EQ(tube.width, 200);
  EXPECT_EQ(g.LoadBitmap(name.c_str()).bitmap, tube.bitmap) << "found at 2x: no second texture";
  EXPECT_FALSE(g.LoadBitmap((folder.dir / "missing.png").string().c_str()).IsValid());
  EXPECT_FALSE(g.LoadBitmap((folder.dir / "model_tube").string().c_str()).IsValid()) << "no extension";
  const std::unique_ptr<APIBitmap> junk(g.CreateApiBitmapFromMemory("junk.png", "no picture", 10, 1));
  EXPECT_EQ(junk->GetImageId(), 0);
  EXPECT_EQ(junk->GetWidth(), 0) << "no image, no size";
  EXPECT_FALSE(g.IsBitmapExtensionSupported("gif"));
  EXPECT_TRUE(g.IsBitmapExtensionSupported("PNG"));

  // Redrawn at 1x through a layer of its own scale: it still fills its whole target.
  const IBitmapHandle small = g.RescaleBitmap(tube, "tube-1x", 1);
  ASSERT_TRUE(small.IsValid());
  EXPECT_EQ(small.bitmap->GetWidth(), 200);
  g.AddControl(new DrawControl({0, 0, 500, 120},
                               [&](IGraphics& gr, const IBounds&)
                               {
                                 gr.DrawBitmap(tube, {0, 0, 200, 100}, 0, 0);
                                 gr.DrawBitmap(small, {300, 0, 500, 100}, 0, 0);
                                 gr.FillBoxShadow({220, 70, 260, 110}, {200, 60, 280, 120}, 0.f, 0.f, 0.f);
                               }));
  g.PaintAll();
  const Pixels p = g.ReadWindow();
  EXPECT_TRUE(Near(At(p, 75, 75), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(p, 225, 75), {0, 0, 255, 255}));
  EXPECT_TRUE(Near(At(p, 465, 10), {255, 0, 0, 255})) << "rescaled copy, left";
  EXPECT_TRUE(Near(At(p, 745, 145), {0, 0, 255, 255})) << "rescaled copy, bottom right";
  EXPECT_TRUE(Near(At(p, 615, 75), {0, 0, 255, 255}))
      << "the halves meet at the middle, not at the editor's scale";
  EXPECT_TRUE(Near(At(p, 360, 135), {0, 0, 0, 128})) << "box shadow inside its box";
}

TEST(IGraphicsNanoVGTest, BetweenWholeScalesTheSharperPictureIsChosen)
{
  // Both pictures exist: a display between 1 and 2 takes the 2x one and draws it smaller, never the 1x
  // one stretched.
  TempFolder folder;
  folder.Picture("knob.png", 20, 10);
  folder.Picture("knob@2x.png", 40, 20);
  const std::string name = (folder.dir / "knob.png").string();
  const std::pair<float, float> cases[] = {{1.f, 1.f}, {1.25f, 2.f}, {1.5f, 2.f}, {2.f, 2.f}};
  for (const auto& [display, picture] : cases)
  {
    OffscreenGraphics g(nullptr, 100, 50);
    ASSERT_TRUE(g.Open(display));
    const IBitmapHandle knob = g.LoadBitmap(name.c_str());
    ASSERT_TRUE(knob.IsValid()) << display;
    EXPECT_EQ(knob.bitmap->GetScale(), picture) << display;
    EXPECT_EQ(knob.bitmap->GetWidth(), static_cast<int>(20 * picture)) << display;
  }
}

TEST(IGraphicsNanoVGTest, LayersReadBackAndCastShadowsAndDeleteAfterTheFrame)
{
  OffscreenGraphics g(nullptr, 40, 40);
  ASSERT_TRUE(g.Open());
  g.BeginLayer(nullptr, {0, 0, 4, 4});
  g.FillRect(COLOR_RED, {0, 0, 4, 2});
  g.FillRect(COLOR_BLUE, {0, 2, 4, 4});
  std::unique_ptr<IDrawLayer> layer = g.EndLayer();
  HeapBuffer bytes;
  g.GetLayerPixels(*layer, bytes);
  ASSERT_EQ(bytes.GetSize(), 4 * 4 * 4);
  EXPECT_EQ(bytes.GetAs<uint8_t>()[2], 255) << "bottom row first: blue";
  EXPECT_EQ(bytes.GetAs<uint8_t>()[15 * 4], 255) << "top row last: red";

  // The shadow alone stays when the foreground is not drawn.
  g.AddControl(new DrawControl({0, 0, 40, 40},
                               [&](IGraphics& gr, const IBounds&)
                               {
                                 // A layer that could not be made takes no drawing, and the frame goes on.
                                 gr.BeginLayer(nullptr, {30, 30, 30, 40});
                                 gr.FillRect(COLOR_RED, {0, 0, 40, 40});
                                 EXPECT_EQ(gr.EndLayer()->bitmap, nullptr);
                                 gr.BeginLayer(nullptr, {0, 0, 30, 30});
                                 gr.FillRect(COLOR_RED, {5, 5, 15, 15});
                                 std::unique_ptr<IDrawLayer> shadowed = gr.EndLayer();
                                 IDropShadow shadow;
                                 shadow.pattern = MakeSolidPattern(COLOR_BLACK);
                                 shadow.xOffset = shadow.yOffset = 10.f;
                                 shadow.drawForeground = false;
                                 gr.ApplyLayerShadow(*shadowed, shadow);
                                 gr.DrawBitmap(MakeBitmapHandle(shadowed->bitmap.get(), "", 1, false),
                                               shadowed->bounds, 0, 0);
                               }));
  g.PaintAll();
  const Pixels p = g.ReadWindow();
  EXPECT_TRUE(Near(At(p, 7, 7), {0, 0, 0, 0})) << "the foreground is gone";
  EXPECT_TRUE(Near(At(p, 20, 20), {0, 0, 0, 255})) << "the shadow, moved by the offset";
  EXPECT_TRUE(Near(At(p, 35, 35), {0, 0, 0, 0})) << "nothing reached the window through the missing layer";

  // Deletions: inside a frame at its end, newest first; outside a frame at once.
  {
    WatchedDeletions deleted;
    g.BeginDrawFrame();
    std::unique_ptr<IDrawLayer> made[2];
    GLuint ids[2];
    for (int i = 0; i < 2; ++i)
    {
      g.BeginLayer(nullptr, {0, 0, 5, 5});
      made[i] = g.EndLayer();
      ids[i] = static_cast<IGraphicsNanoVG::Bitmap*>(made[i]->bitmap.get())->GetFramebuffer()->fbo;
    }
    made[0].reset();
    made[1].reset();
    EXPECT_TRUE(deleted.framebuffers.empty());
    g.PresentFrame();
    EXPECT_EQ(deleted.framebuffers, (std::vector<GLuint>{ids[1], ids[0]}));
    layer.reset();
    EXPECT_EQ(deleted.framebuffers.size(), 3u);

    // Closing removes the controls (a held layer goes with its owner), then the main framebuffer and
    // the context.
    g.AddControl(new DrawControl(
        {0, 0, 1, 1},
        [keep = std::make_shared<std::unique_ptr<IDrawLayer>>()](IGraphics& gr, const IBounds&) mutable
        {
          gr.BeginLayer(nullptr, {0, 0, 4, 4});
          *keep = gr.EndLayer();
        }));
    g.PaintAll();
    deleted.framebuffers.clear();
    g.Close();
    EXPECT_EQ(deleted.framebuffers.size(), 2u) << "the held layer's and the main framebuffer";
    EXPECT_EQ(g.GetDrawContext(), nullptr);
    EXPECT_FALSE(g.HasMainFramebuffer());
  }
  // An editor closed in the middle of a frame deletes what that frame had queued.
  auto midFrame = std::make_unique<OffscreenGraphics>(nullptr, 10, 10);
  ASSERT_TRUE(midFrame->Open()); // loads the table afresh
  WatchedDeletions deleted;
  midFrame->BeginDrawFrame();
  midFrame->BeginLayer(nullptr, {0, 0, 4, 4});
  midFrame->EndLayer().reset();
  EXPECT_TRUE(deleted.framebuffers.empty());
  midFrame.reset();
  EXPECT_EQ(deleted.framebuffers.size(), 2u) << "the queued layer's and the main framebuffer";
}

TEST(IGraphicsNanoVGTest, ImmediateDeletionsAndAThrowingPaintMakeTheContextCurrentOnce)
{
  TempFolder folder;
  const std::vector<uint8_t> png = gfxtest::ReadFileBytes(folder.Picture("dot.png", 4, 4));
  OffscreenGraphics g(nullptr, 20, 20);
  ASSERT_TRUE(g.Open());
  WatchedDeletions deleted;
  const std::function<std::unique_ptr<APIBitmap>()> makers[] = {
      [&] // a layer released outside a frame
      {
        g.BeginLayer(nullptr, {0, 0, 4, 4});
        return std::move(g.EndLayer()->bitmap);
      },
      [&] // an image
      {
        return std::unique_ptr<APIBitmap>(
            g.CreateApiBitmapFromMemory("dot.png", png.data(), static_cast<int32_t>(png.size()), 1));
      }};
  for (const auto& make : makers)
  {
    std::unique_ptr<APIBitmap> bitmap = make();
    ASSERT_TRUE(bitmap);
    ASSERT_GT(bitmap->GetImageId(), 0);
    OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    const int made = g.makeCurrentCalls;
    const int released = g.releaseCalls;
    const size_t before = deleted.textures + deleted.framebuffers.size();
    bitmap.reset();
    EXPECT_GT(deleted.textures + deleted.framebuffers.size(), before);
    EXPECT_EQ(deleted.withoutContext, 0) << "a GL deletion without the context current";
    EXPECT_EQ(g.makeCurrentCalls - made, 1);
    EXPECT_EQ(g.releaseCalls - released, 1);
  }

  // A paint left by an exception ends its frame and deletes what it queued; the next paint draws.
  bool fail = true;
  g.AddControl(new DrawControl({0, 0, 20, 20},
                               [&](IGraphics& gr, const IBounds& b)
                               {
                                 gr.FillRect(fail ? COLOR_RED : COLOR_BLUE, b);
                                 gr.BeginLayer(nullptr, {0, 0, 4, 4});
                                 gr.EndLayer().reset(); // queued until the frame ends
                                 if (fail) throw std::runtime_error("control failed");
                               }));
  deleted.framebuffers.clear();
  const int made = g.makeCurrentCalls;
  const int released = g.releaseCalls;
  EXPECT_THROW(g.PaintAll(), std::runtime_error);
  EXPECT_FALSE(g.IsInFrame());
  EXPECT_EQ(deleted.framebuffers.size(), 1u);
  EXPECT_EQ(g.makeCurrentCalls - made, 1);
  EXPECT_EQ(g.releaseCalls - released, 1);
  fail = false;
  g.PaintAll();
  EXPECT_TRUE(Near(At(g.ReadWindow(), 10, 10), {0, 0, 255, 255}));
}

// A paint left by an exception inside a layer: the layer goes with the frame, and the next frame draws on
// the window again, whether the layer had a framebuffer or none could be made (too large).
TEST(IGraphicsNanoVGTest, APaintThrownInsideALayerLeavesNoLayerBehind)
{
  for (const IBounds layerBounds : {IBounds{0, 0, 10, 10}, IBounds{0, 0, 20000, 20000}})
  {
    OffscreenGraphics g(nullptr, 40, 40);
    ASSERT_TRUE(g.Open());
    bool fail = true;
    g.AddControl(new DrawControl({0, 0, 40, 40},
                                 [&](IGraphics& gr, const IBounds& b)
                                 {
                                   if (fail)
                                   {
                                     gr.BeginLayer(nullptr, layerBounds);
                                     throw std::bad_alloc();
                                   }
                                   gr.FillRect(COLOR_RED, b);
                                 }));
    WatchedDeletions deleted;
    EXPECT_THROW(g.PaintAll(), std::bad_alloc);
    EXPECT_EQ(g.GetLayerDepth(), 0) << layerBounds.R;
    if (layerBounds.R < 100.f) EXPECT_EQ(deleted.framebuffers.size(), 1u) << "the layer's framebuffer";
    fail = false;
    g.PaintAll();
    EXPECT_TRUE(Near(At(g.ReadWindow(), 35, 35), {255, 0, 0, 255})) << layerBounds.R;
  }
}

// The window drops its context after opening, as the Windows one does: layer work and decoding asked for
// outside a paint make it current themselves.
TEST(IGraphicsNanoVGTest, LayerWorkOutsideAPaintMakesTheContextCurrent)
{
  TempFolder folder;
  const std::vector<uint8_t> png = gfxtest::ReadFileBytes(folder.Picture("dot.png", 4, 4));
  OffscreenGraphics g(nullptr, 20, 20);
  ASSERT_TRUE(g.Open(2.f));
  ASSERT_EQ(OSMesaGetCurrentContext(), nullptr);
  // Each case answers the colour of its result's first pixel (top row, as the layer keeps it).
  const std::pair<const char*, std::function<IArgb()>> cases[] = {
      {"a picture from memory redrawn at display scale 2",
       [&]
       {
         const IBitmapHandle h =
             g.LoadBitmapFromMemory("dot.png", png.data(), static_cast<int32_t>(png.size()), 1, false, 0);
         if (!h.IsValid() || h.bitmap->GetScale() != 2.f) return IArgb();
         IDrawLayer layer{};
         layer.bitmap.reset(g.CreateLayerBitmap(8, 8, 2.f, 1.f, false));
         layer.bounds = {0, 0, 4, 4};
         g.PushLayer(&layer);
         g.DrawBitmap(h, layer.bounds, 0, 0);
         g.PopLayer();
         HeapBuffer px;
         g.GetLayerPixels(layer, px);
         const auto* p = static_cast<const uint8_t*>(px.GetData());
         return px.GetSize() == 8 * 8 * 4 ? IArgb(p[3], p[0], p[1], p[2]) : IArgb();
       }},
      {"a layer filled and read back", [&]
       {
         g.BeginLayer(nullptr, {0, 0, 4, 4});
         g.FillRect(COLOR_RED, {0, 0, 4, 4});
         const std::unique_ptr<IDrawLayer> layer = g.EndLayer();
         HeapBuffer px;
         g.GetLayerPixels(*layer, px);
         const auto* p = static_cast<const uint8_t*>(px.GetData());
         return px.GetSize() > 0 ? IArgb(p[3], p[0], p[1], p[2]) : IArgb();
       }}};
  for (const auto& [what, run] : cases)
  {
    const IArgb c = run();
    EXPECT_EQ(std::make_tuple(c.A, c.R, c.G, c.B), std::make_tuple(255, 255, 0, 0)) << what;
    EXPECT_EQ(OSMesaGetCurrentContext(), nullptr) << what << ": the context is dropped again";
  }
}

// Bitmaps have one owner, the context's cache: handing a loaded one to the cache again and taking it out
// leaves it drawable, and closing deletes it once. A context that cannot be made current at closing
// deletes nothing through GL: the records go, and the GL objects with the context.
TEST(IGraphicsNanoVGTest, BitmapsHaveOneOwnerAndAContextLostAtClosingIsNotTouched)
{
  TempFolder folder;
  const std::string name = folder.Picture("knob.png", 20, 10);
  for (const bool lost : {false, true})
  {
    OffscreenGraphics g(nullptr, 20, 10);
    ASSERT_TRUE(g.Open());
    const IBitmapHandle h = g.LoadBitmap(name.c_str(), 1, false, 1);
    ASSERT_TRUE(h.IsValid());
    g.CacheBitmap(h, "again");
    g.UncacheBitmap(h);
    g.AddControl(new DrawControl({0, 0, 20, 10},
                                 [&](IGraphics& gr, const IBounds& b)
                                 {
                                   gr.DrawBitmap(h, b, 0, 0);
                                   gr.BeginLayer(nullptr, {0, 0, 4, 4});
                                   gr.EndLayer().reset(); // queued for the end of the frame
                                 }));
    g.PaintAll();
    EXPECT_TRUE(Near(At(g.ReadWindow(), 2, 2), {255, 0, 0, 255})) << "the image is still there";
    WatchedDeletions deleted;
    g.refuseContext = lost;
    g.Close();
    EXPECT_EQ(deleted.withoutContext, 0) << lost;
    EXPECT_EQ(deleted.textures == 0 && deleted.framebuffers.empty(), lost) << lost;
    EXPECT_EQ(g.GetDrawContext(), nullptr);
  }
}

TEST(IGraphicsNanoVGTest, TwoEditorsKeepTheirOwnImagesAndShareFontBytes)
{
  TempFolder folder;
  const std::string name = folder.Picture("knob.png", 20, 10);
  ITextStyle text(16.f, kAlignNear, kAlignNear);
  std::strcpy(text.font, "Roboto");
  const auto scene = [&](IGraphics& gr, const IBounds&)
  {
    gr.DrawBitmap(gr.LoadBitmap(name.c_str(), 1, false, 1), {0, 0, 20, 10}, 0, 0);
    gr.DrawText(text, "Hg", {0, 10, 40, 30});
  };
  const int asked = gfxtest::BytesFont::blobRequests;
  auto a = std::make_unique<OffscreenGraphics>(nullptr, 40, 30);
  auto b = std::make_unique<OffscreenGraphics>(nullptr, 40, 30);
  for (OffscreenGraphics* g : {a.get(), b.get()})
  {
    ASSERT_TRUE(g->Open());
    ASSERT_TRUE(g->LoadFontFile("Roboto", QUORVEL_ROBOTO_TTF));
    g->AddControl(new DrawControl({0, 0, 40, 30}, scene));
    g->PaintAll();
  }
  EXPECT_EQ(gfxtest::BytesFont::blobRequests, asked + 1) << "the second editor registers the cached bytes";
  a.reset();
  b->PaintAll();
  const Pixels p = b->ReadWindow();
  EXPECT_TRUE(Near(At(p, 5, 5), {255, 0, 0, 255})) << "the other editor's images are intact";
  int ink = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      ink += At(p, x, y).a > 128;
  EXPECT_GT(ink, 20) << "glyphs inside the text box";
  EXPECT_EQ(IGraphicsNanoVG::GetCachedFontCount(), 1);
  b.reset();
  EXPECT_EQ(IGraphicsNanoVG::GetCachedFontCount(), 0) << "the last editor empties the font cache";
}

// NanoVG keeps a pointer to a font's bytes and cannot forget a font: whichever allocation fails
// on the way, a font reported as not loaded must be unknown to NanoVG, never left pointing at
// freed bytes.
TEST(IGraphicsNanoVGTest, AFontIsKnownToNanoVGExactlyWhenItsLoadSucceeded)
{
  OffscreenGraphics g(nullptr, 20, 20);
  ASSERT_TRUE(g.Open());
  auto* vg = static_cast<NVGcontext*>(g.GetDrawContext());
  int refused = 0;
  for (int allowed = 0; allowed < 16; ++allowed)
  {
    const std::string id = "Roboto" + std::to_string(allowed);
    bool loaded = false;
    {
      quorvel::test::HeapAllocationFault fault(allowed);
      loaded = g.LoadFontFile(id.c_str(), QUORVEL_ROBOTO_TTF);
    }
    refused += !loaded;
    EXPECT_EQ(nvgFindFont(vg, id.c_str()) != -1, loaded) << "allocations allowed: " << allowed;
  }
  EXPECT_GT(refused, 0) << "some loads must meet a failed allocation";
  EXPECT_LT(refused, 16) << "enough allocations let the font load";
}

TEST(IGraphicsNanoVGTest, WithoutEntryPointsTheWindowOpensAndDrawsNothing)
{
  const GlResolveFunc found = std::exchange(OffscreenGraphics::resolver, FindNothing);
  {
    OffscreenGraphics g(nullptr, 20, 20);
    EXPECT_TRUE(g.Open());
    EXPECT_EQ(g.GetDrawContext(), nullptr);
    EXPECT_FALSE(g.HasMainFramebuffer());
    g.AddControl(new DrawControl({0, 0, 20, 20},
                                 [](IGraphics& gr, const IBounds& b)
                                 {
                                   gr.FillRect(COLOR_RED, b);
                                   gr.BeginLayer(nullptr, b);
                                   EXPECT_EQ(gr.EndLayer()->bitmap, nullptr);
                                 }));
    g.PaintAll();
    EXPECT_FALSE(g.LoadBitmap("nothing.png").IsValid());
  }
  OffscreenGraphics::resolver = found;
}

TEST(IGraphicsNanoVGTest, GoldenSceneMatchesItsReference)
{
  TempFolder folder;
  OffscreenGraphics g(nullptr, gfxtest::kGoldenWidth, gfxtest::kGoldenHeight);
  ASSERT_TRUE(g.Open());
  gfxtest::AddGoldenScene(g, folder.dir.string(), QUORVEL_ROBOTO_TTF);
  g.PaintAll();
  const Pixels window = g.ReadWindow();
  const std::string golden = std::string(QUORVEL_GRAPHICS_TEST_DATA) + "/golden_scene.png";
  if (std::getenv("QUORVEL_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(gfxtest::WritePng(golden, window));
  }
  gfxtest::ExpectGolden(window, golden, "golden_scene_native.png");
  // Spot checks that do not trust the reference.
  EXPECT_TRUE(Near(At(window, 15, 40), {70, 130, 180, 255}));
  EXPECT_TRUE(Near(At(window, 125, 15), {220, 40, 20, 255}));
}
