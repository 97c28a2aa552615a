#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPopupMenuControl.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace iplug::igraphics
{
namespace
{

using gfxtest::RecordingGraphics;
using ::testing::Contains;

// Text metrics of the kit: 7 units per character at size 14, 14 high. "Three" makes the widest cell:
// 35 + margins 2 * 5 + 15 + 10 = 70 wide, 14 high.
class IPopupMenuControlTest : public ::testing::Test
{
protected:
  IPopupMenuControlTest()
  {
    popup = new IPopupMenuControl();
    g.AddControl(popup);
  }

  static void Fill(IPopupMenu& menu, int n)
  {
    for (int i = 0; i < n; ++i)
      menu.AddItem(("Item" + std::to_string(i)).c_str());
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{1, log};
  RecordingGraphics g{&dlg, 400, 300};
  IPopupMenuControl* popup = nullptr;
  IPopupMenu menu{"", {"One", "Two", "Three"}};
};

TEST_F(IPopupMenuControlTest, PanelSizeFollowsTheTextAndSeparators)
{
  EXPECT_EQ(popup->GetLargestCellRectForMenu(menu, 10.f, 20.f), IBounds(10, 20, 80, 34));
  float w = 0.f, h = 0.f;
  popup->GetPanelDimensions(menu, w, h);
  EXPECT_FLOAT_EQ(w, 70.f);
  EXPECT_FLOAT_EQ(h, 3 * 14.f + 2 * 2.f);

  IPopupMenu withSeparator{"", {"One"}};
  withSeparator.AddSeparator();
  withSeparator.AddItem("Two");
  popup->GetPanelDimensions(withSeparator, w, h);
  EXPECT_FLOAT_EQ(h, 2 * 14.f + 9.f + 2 * 2.f);
}

TEST_F(IPopupMenuControlTest, OpensBesideTheAnchorTowardsTheRoomyHalf)
{
  EXPECT_TRUE(popup->IsHidden());
  // Left half, upper half: to the right, the first item level with the anchor.
  popup->ShowMenu(menu, {50, 100, 70, 120});
  EXPECT_FALSE(popup->IsHidden());
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kExpanded);
  EXPECT_EQ(popup->GetUsableArea(), IBounds(0, 0, 400, 300)) << "the whole editor by default";
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kRight);
  EXPECT_EQ(popup->GetCalloutArea(), IBounds(70, 105, 80, 115));
  const auto* panel = popup->GetActivePanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(panel->cells.GetCount(), 3);
  EXPECT_EQ(*panel->cells.Get(0), IBounds(85, 91, 155, 105));
  EXPECT_EQ(*panel->cells.Get(2), IBounds(85, 123, 155, 137));
  EXPECT_EQ(panel->panelRect, IBounds(80, 86, 160, 142));
  EXPECT_EQ(panel->outerRect, IBounds(72, 78, 168, 150));
  EXPECT_EQ(popup->GetBounds(), panel->outerRect) << "drawing covers the shadow";
  EXPECT_EQ(popup->GetTargetBounds(), panel->panelRect) << "the shadow is not hit";

  // Right half, lower half: to the left, the last item level with the anchor.
  popup->Collapse();
  popup->ShowMenu(menu, {330, 250, 350, 270});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kLeft);
  EXPECT_EQ(popup->GetCalloutArea(), IBounds(320, 255, 330, 265));
  EXPECT_EQ(popup->GetActivePanel()->panelRect, IBounds(242, 238, 322, 294));

  // A second menu while one is open replaces nothing.
  IPopupMenu other{"", {"X"}};
  popup->ShowMenu(other, {10, 10, 20, 20});
  EXPECT_EQ(popup->GetActivePanel()->panelRect, IBounds(242, 238, 322, 294));
}

TEST_F(IPopupMenuControlTest, NearTheEdgesItGoesAboveOrBelowOrIsClampedIn)
{
  // At the bottom edge there is no room beside: above, centred on the anchor.
  popup->ShowMenu(menu, {50, 280, 70, 298});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kAbove);
  EXPECT_EQ(popup->GetCalloutArea(), IBounds(55, 270, 65, 280));
  EXPECT_EQ(popup->GetActivePanel()->panelRect, IBounds(25, 216, 105, 272));

  // At the top edge: below.
  popup->Collapse();
  popup->ShowMenu(menu, {50, 0, 70, 4});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kBelow);
  EXPECT_EQ(popup->GetCalloutArea(), IBounds(55, 4, 65, 14));
  EXPECT_EQ(popup->GetActivePanel()->panelRect.T, 14.f);

  // Preferring below wins wherever below fits.
  popup->Collapse();
  popup->SetPreferBelow(true);
  popup->ShowMenu(menu, {50, 100, 70, 120});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kBelow);
  EXPECT_EQ(popup->GetActivePanel()->panelRect, IBounds(25, 130, 105, 186));
  popup->SetPreferBelow(false);

  // In a corner of a small usable area nothing fits: beside, clamped into the area.
  popup->Collapse();
  popup->SetUsableArea({0, 0, 120, 60});
  popup->ShowMenu(menu, {100, 40, 118, 58});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kLeft);
  const IBounds& r = popup->GetActivePanel()->panelRect;
  EXPECT_GE(r.L, 0.f);
  EXPECT_GE(r.T, 0.f);
  EXPECT_LE(r.L + 70.f, 120.f);
  EXPECT_FLOAT_EQ(r.T, 60.f - 46.f);
  popup->SetUsableArea({0, 0, 400, 300});

  // Menus with submenus open below or above, on the roomier side, shifted by the callout offset.
  popup->Collapse();
  IPopupMenu cascading{"", {"One", "Three"}};
  cascading.AddItem(new IMenuEntry("More", new IPopupMenu("", {"A"})));
  popup->ShowMenu(cascading, {300, 50, 320, 70});
  EXPECT_TRUE(popup->HasSubmenus());
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kBelow);
  EXPECT_FLOAT_EQ(popup->GetActivePanel()->panelRect.L, 310.f - 35.f + 20.f);
  popup->Collapse();
  popup->ShowMenu(cascading, {60, 250, 80, 270});
  EXPECT_EQ(popup->GetCalloutDirection(), IPopupMenuControl::kAbove);
  EXPECT_FLOAT_EQ(popup->GetActivePanel()->panelRect.L, 70.f - 35.f - 20.f);
}

