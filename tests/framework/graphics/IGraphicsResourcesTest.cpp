#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/ResourceLoading.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <nanosvg.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace iplug;
using namespace iplug::igraphics;
using iplug::igraphics::gfxtest::DrawCall;
using iplug::igraphics::gfxtest::FakeBitmap;
using iplug::igraphics::gfxtest::Op;
using iplug::igraphics::gfxtest::RecordingGraphics;

namespace
{

namespace fs = std::filesystem;

constexpr char kRectSvg[] = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\">"
                            "<rect x=\"0\" y=\"0\" width=\"100\" height=\"50\" fill=\"#0000ff\"/></svg>";

// A file for one test, removed afterwards.
class TempFile
{
public:
  TempFile(const char* name, const std::string& bytes)
  {
    mDir = fs::temp_directory_path() / "quorvel-gfx-res";
    fs::create_directories(mDir);
    mPath = mDir / name;
    std::ofstream(mPath, std::ios::binary) << bytes;
  }
  ~TempFile()
  {
    std::error_code ec;
    fs::remove(mPath, ec);
    fs::remove(mDir, ec);
  }
  std::string Path() const { return mPath.generic_string(); }

private:
  fs::path mDir;
  fs::path mPath;
};

class Box : public IControl
{
public:
  explicit Box(const IBounds& b) : IControl(b) {}
  void Draw(IGraphics&) override {}
};

} // namespace

TEST(IGraphicsResourcesTest, EditorsShareTheCachesAndTheLastOneToGoEmptiesThem)
{
  TempFile png("knob.png", "img");
  TempFile svgFile("logo.svg", kRectSvg);
  ASSERT_EQ(GetBitmapCache().GetUsers(), 0);

  auto first = std::make_unique<RecordingGraphics>(nullptr, 400, 300);
  auto second = std::make_unique<RecordingGraphics>(nullptr, 400, 300);
  EXPECT_EQ(GetBitmapCache().GetUsers(), 2);
  EXPECT_EQ(GetSvgCache().GetUsers(), 2);

  const int alive = FakeBitmap::Alive();
  const IBitmapHandle bitmap = first->LoadBitmap(png.Path().c_str(), 1, false, 1);
  ASSERT_TRUE(bitmap.IsValid());
  const ISvgHandle svg = first->LoadSVG(svgFile.Path().c_str());
  ASSERT_TRUE(svg.IsValid());
  EXPECT_EQ(first->filesDecoded, 1);

  // The second editor is handed the very objects the first one loaded, without decoding again.
  EXPECT_EQ(second->LoadBitmap(png.Path().c_str(), 1, false, 1).bitmap, bitmap.bitmap);
  EXPECT_EQ(second->LoadSVG(svgFile.Path().c_str()).image, svg.image);
  EXPECT_EQ(second->filesDecoded, 0);

  // Redrawn at 2x through the context's own layers; the cached 1x bitmap is kept.
  const IBitmapHandle twice = first->RescaleBitmap(bitmap, "knob-2x", 2);
  ASSERT_TRUE(twice.IsValid());
  EXPECT_EQ(twice.bitmap->GetScale(), 2.f);
  EXPECT_EQ(twice.width, bitmap.width);
  EXPECT_EQ(first->GetLayerDepth(), 0);
  EXPECT_EQ(first->GetDisplayScale(), 1.f);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry("knob-2x", 2.0), twice.bitmap);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(png.Path().c_str(), 1.0), bitmap.bitmap);

  first.reset();
  EXPECT_EQ(GetBitmapCache().GetCount(), 2) << "one editor is still open";
  EXPECT_EQ(GetSvgCache().GetCount(), 1);
  EXPECT_EQ(FakeBitmap::Alive(), alive + 2);
  EXPECT_EQ(second->LoadBitmap(png.Path().c_str(), 1, false, 1).bitmap, bitmap.bitmap);

  second.reset();
  EXPECT_EQ(GetBitmapCache().GetUsers(), 0);
  EXPECT_EQ(GetBitmapCache().GetCount(), 0);
  EXPECT_EQ(GetSvgCache().GetCount(), 0);
  EXPECT_EQ(FakeBitmap::Alive(), alive);
}

