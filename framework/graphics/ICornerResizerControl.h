#pragma once
// The handle in the editor's bottom-right corner: a press starts a corner resize that IGraphics carries
// out while the pointer moves; a double click restores the editor's initial size.

#include "framework/graphics/IControl.h"

namespace iplug::igraphics
{

class ICornerResizerControl : public IControl
{
public:
  // editorWidth and editorHeight: the editor size in editor units when the handle is made.
  ICornerResizerControl(float editorWidth, float editorHeight, float size, const IArgb& colour,
                        const IArgb& hoverColour, const IArgb& dragColour);
  ~ICornerResizerControl() override;

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseDoubleClick(float x, float y, const IModifierState& mod) override;
  void OnMouseOver(float x, float y, const IModifierState& mod) override;
  void OnMouseOut() override;
  // Keeps the same size on screen at every draw scale.
  void OnScaleChanged() override;
  void Draw(IGraphics& g) override;

  bool IsHovered() const { return mHovered; }

private:
  float mSize;
  bool mHovered = false;
  int mSavedCursor = 0;
  IBounds mInitialEditorBounds;
  IArgb mColour;
  IArgb mHoverColour;
  IArgb mDragColour;
};

} // namespace iplug::igraphics
