#pragma once
// A coarse picture of what was painted: each cell holds the colour of the last rectangle fill that covered
// its centre inside the clip. Enough to compare a partial repaint with a full one.

#include "framework/graphics/IDrawingRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace iplug::igraphics::gfxtest
{

class CoverageRaster
{
public:
  // cellsPerUnit cells along each editor unit.
  CoverageRaster(int width, int height, int cellsPerUnit = 1);

  // Fills the cells whose centres lie in rect and in clip (both in editor units).
  void Fill(const IBounds& rect, const IBounds& clip, uint32_t id);
  uint32_t At(int cx, int cy) const { return mCells[static_cast<size_t>(cy * mCols + cx)]; }
  int Cols() const { return mCols; }
  int Rows() const { return mRows; }
  bool operator==(const CoverageRaster& other) const { return mCells == other.mCells; }

  static uint32_t Pack(const IArgb& c)
  {
    return (uint32_t(c.A) << 24) | (uint32_t(c.R) << 16) | (uint32_t(c.G) << 8) | uint32_t(c.B);
  }

private:
  int mCols;
  int mRows;
  int mCellsPerUnit;
  std::vector<uint32_t> mCells;
};

} // namespace iplug::igraphics::gfxtest
