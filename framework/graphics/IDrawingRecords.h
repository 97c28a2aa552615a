#pragma once
// The value records every drawing call and control shares: rectangles, colours, blends and text styles.

#include <cstdint>

namespace iplug::igraphics
{

// A rectangle in editor units. All-zero means "empty": it contains nothing, not even its origin.
struct IBounds
{
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  constexpr IBounds() = default;
  constexpr IBounds(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  constexpr float W() const { return R - L; }
  constexpr float H() const { return B - T; }
  constexpr float MW() const { return 0.5f * (L + R); }
  constexpr float MH() const { return 0.5f * (T + B); }
  constexpr float Area() const { return W() * H(); }

  constexpr bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }

  // Half-open: the right and bottom edges belong to the neighbour.
  constexpr bool Contains(float x, float y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }

  constexpr bool Contains(const IBounds& b) const
  {
    return !Empty() && !b.Empty() && b.L >= L && b.R <= R && b.T >= T && b.B <= B;
  }

  constexpr IBounds GetPadded(float pad) const { return {L - pad, T - pad, R + pad, B + pad}; }
  constexpr IBounds GetTranslated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }

  // Union that treats an empty side as absent.
  constexpr IBounds Union(const IBounds& b) const
  {
    if (Empty()) return b;
    if (b.Empty()) return *this;
    return {L < b.L ? L : b.L, T < b.T ? T : b.T, R > b.R ? R : b.R, B > b.B ? B : b.B};
  }

  // Clip intersection of the drawing code: this rectangle is the one clipped, the order matters for the
  // edge cases (a rectangle touching the area only at the area's right edge is empty, one ending exactly at
  // the area's left edge gives a zero-width clip).
  constexpr IBounds Intersect(const IBounds& area) const
  {
    if (Empty() || area.Empty()) return {};
    if (!(R >= area.L && L < area.R && B >= area.T && T < area.B)) return {};
    return {L > area.L ? L : area.L, T > area.T ? T : area.T, R < area.R ? R : area.R,
            B < area.B ? B : area.B};
  }

  constexpr bool operator==(const IBounds&) const = default;
};

// A colour with integer components 0..255; the back end converts to floats.
struct IArgb
{
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  constexpr IArgb() = default;
  constexpr IArgb(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}
  constexpr bool operator==(const IArgb&) const = default;
};

enum EBlendType : int32_t
{
  kBlendDefault = 0,
  kBlendSourceIn = 1,
  kBlendSourceOut = 2,
  kBlendSourceAtop = 3,
  kBlendDestOver = 4,
  kBlendDestIn = 5,
  kBlendDestOut = 6,
  kBlendDestAtop = 7,
  kBlendAdd = 8,
  kBlendXor = 9,
};

// Weight multiplies the alpha of everything drawn with the blend.
struct IBlendSpec
{
  int32_t type = kBlendDefault;
  float weight = 1.f;

  constexpr IBlendSpec() = default;
  constexpr IBlendSpec(int32_t t, float w) : type(t), weight(w) {}
  constexpr bool operator==(const IBlendSpec&) const = default;
};

// Alignments: 0 left/top, 1 centre/middle, 2 right/bottom.
enum EAlign : int32_t
{
  kAlignNear = 0,
  kAlignCenter = 1,
  kAlignFar = 2,
};

// 128 bytes, kept flat so that it can be copied whole between controls and the text field.
struct ITextStyle
{
  char font[64] = "Roboto-Regular";
  float size = 14.f;
  IArgb colour{255, 0, 0, 0};
  IArgb entryBackground{255, 255, 255, 255};
  IArgb entryForeground{255, 0, 0, 0};
  float angle = 0.f;
  int32_t align = kAlignCenter;
  int32_t valign = kAlignCenter;

  ITextStyle() = default;
  ITextStyle(float sz, int32_t h, int32_t v) : size(sz), align(h), valign(v) {}
};

static_assert(sizeof(ITextStyle) == 128, "text styles are copied as 128-byte records");

} // namespace iplug::igraphics
