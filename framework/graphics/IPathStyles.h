#pragma once
// Stroke and fill options handed to the path interface with every stroke and fill.

#include <cstdint>

namespace iplug::igraphics
{

enum ELineCap : int32_t
{
  kCapButt = 0,
  kCapRound = 1,
  kCapSquare = 2,
};

enum ELineJoin : int32_t
{
  kJoinMiter = 0,
  kJoinRound = 1,
  kJoinBevel = 2,
};

enum EFillRule : int32_t
{
  kFillWinding = 0,
  kFillEvenOdd = 1,
  // Keeps the solid/hole winding each sub-path was given (SVG shapes use it).
  kFillPreserveWinding = 2,
};

inline constexpr int kMaxDashes = 8;

struct IStrokeStyle
{
  float miterLimit = 10.f;
  bool keepPath = false;
  int32_t cap = kCapButt;
  int32_t join = kJoinMiter;
  float dashes[kMaxDashes] = {};
  float dashOffset = 0.f;
  int32_t dashCount = 0; // 0: a solid line
};

struct IFillStyle
{
  int32_t rule = kFillWinding;
  bool keepPath = false;
};

} // namespace iplug::igraphics
