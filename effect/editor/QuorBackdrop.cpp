#include "effect/editor/QuorBackdrop.h"

#include "effect/editor/EditorStyle.h"
#include "framework/graphics/BitmapLoading.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPattern.h"

namespace quorvel
{

using namespace iplug::igraphics;

QuorBackdrop::QuorBackdrop(const IBounds& bounds) : IControl(bounds)
{
  SetIgnoreMouse(true);
}

bool QuorBackdrop::LayerFits(const IGraphics& g) const
{
  return mLayer && mLayer->controlBounds == mBounds &&
         (!mLayer->bitmap || (mLayer->bitmap->GetScale() == g.GetDisplayScale() &&
                              mLayer->bitmap->GetDrawScale() == g.GetDrawScale()));
}

void QuorBackdrop::Draw(IGraphics& g)
{
  if (!LayerFits(g))
  {
    mLayer.reset();
    g.BeginLayer(this, mBounds, true);
    // A layer without a bitmap is kept all the same, as the sign not to try again at this scale.
    if (g.GetTopLayer() && g.GetTopLayer()->bitmap) DrawContent(g);
    mLayer = g.EndLayer();
  }
  if (!mLayer || !mLayer->bitmap)
  {
    DrawContent(g);
    return;
  }
  const IBitmapHandle layer = MakeBitmapHandle(mLayer->bitmap.get(), "", 1, false);
  g.DrawBitmap(layer, mLayer->bounds, 0, 0);
}

void QuorBackdrop::DrawContent(IGraphics& g) const
{
  const IBounds& b = mBounds;
  g.ClearPath();
  g.AddRectPath(b);
  g.FillPath(MakeLinearGradient(b.MW(), b.T, b.MW(), b.B,
                                {{IArgb(255, 43, 48, 53), 0.f}, {IArgb(255, 23, 27, 31), 1.f}}),
             IFillStyle{}, nullptr);

  for (int y = 0; y < 650; y += 3)
    g.DrawLine(IArgb(y % 9 == 0 ? 3 : 1, 255, 255, 255), 0.f, static_cast<float>(y), 980.f,
               static_cast<float>(y), nullptr, 1.f);

  DrawEditorLabel(g, "QUORVEL", {32.f, 36.f, 377.f, 76.f}, 31.f, EditorText, kAlignNear);
  DrawEditorLabel(g, "HARMONICS  /  COLOUR  /  CHARACTER", {350.f, 48.f, 590.f, 70.f}, 12.f, EditorTextDim,
                  kAlignNear);
  g.DrawLine(EditorLine, 34.f, 86.f, 946.f, 86.f, nullptr, 1.f);
  DrawEditorLabel(g, "ANALOG CHARACTER", {34.f, 91.f, 314.f, 109.f}, 11.f, EditorTextDim, kAlignNear);
  DrawEditorLabel(g, "6 DISTINCT VOICES   /   ONE CREATIVE SIGNAL PATH", {350.f, 113.f, 940.f, 141.f}, 11.f,
                  EditorTextDim, kAlignFar);

  const IBounds knobPanel{34.f, 323.f, 946.f, 486.f};
  g.FillRoundRect(IArgb(255, 37, 42, 46), knobPanel, 8.f);
  g.DrawRoundRect(EditorLine, knobPanel, 8.f, nullptr, 1.f);
  for (float x : {262.f, 490.f, 718.f})
    g.DrawLine(EditorLine, x, 340.f, x, 468.f, nullptr, 1.f);

  g.DrawLine(EditorLine, 34.f, 607.f, 946.f, 607.f, nullptr, 1.f);
  DrawEditorLabel(g, "ANALOG-INSPIRED  /  4x OVERSAMPLING", {386.f, 612.f, 795.f, 627.f}, 10.f, EditorTextDim,
                  kAlignCenter);
}

} // namespace quorvel
