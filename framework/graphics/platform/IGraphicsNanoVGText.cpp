// Fonts registered with NanoVG from the process-wide cache of font bytes, and text measured and drawn
// through NanoVG's font stash.

#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/platform/NanoVGFontCache.h"
#include "framework/graphics/platform/NanoVGPaint.h"

#include <algorithm>
#include <memory>

#include <nanovg.h>

namespace iplug::igraphics
{

namespace
{

int AlignFlags(const ITextStyle& style)
{
  static const int kH[] = {NVG_ALIGN_LEFT, NVG_ALIGN_CENTER, NVG_ALIGN_RIGHT};
  static const int kV[] = {NVG_ALIGN_TOP, NVG_ALIGN_MIDDLE, NVG_ALIGN_BOTTOM};
  int flags = 0;
  if (style.align >= 0 && style.align <= 2) flags |= kH[style.align];
  if (style.valign >= 0 && style.valign <= 2) flags |= kV[style.valign];
  return flags;
}

float AlignedX(const ITextStyle& style, const IBounds& r)
{
  return style.align == kAlignCenter ? (r.L + r.R) / 2.f : style.align == 2 ? r.R : r.L;
}

// A font registered once per context: a second registration would only add a duplicate face.
bool RegisterFont(NVGcontext* context, const char* fontId, const FontBlob& blob)
{
  if (!context) return false;
  if (nvgFindFont(context, fontId) != -1) return true;
  auto* bytes = static_cast<unsigned char*>(const_cast<void*>(blob.GetData()));
  return nvgCreateFontMemAtIndex(context, fontId, bytes, blob.GetSize(), 0, blob.GetFaceIndex()) != -1;
}

} // namespace

int32_t IGraphicsNanoVG::GetCachedFontCount()
{
  ResourceCache& fonts = GetNanoVGFontCache();
  ScopedLock lock(&fonts.GetLock());
  return fonts.GetCount();
}

bool IGraphicsNanoVG::LoadFontWithApi(const char* fontId, PlatformFont* font)
{
  if (!fontId || !font) return false;
  ResourceCache& fonts = GetNanoVGFontCache();
  ScopedLock lock(&fonts.GetLock());
  if (auto* cached = static_cast<FontBlob*>(fonts.FindCacheEntry(fontId, 1.0)))
  {
    RegisterFont(mVG, fontId, *cached);
    return true;
  }
  std::unique_ptr<FontBlob> blob = font->GetFontBlob();
  if (!blob || !blob->IsUsable()) return false;
  // NanoVG keeps a pointer to the bytes and cannot forget a font: they are registered only once the
  // cache owns them, so a font whose entry cannot be added never reaches NanoVG.
  if (!mVG || !fonts.AddCacheEntry(blob.get(), fontId, 1.0)) return false;
  FontBlob* cached = blob.release();
  if (RegisterFont(mVG, fontId, *cached)) return true;
  fonts.RemoveCacheEntry(cached);
  return false;
}

void IGraphicsNanoVG::PrepareText(const ITextStyle& style, const char* text, IBounds& r, float& x,
                                  float& y) const
{
  x = AlignedX(style, r);
  y = style.valign == kAlignCenter ? (r.T + r.B) / 2.f : style.valign == 2 ? r.B : r.T;
  NVGcontext* vg = DrawTarget();
  const int font = vg ? nvgFindFont(vg, style.font) : -1;
  if (font == -1)
  {
    r = IBounds();
    return;
  }
  nvgFontBlur(vg, 0.f);
  nvgFontSize(vg, style.size);
  nvgFontFaceId(vg, font);
  nvgTextAlign(vg, AlignFlags(style));
  float box[4] = {0.f, 0.f, 0.f, 0.f};
  nvgTextBounds(vg, x, y, text, nullptr, box);
  r = IBounds(box[0], box[1], box[2], box[3]);
}

float IGraphicsNanoVG::MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const
{
  const IBounds given = bounds;
  float x = 0.f;
  float y = 0.f;
  PrepareText(style, text, bounds, x, y);
  ApplyTextRotationOffset(style, given, bounds);
  return bounds.W();
}

void IGraphicsNanoVG::DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                                      const IBlendSpec* blend)
{
  NVGcontext* vg = DrawTarget();
  if (!vg || !text) return;
  IBounds measured = bounds;
  float x = 0.f;
  float y = 0.f;
  PrepareText(style, text, measured, x, y);
  if (measured == IBounds() && nvgFindFont(vg, style.font) == -1) return;
  SaveTransform();
  if (style.angle != 0.f)
  {
    float dx = 0.f;
    float dy = 0.f;
    CalcTextRotationOffset(style, bounds, measured, dx, dy);
    TranslateTransform(dx, dy);
    RotateTransform(style.angle);
  }
  nvgFillColor(vg, NanoVGColour(style.colour, blend));
  SetNanoVGBlend(vg, blend);
  nvgText(vg, x, y, text, nullptr);
  nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
  RestoreTransform();
}

