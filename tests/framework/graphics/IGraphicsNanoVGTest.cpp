// The NanoVG back end against real pixels drawn by Mesa's software renderer.
// The golden scene's reference (data/golden_scene.png) is regenerated, and should then be looked at, with
//   QUORVEL_UPDATE_GOLDEN=1 build/native/tests/framework/graphics/IGraphicsNanoVGTest
//   --gtest_filter='*Golden*'

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"
#include "framework/graphics/platform/NanoVGPaint.h"
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
  g.AddControl(
      new DrawControl({0, 0, 20, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(left, b); }));
  IControl* second = g.AddControl(
      new DrawControl({20, 0, 40, 20}, [&](IGraphics& gr, const IBounds& b) { gr.FillRect(right, b); }));
  g.PaintAll();
  Pixels before = g.ReadWindow();
  EXPECT_TRUE(Near(At(before, 5, 10), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(before, 35, 10), {0, 0, 255, 255}));
  // Only the second control is repainted: the first keeps its old pixels although its colour changed.
  left = COLOR_GREEN;
  right = COLOR_YELLOW;
  second->MarkDirty(false);
  // Layer work between frames leaves the main framebuffer bound; the next frame must not clear it.
  g.BeginLayer(nullptr, {0, 0, 5, 5});
  g.EndLayer();
  g.Paint();
  Pixels after = g.ReadWindow();
  EXPECT_TRUE(Near(At(after, 5, 10), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(At(after, 35, 10), {255, 255, 0, 255}));
  EXPECT_EQ(g.ReadMainFramebuffer().rgba, after.rgba) << "the window shows the main framebuffer";
}

TEST(IGraphicsNanoVGTest, BlendTypesFollowTheFactorTable)
{
  // Source red under weight 0.25 (premultiplied 0.25, 0, 0, 0.25) over blue at alpha 0.6.
  enum F
  {
    Zero,
    One,
    Sa,
    Da,
    OneMinusSa,
    OneMinusDa
  };
  const F table[10][2] = {
      {One, OneMinusSa}, {Da, Zero},         {OneMinusDa, Zero}, {Da, OneMinusSa}, {OneMinusDa, One},
      {Zero, Sa},        {Zero, OneMinusSa}, {OneMinusDa, Sa},   {Sa, Da},         {OneMinusDa, OneMinusSa}};
  const double src[4] = {0.25, 0, 0, 0.25};
  const double dst[4] = {0, 0, 0.6, 0.6};
  const auto factor = [&](F f)
  {
    const double v[] = {0, 1, src[3], dst[3], 1 - src[3], 1 - dst[3]};
    return v[f];
  };
  const Pixels p = PaintOnce(110, 10,
                             [](IGraphics& g, const IBounds&)
                             {
                               for (int type = 0; type < 11; ++type)
                               {
                                 const IBounds cell(type * 10.f, 0, type * 10.f + 10, 10);
                                 g.FillRect({153, 0, 0, 255}, cell);
                                 // An unknown type (42) keeps the factors in force: source-over.
                                 const IBlendSpec blend{type < 10 ? type : 42, 0.25f};
                                 g.FillRect(COLOR_RED, cell, &blend);
                               }
                             });
  for (int type = 0; type < 11; ++type)
  {
    const int row = type % 10;
    int want[4];
    for (int c = 0; c < 4; ++c)
      want[c] = static_cast<int>(
          std::lround(255 * std::min(1.0, src[c] * factor(table[row][0]) + dst[c] * factor(table[row][1]))));
    EXPECT_TRUE(Near(At(p, type * 10 + 5, 5), {want[0], want[1], want[2], want[3]})) << "blend type " << type;
  }
}

TEST(IGraphicsNanoVGTest, PaintsClipsWindingsStrokesAndDashes)
{
  const Pixels p =
      PaintOnce(100, 100,
                [](IGraphics& g, const IBounds&)
                {
                  // Three stops: only the first and the last colour are used.
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
                  // Clipped to a corner.
                  g.SetClipRegion({90, 50, 100, 60});
                  g.FillRect(COLOR_GREEN, {60, 45, 100, 90});
                });
  EXPECT_TRUE(Near(At(p, 10, 50), {128, 0, 127, 255}, 4)) << "half way, without the middle stop";
  EXPECT_TRUE(Near(At(p, 10, 1), {255, 0, 0, 255}, 6));
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
  EXPECT_TRUE(Near(At(p, 95, 55), {0, 255, 0, 255}));
  EXPECT_TRUE(Near(At(p, 85, 55), {0, 0, 0, 0})) << "outside the clip";
  EXPECT_TRUE(Near(At(p, 95, 65), {0, 0, 0, 0}));
}