TEST(IGraphicsResourcesTest, LayersOwnTheTargetTransformAndClipUntilEnded)
{
  RecordingGraphics g(nullptr, 400, 300);
  Box box({10.f, 10.f, 60.f, 40.f});
  g.TranslateTransform(5.f, 7.f);

  g.BeginLayer(&box, box.GetBounds(), true);
  IDrawLayer* layer = g.GetTopLayer();
  ASSERT_NE(layer, nullptr);
  ASSERT_NE(layer->bitmap, nullptr);
  EXPECT_EQ(layer->bitmap->GetWidth(), 50);
  EXPECT_EQ(g.boundLayer, layer);
  EXPECT_EQ(g.GetTransform(), IAffine()) << "layer drawing starts from the identity";

  // A clip asked for while the layer is the target stays inside the layer.
  g.ClearCalls();
  g.SetClipRegion({0.f, 20.f, 300.f, 30.f});
  ASSERT_NE(g.Last(Op::Clip), nullptr);
  EXPECT_EQ(g.Last(Op::Clip)->bounds, IBounds(10.f, 20.f, 60.f, 30.f));
  g.SetClipRegion();
  EXPECT_EQ(g.Last(Op::Clip)->bounds, layer->bounds);

  g.TranslateTransform(3.f, 3.f);
  std::unique_ptr<IDrawLayer> ended = g.EndLayer();
  EXPECT_EQ(ended.get(), layer);
  EXPECT_EQ(g.GetTopLayer(), nullptr);
  EXPECT_EQ(g.GetLayerDepth(), 0);
  EXPECT_EQ(g.boundLayer, nullptr) << "the main framebuffer is the target again";
  EXPECT_EQ(g.GetTransform(), IAffine());
  EXPECT_EQ(g.Last(Op::Clip)->bounds, g.GetRegionClip());
  EXPECT_EQ(g.EndLayer(), nullptr);

  // A layer kept by its control can be pushed again and popped without giving it up.
  g.PushLayer(ended.get());
  EXPECT_EQ(g.boundLayer, ended.get());
  EXPECT_EQ(g.PopLayer(), ended.get());
  EXPECT_EQ(g.boundLayer, nullptr);

  // The shadow goes through the context's own read-back and compositing.
  auto* pixels = static_cast<FakeBitmap*>(ended->bitmap.get());
  for (size_t i = 3; i < pixels->pixels.size(); i += 4)
    pixels->pixels[i] = 255;
  IDropShadow shadow;
  shadow.blurSize = 2.f;
  shadow.yOffset = 4.f;
  g.ApplyLayerShadow(*ended, shadow);
  ASSERT_EQ(g.lastMask.size(), pixels->pixels.size());
  EXPECT_EQ(g.lastShadow.yOffset, 4.f);
  // 50 x 30 pixels: well inside, an opaque layer stays opaque under the blur; its corner fades.
  EXPECT_EQ(g.lastMask[(15 * 50 + 25) * 4 + 3], 255);
  EXPECT_LT(g.lastMask[3], 255);
}

TEST(IGraphicsResourcesTest, SvgDrawnThroughTheContextBecomesPathCalls)
{
  RecordingGraphics g(nullptr, 400, 300);
  const ISvgHandle svg = LoadSVGFromMemory("context-rect.svg", kRectSvg, sizeof(kRectSvg) - 1, "px", 96.f);
  ASSERT_TRUE(svg.IsValid());

  // 100 x 50 into 200 x 200 at (10, 20): scale 2 at the top-left corner.
  g.DrawSVG(svg, {10.f, 20.f, 210.f, 220.f});
  ASSERT_NE(g.Last(Op::MoveTo), nullptr);
  EXPECT_DOUBLE_EQ(g.Last(Op::MoveTo)->p[0], 10.0);
  EXPECT_DOUBLE_EQ(g.Last(Op::MoveTo)->p[1], 20.0);
  bool farCorner = false;
  for (const DrawCall& c : g.All(Op::CubicTo))
    farCorner = farCorner || (c.p[4] == 210.0 && c.p[5] == 120.0);
  EXPECT_TRUE(farCorner);
  ASSERT_EQ(g.Count(Op::Fill), 1);
  EXPECT_EQ(g.Last(Op::Fill)->pattern.stops[0].colour, IArgb(255, 0, 0, 255));
  EXPECT_EQ(g.GetTransform(), IAffine()) << "the caller's transform is restored";

  // Rotated a quarter turn about (100, 100) at its own size: the top-left corner lands at (125, 50).
  g.ClearCalls();
  g.DrawSVGRotated(svg, 100.f, 100.f, 100.f, 50.f, 90.f);
  ASSERT_NE(g.Last(Op::MoveTo), nullptr);
  EXPECT_NEAR(g.Last(Op::MoveTo)->p[0], 125.0, 1e-4);
  EXPECT_NEAR(g.Last(Op::MoveTo)->p[1], 50.0, 1e-4);
  EXPECT_EQ(g.Count(Op::Fill), 1);

  g.ClearCalls();
  g.DrawSVG(ISvgHandle{}, {0.f, 0.f, 10.f, 10.f});
  EXPECT_TRUE(g.calls.empty());
}

