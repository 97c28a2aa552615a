#include "effect/editor/QuorModelMenu.h"

#include "effect/editor/EditorStyle.h"
#include "effect/plugin/ParamTable.h"
#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace quorvel
{

using namespace iplug::igraphics;

namespace
{
constexpr int kModelCount = kSaturationModelCount;
static_assert(kModelCount > 1, "a step needs two models");
// One model step of the normalised range.
constexpr double kModelStep = 1.0 / (kModelCount - 1);
} // namespace

int ModelIndexOf(const IControl& control)
{
  const iplug::IParam* param = control.GetParam();
  if (!param) return 0;
  const double value = param->Constrain(param->FromNormalized(control.GetValue()));
  return std::clamp(static_cast<int>(std::round(value)), 0, kModelCount - 1);
}

const char* ModelNameOf(const IControl& control, int model)
{
  const iplug::IParam* param = control.GetParam();
  return param ? param->FindCaption(static_cast<double>(model)) : "";
}

QuorModelMenu::QuorModelMenu(const IBounds& bounds, int paramIdx) : IControl(bounds, paramIdx)
{
  SetTextStyle(EditorLabelStyle(14.f, EditorText, kAlignCenter));
}

void QuorModelMenu::OnMouseDown(float, float, const IModifierState&)
{
  PromptForValue(0);
}

bool QuorModelMenu::OnKeyDown(float, float, const iplug::IKeyStroke& key)
{
  switch (key.vk)
  {
  case iplug::kVkReturn:
  case iplug::kVkSpace:
    PromptForValue(0);
    return true;
  case iplug::kVkUp:
    ApplyValueFromUser(std::clamp(GetValue() - kModelStep, 0.0, 1.0), 0);
    return true;
  case iplug::kVkDown:
    ApplyValueFromUser(std::clamp(GetValue() + kModelStep, 0.0, 1.0), 0);
    return true;
  default:
    return false;
  }
}

void QuorModelMenu::Draw(IGraphics& g)
{
  g.FillRoundRect(EditorPanelFill, mBounds, 5.f);
  g.DrawRoundRect(mMouseOver ? EditorAccent : EditorLine, mBounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);
  DrawEditorLabel(g, ModelNameOf(*this, ModelIndexOf(*this)), mBounds.GetPadded(-12.f), 14.f, EditorText,
                  kAlignNear);
  g.DrawLine(EditorAccent, 297.f, 125.f, 302.f, 130.f, nullptr, 1.f);
  g.DrawLine(EditorAccent, 302.f, 130.f, 307.f, 125.f, nullptr, 1.f);
}

} // namespace quorvel
