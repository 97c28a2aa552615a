#include "tests/support/graphics/CoverageRaster.h"

namespace iplug::igraphics::gfxtest
{

CoverageRaster::CoverageRaster(int width, int height, int cellsPerUnit)
    : mCols(width * cellsPerUnit), mRows(height * cellsPerUnit), mCellsPerUnit(cellsPerUnit),
      mCells(static_cast<size_t>(mCols * mRows), 0u)
{
}

void CoverageRaster::Fill(const IBounds& rect, const IBounds& clip, uint32_t id)
{
  const float step = 1.f / static_cast<float>(mCellsPerUnit);
  for (int cy = 0; cy < mRows; cy++)
  {
    const float y = (static_cast<float>(cy) + 0.5f) * step;
    if (y < rect.T || y >= rect.B || y < clip.T || y >= clip.B) continue;
    for (int cx = 0; cx < mCols; cx++)
    {
      const float x = (static_cast<float>(cx) + 0.5f) * step;
      if (x < rect.L || x >= rect.R || x < clip.L || x >= clip.R) continue;
      mCells[static_cast<size_t>(cy * mCols + cx)] = id;
    }
  }
}

} // namespace iplug::igraphics::gfxtest
