#include "framework/graphics/BlurAlpha.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace iplug;
using namespace iplug::igraphics;

namespace
{

// The plain definition: every neighbour inside the row, weighted, summed, integer-divided, capped.
uint8_t ReferenceAt(const std::vector<uint8_t>& row, int j, const BlurKernel& kernel)
{
  const int n = static_cast<int>(row.size());
  uint64_t acc = 0;
  for (int d = -(kernel.Size() - 1); d <= kernel.Size() - 1; ++d)
  {
    const int p = j + d;
    if (p >= 0 && p < n)
      acc += static_cast<uint64_t>(kernel.weights[static_cast<size_t>(std::abs(d))]) *
             row[static_cast<size_t>(p)];
  }
  return static_cast<uint8_t>(std::min<uint64_t>(255, acc / kernel.divisor));
}

using Image = std::vector<std::vector<uint8_t>>; // [row][column] alpha values, top row first

Image ReferenceBlur2D(const Image& img, const BlurKernel& kernel)
{
  const size_t h = img.size(), w = img[0].size();
  Image horiz(h, std::vector<uint8_t>(w));
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x)
      horiz[y][x] = ReferenceAt(img[y], static_cast<int>(x), kernel);
  Image out(h, std::vector<uint8_t>(w));
  for (size_t x = 0; x < w; ++x)
  {
    std::vector<uint8_t> column(h);
    for (size_t y = 0; y < h; ++y)
      column[y] = horiz[y][x];
    for (size_t y = 0; y < h; ++y)
      out[y][x] = ReferenceAt(column, static_cast<int>(y), kernel);
  }
  return out;
}

// Random values with runs of equal values, so that both the summing and the run-skipping paths are taken.
Image MakeImage(int w, int h, unsigned seed)
{
  std::mt19937 rng(seed);
  Image img(static_cast<size_t>(h), std::vector<uint8_t>(static_cast<size_t>(w)));
  for (auto& row : img)
  {
    int x = 0;
    while (x < w)
    {
      const int run = 1 + static_cast<int>(rng() % 12);
      const uint8_t v = (rng() % 3 == 0) ? 0 : (rng() % 3 == 0 ? 255 : static_cast<uint8_t>(rng() % 256));
      for (int i = 0; i < run && x < w; ++i, ++x)
        row[static_cast<size_t>(x)] = v;
    }
  }
  return img;
}

BlurKernel KernelOfSize(int k)
{
  // Blur size k - 1 at scale 1 gives b = k, hence a kernel of k taps.
  BlurKernel kernel = MakeBlurKernel(static_cast<float>(k - 1), 1.f, 1.f);
  EXPECT_EQ(kernel.Size(), k);
  return kernel;
}

} // namespace

TEST(BlurAlphaTest, KernelWeightsAndDivisor)
{
  const BlurKernel none = MakeBlurKernel(0.f, 1.f, 1.f);
  EXPECT_EQ(none.weights, std::vector<uint8_t>({255}));
  EXPECT_EQ(none.divisor, 255u);

  const BlurKernel two = MakeBlurKernel(2.f, 1.f, 1.f);
  EXPECT_EQ(two.weights, std::vector<uint8_t>({255, 155, 35}));
  EXPECT_EQ(two.divisor, 635u);

  // The blur size is in editor units: scale and draw scale both widen it (b = 2 * 1.5 * 2 + 1 = 7).
  const BlurKernel scaled = MakeBlurKernel(2.f, 2.f, 1.5f);
  ASSERT_EQ(scaled.Size(), 7);
  EXPECT_EQ(scaled.weights[0], 255);
  EXPECT_TRUE(std::is_sorted(scaled.weights.rbegin(), scaled.weights.rend()));
  uint32_t sum = 0;
  for (int i = 1; i < scaled.Size(); ++i)
    sum += scaled.weights[static_cast<size_t>(i)];
  EXPECT_EQ(scaled.divisor, 255u + 2u * sum);

  // A negative blur is no blur.
  EXPECT_EQ(MakeBlurKernel(-5.f, 1.f, 1.f).weights, std::vector<uint8_t>({255}));
}

