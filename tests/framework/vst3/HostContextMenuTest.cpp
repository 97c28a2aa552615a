#include "framework/vst3/HostContextMenu.h"

#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/vst3/RecordingContextMenu.h"

#include "public.sdk/source/common/pluginview.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace iplug;
using namespace iplug::igraphics;
using namespace iplug::igraphics::gfxtest;
using namespace quorvel::test;

namespace
{
// A, S {B, C}, D with a separator, a disabled, a checked and a disabled-and-checked item among them.
void FillSample(IPopupMenu& menu)
{
  menu.AddItem("A", IMenuEntry::kDisabled);
  auto* sub = new IPopupMenu();
  sub->AddItem("B", IMenuEntry::kChecked);
  sub->AddItem("C", IMenuEntry::kDisabled | IMenuEntry::kChecked);
  menu.AddItem(new IMenuEntry("S", sub));
  menu.AddSeparator();
  menu.AddItem("D");
}
} // namespace

TEST(HostContextMenu, AddsEntriesWithRunningTagsAndMapsTagsBackToTheirItems)
{
  EventLog log;
  LoggingControl control({0, 0, 10, 10}, {0}, log, "knob");
  IPopupMenu menu;
  FillSample(menu);
  RecordingContextMenu host;
  auto* target = new HostContextMenuTarget(&control);
  int32 tag = 0;
  AddHostContextMenuItems(menu, host, *target, tag);

  struct Expected
  {
    const char16_t* name;
    int32 flags;
  } expected[] = {{u"A", 2}, {u"S", 10}, {u"B", 4}, {u"C", 6}, {u"S", 17}, {u"", 1}, {u"D", 0}};
  ASSERT_EQ(host.items.size(), std::size(expected));
  for (size_t i = 0; i < host.items.size(); ++i)
  {
    EXPECT_EQ(host.items[i].name, expected[i].name) << i;
    EXPECT_EQ(host.items[i].tag, static_cast<int32>(i));
    EXPECT_EQ(host.items[i].flags, expected[i].flags) << i;
    EXPECT_EQ(host.items[i].target.get(), target);
  }
  EXPECT_EQ(tag, 7);

  // Tags differ from indices once a group exists: C is tag 3, item 1 of the submenu; D tag 6, item 3.
  EXPECT_EQ(host.Choose(3), kResultOk);
  EXPECT_EQ(menu.GetItem(1)->GetSubmenu()->GetChosenItemIdx(), 1);
  EXPECT_EQ(host.Choose(6), kResultOk);
  EXPECT_EQ(menu.GetChosenItemIdx(), 3);
  EXPECT_EQ(host.Choose(1), kResultFalse) << "group items choose nothing";
  EXPECT_EQ(target->executeMenuItem(99), kResultFalse);
  EXPECT_EQ(target->executeMenuItem(-1), kResultFalse);
  EXPECT_EQ(log, (EventLog{"ctx:1 knob", "ctx:3 knob"}));

  EXPECT_STREQ(target->isA(), "IControl");
  EXPECT_TRUE(target->isTypeOf("FObject", true));
  EXPECT_FALSE(target->isTypeOf("FObject", false));
  IContextMenuTarget* asked = nullptr;
  EXPECT_EQ(target->queryInterface(IContextMenuTarget::iid, reinterpret_cast<void**>(&asked)), kResultOk);
  EXPECT_EQ(asked, target);
  asked->release();
  target->release();
}

TEST(HostContextMenu, ShowsTheHostMenuAtTheScaledPointAndGivesEverythingBack)
{
  EventLog log;
  LoggingControl control({0, 0, 10, 10}, {0}, log, "knob");
  IPopupMenu menu;
  menu.AddItem("Mine");
  CPluginView view;
  ContextMenuHandler handler;
  // The user picks the control's item while the menu is up.
  handler.menu.onPopup = [](RecordingContextMenu& m) { m.Choose(0); };

  ShowHostParamContextMenu(handler, view, 0x05B6998A, control, menu, 10.7f, 20.3f, 1.5f);
  ASSERT_EQ(handler.requests.size(), 1u);
  EXPECT_EQ(handler.requests[0].view, static_cast<IPlugView*>(&view));
  EXPECT_EQ(handler.requests[0].id, 0x05B6998Au);
  ASSERT_EQ(handler.menu.popups.size(), 1u);
  EXPECT_EQ(handler.menu.popups[0], std::make_pair(UCoord{16}, UCoord{30}));
  EXPECT_EQ(log, EventLog{"ctx:0 knob"});
  EXPECT_EQ(handler.refs, 1u);
  EXPECT_EQ(handler.menu.refs, 1u);

  // The host keeps the target past the popup: a late choice reaches nothing.
  EXPECT_EQ(handler.menu.Choose(0), kResultFalse);
  EXPECT_EQ(log.size(), 1u);

  // No menus offered, or none returned: nothing shown, nothing held.
  handler.offersMenus = false;
  ShowHostParamContextMenu(handler, view, 1, control, menu, 1, 1, 1);
  handler.offersMenus = true;
  handler.returnsMenu = false;
  ShowHostParamContextMenu(handler, view, 1, control, menu, 1, 1, 1);
  EXPECT_EQ(handler.requests.size(), 2u);
  EXPECT_EQ(handler.menu.popups.size(), 1u);
  EXPECT_EQ(handler.refs, 1u);
}
