#include "framework/vst3/HostContextMenu.h"

#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/vst3/RecordingContextMenu.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace iplug;
using namespace iplug::igraphics;
using namespace iplug::igraphics::gfxtest;

TEST(HostContextMenu, AddsEntriesWithRunningTagsAndMapsTagsBackToTheirItems)
{
  EventLog log;
  LoggingControl control({0, 0, 10, 10}, {0}, log, "knob");
  // A, S {B, C}, separator, D; disabled, checked and both among them.
  IPopupMenu menu;
  menu.AddItem("A", IMenuEntry::kDisabled);
  auto* sub = new IPopupMenu();
  sub->AddItem("B", IMenuEntry::kChecked);
  sub->AddItem("C", IMenuEntry::kDisabled | IMenuEntry::kChecked);
  menu.AddItem(new IMenuEntry("S", sub));
  menu.AddSeparator();
  menu.AddItem("D");
  quorvel::test::RecordingContextMenu host;
  auto* target = new HostContextMenuTarget(&control);
  int32 tag = 0;
  AddHostContextMenuItems(menu, host, *target, tag);

  const std::pair<const char16_t*, int32> expected[] = {{u"A", 2},  {u"S", 10}, {u"B", 4}, {u"C", 6},
                                                        {u"S", 17}, {u"", 1},   {u"D", 0}};
  ASSERT_EQ(host.items.size(), std::size(expected));
  for (size_t i = 0; i < host.items.size(); ++i)
  {
    EXPECT_EQ(host.items[i].name, expected[i].first) << i;
    EXPECT_EQ(host.items[i].tag, static_cast<int32>(i));
    EXPECT_EQ(host.items[i].flags, expected[i].second) << i;
    EXPECT_EQ(host.items[i].target.get(), target);
  }

  // C is tag 3 but item 1 of the submenu, D tag 6 but item 3; group items choose nothing.
  EXPECT_EQ(host.Choose(3), kResultOk);
  EXPECT_EQ(sub->GetChosenItemIdx(), 1);
  EXPECT_EQ(host.Choose(6), kResultOk);
  EXPECT_EQ(menu.GetChosenItemIdx(), 3);
  for (int32 bad : {1, 99, -1})
    EXPECT_EQ(target->executeMenuItem(bad), kResultFalse);
  EXPECT_EQ(log, (EventLog{"ctx:1 knob", "ctx:3 knob"}));

  EXPECT_STREQ(target->isA(), "IControl");
  EXPECT_TRUE(target->isTypeOf("FObject", true) && !target->isTypeOf("FObject", false));
  target->release();
}