TEST(IGraphicsResourcesTest, EmptyBitmapHandlesDrawNothing)
{
  RecordingGraphics g(nullptr, 400, 300);
  g.TranslateTransform(2.f, 3.f);
  const IAffine before = g.GetTransform();
  FakeBitmap sizeless(0, 0, 1.f, 1.f);
  IBitmapHandle zero = gfxtest::MakeBitmapHandle(sizeless);
  g.ClearCalls();

  g.DrawBitmapFitted(IBitmapHandle{}, {0.f, 0.f, 50.f, 50.f});
  g.DrawBitmapRotated(IBitmapHandle{}, 20.f, 20.f, 45.0);
  g.DrawBitmapFitted(zero, {0.f, 0.f, 50.f, 50.f});
  g.DrawBitmapRotated(zero, 20.f, 20.f, 45.0);
  EXPECT_TRUE(g.calls.empty());
  EXPECT_EQ(g.GetTransform(), before);

  // A real bitmap still draws, fitted to the bounds.
  FakeBitmap real(20, 10, 1.f, 1.f);
  g.DrawBitmapFitted(gfxtest::MakeBitmapHandle(real), {0.f, 0.f, 40.f, 40.f});
  ASSERT_EQ(g.Count(Op::Bitmap), 1);
  EXPECT_DOUBLE_EQ(g.Last(Op::Bitmap)->p[2], 42.0);
  EXPECT_DOUBLE_EQ(g.Last(Op::Bitmap)->p[3], 43.0);
}

namespace
{

// A back end whose images belong to its own drawing context, and whose platform makes fonts of bytes.
class OwnCacheGraphics : public RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;
  ResourceCache& GetBitmapCacheOfContext() override { return own; }
  PlatformFont* LoadPlatformFontFromMemory(const char*, const void* data, int size) override
  {
    return std::string(static_cast<const char*>(data), size) == "font" ? new PlatformFont(false) : nullptr;
  }
  bool LoadFontWithApi(const char* id, PlatformFont* font) override
  {
    taken.push_back(id);
    return font != nullptr;
  }
  void CachePlatformFont(const char* id, const PlatformFont*) override { kept.push_back(id); }

  ResourceCache own{[](void* p) { delete static_cast<APIBitmap*>(p); }};
  std::vector<std::string> taken;
  std::vector<std::string> kept;
};

} // namespace

TEST(IGraphicsResourcesTest, ABackEndKeepsItsBitmapsInItsOwnCacheAndTakesFontsThroughTheContext)
{
  TempFile png("own.png", "img");
  OwnCacheGraphics g(nullptr, 100, 100);
  const IBitmapHandle bitmap = g.LoadBitmap(png.Path().c_str(), 1, false, 1);
  ASSERT_TRUE(bitmap.IsValid());
  const IBitmapHandle twice = g.RescaleBitmap(bitmap, "own-2x", 2);
  ASSERT_TRUE(twice.IsValid());
  EXPECT_EQ(g.own.FindCacheEntry(png.Path().c_str(), 1.0), bitmap.bitmap);
  EXPECT_EQ(g.own.FindCacheEntry("own-2x", 2.0), twice.bitmap);
  EXPECT_EQ(GetBitmapCache().GetCount(), 0) << "nothing reached the process-wide cache";
  EXPECT_EQ(g.LoadBitmap(png.Path().c_str(), 1, false, 1).bitmap, bitmap.bitmap);
  EXPECT_EQ(g.filesDecoded, 1);

  // A layout function holding only the context registers its font.
  IGraphics& context = g;
  EXPECT_TRUE(context.LoadFontFromMemory("Roboto", "font", 4));
  EXPECT_FALSE(context.LoadFontFromMemory("Other", "junk", 4)) << "the platform made no font";
  EXPECT_EQ(g.taken, std::vector<std::string>{"Roboto"});
  EXPECT_EQ(g.kept, std::vector<std::string>{"Roboto"});
}
