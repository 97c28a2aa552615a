#pragma once
// Conversions between editor units and the window's device pixels. Both directions round outward, so a
// converted rectangle always covers what it came from.

#include "framework/graphics/IDrawingRecords.h"

#include <cstdint>

namespace iplug::igraphics
{

struct PixelRect
{
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// Update-region rectangles to editor units: floor of the near edges, ceiling of the far ones.
IBounds PixelRectToEditor(const PixelRect& r, float scale);
// Dirty editor rectangles to the pixels to invalidate.
PixelRect EditorToPixelRect(const IBounds& r, float scale);

} // namespace iplug::igraphics

namespace iplug::igraphics
{
// The whole-number display scale a window opens at: the truncated DPI scale, never below 1.
int OpeningDisplayScale(float windowScale);
} // namespace iplug::igraphics
