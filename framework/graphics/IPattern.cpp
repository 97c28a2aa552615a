#include "framework/graphics/IPattern.h"

#include <cmath>

namespace iplug::igraphics
{

IAffine IAffine::Rotation(float degrees)
{
  // The angle is reduced in single precision on purpose: callers compare against that rounding.
  const float r = degrees / 180.f * 3.1415927f;
  const double c = std::cos(static_cast<double>(r));
  const double s = std::sin(static_cast<double>(r));
  return {c, s, -s, c, 0.0, 0.0};
}

void IAffine::Transform(const IAffine& m)
{
  const IAffine k = *this;
  xx = m.xx * k.xx + m.yx * k.xy;
  yx = m.xx * k.yx + m.yx * k.yy;
  xy = m.xy * k.xx + m.yy * k.xy;
  yy = m.xy * k.yx + m.yy * k.yy;
  tx = m.tx * k.xx + m.ty * k.xy + k.tx;
  ty = m.tx * k.yx + m.ty * k.yy + k.ty;
}

IAffine IAffine::Inverted() const
{
  const double d = xx * yy - xy * yx;
  IAffine r;
  r.xx = yy / d;
  r.yx = -yx / d;
  r.xy = -xy / d;
  r.yy = xx / d;
  r.tx = -(tx * r.xx + ty * r.xy);
  r.ty = -(tx * r.yx + ty * r.yy);
  return r;
}

void IGradient::AddStop(const IArgb& colour, float offset)
{
  if (stopCount < kMaxGradientStops) stops[stopCount++] = {colour, offset};
}

IGradient InitGradient(int32_t type)
{
  IGradient g;
  g.type = type;
  return g;
}

IGradient MakeSolidPattern(const IArgb& colour)
{
  IGradient g = InitGradient(kPatternSolid);
  g.AddStop(colour, 0.f);
  return g;
}

IGradient MakeLinearGradient(float x1, float y1, float x2, float y2, IStopList stops)
{
  IGradient g = InitGradient(kPatternLinear);
  const double dx = static_cast<double>(x2 - x1);
  const double dy = static_cast<double>(y2 - y1);
  const double len = std::sqrt(dx * dx + dy * dy);
  // atan2(dx, dy): the gradient axis is gradient-space y, so the angle is measured from the y axis.
  const double a = std::atan2(dx, dy);
  const double c = std::cos(a) / len;
  const double s = std::sin(a) / len;
  // Stored with single precision, like every transform the back end receives.
  const float cf = static_cast<float>(c);
  const float sf = static_cast<float>(s);
  const float txf = static_cast<float>(-(x1 * c - y1 * s));
  const float tyf = static_cast<float>(-(y1 * c + x1 * s));
  g.transform = {cf, sf, -sf, cf, txf, tyf};
  for (const auto& [colour, offset] : stops)
    g.AddStop(colour, offset);
  return g;
}

IGradient MakeRadialGradient(float cx, float cy, float r, IStopList stops)
{
  IGradient g = InitGradient(kPatternRadial);
  const float k = 1.f / r;
  g.transform = {k, 0.0, 0.0, k, -k * cx, -k * cy};
  for (const auto& [colour, offset] : stops)
    g.AddStop(colour, offset);
  return g;
}

} // namespace iplug::igraphics
