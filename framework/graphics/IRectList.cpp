#include "framework/graphics/IRectList.h"

#include <cmath>

namespace iplug::igraphics
{

namespace
{

bool Within(float v, float lo, float hi)
{
  return v >= lo && v <= hi;
}

// x (the overlap) reaches across the whole width or height of r.
bool Spans(const IBounds& r, const IBounds& x)
{
  if (r.Empty() || x.Empty()) return true;
  if (x.L == r.L && x.R == r.R && (Within(x.T, r.T, r.B) || Within(r.T, x.T, x.B))) return true;
  return x.T == r.T && x.B == r.B && (Within(x.L, r.L, r.R) || Within(r.L, x.L, x.R));
}

bool Mergeable(const IBounds& a, const IBounds& b)
{
  if (a.Empty() || b.Empty()) return true;
  if (a.L == b.L && a.R == b.R && (Within(a.T, b.T, b.B) || Within(b.T, a.T, a.B))) return true;
  return a.T == b.T && a.B == b.B && (Within(a.L, b.L, b.R) || Within(b.L, a.L, a.R));
}

} // namespace

IBounds IRectList::Bounds() const
{
  IBounds u;
  for (const IBounds& r : mRects)
    u = u.Union(r);
  return u;
}

void IRectList::PixelAlign(float scale)
{
  // One reciprocal for all edges, rounded to float like the edges themselves.
  const float inv = static_cast<float>(1.0 / static_cast<double>(scale));
  for (IBounds& r : mRects)
  {
    r.L = std::floor(r.L * scale) * inv;
    r.T = std::floor(r.T * scale) * inv;
    r.R = std::ceil(r.R * scale) * inv;
    r.B = std::ceil(r.B * scale) * inv;
  }
}

IBounds IRectList::Subtract(const IBounds& a, const IBounds& x)
{
  if (x.L != a.L)
  {
    if (x.R < a.R) Add({x.R, a.T, a.R, a.B});
    return {a.L, a.T, x.L, a.B};
  }
  if (x.T != a.T)
  {
    if (x.B < a.B) Add({a.L, x.B, a.R, a.B});
    return {a.L, a.T, a.R, x.T};
  }
  if (x.R != a.R) return {x.R, a.T, a.R, a.B};
  return {a.L, x.B, a.R, a.B};
}

IBounds IRectList::Shrink(const IBounds& r, const IBounds& x)
{
  if (x.L == r.L && x.T == r.T)
  {
    Add({x.R, r.T, r.R, x.B});
    return {r.L, x.B, r.R, r.B};
  }
  if (x.L == r.L)
  {
    Add({r.L, r.T, r.R, x.T});
    return {x.R, x.T, r.R, r.B};
  }
  if (x.T == r.T)
  {
    Add({r.L, r.T, x.L, x.B});
    return {r.L, x.B, r.R, r.B};
  }
  Add({r.L, r.T, r.R, x.T});
  return {r.L, x.T, x.L, r.B};
}

void IRectList::Optimize()
{
  // First pass: make the rectangles disjoint. The count is re-read after every change because removals
  // and appended pieces change it.
  for (int i = 0; i < Size(); i++)
  {
    for (int j = i + 1; j < Size(); j++)
    {
      const IBounds a = Get(i);
      const IBounds b = Get(j);
      if (a.Contains(b))
      {
        Remove(j);
        j--;
      }
      else if (b.Contains(a))
      {
        Remove(i);
        i--;
        break;
      }
      else if (!a.Empty() && !b.Empty() && b.L <= a.R && a.L < b.R && b.T <= a.B && a.T < b.B)
      {
        const IBounds x = a.Intersect(b);
        if (Spans(a, x))
          Set(i, Subtract(a, x));
        else if (Spans(b, x))
          Set(j, Subtract(b, x));
        else if (b.Area() <= a.Area())
          Set(j, Shrink(b, x));
        else
          Set(i, Shrink(a, x));
      }
    }
  }

  // Second pass: merge pairs sharing a full edge, restarting after every merge.
  for (int i = 0; i + 1 < Size(); i++)
  {
    for (int j = i + 1; j < Size(); j++)
    {
      const IBounds a = Get(i);
      const IBounds b = Get(j);
      if (Mergeable(a, b))
      {
        Set(j, a.Union(b));
        Remove(i);
        i = -1;
        break;
      }
    }
  }
}

} // namespace iplug::igraphics
