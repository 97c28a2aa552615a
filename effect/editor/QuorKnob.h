#pragma once
// The rotary control of the continuous parameters: a 276-degree arc knob with a caption and a value box,
// turned by drags, the wheel and keys, reset by a double-click or Home, and typed into through its value
// box (with units: "1.5k", "-3 dB", "50%").

#include "framework/graphics/IKnobControlBase.h"

namespace quorvel
{

class QuorValueEntry;

class QuorKnob : public iplug::igraphics::IKnobControlBase
{
public:
  // Angles in degrees, 0 up, clockwise.
  static constexpr float kMinAngle = -138.f;
  static constexpr float kMaxAngle = 138.f;

  QuorKnob(const iplug::igraphics::IBounds& bounds, int paramIdx, const char* caption, bool firstRow);

  // The companion that owns the text entry; IGraphics owns it.
  void SetValueEntry(QuorValueEntry* entry) { mValueEntry = entry; }
  QuorValueEntry* GetValueEntry() const { return mValueEntry; }
  bool IsFirstRow() const { return mFirstRow; }
  const char* GetCaption() const { return mCaption; }

  iplug::igraphics::IBounds GetValueBox() const;
  float GetCentreY() const { return mBounds.T + (mFirstRow ? 72.f : 56.f); }
  float GetArcRadius() const { return mFirstRow ? 47.f : 29.f; }
  // The parameter's value in its own units, constrained.
  double GetRealValue() const;
  // True while IGraphics holds an open text entry for this knob.
  bool IsEntryOpen() const;
  void PromptValueEntry();

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  void OnMouseDoubleClick(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  void OnTextEntered(const char* text, int slot) override;
  iplug::igraphics::IBounds GetDragBounds() const override { return mTargetBounds; }
  void Draw(iplug::igraphics::IGraphics& g) override;

private:
  const char* mCaption;
  bool mFirstRow;
  QuorValueEntry* mValueEntry = nullptr;
};

} // namespace quorvel
