#include "effect/editor/QuorPresetMenu.h"

#include "effect/editor/EditorPlugin.h"
#include "effect/editor/EditorStyle.h"
#include "effect/plugin/FactoryPresets.h"
#include "framework/graphics/IGraphics.h"

namespace quorvel
{

using namespace iplug::igraphics;

QuorPresetMenu::QuorPresetMenu(EditorPlugin& plugin) : IControl({600.f, 32.f, 826.f, 66.f}), mPlugin(plugin)
{
  const FactoryPreset* presets = FactoryPresetTable();
  for (int k = 0; k < kFactoryPresetCount; ++k)
    mMenu.AddItem(presets[k].name);
  SetTooltip(
      "Factory starting points for vocals, bass and instruments. Adjust Drive to your recording level.");
}

int QuorPresetMenu::MatchFactoryPreset() const
{
  return mPlugin.MatchCurrentPreset();
}

void QuorPresetMenu::OnMouseDown(float, float, const IModifierState&)
{
  if (mGraphics) mGraphics->ShowPopupMenu(this, mMenu, mBounds, 0);
}

bool QuorPresetMenu::OnKeyDown(float x, float y, const iplug::IKeyStroke& key)
{
  if (key.vk != iplug::kVkReturn && key.vk != iplug::kVkSpace) return false;
  OnMouseDown(x, y, {});
  return true;
}

void QuorPresetMenu::OnMenuChoice(IPopupMenu* menu, int)
{
  if (!menu || menu->GetChosenItemIdx() < 0) return;
  mPlugin.RestoreFactoryPreset(menu->GetChosenItemIdx());
  if (mGraphics) mGraphics->MarkAllControlsDirty();
}

bool QuorPresetMenu::IsDirty()
{
  const int matched = MatchFactoryPreset();
  if (matched != mLastMatched)
  {
    mLastMatched = matched;
    MarkDirty(false);
  }
  return IControl::IsDirty();
}

void QuorPresetMenu::Draw(IGraphics& g)
{
  g.FillRoundRect(EditorPanelFill, mBounds, 5.f);
  g.DrawRoundRect(mMouseOver ? EditorAccent : EditorLine, mBounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);
  DrawEditorLabel(g, PresetMenuText(MatchFactoryPreset()), {612.f, 32.f, 799.f, 66.f}, 12.f, EditorText,
                  kAlignNear);
  g.DrawLine(EditorAccent, 805.f, 47.f, 810.f, 52.f, nullptr, 1.f);
  g.DrawLine(EditorAccent, 810.f, 52.f, 815.f, 47.f, nullptr, 1.f);
}

} // namespace quorvel
