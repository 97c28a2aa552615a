#pragma once
// A platform-neutral popup menu: the items, the chosen index and the completion callback. Presenters (the
// platform menu, the host's context menu) fill in the choice and call the callback of the menu that holds
// the chosen item.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace iplug::igraphics
{

class IPopupMenu;
using PopupMenuCallback = std::function<void(IPopupMenu* menu)>;

// Owns its submenu; not copyable because a copy would share it.
class IMenuEntry
{
public:
  enum EFlags : int32_t
  {
    kNoFlags = 0,
    kDisabled = 1,
    kInert = 2, // not selectable, drawn like an enabled item
    kChecked = 4,
    kSeparator = 8,
  };

  explicit IMenuEntry(const char* text, int32_t flags = kNoFlags, int32_t tag = -1);
  // Takes ownership of the submenu.
  IMenuEntry(const char* text, IPopupMenu* submenu, int32_t flags = kNoFlags, int32_t tag = -1);
  ~IMenuEntry();

  IMenuEntry(const IMenuEntry&) = delete;
  IMenuEntry& operator=(const IMenuEntry&) = delete;

  const char* GetText() const { return mText.c_str(); }
  void SetText(const char* text) { mText = text ? text : ""; }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int32_t GetFlags() const { return mFlags; }
  void SetFlags(int32_t flags) { mFlags = flags; }
  int32_t GetTag() const { return mTag; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }

private:
  std::string mText;
  IPopupMenu* mSubmenu = nullptr;
  int32_t mFlags = kNoFlags;
  int32_t mTag = -1;
};

class IPopupMenu
{
public:
  IPopupMenu(const char* title = nullptr, std::initializer_list<const char*> items = {},
             PopupMenuCallback callback = nullptr);
  virtual ~IPopupMenu();

  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Takes ownership of the item; returns it.
  IMenuEntry* AddItem(IMenuEntry* item);
  IMenuEntry* AddItem(const char* text, int32_t flags = IMenuEntry::kNoFlags, int32_t tag = -1);
  IMenuEntry* AddSeparator();

  int NItems() const { return static_cast<int>(mItems.size()); }
  IMenuEntry* GetItem(int index) const;

  // With resetState the choice and prefix style go back to their defaults; items per column stays.
  void ClearItems(bool resetState = true);

  int32_t GetChosenItemIdx() const { return mChosenIdx; }
  void SetChosenItemIdx(int32_t index) { mChosenIdx = index; }
  IMenuEntry* GetChosenItem() const { return GetItem(mChosenIdx); }

  const char* GetTitle() const { return mTitle.c_str(); }
  void SetTitle(const char* title) { mTitle = title ? title : ""; }

  int32_t GetPrefix() const { return mPrefix; }
  void SetPrefix(int32_t style) { mPrefix = style; }
  int32_t GetItemsPerColumn() const { return mItemsPerColumn; }
  void SetItemsPerColumn(int32_t n) { mItemsPerColumn = n; }

  void SetFunction(PopupMenuCallback callback) { mCallback = std::move(callback); }
  const PopupMenuCallback& GetFunction() const { return mCallback; }
  // Called by presenters once the choice is stored.
  void ExecFunction()
  {
    if (mCallback) mCallback(this);
  }

private:
  void DeleteItems();

  int32_t mItemsPerColumn = 0;
  int32_t mPrefix = 0;
  int32_t mChosenIdx = -1;
  int32_t mFurtherState = 0;
  std::vector<IMenuEntry*> mItems;
  PopupMenuCallback mCallback;
  std::string mTitle;
};

} // namespace iplug::igraphics
