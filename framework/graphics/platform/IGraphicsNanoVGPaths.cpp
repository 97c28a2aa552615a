// Paths, strokes, fills, blend modes, the path transform and clipping on NanoVG, and the dashed
// primitives NanoVG has no stroke style for.

#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include "framework/graphics/platform/NanoVGPaint.h"

#include <algorithm>
#include <cmath>

#include <nanovg.h>

namespace iplug::igraphics
{

namespace
{

// Beyond this a dashed line is a solid one to the eye, and the path would only cost memory.
constexpr float kMaxDashSegments = 2.f * 100000.f;

bool AllFinite(std::initializer_list<float> values)
{
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// Paints the current path: a solid colour directly, a gradient through a paint; a pattern that cannot be
// painted draws nothing. The blend holds for this one draw only.
void PaintPath(NVGcontext* vg, const IGradient& pattern, const IBlendSpec* blend,
               void (*setColour)(NVGcontext*, NVGcolor), void (*setPaint)(NVGcontext*, NVGpaint),
               void (*draw)(NVGcontext*))
{
  if (pattern.type == kPatternSolid)
    setColour(vg, NanoVGColour(pattern.stops[0].colour, blend));
  else
  {
    NVGpaint paint;
    if (!MakeNanoVGPaint(vg, pattern, blend, paint)) return;
    setPaint(vg, paint);
  }
  SetNanoVGBlend(vg, blend);
  draw(vg);
  nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
}

} // namespace

void IGraphicsNanoVG::ClearPath()
{
  if (NVGcontext* vg = DrawTarget()) nvgBeginPath(vg);
}

void IGraphicsNanoVG::ClosePath()
{
  if (NVGcontext* vg = DrawTarget()) nvgClosePath(vg);
}

void IGraphicsNanoVG::AddArcPath(float cx, float cy, float r, float a1, float a2, int winding)
{
  if (NVGcontext* vg = DrawTarget())
    nvgArc(vg, cx, cy, r, NanoVGAngle(a1), NanoVGAngle(a2), winding == 0 ? NVG_CW : NVG_CCW);
}

void IGraphicsNanoVG::MoveTo(float x, float y)
{
  if (NVGcontext* vg = DrawTarget()) nvgMoveTo(vg, x, y);
}

void IGraphicsNanoVG::LineTo(float x, float y)
{
  if (NVGcontext* vg = DrawTarget()) nvgLineTo(vg, x, y);
}

void IGraphicsNanoVG::SetPathWinding(bool hole)
{
  if (NVGcontext* vg = DrawTarget()) nvgPathWinding(vg, hole ? NVG_CW : NVG_CCW);
}

void IGraphicsNanoVG::CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  if (NVGcontext* vg = DrawTarget()) nvgBezierTo(vg, c1x, c1y, c2x, c2y, x, y);
}

void IGraphicsNanoVG::QuadCurveTo(float cx, float cy, float x, float y)
{
  if (NVGcontext* vg = DrawTarget()) nvgQuadTo(vg, cx, cy, x, y);
}

void IGraphicsNanoVG::StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                                 const IBlendSpec* blend)
{
  if (!DrawTarget()) return;
  static const int kCaps[] = {NVG_BUTT, NVG_ROUND, NVG_SQUARE};
  static const int kJoins[] = {NVG_MITER, NVG_ROUND, NVG_BEVEL};
  if (style.cap >= 0 && style.cap <= 2) nvgLineCap(mVG, kCaps[style.cap]);
  if (style.join >= 0 && style.join <= 2) nvgLineJoin(mVG, kJoins[style.join]);
  nvgMiterLimit(mVG, style.miterLimit);
  nvgStrokeWidth(mVG, thickness);

  PaintPath(mVG, pattern, blend, nvgStrokeColor, nvgStrokePaint,
            [](NVGcontext* vg)
            {
              nvgPathWinding(vg, NVG_CCW);
              nvgStroke(vg);
            });
  if (!style.keepPath) nvgBeginPath(mVG);
}

