#pragma once
// A list of rectangles for dirty regions: collected per display tick, aligned and reduced to
// non-overlapping pieces before painting so that each pixel is drawn as few times as possible.

#include "framework/graphics/IDrawingRecords.h"

#include <cstddef>
#include <vector>

namespace iplug::igraphics
{

class IRectList
{
public:
  int Size() const { return static_cast<int>(mRects.size()); }
  bool Empty() const { return mRects.empty(); }
  const IBounds& Get(int i) const { return mRects[static_cast<size_t>(i)]; }
  IBounds& Get(int i) { return mRects[static_cast<size_t>(i)]; }
  void Set(int i, const IBounds& r) { mRects[static_cast<size_t>(i)] = r; }
  void Add(const IBounds& r) { mRects.push_back(r); }
  void Remove(int i) { mRects.erase(mRects.begin() + i); }
  void Clear() { mRects.clear(); }

  // Union of all rectangles (empty ones ignored).
  IBounds Bounds() const;

  // Outward to whole device pixels at the given scale.
  void PixelAlign(float scale);

  // Drops contained rectangles, cuts overlaps and merges neighbours with a shared full edge.
  void Optimize();

  // r overlaps x in one of r's corners: one piece of r outside x is appended, the other returned.
  IBounds Shrink(const IBounds& r, const IBounds& x);

private:
  // r minus x, where x spans r's full width or height. The piece on the far side of a strip through the
  // middle is appended so that no area is lost.
  IBounds Subtract(const IBounds& r, const IBounds& x);

  std::vector<IBounds> mRects;
};

} // namespace iplug::igraphics
