#include "framework/graphics/SvgRendering.h"

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPathStyles.h"

#include <nanosvg.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace iplug::igraphics
{

namespace
{

SvgPoint PointAt(const NSVGpath* path, int i)
{
  return {path->pts[2 * i], path->pts[2 * i + 1]};
}

// Even-odd test by ray casting: the ray leaves the sub-path's start point through a point just outside
// its bounds, and the straight edges between the other sub-paths' curve end points are counted where it
// crosses them.
bool IsHole(const NSVGshape* shape, const NSVGpath* path)
{
  if (path->npts < 1) return false;
  const SvgPoint p0 = PointAt(path, 0);
  const SvgPoint p1{path->bounds[0] - 1.f, path->bounds[1] - 1.f};
  int crossings = 0;
  for (const NSVGpath* other = shape->paths; other; other = other->next)
  {
    if (other == path || other->npts < 4) continue;
    // i - 1 < npts as well: a point count that does not end on a whole segment must not be read past.
    for (int i = 1; i < other->npts + 3 && i - 1 < other->npts; i += 3)
    {
      const SvgPoint a = PointAt(other, i - 1);
      // The closing edge runs back to the start; so does an edge whose end point is missing.
      const SvgPoint b = (i + 2 < other->npts) ? PointAt(other, i + 2) : PointAt(other, 0);
      const float t = GetLineCrossing(p0, p1, a, b);
      const float u = GetLineCrossing(a, b, p0, p1);
      if (t >= 0.f && t < 1.f && u >= 0.f) ++crossings;
    }
  }
  return (crossings & 1) != 0;
}

int32_t CapOf(char cap)
{
  switch (cap)
  {
  case NSVG_CAP_ROUND:
    return kCapRound;
  case NSVG_CAP_SQUARE:
    return kCapSquare;
  default:
    return kCapButt;
  }
}

int32_t JoinOf(char join)
{
  switch (join)
  {
  case NSVG_JOIN_ROUND:
    return kJoinRound;
  case NSVG_JOIN_BEVEL:
    return kJoinBevel;
  default:
    return kJoinMiter;
  }
}

IArgb ColourOf(unsigned int colour, int32_t alpha)
{
  return {alpha, static_cast<int32_t>(colour & 0xFF), static_cast<int32_t>((colour >> 8) & 0xFF),
          static_cast<int32_t>((colour >> 16) & 0xFF)};
}

} // namespace

float GetLineCrossing(SvgPoint p0, SvgPoint p1, SvgPoint p2, SvgPoint p3)
{
  const SvgPoint d{p1.x - p0.x, p1.y - p0.y};
  const SvgPoint e{p3.x - p2.x, p3.y - p2.y};
  const SvgPoint b{p2.x - p0.x, p2.y - p0.y};
  const float den = d.x * e.y - d.y * e.x;
  if (std::fabs(den) < 1e-8f) return std::numeric_limits<float>::quiet_NaN();
  return -(d.x * b.y - d.y * b.x) / den;
}

IGradient SvgPaintToGradient(const NSVGpaint& paint, float opacity)
{
  const int32_t alpha = std::clamp(static_cast<int32_t>(std::lround(opacity * 255.f)), 0, 255);
  switch (paint.type)
  {
  case NSVG_PAINT_COLOR:
    // The colour's own alpha byte is not used: opacity stands for it.
    return MakeSolidPattern(ColourOf(paint.color, alpha));
  case NSVG_PAINT_LINEAR_GRADIENT:
  case NSVG_PAINT_RADIAL_GRADIENT:
  {
    IGradient pattern =
        InitGradient(paint.type == NSVG_PAINT_LINEAR_GRADIENT ? kPatternLinear : kPatternRadial);
    const NSVGgradient* gradient = paint.gradient;
    if (!gradient) return pattern;
    pattern.extend = static_cast<int32_t>(gradient->spread) + 1;
    for (int i = 0; i < gradient->nstops && i < kMaxGradientStops; ++i)
      pattern.AddStop(ColourOf(gradient->stops[i].color, 255), gradient->stops[i].offset);
    const float* x = gradient->xform;
    pattern.transform = IAffine(x[0], x[1], x[2], x[3], x[4], x[5]);
    return pattern;
  }
  default:
    return MakeSolidPattern(IArgb(alpha, 0, 0, 0));
  }
}

void DrawSvgShapes(IGraphics& g, const ISvgHandle& svg, const IBlendSpec* blend, const IArgb* strokeColour,
                   const IArgb* fillColour)
{
  if (!svg.image) return;
  for (const NSVGshape* shape = svg.image->shapes; shape; shape = shape->next)
  {
    if (!(shape->flags & NSVG_FLAGS_VISIBLE)) continue;

    g.ClearPath();
    for (const NSVGpath* path = shape->paths; path; path = path->next)
    {
      if (path->npts < 1) continue;
      const SvgPoint start = PointAt(path, 0);
      g.MoveTo(start.x, start.y);
      // Whole cubic segments only: a truncated tail is dropped rather than read past the points.
      for (int i = 1; i + 2 < path->npts; i += 3)
      {
        const float* p = &path->pts[2 * i];
        g.CubicCurveTo(p[0], p[1], p[2], p[3], p[4], p[5]);
      }
      if (path->closed) g.ClosePath();
      g.SetPathWinding(IsHole(shape, path));
    }

    const bool hasStroke = shape->stroke.type != NSVG_PAINT_NONE;
    if (shape->fill.type != NSVG_PAINT_NONE)
    {
      const IGradient pattern =
          fillColour ? MakeSolidPattern(*fillColour) : SvgPaintToGradient(shape->fill, shape->opacity);
      IFillStyle style;
      style.rule = kFillPreserveWinding;
      style.keepPath = hasStroke;
      g.FillPath(pattern, style, blend);
    }
    if (hasStroke)
    {
      IStrokeStyle style;
      style.miterLimit = shape->miterLimit;
      style.keepPath = false;
      style.cap = CapOf(shape->strokeLineCap);
      style.join = JoinOf(shape->strokeLineJoin);
      style.dashCount = std::clamp(static_cast<int32_t>(shape->strokeDashCount), 0, kMaxDashes);
      style.dashOffset = shape->strokeDashOffset;
      for (int i = 0; i < style.dashCount; ++i)
        style.dashes[i] = shape->strokeDashArray[i];
      const IGradient pattern =
          strokeColour ? MakeSolidPattern(*strokeColour) : SvgPaintToGradient(shape->stroke, shape->opacity);
      g.StrokePath(pattern, shape->strokeWidth, style, blend);
    }
  }
}

void DrawSVG(IGraphics& g, const ISvgHandle& svg, const IBounds& bounds, const IBlendSpec* blend,
             const IArgb* strokeColour, const IArgb* fillColour)
{
  if (!svg.image || !(svg.image->width > 0.f) || !(svg.image->height > 0.f)) return;
  const float s = std::min(bounds.W() / svg.image->width, bounds.H() / svg.image->height);
  g.SaveTransform();
  g.TranslateTransform(bounds.L, bounds.T);
  g.MultiplyTransform({s, 0.0, 0.0, s, 0.0, 0.0});
  DrawSvgShapes(g, svg, blend, strokeColour, fillColour);
  g.RestoreTransform();
}

void DrawSVGRotated(IGraphics& g, const ISvgHandle& svg, float cx, float cy, float width, float height,
                    float angle, const IBlendSpec* blend)
{
  if (!svg.image) return;
  g.SaveTransform();
  g.TranslateTransform(cx, cy);
  g.RotateTransform(angle);
  DrawSVG(g, svg, {-width / 2.f, -height / 2.f, width / 2.f, height / 2.f}, blend);
  g.RestoreTransform();
}

} // namespace iplug::igraphics
