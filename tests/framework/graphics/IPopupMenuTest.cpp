#include "framework/graphics/IPopupMenu.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

// Counts live menus so that the nested ownership can be checked without a leak checker.
struct CountingMenu : IPopupMenu
{
  static int alive;
  explicit CountingMenu(const char* title = nullptr) : IPopupMenu(title) { alive++; }
  ~CountingMenu() override { alive--; }
};
int CountingMenu::alive = 0;

TEST(IPopupMenuTest, BuildsItemsFromTexts)
{
  IPopupMenu menu("Model", {"Tube", "Tape", "Diode Clip"});
  EXPECT_STREQ(menu.GetTitle(), "Model");
  ASSERT_EQ(menu.NItems(), 3);
  for (int i = 0; i < 3; i++)
  {
    EXPECT_EQ(menu.GetItem(i)->GetFlags(), 0);
    EXPECT_EQ(menu.GetItem(i)->GetTag(), -1);
    EXPECT_EQ(menu.GetItem(i)->GetSubmenu(), nullptr);
  }
  EXPECT_STREQ(menu.GetItem(1)->GetText(), "Tape");
  EXPECT_EQ(menu.GetItem(3), nullptr);
  EXPECT_EQ(menu.GetItem(-1), nullptr);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);

  IMenuEntry fromNull(nullptr);
  EXPECT_STREQ(fromNull.GetText(), "");
}

TEST(IPopupMenuTest, ClearingResetsTheChoiceButKeepsTheColumns)
{
  IPopupMenu menu(nullptr, {"a", "b"});
  menu.SetItemsPerColumn(5);
  menu.SetPrefix(2);
  menu.SetChosenItemIdx(1);
  menu.ClearItems(false);
  EXPECT_EQ(menu.NItems(), 0);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  menu.AddItem("c");
  menu.ClearItems(true);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(menu.GetPrefix(), 0);
  EXPECT_EQ(menu.GetItemsPerColumn(), 5);
}

TEST(IPopupMenuTest, NestedSubmenusAreFreedWithTheirMenu)
{
  {
    CountingMenu top;
    auto* middle = new CountingMenu("middle");
    auto* bottom = new CountingMenu("bottom");
    bottom->AddItem("leaf");
    middle->AddItem(new IMenuEntry("deeper", bottom));
    top.AddItem(new IMenuEntry("sub", middle));
    EXPECT_EQ(CountingMenu::alive, 3);
    top.ClearItems();
    EXPECT_EQ(CountingMenu::alive, 1);
    top.AddItem(new IMenuEntry("again", new CountingMenu()));
    EXPECT_EQ(CountingMenu::alive, 2);
  }
  EXPECT_EQ(CountingMenu::alive, 0);
}

TEST(IPopupMenuTest, CallbackReceivesTheMenu)
{
  IPopupMenu* seen = nullptr;
  IPopupMenu menu(nullptr, {"x"}, [&seen](IPopupMenu* m) { seen = m; });
  menu.SetChosenItemIdx(0);
  menu.ExecFunction();
  EXPECT_EQ(seen, &menu);
  EXPECT_EQ(menu.GetChosenItem(), menu.GetItem(0));
}

} // namespace
} // namespace iplug::igraphics