TEST(IGraphicsNanoVGTest, PatternsWithoutStopsOrInverseAndRotatedTextBoxes)
{
  OffscreenGraphics g(nullptr, 10, 10);
  ASSERT_TRUE(g.Open());
  auto* vg = static_cast<NVGcontext*>(g.GetDrawContext());
  NVGpaint paint{};
  EXPECT_FALSE(MakeNanoVGPaint(vg, InitGradient(kPatternLinear), nullptr, paint)) << "no stops";
  IGradient flat = MakeLinearGradient(0, 0, 0, 10, {{COLOR_RED, 0.f}, {COLOR_BLUE, 1.f}});
  flat.transform = IAffine(0, 0, 0, 0, 1, 1);
  EXPECT_FALSE(MakeNanoVGPaint(vg, flat, nullptr, paint)) << "a transform without an inverse";
  const IBlendSpec quarter{kBlendDefault, 0.25f};
  EXPECT_FLOAT_EQ(NanoVGColour({255, 255, 0, 0}, &quarter).a, 0.25f);

  // Text at 90 degrees: the box (0, 0, 40, 10) turns into (-10, 0, 0, 40).
  ITextStyle style;
  style.angle = 90.f;
  IBounds box(0, 0, 40, 10);
  float dx = 0.f;
  float dy = 0.f;
  IGraphicsNanoVG::CalcTextRotationOffset(style, IBounds(0, 0, 40, 10), box, dx, dy);
  EXPECT_NEAR(box.L, -10.f, 1e-4f);
  EXPECT_NEAR(box.B, 40.f, 1e-4f);
  EXPECT_NEAR(box.R - box.L, 10.f, 1e-4f);
  EXPECT_NEAR(box.T, 0.f, 1e-4f);
}

