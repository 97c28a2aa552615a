#include "framework/graphics/platform/PlatformPopupMenu.h"

#include <gtest/gtest.h>

#include <string>

namespace iplug::igraphics
{
namespace
{

std::wstring ItemText(HMENU menu, int pos)
{
  wchar_t text[64] = {};
  GetMenuStringW(menu, pos, text, 64, MF_BYPOSITION);
  return text;
}

TEST(PlatformPopupMenu, MenuHandleHoldsLabelsFlagsAndSubmenus)
{
  IPopupMenu top(nullptr, {"A & B"});
  top.GetItem(0)->SetFlags(IMenuEntry::kChecked);
  top.AddItem(new IMenuEntry("Ω more", new IPopupMenu(nullptr, {"x", "y"})));
  top.AddItem("off", IMenuEntry::kDisabled);
  top.AddSeparator();
  int counter = 0;
  const win32::UniqueMenu menu = BuildMenuHandle(PlanMenu(top, counter));
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu.Get()), 4);
  EXPECT_EQ(ItemText(menu.Get(), 0), L"A && B");
  EXPECT_TRUE(GetMenuState(menu.Get(), 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(ItemText(menu.Get(), 1), L"\u03A9 more");
  HMENU sub = GetSubMenu(menu.Get(), 1);
  ASSERT_TRUE(sub);
  EXPECT_EQ(GetMenuItemID(sub, 1), 5u);
  EXPECT_TRUE(GetMenuState(menu.Get(), 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(menu.Get(), 3, MF_BYPOSITION) & MF_SEPARATOR);
}

// Ends the modal menu from a timer: posts the command a user's choice would post (none when < 0).
WPARAM gCommand = 0;
bool gPost = false;
HWND gWindow = nullptr;
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD)
{
  KillTimer(nullptr, id);
  if (gPost) PostMessageW(gWindow, WM_COMMAND, gCommand, 0);
  EndMenu();
}

IPopupMenu* Track(IPopupMenu& menu, bool post, WPARAM command)
{
  gPost = post;
  gCommand = command;
  SetTimer(nullptr, 0, 50, EndMenuSoon);
  return TrackPlatformPopupMenu(gWindow, menu, 10, 20);
}

TEST(PlatformPopupMenu, ChoicesReachTheMenuThatHoldsThemAndDismissalChoosesNothing)
{
  gWindow = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                            nullptr, nullptr);
  ASSERT_TRUE(gWindow);
  int topCalls = 0;
  int subCalls = 0;
  IPopupMenu top(nullptr, {"one"}, [&](IPopupMenu*) { topCalls++; });
  auto* sub = new IPopupMenu(nullptr, {"a", "b"}, [&](IPopupMenu*) { subCalls++; });
  top.AddItem(new IMenuEntry("more", sub));
  top.AddItem("three");

  EXPECT_EQ(Track(top, true, 0), &top);
  EXPECT_EQ(top.GetChosenItemIdx(), 0);
  EXPECT_EQ(topCalls, 1);

  EXPECT_EQ(Track(top, true, 4), sub);
  EXPECT_EQ(sub->GetChosenItemIdx(), 1);
  EXPECT_EQ(subCalls, 1);
  EXPECT_EQ(topCalls, 1);

  top.SetChosenItemIdx(-1);
  EXPECT_EQ(Track(top, false, 0), nullptr);
  EXPECT_EQ(Track(top, true, MAKEWPARAM(2, 1)), nullptr); // an accelerator or control notification
  EXPECT_EQ(top.GetChosenItemIdx(), -1);
  EXPECT_EQ(topCalls, 1);
  DestroyWindow(gWindow);
}

} // namespace
} // namespace iplug::igraphics
