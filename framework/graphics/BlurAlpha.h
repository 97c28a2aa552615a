#pragma once
// The separable Gaussian blur behind layer drop shadows. It works on the alpha byte of 4-byte pixels
// alone, in integer arithmetic, so that a shadow costs two passes of k-tap half kernels.

#include "framework/core/HeapBuffer.h"

#include <cstdint>
#include <vector>

namespace iplug::igraphics
{

// Half kernel: weights[0] is the centre (always 255), weights[m] the weight at distance m.
struct BlurKernel
{
  std::vector<uint8_t> weights;
  uint32_t divisor = 0; // weights[0] + 2 * (weights[1] + ... + weights[k-1])

  int Size() const { return static_cast<int>(weights.size()); }
};

// blurSize is in editor units; scale and drawScale are those of the layer bitmap.
BlurKernel MakeBlurKernel(float blurSize, float scale, float drawScale);

// One pass: every input row (row i starts at in + i * inStep) is blurred along its `width` pixels and
// written as column i of the output (pixel j of the row lands at out + j * outStep + i * 4). Neighbours
// outside a row are left out of the sum rather than clamped, so edges fade instead of smearing.
void BlurAlphaTransposed(uint8_t* out, const uint8_t* in, const uint8_t* kernel, int width, int height,
                         int outStep, int inStep, int kernelSize, uint32_t divisor);

// Blurs the alpha bytes of a w x h pixel buffer in place with both passes. A flipped buffer (bottom row
// first) comes back top row first; the colour bytes are not touched. Returns false (buffer unchanged) when
// the size does not match w x h x 4 or scratch memory cannot be had.
bool BlurLayerAlpha(HeapBuffer& pixels, int w, int h, bool flipped, int alphaIndex, const BlurKernel& kernel);

} // namespace iplug::igraphics
