#include "framework/graphics/platform/MenuPlan.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

TEST(MenuPlan, LabelsAreNumberedCappedAndShowAmpersands)
{
  const struct
  {
    const char* text;
    int prefix, index;
    std::string label;
  } cases[] = {
      {"Tube", 0, 4, "Tube"},      {"Tube", 1, 4, "5: Tube"}, {"Tube", 2, 11, "12: Tube"},
      {"Tube", 3, 0, "001: Tube"}, {"A & B", 0, 0, "A && B"}, {"&", 2, 0, "01: &&"},
      {nullptr, 0, 0, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MenuItemLabel(c.text, c.prefix, c.index), c.label) << c.label;

  const std::string longText(80, 'x');
  EXPECT_EQ(MenuItemLabel(longText.c_str(), 2, 0), "01: " + std::string(45, 'x'));
  EXPECT_EQ(MenuItemLabel(longText.c_str(), 0, 0), longText); // only numbered labels are capped
  // The cap never splits a character: "Ω" is two bytes and would straddle byte 49.
  const std::string omegas = "01: " + std::string(44, 'x') + "\xCE\xA9";
  EXPECT_EQ(MenuItemLabel((std::string(44, 'x') + "\xCE\xA9").c_str(), 2, 0), omegas.substr(0, 48));
}

TEST(MenuPlan, FlagsAndColumnBreaks)
{
  EXPECT_EQ(MenuItemFlags(12, 4, 4, IMenuEntry::kChecked), kMenuColumnBreak | kMenuChecked);
  EXPECT_EQ(MenuItemFlags(12, 4, 0, IMenuEntry::kDisabled), kMenuGrayed);
  EXPECT_EQ(MenuItemFlags(12, 4, 5, IMenuEntry::kInert), kMenuDisabled);
  EXPECT_EQ(MenuItemFlags(12, 0, 4, 0), 0u);
  for (int i = 1; i < 160; i++)
    EXPECT_EQ(MenuItemFlags(160, 10, i, 0), 0u) << i;
  EXPECT_EQ(MenuItemFlags(159, 10, 150, 0), kMenuColumnBreak);
}

TEST(MenuPlan, CommandIdsContinueIntoSubmenusAndMapBack)
{
  IPopupMenu top(nullptr, {"one"});
  auto* sub = new IPopupMenu(nullptr, {"a", "b"});
  top.AddItem(new IMenuEntry("more", sub));
  top.AddItem("three");
  top.AddSeparator();

  int counter = 0;
  EXPECT_TRUE(PlanMenu(top, counter).items[3].separator);
  EXPECT_EQ(counter, 6); // four items of the top menu, then the two of its submenu

  // The example of three items whose second holds two: the submenu's items are 3 and 4.
  IPopupMenu three(nullptr, {"one"});
  three.AddItem(new IMenuEntry("more", new IPopupMenu(nullptr, {"a", "b"})));
  three.AddItem("three");
  counter = 0;
  const MenuPlan threePlan = PlanMenu(three, counter);
  EXPECT_EQ(threePlan.items[1].submenu->items[0].command, 3);
  EXPECT_EQ(threePlan.items[1].submenu->items[1].command, 4);

  const struct
  {
    int command;
    IPopupMenu* menu;
    int index;
  } lookups[] = {{0, &top, 0}, {2, &top, 2}, {4, sub, 0}, {5, sub, 1}, {6, nullptr, -1}, {-1, nullptr, -1}};
  for (const auto& l : lookups)
  {
    int index = -1;
    int start = 0;
    EXPECT_EQ(FindMenuByCommand(l.command, index, start, top), l.menu) << l.command;
    EXPECT_EQ(index, l.index) << l.command;
  }
}

} // namespace
} // namespace iplug::igraphics
