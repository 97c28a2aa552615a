#include "framework/graphics/BitmapLoading.h"
#include "framework/graphics/FontLoading.h"
#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/ResourceLoading.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <nanosvg.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace iplug;
using namespace iplug::igraphics;
using iplug::igraphics::gfxtest::DrawCall;
using iplug::igraphics::gfxtest::FakeBitmap;
using iplug::igraphics::gfxtest::Op;
using iplug::igraphics::gfxtest::RecordingGraphics;

namespace
{

namespace fs = std::filesystem;

// A folder of image files for one test, removed afterwards. Its own name has a dot in it, so that every
// search also proves that a folder's dot is not taken for an extension.
class TempImages
{
public:
  explicit TempImages(const char* tag)
  {
    mDir = fs::temp_directory_path() / (std::string("quorvel-res.") + tag);
    fs::remove_all(mDir);
    fs::create_directories(mDir);
  }
  ~TempImages()
  {
    std::error_code ec;
    fs::remove_all(mDir, ec);
  }
  std::string Add(const std::string& file, const std::string& bytes = "img")
  {
    std::ofstream(mDir / file, std::ios::binary) << bytes;
    return Path(file);
  }
  std::string Path(const std::string& file) const { return (mDir / file).generic_string(); }
  std::string Dir() const { return mDir.generic_string(); }

private:
  fs::path mDir;
};

std::vector<int> VariantOrder(int target)
{
  std::vector<int> order;
  ForEachScaleVariant(target,
                      [&](int n)
                      {
                        order.push_back(n);
                        return false;
                      });
  return order;
}

int sDeleted = 0;
void CountingDeleter(void* payload)
{
  ++sDeleted;
  delete static_cast<int*>(payload);
}

const char kSvgText[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="10">
  <rect x="0" y="0" width="30" height="10" fill="#ff0000"/></svg>)";

} // namespace

TEST(ResourceCacheTest, KeysFindEntriesByExactNameAndScale)
{
  EXPECT_STREQ(MakeCacheKey("knob.png", 2.0).Get(), "knob.png-2.0x");
  EXPECT_STREQ(MakeCacheKey("knob.png", 1.5).Get(), "knob.png-1.5x");
  EXPECT_EQ(HashCacheKey("knob.png", 2.0), HashCacheKey("knob.png", 2.0));
  EXPECT_NE(HashCacheKey("knob.png", 2.0), HashCacheKey("knob.png", 1.0));
  EXPECT_NE(HashCacheKey("knob.png", 2.0), HashCacheKey("Knob.png", 2.0));

  sDeleted = 0;
  {
    ResourceCache cache(&CountingDeleter);
    int* a = new int(1);
    int* b = new int(2);
    int* c = new int(3);
    ASSERT_TRUE(cache.AddCacheEntry(a, "knob.png", 1.0));
    ASSERT_TRUE(cache.AddCacheEntry(b, "knob.png", 2.0));
    // A second entry under a key already held stays behind the first.
    ASSERT_TRUE(cache.AddCacheEntry(c, "knob.png", 1.0));
    EXPECT_EQ(cache.GetCount(), 3);
    EXPECT_EQ(cache.FindCacheEntry("knob.png", 1.0), a);
    EXPECT_EQ(cache.FindCacheEntry("knob.png", 2.0), b);
    // Both "-2.0x": the key text matches, but the scale must match exactly.
    EXPECT_EQ(cache.FindCacheEntry("knob.png", 2.04), nullptr);
    EXPECT_EQ(cache.FindCacheEntry("KNOB.png", 1.0), nullptr);
    EXPECT_EQ(cache.FindCacheEntry(nullptr, 1.0), nullptr);

    EXPECT_TRUE(cache.RemoveCacheEntry(a));
    EXPECT_EQ(sDeleted, 1);
    EXPECT_EQ(cache.FindCacheEntry("knob.png", 1.0), c);
    EXPECT_FALSE(cache.RemoveCacheEntry(a));

    // The user count empties the cache when it returns to zero, not before.
    cache.AddUser();
    cache.AddUser();
    cache.RemoveUser();
    EXPECT_EQ(cache.GetCount(), 2);
    cache.RemoveUser();
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_EQ(sDeleted, 3);
    cache.RemoveUser(); // never below zero
    EXPECT_EQ(cache.GetUsers(), 0);

    cache.AddCacheEntry(new int(4), "left.png", 1.0);
  }
  EXPECT_EQ(sDeleted, 4) << "the destructor frees what is left";
}

