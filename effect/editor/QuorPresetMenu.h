#pragma once
// Shows which factory preset the current settings still match ("Custom" when none) and restores the one
// chosen from its menu. It polls the plug-in at every display tick, so restores, A/B swaps and edits made
// anywhere show without notifications.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IPopupMenu.h"

namespace quorvel
{

class EditorPlugin;

class QuorPresetMenu : public iplug::igraphics::IControl
{
public:
  explicit QuorPresetMenu(EditorPlugin& plugin);

  int MatchFactoryPreset() const;
  const iplug::igraphics::IPopupMenu& GetMenu() const { return mMenu; }

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  void OnMenuChoice(iplug::igraphics::IPopupMenu* menu, int slot) override;
  bool IsDirty() override;
  void Draw(iplug::igraphics::IGraphics& g) override;

private:
  EditorPlugin& mPlugin;
  iplug::igraphics::IPopupMenu mMenu;
  int mLastMatched = -2; // -2: never matched, so the first tick draws
};

} // namespace quorvel