namespace
{

// A picture of w x h pixels, red on the left half and blue on the right, in a folder of its own.
class TempPicture
{
public:
  TempPicture(const char* fileName, int w, int h)
  {
    mDir = std::filesystem::temp_directory_path() / ("quorvel-nanovg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(mDir);
    Pixels p;
    p.width = w;
    p.height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p.rgba.insert(p.rgba.end(), {uint8_t(x < w / 2 ? 255 : 0), 0, uint8_t(x < w / 2 ? 0 : 255), 255});
    EXPECT_TRUE(gfxtest::WritePng((mDir / fileName).string(), p));
  }
  ~TempPicture() { std::filesystem::remove_all(mDir); }
  std::string Path(const char* name) const { return (mDir / name).string(); }

private:
  std::filesystem::path mDir;
};

std::vector<GLuint> gDeleted;
void (*gRealDelete)(GLsizei, const GLuint*) = nullptr;
void APIENTRY CountingDelete(GLsizei n, const GLuint* ids)
{
  gDeleted.insert(gDeleted.end(), ids, ids + n);
  gRealDelete(n, ids);
}

void* FindNothing(const char*, void*)
{
  return nullptr;
}

// Deletions that find no context current are counted and not passed on.
int gWithContext = 0;
int gWithoutContext = 0;
void (*gRealDeleteTextures)(GLsizei, const GLuint*) = nullptr;
void APIENTRY WatchTextures(GLsizei n, const GLuint* ids)
{
  ++(OSMesaGetCurrentContext() ? gWithContext : gWithoutContext);
  if (OSMesaGetCurrentContext()) gRealDeleteTextures(n, ids);
}
void APIENTRY WatchFramebuffers(GLsizei n, const GLuint* ids)
{
  ++(OSMesaGetCurrentContext() ? gWithContext : gWithoutContext);
  if (OSMesaGetCurrentContext()) gRealDelete(n, ids);
}

} // namespace

TEST(IGraphicsNanoVGTest, ImagesLoadOncePerScaleAndDrawAtTheirResolution)
{
  TempPicture picture("model_tube@2x.png", 400, 200);
  OffscreenGraphics g(nullptr, 500, 120);
  ASSERT_TRUE(g.Open(1.5f));
  const std::string name = picture.Path("model_tube.png");
  const IBitmapHandle tube = g.LoadBitmap(name.c_str());
  ASSERT_TRUE(tube.IsValid());
  EXPECT_EQ(tube.bitmap->GetScale(), 2.f);
  EXPECT_EQ(tube.width, 200);
  EXPECT_EQ(tube.height, 100);
  EXPECT_EQ(g.LoadBitmap(name.c_str()).bitmap, tube.bitmap) << "found at 2x: no second texture";
  EXPECT_FALSE(g.LoadBitmap(picture.Path("missing.png").c_str()).IsValid());
  EXPECT_FALSE(g.LoadBitmap(picture.Path("model_tube").c_str()).IsValid()) << "no extension";
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
  std::unique_ptr<IDrawLayer> shadowed;
  g.AddControl(new DrawControl({0, 0, 40, 40},
                               [&](IGraphics& gr, const IBounds&)
                               {
                                 // A layer that could not be made takes no drawing, and the frame goes on.
                                 gr.BeginLayer(nullptr, {30, 30, 30, 40});
                                 gr.FillRect(COLOR_RED, {0, 0, 40, 40});
                                 EXPECT_EQ(gr.EndLayer()->bitmap, nullptr);
                                 gr.BeginLayer(nullptr, {0, 0, 30, 30});
                                 gr.FillRect(COLOR_RED, {5, 5, 15, 15});
                                 shadowed = gr.EndLayer();
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
  GlEntryPoints& gl = GetGlEntryPoints();
  gRealDelete = gl.DeleteFramebuffers;
  gl.DeleteFramebuffers = CountingDelete;
  gDeleted.clear();
  g.BeginDrawFrame();
  g.BeginLayer(nullptr, {0, 0, 5, 5});
  std::unique_ptr<IDrawLayer> first = g.EndLayer();
  g.BeginLayer(nullptr, {0, 0, 5, 5});
  std::unique_ptr<IDrawLayer> second = g.EndLayer();
  const GLuint firstId = static_cast<IGraphicsNanoVG::Bitmap*>(first->bitmap.get())->GetFramebuffer()->fbo;
  const GLuint secondId = static_cast<IGraphicsNanoVG::Bitmap*>(second->bitmap.get())->GetFramebuffer()->fbo;
  first.reset();
  second.reset();
  EXPECT_TRUE(gDeleted.empty());
  g.PresentFrame();
  EXPECT_EQ(gDeleted, (std::vector<GLuint>{secondId, firstId}));
  gDeleted.clear();
  layer.reset();
  EXPECT_EQ(gDeleted.size(), 1u);

  // Closing removes the controls (a held layer goes with its owner), then the main framebuffer and the
  // context; an editor closed in the middle of a frame deletes what that frame had queued.
  g.AddControl(new DrawControl(
      {0, 0, 1, 1},
      [keep = std::make_shared<std::unique_ptr<IDrawLayer>>()](IGraphics& gr, const IBounds&) mutable
      {
        gr.BeginLayer(nullptr, {0, 0, 4, 4});
        *keep = gr.EndLayer();
      }));
  g.PaintAll();
  gDeleted.clear();
  g.Close();
  EXPECT_EQ(gDeleted.size(), 2u) << "the held layer's and the main framebuffer";
  EXPECT_EQ(g.GetDrawContext(), nullptr);
  EXPECT_FALSE(g.HasMainFramebuffer());
  auto midFrame = std::make_unique<OffscreenGraphics>(nullptr, 10, 10);
  ASSERT_TRUE(midFrame->Open()); // loads the table afresh
  gl.DeleteFramebuffers = CountingDelete;
  midFrame->BeginDrawFrame();
  midFrame->BeginLayer(nullptr, {0, 0, 4, 4});
  gDeleted.clear();
  midFrame->EndLayer().reset();
  EXPECT_TRUE(gDeleted.empty());
  midFrame.reset();
  EXPECT_EQ(gDeleted.size(), 2u) << "the queued layer's and the main framebuffer";
  gl.DeleteFramebuffers = gRealDelete;
}

TEST(IGraphicsNanoVGTest, TwoEditorsKeepTheirOwnImagesAndShareFontBytes)
{
  TempPicture picture("knob.png", 20, 10);
  const std::string name = picture.Path("knob.png");
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
  ASSERT_TRUE(a->Open());
  ASSERT_TRUE(b->Open());
  ASSERT_TRUE(a->LoadFontFile("Roboto", QUORVEL_ROBOTO_TTF));
  ASSERT_TRUE(b->LoadFontFile("Roboto", QUORVEL_ROBOTO_TTF));
  EXPECT_EQ(gfxtest::BytesFont::blobRequests, asked + 1) << "the second editor registers the cached bytes";
  IBounds unknown(0, 0, 50, 50);
  ITextStyle unregistered = text;
  std::strcpy(unregistered.font, "Nowhere");
  EXPECT_EQ(a->MeasureText(unregistered, "abc", unknown), 0.f);
  EXPECT_EQ(unknown, IBounds());

  a->AddControl(new DrawControl({0, 0, 40, 30}, scene));
  b->AddControl(new DrawControl({0, 0, 40, 30}, scene));
  a->PaintAll();
  b->PaintAll();
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

TEST(IGraphicsNanoVGTest, WithoutEntryPointsTheWindowOpensAndDrawsNothing)
{
  OffscreenGraphics::resolver = FindNothing;
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
    g.Close();
  }
  OffscreenGraphics::resolver = gfxtest::OffscreenGraphics::DefaultResolver();
}

TEST(IGraphicsNanoVGTest, GoldenSceneMatchesItsReference)
{
  const std::string golden = std::string(QUORVEL_GRAPHICS_TEST_DATA) + "/golden_scene.png";
  TempPicture folder("unused.png", 2, 2);
  OffscreenGraphics g(nullptr, gfxtest::kGoldenWidth, gfxtest::kGoldenHeight);
  ASSERT_TRUE(g.Open());
  gfxtest::AddGoldenScene(g, std::filesystem::path(folder.Path("x")).parent_path().string(),
                          QUORVEL_ROBOTO_TTF);
  g.PaintAll();
  const Pixels window = g.ReadWindow();
  if (std::getenv("QUORVEL_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(gfxtest::WritePng(golden, window));
  }
  const Pixels reference = gfxtest::ReadPng(golden);
  const int difference = gfxtest::MaxChannelDifference(window.rgba, window.width, window.height,
                                                       reference.rgba, reference.width, reference.height);
  if (difference < 0 || difference > 2)
    gfxtest::WritePng((std::filesystem::temp_directory_path() / "golden_scene_native.png").string(), window);
  EXPECT_GE(difference, 0) << "sizes differ";
  EXPECT_LE(difference, 2);
  // Spot checks that do not trust the reference.
  EXPECT_TRUE(Near(At(window, 15, 40), {70, 130, 180, 255}));
  EXPECT_TRUE(Near(At(window, 125, 15), {220, 40, 20, 255}));
}

TEST(IGraphicsNanoVGTest, TextAnchorsAndBlocksAndDashesThatCannotBeDrawn)
{
  OffscreenGraphics g(nullptr, 100, 100);
  ASSERT_TRUE(g.Open());
  ASSERT_TRUE(g.LoadFontFile("Roboto", QUORVEL_ROBOTO_TTF));
  ITextStyle corner(12.f, kAlignFar, kAlignFar);
  std::strcpy(corner.font, "Roboto");
  IBounds box(0, 0, 100, 20);
  EXPECT_GT(g.MeasureText(corner, "Text", box), 0.f);
  EXPECT_NEAR(box.R, 100.f, 1.5f) << "anchored at the right edge (glyph extents may pass it by a pixel)";
  EXPECT_NEAR(box.B, 20.f, 1.5f) << "anchored at the bottom edge";

  // Rows are one size apart (12 units). Three rows around the middle start 18 above it: 12 above where
  // a single row around the middle starts.
  ITextStyle block(12.f, kAlignNear, kAlignCenter);
  std::strcpy(block.font, "Roboto");
  g.AddControl(new DrawControl({0, 0, 100, 100},
                               [&](IGraphics& gr, const IBounds&)
                               {
                                 gr.DrawTextBlock(block, "Hxy Hxy Hxy", {0, 0, 22, 100});
                                 gr.DrawTextBlock(block, "Hxy", {30, 0, 52, 100});
                                 gr.DrawDottedLine(COLOR_BLACK, 60, 10, 95, 10, nullptr, 3.f, 0.f);
                                 gr.DrawDottedLine(COLOR_BLACK, 60, 20, 95, 20, nullptr, 3.f, NAN);
                                 gr.DrawDottedLine(COLOR_BLACK, 60, 30, 1e9f, 30, nullptr, 3.f, 1e-3f);
                                 gr.DrawDottedRect(COLOR_BLACK, {60, 40, 95, 90}, nullptr, 1.f, -2.f);
                               }));
  g.PaintAll();
  const Pixels p = g.ReadWindow();
  const auto inkRows = [&](int x0, int x1)
  {
    std::vector<int> rows;
    for (int y = 0; y < 100; ++y)
      for (int x = x0; x < x1; ++x)
        if (At(p, x, y).a > 100)
        {
          rows.push_back(y);
          break;
        }
    return rows;
  };
  const std::vector<int> three = inkRows(0, 22);
  const std::vector<int> one = inkRows(30, 52);
  ASSERT_FALSE(three.empty());
  ASSERT_FALSE(one.empty());
  EXPECT_NEAR(three.front(), one.front() - 12, 1);
  EXPECT_NEAR(three.back(), one.back() + 12, 1);
  int dashInk = 0;
  for (int y = 5; y < 95; ++y)
    for (int x = 58; x < 98; ++x)
      dashInk += At(p, x, y).a > 0 && (y < 27 || y > 33);
  EXPECT_EQ(dashInk, 0) << "a dash of 0, NaN or below 0 draws nothing";
}

TEST(IGraphicsNanoVGTest, ImmediateDeletionsMakeTheContextCurrent)
{
  TempPicture picture("dot.png", 4, 4);
  const std::vector<uint8_t> png = gfxtest::ReadFileBytes(picture.Path("dot.png"));
  OffscreenGraphics g(nullptr, 20, 20);
  ASSERT_TRUE(g.Open());
  GlEntryPoints& gl = GetGlEntryPoints();
  gRealDeleteTextures = gl.DeleteTextures;
  gRealDelete = gl.DeleteFramebuffers;
  gl.DeleteTextures = WatchTextures;
  gl.DeleteFramebuffers = WatchFramebuffers;
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
    gWithContext = gWithoutContext = 0;
    bitmap.reset();
    EXPECT_GT(gWithContext, 0);
    EXPECT_EQ(gWithoutContext, 0) << "a GL deletion without the context current";
    EXPECT_EQ(g.makeCurrentCalls - made, 1);
    EXPECT_EQ(g.releaseCalls - released, 1);
  }
  gl.DeleteTextures = gRealDeleteTextures;
  gl.DeleteFramebuffers = gRealDelete;
}

TEST(IGraphicsNanoVGTest, APaintLeftByAnExceptionEndsItsFrame)
{
  OffscreenGraphics g(nullptr, 20, 20);
  ASSERT_TRUE(g.Open());
  bool fail = true;
  g.AddControl(new DrawControl({0, 0, 20, 20},
                               [&](IGraphics& gr, const IBounds& b)
                               {
                                 gr.FillRect(fail ? COLOR_RED : COLOR_BLUE, b);
                                 gr.BeginLayer(nullptr, {0, 0, 4, 4});
                                 gr.EndLayer().reset(); // queued until the frame ends
                                 if (fail) throw std::runtime_error("control failed");
                               }));
  GlEntryPoints& gl = GetGlEntryPoints();
  gRealDelete = gl.DeleteFramebuffers;
  gl.DeleteFramebuffers = CountingDelete;
  gDeleted.clear();
  const int made = g.makeCurrentCalls;
  const int released = g.releaseCalls;
  EXPECT_THROW(g.PaintAll(), std::runtime_error);
  EXPECT_FALSE(g.IsInFrame());
  EXPECT_EQ(gDeleted.size(), 1u) << "what the frame queued goes with it";
  EXPECT_EQ(g.makeCurrentCalls - made, 1);
  EXPECT_EQ(g.releaseCalls - released, 1);
  gl.DeleteFramebuffers = gRealDelete;
  fail = false;
  g.PaintAll();
  EXPECT_TRUE(Near(At(g.ReadWindow(), 10, 10), {0, 0, 255, 255})) << "the next paint draws";
}