TEST(ResourceCacheTest, EditorsShareTheCachesAndTheLastOneEmptiesThem)
{
  auto first = std::make_unique<RecordingGraphics>(nullptr, 400, 300);
  const ISvgHandle svg = LoadSVGFromMemory("shared.svg", kSvgText, sizeof(kSvgText) - 1, "px", 96.f);
  ASSERT_TRUE(svg.IsValid());
  LayerStack layers(*first, *first);
  const IBitmapHandle bitmap =
      BitmapLoader(*first, *first, layers, nullptr, GetBitmapCache()).LoadBitmapFromMemory("shared.png", "x", 1, 1, false, 1);
  ASSERT_TRUE(bitmap.IsValid());
  const int bitmapsAlive = FakeBitmap::Alive();

  auto second = std::make_unique<RecordingGraphics>(nullptr, 400, 300);
  first.reset();
  // The second editor gets the very same objects back.
  EXPECT_EQ(LoadSVGFromMemory("shared.svg", "<svg/>", 6, "px", 96.f).image, svg.image);
  EXPECT_EQ(GetSvgCache().GetCount(), 1);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry("shared.png", 1.0), bitmap.bitmap);
  EXPECT_EQ(FakeBitmap::Alive(), bitmapsAlive);

  second.reset();
  EXPECT_EQ(GetSvgCache().GetCount(), 0);
  EXPECT_EQ(GetBitmapCache().GetCount(), 0);
  EXPECT_EQ(FakeBitmap::Alive(), bitmapsAlive - 1);
}

TEST(ResourceCacheTest, ScaleVariantsAreSearchedInOrder)
{
  EXPECT_EQ(VariantOrder(1), std::vector<int>({1, 3, 2}));
  EXPECT_EQ(VariantOrder(2), std::vector<int>({2, 3, 1}));
  EXPECT_EQ(VariantOrder(3), std::vector<int>({3, 2, 1}));
  EXPECT_EQ(VariantOrder(4), std::vector<int>({4, 3, 2, 1}));
  EXPECT_TRUE(VariantOrder(0).empty());

  EXPECT_STREQ(MakeScaledImageName("knob.png", 1).Get(), "knob.png");
  EXPECT_STREQ(MakeScaledImageName("knob.png", 2).Get(), "knob@2x.png");
  EXPECT_STREQ(MakeScaledImageName("a.b.png", 3).Get(), "a.b@3x.png");
  EXPECT_STREQ(MakeScaledImageName("plain", 2).Get(), "plain@2x");
  EXPECT_STREQ(MakeScaledImageName("my.res/plain", 2).Get(), "my.res/plain@2x");
  EXPECT_STREQ(MakeScaledImageName("my.res\\plain", 4).Get(), "my.res\\plain@4x");

  TempImages images("search");
  const std::string knob = images.Path("knob.png");
  images.Add("knob.png");
  images.Add("knob@3x.png");
  TextBuffer location;
  int found = -1;
  // Target 2: the 2x name is tried, then 3x, which exists.
  EXPECT_EQ(FindImageResource(knob.c_str(), "png", location, 2, found, nullptr), 1);
  EXPECT_EQ(found, 3);
  EXPECT_EQ(std::string(location.Get()), images.Path("knob@3x.png"));
  // Target 4 tries 4 and then finds 3 before the plain name.
  EXPECT_EQ(FindImageResource(knob.c_str(), "png", location, 4, found, nullptr), 1);
  EXPECT_EQ(found, 3);
  EXPECT_EQ(FindImageResource(knob.c_str(), "png", location, 1, found, nullptr), 1);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(std::string(location.Get()), knob);

  // No extension: the scale part is appended, even with a dot in the folder name.
  images.Add("plain@2x");
  EXPECT_EQ(FindImageResource(images.Path("plain").c_str(), "png", location, 1, found, nullptr), 1);
  EXPECT_EQ(found, 2);
  EXPECT_EQ(std::string(location.Get()), images.Path("plain@2x"));

  EXPECT_EQ(FindImageResource(images.Path("none.png").c_str(), "png", location, 2, found, nullptr), 0);
  EXPECT_EQ(found, 0);
}

