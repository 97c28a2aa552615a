#pragma once
// A control whose first value slot follows vertical or horizontal drags and wheel turns, with a fine
// mode (Ctrl or Shift), snapping for stepped parameters and a hidden, locked cursor while dragging.

#include "framework/graphics/IControl.h"

namespace iplug::igraphics
{

enum EDirection : int32_t
{
  kVertical = 0,
  kHorizontal = 1,
};

class IKnobControlBase : public IControl
{
public:
  IKnobControlBase(const IBounds& bounds, int paramIdx = kNoParameter, ControlCallback action = nullptr,
                   bool hideCursor = true, int32_t direction = kVertical, double gearing = 4.0);
  ~IKnobControlBase() override;

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseUp(float x, float y, const IModifierState& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IModifierState& mod) override;
  void OnMouseWheel(float x, float y, const IModifierState& mod, float delta) override;
  void OnCaptureLost() override;

  // One drag extent: the height (vertical) or width (horizontal) that, times the gearing, covers 0..1.
  virtual IBounds GetDragBounds() const { return mTargetBounds; }

  bool IsMouseDown() const { return mMouseDown; }
  double GetDragValue() const { return mDragValue; }
  double GetGearing() const { return mGearing; }

protected:
  bool mHideCursor;
  int32_t mDirection;
  double mGearing;
  bool mMouseDown = false;
  double mDragValue = 0.0; // unsnapped, so that slow drags accumulate towards the next step
};

} // namespace iplug::igraphics
