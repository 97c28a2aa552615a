#include "framework/graphics/platform/NanoVGPaint.h"

#include <cmath>

namespace iplug::igraphics
{

NVGcolor NanoVGColour(const IArgb& colour, const IBlendSpec* blend)
{
  const float weight = blend ? blend->weight : 1.f;
  NVGcolor c;
  c.r = static_cast<float>(colour.R) / 255.f;
  c.g = static_cast<float>(colour.G) / 255.f;
  c.b = static_cast<float>(colour.B) / 255.f;
  c.a = static_cast<float>(colour.A) * weight / 255.f;
  return c;
}

float NanoVGAngle(float degrees)
{
  return (degrees - 90.f) / 180.f * 3.1415927f;
}

bool MakeNanoVGPaint(NVGcontext* context, const IGradient& pattern, const IBlendSpec* blend, NVGpaint& paint)
{
  if (!context || pattern.stopCount < 1) return false;
  const IAffine& m = pattern.transform;
  const double det = m.xx * m.yy - m.xy * m.yx;
  if (det == 0.0 || !std::isfinite(det)) return false;
  const IAffine inv = m.Inverted();
  const NVGcolor inner = NanoVGColour(pattern.stops[0].colour, blend);
  const NVGcolor outer = NanoVGColour(pattern.stops[pattern.stopCount - 1].colour, blend);
  const auto sx = static_cast<float>(inv.tx);
  const auto sy = static_cast<float>(inv.ty);
  if (pattern.type == kPatternRadial)
    paint = nvgRadialGradient(context, sx, sy, static_cast<float>(inv.xx * pattern.stops[0].offset),
                              static_cast<float>(inv.xx), inner, outer);
  else
    paint = nvgLinearGradient(context, sx, sy, static_cast<float>(inv.xy + inv.tx),
                              static_cast<float>(inv.yy + inv.ty), inner, outer);
  return true;
}

void SetNanoVGBlend(NVGcontext* context, const IBlendSpec* blend)
{
  if (!context) return;
  if (!blend)
  {
    nvgGlobalCompositeOperation(context, NVG_SOURCE_OVER);
    return;
  }
  static const int kOperations[] = {
      NVG_SOURCE_OVER,    NVG_SOURCE_IN,       NVG_SOURCE_OUT,       NVG_ATOP, NVG_DESTINATION_OVER,
      NVG_DESTINATION_IN, NVG_DESTINATION_OUT, NVG_DESTINATION_ATOP, -1,       NVG_XOR};
  if (blend->type == kBlendAdd)
    nvgGlobalCompositeBlendFunc(context, NVG_SRC_ALPHA, NVG_DST_ALPHA);
  else if (blend->type >= 0 && blend->type <= kBlendXor)
    nvgGlobalCompositeOperation(context, kOperations[blend->type]);
}

} // namespace iplug::igraphics