void IGraphicsNanoVG::DrawTextBlock(const ITextStyle& style, const char* text, const IBounds& bounds,
                                    const IBlendSpec* blend)
{
  NVGcontext* vg = DrawTarget();
  if (!vg || !text) return;
  const int font = nvgFindFont(vg, style.font);
  if (font == -1) return;
  nvgSave(vg);
  nvgFontSize(vg, style.size);
  nvgFontFaceId(vg, font);
  const float x = AlignedX(style, bounds);
  const float f = style.valign == kAlignCenter ? 0.5f : style.valign == 2 ? 1.f : 0.f;
  float y = style.valign == kAlignCenter ? (bounds.T + bounds.B) / 2.f
            : style.valign == 2          ? bounds.B
                                         : bounds.T;
  nvgTextAlign(vg, AlignFlags(style));
  float lineHeight = 0.f;
  nvgTextMetrics(vg, nullptr, nullptr, &lineHeight);
  nvgFillColor(vg, NanoVGColour(style.colour, blend));

  NVGtextRow rows[3];
  const float width = bounds.W();
  int count = 0;
  for (const char* start = text;;)
  {
    const int n = nvgTextBreakLines(vg, start, nullptr, width, rows, 3);
    if (n <= 0) break;
    count += n;
    start = rows[n - 1].next;
  }
  y -= static_cast<float>(count) * lineHeight * f;
  for (const char* start = text;;)
  {
    const int n = nvgTextBreakLines(vg, start, nullptr, width, rows, 3);
    if (n <= 0) break;
    for (int i = 0; i < n; ++i)
    {
      nvgText(vg, x, y, rows[i].start, rows[i].end);
      y += lineHeight;
    }
    start = rows[n - 1].next;
  }
  nvgRestore(vg);
}

void IGraphicsNanoVG::CalcTextRotationOffset(const ITextStyle& style, const IBounds& bounds, IBounds& rect,
                                             float& dx, float& dy)
{
  if (style.angle == 0.f) return;
  const IAffine rotation = IAffine::Rotation(style.angle);
  const auto rotatedBox = [&](float x, float y1, float y2)
  {
    double ax = x, ay = y1, bx = x, by = y2;
    rotation.TransformPoint(ax, ay);
    rotation.TransformPoint(bx, by);
    return IBounds(static_cast<float>(std::min(ax, bx)), static_cast<float>(std::min(ay, by)),
                   static_cast<float>(std::max(ax, bx)), static_cast<float>(std::max(ay, by)));
  };
  const IBounds r1 = rotatedBox(rect.L, rect.T, rect.B);
  const IBounds r2 = rotatedBox(rect.R, rect.T, rect.B);
  if (r1 == IBounds())
    rect = r2;
  else if (r2 == IBounds())
    rect = r1;
  else
    rect = IBounds(std::min(r1.L, r2.L), std::min(r1.T, r2.T), std::max(r1.R, r2.R), std::max(r1.B, r2.B));
  dx = style.align == kAlignCenter ? bounds.MW() - rect.MW()
       : style.align == 2          ? bounds.R - rect.R
                                   : bounds.L - rect.L;
  dy = style.valign == kAlignCenter ? bounds.MH() - rect.MH()
       : style.valign == 2          ? bounds.B - rect.B
                                    : bounds.T - rect.T;
}

void IGraphicsNanoVG::ApplyTextRotationOffset(const ITextStyle& style, const IBounds& bounds, IBounds& rect)
{
  float dx = 0.f;
  float dy = 0.f;
  CalcTextRotationOffset(style, bounds, rect, dx, dy);
  rect = IBounds(rect.L + dx, rect.T + dy, rect.R + dx, rect.B + dy);
}

} // namespace iplug::igraphics
