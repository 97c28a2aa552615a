#pragma once
// Transforms and patterns: every solid colour, gradient and SVG paint reaches the path interface as an
// IGradient whose transform maps user space into gradient space.

#include "framework/graphics/IDrawingRecords.h"

#include <initializer_list>
#include <utility>

namespace iplug::igraphics
{

// x' = xx*x + xy*y + tx, y' = yx*x + yy*y + ty.
struct IAffine
{
  double xx = 1.0;
  double yx = 0.0;
  double xy = 0.0;
  double yy = 1.0;
  double tx = 0.0;
  double ty = 0.0;

  constexpr IAffine() = default;
  constexpr IAffine(double xx_, double yx_, double xy_, double yy_, double tx_, double ty_)
      : xx(xx_), yx(yx_), xy(xy_), yy(yy_), tx(tx_), ty(ty_)
  {
  }

  // Degrees, clockwise on screen (y grows downwards).
  static IAffine Rotation(float degrees);

  // m acts first, in the local coordinates of this transform.
  void Transform(const IAffine& m);
  IAffine Inverted() const;

  void TransformPoint(double& x, double& y) const
  {
    const double nx = xx * x + xy * y + tx;
    y = yx * x + yy * y + ty;
    x = nx;
  }

  constexpr bool operator==(const IAffine&) const = default;
};

enum EPatternType : int32_t
{
  kPatternSolid = 0,
  kPatternLinear = 1,
  kPatternRadial = 2,
};

enum EPatternExtend : int32_t
{
  kExtendPad = 1,
  kExtendReflect = 2,
  kExtendRepeat = 3,
};

struct IGradientStop
{
  IArgb colour{255, 0, 0, 0};
  float offset = 0.f;
};

inline constexpr int kMaxGradientStops = 16;

struct IGradient
{
  int32_t type = kPatternSolid;
  int32_t extend = kExtendPad;
  IGradientStop stops[kMaxGradientStops];
  int32_t stopCount = 0;
  IAffine transform;

  // Appends while fewer than 16 stops are held; the rest are dropped.
  void AddStop(const IArgb& colour, float offset);
};

using IStopList = std::initializer_list<std::pair<IArgb, float>>;

IGradient InitGradient(int32_t type);
IGradient MakeSolidPattern(const IArgb& colour);
// (x1, y1) maps to gradient-space (0, 0) and (x2, y2) to (0, 1).
IGradient MakeLinearGradient(float x1, float y1, float x2, float y2, IStopList stops);
// The circle of radius r around (cx, cy) maps to the unit circle.
IGradient MakeRadialGradient(float cx, float cy, float r, IStopList stops);

} // namespace iplug::igraphics
