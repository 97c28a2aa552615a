// The model menu, the preset menu and the buttons inside the real editor, against the real effect.
#include "effect/editor/EditorStyle.h"
#include "effect/editor/QuorButton.h"
#include "effect/editor/QuorModelMenu.h"
#include "effect/editor/QuorPresetMenu.h"
#include "effect/plugin/FactoryPresets.h"
#include "tests/effect/editor/EditorFixture.h"

#include <gtest/gtest.h>

namespace quorvel::test
{
namespace
{

std::string DrawnText(OpenEditor& ed, int idx)
{
  ed.graphics->ClearCalls();
  ed.graphics->GetControl(idx)->Draw(*ed.graphics);
  const auto texts = ed.graphics->All(gfxtest::Op::Text);
  return texts.empty() ? "" : texts.back().text;
}

TEST(QuorModelMenu, KeysStepThroughTheModelsWithinTheEnds)
{
  OpenEditor ed;
  const float x = 100.f, y = 120.f;
  EXPECT_EQ(DrawnText(ed, kModelMenuIdx), "Tube");
  EXPECT_TRUE(ed.Key(x, y, 38)); // Up at the first model stays there
  EXPECT_EQ(ed.effect.GetParam(EngineParams::kModel)->Value(), 0.0);
  for (int i = 0; i < 7; ++i)
    ed.Key(x, y, 40);
  EXPECT_EQ(ed.effect.GetParam(EngineParams::kModel)->Value(), 5.0);
  EXPECT_EQ(DrawnText(ed, kModelMenuIdx), "Diode Clip");
  ed.Key(x, y, 38);
  EXPECT_EQ(DrawnText(ed, kModelMenuIdx), "Silicon Fuzz");
  ed.Key(x, y, 32);
  ASSERT_EQ(ed.graphics->shownMenus.size(), 1u);
  const gfxtest::ShownMenu& menu = ed.graphics->shownMenus[0];
  ASSERT_EQ(menu.items.size(), 6u);
  // The model in force, and only it, is checked.
  for (size_t i = 0; i < menu.flags.size(); ++i)
    EXPECT_EQ((menu.flags[i] & gfx::IMenuEntry::kChecked) != 0, i == 4) << i;
}

TEST(QuorPresetMenu, FollowsRestoresAndEditsMadeElsewhere)
{
  OpenEditor ed;
  const FactoryPreset* presets = FactoryPresetTable();
  ed.Tick();
  EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), "Custom"); // the defaults are not preset 0

  ed.effect.RestoreFactoryPreset(3); // e.g. by the host
  ed.graphics->MarkAllControlsClean();
  ed.Tick();
  EXPECT_TRUE(ed.graphics->GetControl(kPresetMenuIdx)->IsDirty());
  EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), presets[3].name);

  iplug::IParam* drive = ed.effect.GetParam(EngineParams::kDrive);
  const double stored = drive->Value();
  drive->Set(stored + 0.002);
  EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), "Custom");
  drive->Set(stored + 0.0009);
  EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), presets[3].name);

  ed.graphics->popupAnswers.push_back(7);
  ed.Click(700.f, 50.f);
  EXPECT_EQ(ed.effect.GetPresetIndex(), 7);
  EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), presets[7].name);
  ed.graphics->popupAnswers.push_back(-1); // dismissed: nothing changes
  ed.Click(700.f, 50.f);
  EXPECT_EQ(ed.effect.GetPresetIndex(), 7);

  // Enter and Space open the menu too; the first preset is a choice like any other.
  const std::pair<int, int> keys[] = {{13, 0}, {32, 5}, {'P', -1}};
  for (const auto& [vk, choice] : keys)
  {
    const size_t shown = ed.graphics->shownMenus.size();
    const int before = ed.effect.GetPresetIndex();
    ed.graphics->popupAnswers.push_back(choice);
    EXPECT_EQ(ed.Key(700.f, 50.f, vk), choice >= 0) << vk;
    EXPECT_EQ(ed.graphics->shownMenus.size(), shown + (choice >= 0)) << vk;
    EXPECT_EQ(ed.effect.GetPresetIndex(), choice >= 0 ? choice : before) << vk;
    if (choice >= 0)
    {
      EXPECT_EQ(DrawnText(ed, kPresetMenuIdx), presets[choice].name) << vk;
    }
  }
  ed.graphics->popupAnswers.clear();
}

TEST(QuorButton, CompareCopyAndToggles)
{
  OpenEditor ed;
  iplug::IParam* drive = ed.effect.GetParam(EngineParams::kDrive);

  // The panel is lit while B plays, dark while A plays.
  auto lit = [&]
  {
    DrawnText(ed, kCompareIdx);
    return ed.graphics->All(gfxtest::Op::Fill).front().pattern.stops[0].colour == EditorPanelActive;
  };
  EXPECT_EQ(DrawnText(ed, kCompareIdx), "A");
  EXPECT_FALSE(lit());
  ed.effect.SwapComparisonSlots(); // made elsewhere
  ed.graphics->MarkAllControlsClean();
  ed.Tick();
  EXPECT_TRUE(ed.graphics->GetControl(kCompareIdx)->IsDirty());
  EXPECT_EQ(DrawnText(ed, kCompareIdx), "B");
  EXPECT_TRUE(lit());
  ed.Click(850.f, 50.f);
  EXPECT_EQ(ed.effect.GetActiveSlot(), 0);
  EXPECT_FALSE(lit());

  drive->Set(9.0);
  const EngineParams before = ed.effect.SnapshotParams();
  ed.Click(900.f, 50.f); // COPY
  const EngineParams after = ed.effect.SnapshotParams();
  for (int i = 0; i < kParamCount; ++i)
    EXPECT_EQ(after[i], before[i]) << i;
  EXPECT_FLOAT_EQ(ed.effect.GetOtherSlot()[EngineParams::kDrive], 9.0f);

  iplug::IParam* bypass = ed.effect.GetParam(EngineParams::kBypass);
  const float x = 850.f, y = 628.f;
  ed.Click(x, y);
  EXPECT_EQ(bypass->Value(), 1.0);
  EXPECT_TRUE(ed.Key(x, y, 13));
  EXPECT_EQ(bypass->Value(), 0.0);
  EXPECT_TRUE(ed.Key(x, y, 32));
  EXPECT_EQ(bypass->Value(), 1.0);
  EXPECT_FALSE(ed.Key(x, y, 'B'));
  // A double-click is two clicks: on and off again, never a reset to the default.
  ed.Click(x, y);
  EXPECT_EQ(bypass->Value(), 0.0);
  gfx::IPointerEvent p;
  p.x = x;
  p.y = y;
  p.ms = gfx::IModifierState(true);
  ed.graphics->OnMouseDoubleClick(x, y, p.ms);
  ed.graphics->OnMouseUp({p});
  EXPECT_EQ(bypass->Value(), 1.0);
}

} // namespace
} // namespace quorvel::test