TEST_F(IPopupMenuControlTest, TallMenusWrapIntoColumnsOrScroll)
{
  IPopupMenu tall;
  Fill(tall, 20); // "ItemNN": 6 characters, cells 42 + 35 = 77 wide; 20 * 14 + 19 * 2 = 318 high
  popup->ShowMenu(tall, {50, 140, 60, 150});
  const auto* panel = popup->GetActivePanel();
  ASSERT_EQ(panel->cells.GetCount(), 20);
  const IBounds first = *panel->cells.Get(0);
  EXPECT_FLOAT_EQ(first.T, 5.f) << "clamped to the top, inside the margin";
  // 18 cells fit down to the bottom; the rest start a second column at the top.
  EXPECT_FLOAT_EQ(panel->cells.Get(17)->L, first.L);
  EXPECT_FLOAT_EQ(panel->cells.Get(18)->L, first.L + 77.f + 2.f);
  EXPECT_FLOAT_EQ(panel->cells.Get(18)->T, first.T);
  EXPECT_FALSE(panel->scroll);
  EXPECT_FLOAT_EQ(panel->panelRect.R, first.L + 2 * 77.f + 2.f + 5.f);

  popup->Collapse();
  popup->SetScrollWhenTooTall(true);
  popup->ShowMenu(tall, {50, 140, 60, 150});
  panel = popup->GetActivePanel();
  EXPECT_TRUE(panel->scroll);
  EXPECT_EQ(panel->cellsThatFit, 18);
  EXPECT_FLOAT_EQ(panel->cells.Get(19)->L, panel->cells.Get(0)->L) << "one column";
  EXPECT_LE(panel->panelRect.B, 300.f);
  popup->SetScrollWhenTooTall(false);

  popup->Collapse();
  IPopupMenu ten;
  Fill(ten, 10);
  popup->SetMaxItemsPerColumn(4);
  popup->ShowMenu(ten, {50, 140, 60, 150});
  panel = popup->GetActivePanel();
  EXPECT_FLOAT_EQ(panel->cells.Get(4)->L, panel->cells.Get(0)->L + 72.f) << "Item0..Item9: cells 70 wide";
  EXPECT_FLOAT_EQ(panel->cells.Get(4)->T, panel->cells.Get(0)->T);
  EXPECT_FLOAT_EQ(panel->cells.Get(8)->L, panel->cells.Get(0)->L + 2 * 72.f);

  // A fixed panel area sets both rectangles.
  popup->Collapse();
  popup->SetMaxItemsPerColumn(0);
  popup->SetFixedPanelArea({100, 100, 200, 150});
  popup->ShowMenu(menu, {50, 100, 70, 120});
  EXPECT_EQ(popup->GetActivePanel()->panelRect, IBounds(95, 95, 205, 155));
  EXPECT_EQ(popup->GetActivePanel()->outerRect, IBounds(87, 87, 213, 163));
}

TEST_F(IPopupMenuControlTest, AChoiceEndsLikeAPlatformMenu)
{
  auto* target = new gfxtest::LoggingControl({0, 0, 10, 10}, {}, log, "target");
  g.AddControl(target);
  int callbacks = 0;
  menu.SetFunction([&](IPopupMenu* m) { callbacks += m->GetChosenItemIdx() == 1 ? 1 : 100; });
  menu.GetItem(2)->SetFlags(IMenuEntry::kDisabled);

  g.popupAnswers = {RecordingGraphics::kAnswerLater};
  g.ShowPopupMenu(target, menu, {50, 100, 70, 120});
  popup->ShowMenu(menu, {50, 100, 70, 120});
  const IBounds disabled = *popup->GetActivePanel()->cells.Get(2);
  popup->OnMouseDown(disabled.MW(), disabled.MH(), IModifierState(true));
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kExpanded) << "a disabled item cannot be chosen";
  const IBounds second = *popup->GetActivePanel()->cells.Get(1);
  popup->OnMouseDown(second.MW(), second.MH(), IModifierState(true));
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  EXPECT_EQ(callbacks, 1);
  EXPECT_THAT(log, Contains("menu:1 target"));
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kCollapsed);
  EXPECT_TRUE(popup->IsHidden());

  // A press outside the panel dismisses: no choice, no callback.
  log.clear();
  g.ShowPopupMenu(target, menu, {50, 100, 70, 120});
  popup->ShowMenu(menu, {50, 100, 70, 120});
  popup->OnMouseDown(390, 290, IModifierState(true));
  EXPECT_EQ(callbacks, 1);
  EXPECT_THAT(log, Contains("menu:-99 target"));
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kCollapsed);
}

} // namespace
} // namespace iplug::igraphics
