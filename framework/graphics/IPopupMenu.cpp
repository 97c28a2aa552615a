#include "framework/graphics/IPopupMenu.h"

namespace iplug::igraphics
{

IMenuEntry::IMenuEntry(const char* text, int32_t flags, int32_t tag)
    : mText(text ? text : ""), mFlags(flags), mTag(tag)
{
}

IMenuEntry::IMenuEntry(const char* text, IPopupMenu* submenu, int32_t flags, int32_t tag)
    : mText(text ? text : ""), mSubmenu(submenu), mFlags(flags), mTag(tag)
{
}

IMenuEntry::~IMenuEntry()
{
  delete mSubmenu;
}

IPopupMenu::IPopupMenu(const char* title, std::initializer_list<const char*> items,
                       PopupMenuCallback callback)
    : mCallback(std::move(callback)), mTitle(title ? title : "")
{
  for (const char* text : items)
    AddItem(text);
}

IPopupMenu::~IPopupMenu()
{
  DeleteItems();
}

IMenuEntry* IPopupMenu::AddItem(IMenuEntry* item)
{
  mItems.push_back(item);
  return item;
}

IMenuEntry* IPopupMenu::AddItem(const char* text, int32_t flags, int32_t tag)
{
  return AddItem(new IMenuEntry(text, flags, tag));
}

IMenuEntry* IPopupMenu::AddSeparator()
{
  return AddItem(new IMenuEntry("", IMenuEntry::kSeparator));
}

IMenuEntry* IPopupMenu::GetItem(int index) const
{
  if (index < 0 || index >= NItems()) return nullptr;
  return mItems[static_cast<size_t>(index)];
}

void IPopupMenu::ClearItems(bool resetState)
{
  if (resetState)
  {
    mChosenIdx = -1;
    mPrefix = 0;
    mFurtherState = 0;
  }
  DeleteItems();
}

void IPopupMenu::DeleteItems()
{
  // Last to first, each submenu with its item.
  while (!mItems.empty())
  {
    delete mItems.back();
    mItems.pop_back();
  }
}

} // namespace iplug::igraphics
