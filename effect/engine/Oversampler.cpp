#include "effect/engine/Oversampler.h"

namespace quorvel
{

namespace
{
constexpr float kAllpass = 0.2f;
} // namespace

void Oversampler::Reset()
{
  up1.Reset();
  up2.Reset();
  down1.Reset();
  down2.Reset();
  apIn = apOut = 0.f;
}

void Oversampler::UpsampleFrame(float x, float* os)
{
  // Zero-stuffing halves the level at each stage; the factor 2 restores it.
  const float a = 2.f * up1.Step(kHalfBandU1, x);
  const float b = 2.f * up1.Step(kHalfBandU1, 0.f);
  os[0] = 2.f * up2.Step(kHalfBandU2, a);
  os[1] = 2.f * up2.Step(kHalfBandU2, 0.f);
  os[2] = 2.f * up2.Step(kHalfBandU2, b);
  os[3] = 2.f * up2.Step(kHalfBandU2, 0.f);
}

float Oversampler::DownsampleFrame(const float* os)
{
  // Dropped outputs are still pushed so the histories stay whole.
  const float r0 = down1.Step(kHalfBandD1, os[0]);
  down1.Step(kHalfBandD1, os[1]);
  const float r2 = down1.Step(kHalfBandD1, os[2]);
  down1.Step(kHalfBandD1, os[3]);
  const float q = down2.Step(kHalfBandD2, r0);
  down2.Step(kHalfBandD2, r2);
  const float y = apIn - kAllpass * q + kAllpass * apOut;
  apIn = q;
  apOut = y;
  return y;
}

} // namespace quorvel