TEST(ResourceCacheTest, ResourceDataIsWholeOrEmpty)
{
  TempImages files("data");
  const std::string bytes("\x00\x01\xFFpayload", 10);
  files.Add("blob.bin", bytes);
  files.Add("empty.bin", "");

  const HeapBuffer blob = LoadResourceData(files.Path("blob.bin").c_str(), "bin", nullptr);
  ASSERT_EQ(blob.GetSize(), 10);
  EXPECT_EQ(std::memcmp(blob.GetData(), bytes.data(), 10), 0);
  EXPECT_EQ(blob.GetGranularity(), 4096);

  EXPECT_EQ(LoadResourceData(files.Path("missing.bin").c_str(), "bin", nullptr).GetSize(), 0);
  EXPECT_EQ(LoadResourceData(files.Path("empty.bin").c_str(), "bin", nullptr).GetSize(), 0);
  // A folder exists but is no resource.
  EXPECT_EQ(LoadResourceData(files.Dir().c_str(), "bin", nullptr).GetSize(), 0);
  EXPECT_EQ(LoadResourceData(nullptr, "bin", nullptr).GetSize(), 0);

  // Embedded in the test program itself, found without regard to case.
  const HeapBuffer svg = LoadResourceData("Badge.svg", "svg", nullptr);
  ASSERT_GT(svg.GetSize(), 20);
  EXPECT_EQ(std::memcmp(svg.GetData(), "<svg", 4), 0);
}

TEST(ResourceCacheTest, SvgDocumentsAreParsedOnceAtScaleOne)
{
  RecordingGraphics g(nullptr, 400, 300);
  const ISvgHandle a = LoadSVG("badge.svg", "px", 96.f, nullptr);
  ASSERT_TRUE(a.IsValid());
  EXPECT_FLOAT_EQ(a.image->width, 40.f);
  const ISvgHandle b = LoadSVG("badge.svg", "px", 96.f, nullptr);
  EXPECT_EQ(a.image, b.image);
  EXPECT_EQ(GetSvgCache().GetCount(), 1);
  EXPECT_NE(GetSvgCache().FindCacheEntry("badge.svg", 1.0), nullptr);

  EXPECT_FALSE(LoadSVG("nowhere.svg", "px", 96.f, nullptr).IsValid());
  EXPECT_FALSE(LoadSVGFromMemory("nothing.svg", "", 0, "px", 96.f).IsValid());
  EXPECT_EQ(GetSvgCache().GetCount(), 1);

  // Editors on several threads loading the same document: one parse, one entry, one image for all.
  std::vector<std::thread> threads;
  std::vector<NSVGimage*> images(6, nullptr);
  for (size_t i = 0; i < images.size(); ++i)
    threads.emplace_back(
        [&images, i]
        { images[i] = LoadSVGFromMemory("threads.svg", kSvgText, sizeof(kSvgText) - 1, "px", 96.f).image; });
  for (std::thread& t : threads)
    t.join();
  for (NSVGimage* image : images)
    EXPECT_EQ(image, images[0]);
  EXPECT_EQ(GetSvgCache().GetCount(), 2);
}

