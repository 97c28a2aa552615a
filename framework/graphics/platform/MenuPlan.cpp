#include "framework/graphics/platform/MenuPlan.h"

#include <cstdio>

namespace iplug::igraphics
{

namespace
{
constexpr size_t kNumberedLabelField = 50;
constexpr int kNoColumnsFrom = 160;

// Longest prefix of text within maxBytes that does not split a UTF-8 sequence.
size_t CutAtCharacter(const std::string& text, size_t maxBytes)
{
  if (text.size() <= maxBytes) return text.size();
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    cut--;
  return cut;
}
} // namespace

std::string MenuItemLabel(const char* text, int prefixMode, int index)
{
  std::string label = text ? text : "";
  if (prefixMode >= 1 && prefixMode <= 3)
  {
    static const char* const kFormats[] = {"%1d: ", "%02d: ", "%03d: "};
    char number[32];
    std::snprintf(number, sizeof(number), kFormats[prefixMode - 1], index + 1);
    label = number + label;
    label.resize(CutAtCharacter(label, kNumberedLabelField - 1));
  }
  std::string shown;
  shown.reserve(label.size());
  for (char c : label)
  {
    shown += c;
    if (c == '&') shown += '&';
  }
  return shown;
}

uint32_t MenuItemFlags(int itemCount, int itemsPerColumn, int index, int32_t entryFlags)
{
  uint32_t flags = 0;
  if (itemCount < kNoColumnsFrom && itemsPerColumn > 0 && index > 0 && index % itemsPerColumn == 0)
    flags |= kMenuColumnBreak;
  if (entryFlags & IMenuEntry::kDisabled) flags |= kMenuGrayed;
  if (entryFlags & IMenuEntry::kInert) flags |= kMenuDisabled;
  if (entryFlags & IMenuEntry::kChecked) flags |= kMenuChecked;
  return flags;
}

MenuPlan PlanMenu(const IPopupMenu& menu, int& counter)
{
  MenuPlan plan;
  const int n = menu.NItems();
  const int base = counter;
  counter += n;
  plan.items.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; i++)
  {
    const IMenuEntry* entry = menu.GetItem(i);
    MenuPlanItem& item = plan.items[static_cast<size_t>(i)];
    if (entry->GetIsSeparator())
    {
      item.separator = true;
      continue;
    }
    item.label = MenuItemLabel(entry->GetText(), menu.GetPrefix(), i);
    item.flags = MenuItemFlags(n, menu.GetItemsPerColumn(), i, entry->GetFlags());
    if (const IPopupMenu* sub = entry->GetSubmenu())
      item.submenu = std::make_unique<MenuPlan>(PlanMenu(*sub, counter));
    else
      item.command = base + i;
  }
  return plan;
}

IPopupMenu* FindMenuByCommand(int command, int& index, int& counter, IPopupMenu& menu)
{
  const int start = counter;
  counter += menu.NItems();
  if (command >= start && command < counter)
  {
    index = command - start;
    return &menu;
  }
  for (int i = 0; i < menu.NItems(); i++)
  {
    if (IPopupMenu* sub = menu.GetItem(i)->GetSubmenu())
      if (IPopupMenu* found = FindMenuByCommand(command, index, counter, *sub)) return found;
  }
  return nullptr;
}

} // namespace iplug::igraphics