void IGraphicsNanoVG::FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec* blend)
{
  if (!DrawTarget()) return;
  if (style.rule == kFillWinding)
    nvgPathWinding(mVG, NVG_CCW);
  else if (style.rule == kFillEvenOdd)
    nvgPathWinding(mVG, NVG_CW);

  PaintPath(mVG, pattern, blend, nvgFillColor, nvgFillPaint, nvgFill);
  if (!style.keepPath) nvgBeginPath(mVG);
}

void IGraphicsNanoVG::ApplyPathTransform(const IAffine& m)
{
  if (!DrawTarget()) return;
  // Inside a layer, editor units are placed by the layer's own scale: a layer made for another
  // resolution (a bitmap redrawn at 2x) is not drawn at the editor's.
  float scale = GetDrawScale();
  float ox = 0.f;
  float oy = 0.f;
  if (const IDrawLayer* top = GetTopLayer())
  {
    ox = -top->bounds.L;
    oy = -top->bounds.T;
    if (top->bitmap) scale = top->bitmap->GetDrawScale();
  }
  nvgResetTransform(mVG);
  nvgScale(mVG, scale, scale);
  nvgTranslate(mVG, ox, oy);
  nvgTransform(mVG, static_cast<float>(m.xx), static_cast<float>(m.yx), static_cast<float>(m.xy),
               static_cast<float>(m.yy), static_cast<float>(m.tx), static_cast<float>(m.ty));
}

void IGraphicsNanoVG::SetPathClip(const IBounds& r)
{
  NVGcontext* vg = DrawTarget();
  if (!vg) return;
  nvgScissor(vg, r.L, r.T, r.R - r.L, r.B - r.T);
  ReachClip(r);
}

void IGraphicsNanoVG::DrawDottedLine(const IArgb& colour, float x1, float y1, float x2, float y2,
                                     const IBlendSpec* blend, float thickness, float dashLen)
{
  if (!DrawTarget() || !AllFinite({x1, y1, x2, y2})) return;
  MoveTo(x1, y1);
  if (AllFinite({dashLen, thickness}) && dashLen > 0.f)
  {
    const float len = std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
    const float n = std::min(std::round(len / dashLen), kMaxDashSegments);
    if (std::isfinite(n) && n >= 1.f)
    {
      const float step = 1.f / n;
      const int count = static_cast<int>(n);
      for (int i = 1; i < count; i += 2)
      {
        float t = static_cast<float>(i) * step;
        LineTo(x1 + t * (x2 - x1), y1 + t * (y2 - y1));
        t += step;
        MoveTo(x1 + t * (x2 - x1), y1 + t * (y2 - y1));
      }
    }
  }
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphicsNanoVG::DrawDottedRect(const IArgb& colour, const IBounds& b, const IBlendSpec* blend,
                                     float thickness, float dashLen)
{
  if (!DrawTarget() || !AllFinite({b.L, b.T, b.R, b.B, dashLen}) || dashLen <= 0.f) return;
  const auto edgeCount = [&](float extent)
  { return static_cast<int>(std::min(std::ceil(extent / (2.f * dashLen)), kMaxDashSegments)); };
  const int nx = edgeCount(b.W());
  const int ny = edgeCount(b.H());
  const auto clampTo = [](float v, float lo, float hi) { return std::min(hi, std::max(lo, v)); };
  float x = b.L;
  float y = b.T;
  MoveTo(b.L, b.T);
  for (const float d : {dashLen, -dashLen})
  {
    for (int i = 0; i < nx; ++i)
    {
      const float x2 = clampTo(x + d, b.L, b.R);
      LineTo(x2, y);
      x = clampTo(x2 + d, b.L, b.R);
      MoveTo(x, y);
    }
    for (int i = 0; i < ny; ++i)
    {
      const float y2 = clampTo(y + d, b.T, b.B);
      LineTo(x, y2);
      y = clampTo(y2 + d, b.T, b.B);
      MoveTo(x, y);
    }
  }
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

} // namespace iplug::igraphics
