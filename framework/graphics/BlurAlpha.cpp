#include "framework/graphics/BlurAlpha.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace iplug::igraphics
{

BlurKernel MakeBlurKernel(float blurSize, float scale, float drawScale)
{
  // Single precision throughout, so that the kernel is the same on every build.
  const float b = std::max(1.f, drawScale * scale * blurSize + 1.f);
  const float c = 4.5f / (b * b);
  const int k = static_cast<int>(std::ceil(b));

  BlurKernel kernel;
  kernel.weights.resize(static_cast<size_t>(k));
  kernel.weights[0] = 255;
  uint32_t sum = 0;
  for (int i = 1; i < k; ++i)
  {
    const float w = 255.f * std::exp(-static_cast<float>(i * i) * c);
    kernel.weights[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(w));
    sum += kernel.weights[static_cast<size_t>(i)];
  }
  kernel.divisor = 255u + 2u * sum;
  return kernel;
}

namespace
{

// Position j of a row with the neighbours that lie outside it left out.
inline uint32_t EdgeSum(const uint8_t* row, int j, int width, const uint8_t* kernel, int k)
{
  uint32_t acc = kernel[0] * static_cast<uint32_t>(row[j * 4]);
  for (int m = 1; m < k; ++m)
  {
    if (j - m >= 0) acc += kernel[m] * static_cast<uint32_t>(row[(j - m) * 4]);
    if (j + m < width) acc += kernel[m] * static_cast<uint32_t>(row[(j + m) * 4]);
  }
  return acc;
}

inline uint8_t Normalise(uint32_t acc, uint32_t divisor)
{
  return static_cast<uint8_t>(std::min<uint32_t>(255u, acc / divisor));
}

} // namespace

void BlurAlphaTransposed(uint8_t* out, const uint8_t* in, const uint8_t* kernel, int width, int height,
                         int outStep, int inStep, int k, uint32_t divisor)
{
  if (width <= 0 || height <= 0 || k <= 0 || divisor == 0) return;

  // A run of 2k + 1 equal inputs covers the whole window of 2k - 1, whose weighted sum is then
  // value * divisor: the sum can be skipped. The counter carries over rows; it only ever claims a
  // run that lies inside the current row's window.
  const uint32_t fullRun = static_cast<uint32_t>(2 * k + 1);
  uint32_t runCount = 0;
  uint8_t runValue = 0;
  auto advance = [&](uint8_t v)
  {
    if (v == runValue)
      runCount = std::min(runCount + 1, fullRun);
    else
    {
      runValue = v;
      runCount = 1;
    }
  };

  const int firstFull = k - 1;
  const int lastFull = width - k; // inclusive; below firstFull for rows narrower than the window

  for (int i = 0; i < height; ++i)
  {
    const uint8_t* row = in + static_cast<ptrdiff_t>(i) * inStep;
    uint8_t* col = out + static_cast<ptrdiff_t>(i) * 4;

    if (lastFull < firstFull)
    {
      for (int j = 0; j < width; ++j)
        col[static_cast<ptrdiff_t>(j) * outStep] = Normalise(EdgeSum(row, j, width, kernel, k), divisor);
      continue;
    }

    for (int j = 0; j < 2 * k - 2; ++j)
      advance(row[j * 4]);

    for (int j = 0; j < firstFull; ++j)
      col[static_cast<ptrdiff_t>(j) * outStep] = Normalise(EdgeSum(row, j, width, kernel, k), divisor);

    for (int j = firstFull; j <= lastFull; ++j)
    {
      advance(row[(j + k - 1) * 4]);
      uint8_t result;
      if (runCount == fullRun)
        result = runValue;
      else
      {
        uint32_t acc = kernel[0] * static_cast<uint32_t>(row[j * 4]);
        for (int m = 1; m < k; ++m)
          acc += kernel[m] * (static_cast<uint32_t>(row[(j - m) * 4]) + row[(j + m) * 4]);
        result = Normalise(acc, divisor);
      }
      col[static_cast<ptrdiff_t>(j) * outStep] = result;
    }

    for (int j = lastFull + 1; j < width; ++j)
      col[static_cast<ptrdiff_t>(j) * outStep] = Normalise(EdgeSum(row, j, width, kernel, k), divisor);
  }
}

bool BlurLayerAlpha(HeapBuffer& pixels, int w, int h, bool flipped, int alphaIndex, const BlurKernel& kernel)
{
  const int32_t size = pixels.GetSize();
  if (w <= 0 || h <= 0 || kernel.Size() == 0 || static_cast<int64_t>(w) * h * 4 != size) return false;

  HeapBuffer scratch(HeapBuffer::kDefaultGranularity);
  if (!scratch.ResizeHeapBuffer(size)) return false;
  std::memset(scratch.GetData(), 0, static_cast<size_t>(size));

  const int colStep = size / w;
  const int rowStep = size / h;
  uint8_t* rows = pixels.GetAs<uint8_t>() + alphaIndex;
  uint8_t* cols = scratch.GetAs<uint8_t>() + alphaIndex;
  const uint8_t* start = flipped ? rows + static_cast<ptrdiff_t>(h - 1) * rowStep : rows;

  BlurAlphaTransposed(cols, start, kernel.weights.data(), w, h, colStep, flipped ? -rowStep : rowStep,
                      kernel.Size(), kernel.divisor);
  BlurAlphaTransposed(rows, cols, kernel.weights.data(), h, w, rowStep, colStep, kernel.Size(),
                      kernel.divisor);
  return true;
}

} // namespace iplug::igraphics
