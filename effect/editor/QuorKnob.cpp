#include "effect/editor/QuorKnob.h"

#include "effect/editor/EditorStyle.h"
#include "effect/editor/EditorValueText.h"
#include "effect/editor/QuorValueEntry.h"
#include "effect/engine/EngineParams.h"
#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvel
{

using namespace iplug::igraphics;

namespace
{
constexpr double kKeyStep = 0.01;
constexpr double kFineKeyStep = 0.001;
} // namespace

QuorKnob::QuorKnob(const IBounds& bounds, int paramIdx, const char* caption, bool firstRow)
    : IKnobControlBase(bounds, paramIdx, nullptr, true, kVertical, 4.0), mCaption(caption),
      mFirstRow(firstRow)
{
  SetTextStyle(EditorLabelStyle(12.f, EditorText, kAlignCenter));
}

IBounds QuorKnob::GetValueBox() const
{
  const float halfWidth = mFirstRow ? 50.f : 44.f;
  const float cx = mBounds.MW();
  return {cx - halfWidth, mBounds.B - 25.f, cx + halfWidth, mBounds.B - 2.f};
}

double QuorKnob::GetRealValue() const
{
  const iplug::IParam* param = GetParam();
  return param ? param->Constrain(param->FromNormalized(GetValue())) : 0.0;
}

bool QuorKnob::IsEntryOpen() const
{
  return mGraphics && mValueEntry && mGraphics->GetTextEntryTarget() == mValueEntry;
}

void QuorKnob::PromptValueEntry()
{
  if (!mGraphics || !mValueEntry || !GetParam()) return;
  char text[64];
  FormatEntryNumber(GetRealValue(), text, sizeof text);
  mGraphics->ShowTextEntry(mValueEntry, mTextStyle, GetValueBox(), text, kAllSlots);
  MarkDirty(false);
}

void QuorKnob::OnMouseDown(float x, float y, const IModifierState& mod)
{
  const IBounds box = GetValueBox();
  if (!box.Empty() && box.Contains(x, y) && !mod.R)
  {
    PromptValueEntry();
    return;
  }
  IKnobControlBase::OnMouseDown(x, y, mod);
}

void QuorKnob::OnMouseDoubleClick(float, float, const IModifierState&)
{
  ResetValueToDefault(kAllSlots);
}

bool QuorKnob::OnKeyDown(float, float, const iplug::IKeyStroke& key)
{
  const double step = key.shift ? kFineKeyStep : kKeyStep;
  switch (key.vk)
  {
  case iplug::kVkReturn:
    PromptValueEntry();
    return true;
  case iplug::kVkHome:
    ResetValueToDefault(kAllSlots);
    return true;
  case iplug::kVkUp:
  case iplug::kVkRight:
    ApplyValueFromUser(std::clamp(GetValue() + step, 0.0, 1.0), 0);
    return true;
  case iplug::kVkLeft:
  case iplug::kVkDown:
    ApplyValueFromUser(std::clamp(GetValue() - step, 0.0, 1.0), 0);
    return true;
  default:
    return false;
  }
}

void QuorKnob::OnTextEntered(const char* text, int)
{
  const iplug::IParam* param = GetParam();
  double value = 0.0;
  if (!param || !ParseTypedValue(text, UnitOfParam(*param), value)) return;
  ApplyValueFromUser(param->ToNormalized(value), 0);
}

void QuorKnob::Draw(IGraphics& g)
{
  const IBounds& b = mBounds;
  const float cx = b.MW();
  const float cy = GetCentreY();
  const float r = GetArcRadius();
  const float r2 = r - 8.f;
  const double normalized = GetValue();
  const float valueAngle = static_cast<float>(normalized) * (kMaxAngle - kMinAngle) + kMinAngle;

  const bool drive = GetParamIndex() == EngineParams::kDrive;
  DrawEditorLabel(g, mCaption, {b.L, b.T, b.R, b.T + 24.f}, mFirstRow ? 13.f : 11.f,
                  drive ? EditorAccent : EditorText, kAlignCenter);

  g.DrawArc(EditorLine, cx, cy, r, kMinAngle, kMaxAngle, nullptr, 2.5f);
  if (normalized > 0.00001) g.DrawArc(EditorAccent, cx, cy, r, kMinAngle, valueAngle, nullptr, 3.f);

  g.FillCircle(IArgb(100, 0, 0, 0), cx, cy + 3.f, r2);
  g.ClearPath();
  g.AddCirclePath(cx, cy, r2);
  g.FillPath(MakeLinearGradient(cx, cy - r2, cx, cy + r2,
                                {{IArgb(255, 80, 86, 91), 0.f}, {IArgb(255, 22, 26, 30), 1.f}}),
             IFillStyle{}, nullptr);
  g.DrawCircle(IArgb(255, 98, 104, 109), cx, cy, r2, nullptr, 1.f);
  g.DrawCircle(IArgb(255, 38, 42, 46), cx, cy, r2 - 4.f, nullptr, 1.f);

  // The ticks are one path: one draw call for all 32 (each call costs a software renderer a copy of its
  // whole shading state), with the same pixels as 32 lines.
  g.ClearPath();
  for (int k = 0; k < 32; ++k)
  {
    const double a = k * 2.0 * std::numbers::pi / 32.0;
    const float s = static_cast<float>(std::sin(a));
    const float c = static_cast<float>(std::cos(a));
    g.MoveTo(cx + (r2 - 2.f) * s, cy - (r2 - 2.f) * c);
    g.LineTo(cx + (r2 - 5.f) * s, cy - (r2 - 5.f) * c);
  }
  g.StrokePath(MakeSolidPattern(IArgb(32, 128, 136, 144)), 1.f, IStrokeStyle(), nullptr);

  const double a = valueAngle * std::numbers::pi / 180.0;
  const float s = static_cast<float>(std::sin(a));
  const float c = static_cast<float>(std::cos(a));
  g.DrawLine(EditorAccent, cx + 0.48f * r2 * s, cy - 0.48f * r2 * c, cx + 0.86f * r2 * s, cy - 0.86f * r2 * c,
             nullptr, 3.f);

  const IBounds box = GetValueBox();
  g.FillRoundRect(IArgb(255, 23, 26, 29), box, 3.f);
  g.DrawRoundRect(mMouseOver ? EditorAccentDark : EditorLine, box, 3.f, nullptr, 1.f);

  // The open entry field alone shows the value while it is being typed.
  if (IsEntryOpen()) return;
  const iplug::IParam* param = GetParam();
  if (!param) return;
  char text[64];
  FormatKnobValue(GetRealValue(), UnitOfParam(*param), text, sizeof text);
  DrawEditorLabel(g, text, box, 12.f, EditorText, kAlignCenter);
}

} // namespace quorvel
