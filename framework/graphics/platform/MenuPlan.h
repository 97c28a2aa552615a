#pragma once
// A popup menu laid out the way the native menu is built: labels, menu flags and command ids. Ids come
// from one running counter: a menu takes the next ids for its own items in order, then each submenu
// takes the following ones, depth first. The same walk maps a chosen id back to its (sub)menu.

#include "framework/graphics/IPopupMenu.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace iplug::igraphics
{

// Native menu flag bits.
enum MenuPlanFlags : uint32_t
{
  kMenuGrayed = 0x1,
  kMenuDisabled = 0x2,
  kMenuChecked = 0x8,
  kMenuColumnBreak = 0x20,
};

struct MenuPlan;

struct MenuPlanItem
{
  bool separator = false;
  std::string label; // UTF-8, "&" doubled
  uint32_t flags = 0;
  int command = -1; // -1 for separators and submenus
  std::unique_ptr<MenuPlan> submenu;
};

struct MenuPlan
{
  std::vector<MenuPlanItem> items;
};

// The text shown for item index of a menu numbered with prefix mode 0 (none), 1 ("1: "), 2 ("01: ") or
// 3 ("001: "). A numbered label is cut to 49 bytes (a 50-byte field), at a character boundary.
std::string MenuItemLabel(const char* text, int prefixMode, int index);

// Native flags of one item; menus of 160 or more items never get column breaks.
uint32_t MenuItemFlags(int itemCount, int itemsPerColumn, int index, int32_t entryFlags);

MenuPlan PlanMenu(const IPopupMenu& menu, int& counter);

// The (sub)menu whose item has this command id, with the item's index; null when no item has it.
IPopupMenu* FindMenuByCommand(int command, int& index, int& counter, IPopupMenu& menu);

} // namespace iplug::igraphics
