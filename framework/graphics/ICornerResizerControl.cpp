#include "framework/graphics/ICornerResizerControl.h"

#include "framework/graphics/IGraphics.h"

namespace iplug::igraphics
{

ICornerResizerControl::ICornerResizerControl(float editorWidth, float editorHeight, float size,
                                             const IArgb& colour, const IArgb& hoverColour,
                                             const IArgb& dragColour)
    : IControl({editorWidth - size + 1.f, editorHeight - size + 1.f, editorWidth - 1.f, editorHeight - 1.f}),
      mSize(size), mInitialEditorBounds(0.f, 0.f, editorWidth, editorHeight), mColour(colour),
      mHoverColour(hoverColour), mDragColour(dragColour)
{
}

ICornerResizerControl::~ICornerResizerControl()
{
  // The cursor this handle set must not outlive it.
  if (mHovered && mGraphics) mGraphics->SetMouseCursor(mSavedCursor);
}

void ICornerResizerControl::OnMouseDown(float, float, const IModifierState&)
{
  if (mGraphics) mGraphics->StartCornerResize();
}

void ICornerResizerControl::OnMouseDoubleClick(float, float, const IModifierState&)
{
  if (mGraphics)
    mGraphics->Resize(static_cast<int>(mInitialEditorBounds.W()), static_cast<int>(mInitialEditorBounds.H()),
                      1.f, true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IModifierState& mod)
{
  if (!mHovered)
  {
    mSavedCursor = mGraphics ? mGraphics->SetMouseCursor(kSizeNWSECursor) : 0;
    mHovered = true;
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut()
{
  if (mHovered)
  {
    if (mGraphics) mGraphics->SetMouseCursor(mSavedCursor);
    mHovered = false;
  }
  IControl::OnMouseOut();
}

void ICornerResizerControl::OnScaleChanged()
{
  if (!mGraphics) return;
  const float s = mSize / mGraphics->GetDrawScale();
  const float w = static_cast<float>(mGraphics->GetWidth());
  const float h = static_cast<float>(mGraphics->GetHeight());
  SetBoundsAndTarget({w - s, h - s, w, h});
  mMouseOver = false;
  OnResize();
}

void ICornerResizerControl::Draw(IGraphics& g)
{
  const IArgb& colour = g.IsResizing() ? mDragColour : (mMouseOver ? mHoverColour : mColour);
  g.FillTriangle(colour, mBounds.L, mBounds.B, mBounds.R, mBounds.T, mBounds.R, mBounds.B);
}

} // namespace iplug::igraphics