TEST(ResourceCacheTest, BitmapsComeFromTheCacheOrTheBestVariantAndCachedOnesSurvive)
{
  RecordingGraphics g(nullptr, 400, 300);
  LayerStack layers(g, g);
  BitmapLoader loader(g, g, layers, nullptr, GetBitmapCache());
  TempImages images("bitmaps");
  const std::string knob = images.Path("knob.png");
  images.Add("knob.png");
  images.Add("knob@2x.png");

  // Scale 2: the 2x file, decoded once, sized in editor units.
  const IBitmapHandle two = loader.LoadBitmap(knob.c_str(), 3, true, 2);
  ASSERT_TRUE(two.IsValid());
  EXPECT_EQ(two.bitmap->GetScale(), 2.f);
  EXPECT_EQ(two.width, 10);
  EXPECT_EQ(two.height, 8);
  EXPECT_EQ(two.frames, 3);
  EXPECT_TRUE(two.framesHorizontal);
  EXPECT_EQ(static_cast<FakeBitmap*>(two.bitmap)->origin, images.Path("knob@2x.png"));
  EXPECT_EQ(loader.LoadBitmap(knob.c_str(), 1, false, 2).bitmap, two.bitmap);
  EXPECT_EQ(g.filesDecoded, 1);

  // Scale 4: nothing at 4 or 3; the 2x variant is already cached and is redrawn through a layer. The
  // cached 2x bitmap is not the loader's to delete.
  const int alive = FakeBitmap::Alive();
  const IBitmapHandle four = loader.LoadBitmap(knob.c_str(), 1, false, 4);
  ASSERT_TRUE(four.IsValid());
  EXPECT_EQ(g.filesDecoded, 1);
  EXPECT_EQ(four.bitmap->GetScale(), 4.f);
  EXPECT_EQ(four.bitmap->GetWidth(), 40);
  EXPECT_EQ(four.width, 10);
  EXPECT_EQ(FakeBitmap::Alive(), alive + 1);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(knob.c_str(), 2.0), two.bitmap);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(knob.c_str(), 4.0), four.bitmap);
  ASSERT_FALSE(g.All(Op::Bitmap).empty());
  const DrawCall redraw = g.All(Op::Bitmap).back();
  EXPECT_EQ(redraw.bounds, IBounds(0.f, 0.f, 10.f, 8.f));
  EXPECT_EQ(redraw.a[4], 0.f);
  EXPECT_EQ(redraw.a[5], 0.f);
  ASSERT_NE(redraw.bitmap, nullptr);
  EXPECT_EQ(redraw.bitmap->GetScale(), 2.f);
  EXPECT_EQ(layers.GetDepth(), 0);
  EXPECT_EQ(g.GetDisplayScale(), 1.f);
  EXPECT_EQ(g.GetDrawScale(), 1.f);

  // A file found only at another scale is decoded, redrawn, and the decoded one is dropped.
  images.Add("only1.png");
  const int before = FakeBitmap::Alive();
  const IBitmapHandle rescaled = loader.LoadBitmap(images.Path("only1.png").c_str(), 1, false, 3);
  ASSERT_TRUE(rescaled.IsValid());
  EXPECT_EQ(rescaled.bitmap->GetScale(), 3.f);
  EXPECT_EQ(FakeBitmap::Alive(), before + 1);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(images.Path("only1.png").c_str(), 1.0), nullptr);

  // From memory: a cached bitmap at any scale is used before the bytes; it survives as well.
  const IBitmapHandle mem1 = loader.LoadBitmapFromMemory("mem.png", "bytes", 5, 1, false, 1);
  const IBitmapHandle mem2 = loader.LoadBitmapFromMemory("mem.png", nullptr, 0, 1, false, 2);
  ASSERT_TRUE(mem2.IsValid());
  EXPECT_EQ(mem2.bitmap->GetScale(), 2.f);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry("mem.png", 1.0), mem1.bitmap);

  // Scale 0 follows the display scale rounded up.
  g.SetDisplayScale(1.5f);
  EXPECT_EQ(loader.LoadBitmap(knob.c_str()).bitmap, two.bitmap);

  EXPECT_FALSE(loader.LoadBitmap(images.Path("knob.gif").c_str(), 1, false, 1).IsValid());
  EXPECT_FALSE(loader.LoadBitmap(images.Path("absent.png").c_str(), 1, false, 1).IsValid());

  // Uncaching deletes exactly the bitmap named.
  const int now = FakeBitmap::Alive();
  UncacheBitmap(GetBitmapCache(), four);
  EXPECT_EQ(FakeBitmap::Alive(), now - 1);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(knob.c_str(), 4.0), nullptr);
  EXPECT_EQ(GetBitmapCache().FindCacheEntry(knob.c_str(), 2.0), two.bitmap);
}

namespace
{

int gFontsAlive = 0;

class OriginFont : public PlatformFont
{
public:
  explicit OriginFont(std::string from) : PlatformFont(false), origin(std::move(from)) { ++gFontsAlive; }
  ~OriginFont() override { --gFontsAlive; }
  std::string origin;
};

class FakeFonts : public IFontBackEnd
{
public:
  PlatformFont* LoadPlatformFontFromFile(const char*, const char* name) override
  {
    return std::strcmp(name, "missing.ttf") == 0 ? nullptr : Make(name);
  }
  PlatformFont* LoadPlatformFontFromMemory(const char*, const void*, int) override { return Make("memory"); }
  bool LoadFontWithApi(const char* id, PlatformFont*) override { return std::strcmp(id, "broken") != 0; }
  void CachePlatformFont(const char* id, const PlatformFont* font) override
  {
    cached.push_back(std::string(id) + ":" + static_cast<const OriginFont*>(font)->origin);
  }

  PlatformFont* Make(const char* from) { return new OriginFont(from); }
  std::vector<std::string> cached;
};

} // namespace

TEST(ResourceCacheTest, FontsAreCachedAsCopiesAndTheLoadedFontIsAlwaysFreed)
{
  FakeFonts fonts;
  EXPECT_TRUE(LoadFontFile(fonts, "Roboto", "Roboto-Regular.ttf"));
  EXPECT_TRUE(LoadFontFromMemory(fonts, "Mem", "bytes", 5));
  EXPECT_FALSE(LoadFontFile(fonts, "broken", "Broken.ttf")) << "the back end refused it";
  EXPECT_FALSE(LoadFontFile(fonts, "none", "missing.ttf"));
  EXPECT_FALSE(LoadFontFromMemory(fonts, "empty", "", 0));
  EXPECT_EQ(fonts.cached, (std::vector<std::string>{"Roboto:Roboto-Regular.ttf", "Mem:memory"}));
  EXPECT_EQ(gFontsAlive, 0) << "every platform font made was deleted, taken or not";
}
