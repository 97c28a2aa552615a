#include "framework/graphics/platform/PixelRects.h"

#include <cmath>

namespace iplug::igraphics
{

IBounds PixelRectToEditor(const PixelRect& r, float scale)
{
  return {std::floor(static_cast<float>(r.left) / scale), std::floor(static_cast<float>(r.top) / scale),
          std::ceil(static_cast<float>(r.right) / scale), std::ceil(static_cast<float>(r.bottom) / scale)};
}

PixelRect EditorToPixelRect(const IBounds& r, float scale)
{
  return {static_cast<int32_t>(std::floor(r.L * scale)), static_cast<int32_t>(std::floor(r.T * scale)),
          static_cast<int32_t>(std::ceil(r.R * scale)), static_cast<int32_t>(std::ceil(r.B * scale))};
}

} // namespace iplug::igraphics

namespace iplug::igraphics
{
int OpeningDisplayScale(float windowScale)
{
  const int whole = windowScale >= 1.f && windowScale < 64.f ? static_cast<int>(windowScale) : 1;
  return whole;
}
} // namespace iplug::igraphics