TEST(BlurAlphaTest, OnePassMatchesReferenceAndTransposes)
{
  struct Case
  {
    int w, h, k;
  };
  // Wide rows, rows exactly at the window, rows narrower than the kernel, single pixels.
  const Case cases[] = {{37, 5, 3}, {64, 3, 8}, {9, 4, 5},  {8, 2, 5},
                        {3, 6, 5},  {1, 3, 4},  {13, 7, 1}, {2, 2, 2}};
  unsigned seed = 1;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " k=" << c.k);
    const BlurKernel kernel = KernelOfSize(c.k);
    const Image img = MakeImage(c.w, c.h, seed++);

    // Input rows with colour bytes around the alpha byte (index 3); output as h columns of w rows,
    // with a guard row on each side to catch stray writes.
    std::vector<uint8_t> in(static_cast<size_t>(c.w * c.h * 4), 0x5A);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        in[static_cast<size_t>((y * c.w + x) * 4 + 3)] = img[static_cast<size_t>(y)][static_cast<size_t>(x)];
    const int outStep = c.h * 4;
    std::vector<uint8_t> out(static_cast<size_t>((c.w + 2) * outStep), 0xEE);
    BlurAlphaTransposed(out.data() + outStep + 3, in.data() + 3, kernel.weights.data(), c.w, c.h, outStep,
                        c.w * 4, c.k, kernel.divisor);

    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        ASSERT_EQ(out[static_cast<size_t>((x + 1) * outStep + y * 4 + 3)],
                  ReferenceAt(img[static_cast<size_t>(y)], x, kernel))
            << "row " << y << " position " << x;
    for (size_t i = 0; i < out.size(); ++i)
    {
      const bool alphaInside =
          i >= static_cast<size_t>(outStep) && i < out.size() - static_cast<size_t>(outStep) && i % 4 == 3;
      if (!alphaInside)
      {
        ASSERT_EQ(out[i], 0xEE) << "byte " << i << " written outside the alpha column";
      }
    }
  }
}

TEST(BlurAlphaTest, LayerBlurFlippedOrNotGivesTopRowFirst)
{
  const int w = 23, h = 11;
  for (int k : {1, 3, 6, 13})
  {
    SCOPED_TRACE(testing::Message() << "k=" << k);
    const BlurKernel kernel = KernelOfSize(k);
    const Image img = MakeImage(w, h, 100u + static_cast<unsigned>(k));
    const Image expected = ReferenceBlur2D(img, kernel);

    for (bool flipped : {false, true})
    {
      SCOPED_TRACE(flipped ? "flipped" : "top first");
      HeapBuffer pixels;
      ASSERT_NE(pixels.ResizeHeapBuffer(w * h * 4), nullptr);
      uint8_t* p = pixels.GetAs<uint8_t>();
      for (int y = 0; y < h; ++y)
      {
        const int stored = flipped ? h - 1 - y : y;
        for (int x = 0; x < w; ++x)
        {
          uint8_t* px = p + (stored * w + x) * 4;
          px[0] = static_cast<uint8_t>(x);
          px[1] = static_cast<uint8_t>(y);
          px[2] = 7;
          px[3] = img[static_cast<size_t>(y)][static_cast<size_t>(x)];
        }
      }
      ASSERT_TRUE(BlurLayerAlpha(pixels, w, h, flipped, 3, kernel));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
          const uint8_t* px = p + (y * w + x) * 4;
          ASSERT_EQ(px[3], expected[static_cast<size_t>(y)][static_cast<size_t>(x)]) << x << "," << y;
          // Colour bytes stay where they were stored.
          const int storedY = flipped ? h - 1 - y : y;
          ASSERT_EQ(px[0], x);
          ASSERT_EQ(px[1], storedY);
          ASSERT_EQ(px[2], 7);
        }
    }
  }
}

TEST(BlurAlphaTest, UniformLayersKeepTheirAlphaAwayFromTheEdgesAndBadSizesAreRefused)
{
  // The divisor is the full kernel's even where neighbours fall outside the layer, so an opaque layer's
  // border fades (as its shadow should) while its inside stays opaque; a clear layer stays clear.
  const BlurKernel kernel = MakeBlurKernel(4.f, 1.f, 1.f);
  const int k = kernel.Size(), w = 40, h = 30;
  for (uint8_t value : {uint8_t(0), uint8_t(255)})
  {
    HeapBuffer pixels;
    pixels.ResizeHeapBuffer(w * h * 4);
    std::memset(pixels.GetData(), value, static_cast<size_t>(pixels.GetSize()));
    ASSERT_TRUE(BlurLayerAlpha(pixels, w, h, true, 3, kernel));
    const uint8_t* p = pixels.GetAs<uint8_t>();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const bool inside = x >= k - 1 && x <= w - k && y >= k - 1 && y <= h - k;
        const uint8_t a = p[(y * w + x) * 4 + 3];
        if (value == 0 || inside)
          ASSERT_EQ(a, value) << x << "," << y;
        else
          ASSERT_LT(a, value) << x << "," << y;
      }
  }

  HeapBuffer empty;
  EXPECT_FALSE(BlurLayerAlpha(empty, 4, 4, false, 3, kernel));
  HeapBuffer wrong;
  wrong.ResizeHeapBuffer(10);
  EXPECT_FALSE(BlurLayerAlpha(wrong, 4, 4, false, 3, kernel));
}
