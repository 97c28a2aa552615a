#include "framework/vst3/HostContextMenu.h"

#include "framework/vst3/Vst3Strings.h"

#include "pluginterfaces/base/smartpointer.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

void HostContextMenuTarget::MapTag(int32 tag, igraphics::IPopupMenu* menu, int itemIdx)
{
  if (tag < 0) return;
  if (mItems.size() <= static_cast<size_t>(tag)) mItems.resize(static_cast<size_t>(tag) + 1, {nullptr, -1});
  mItems[static_cast<size_t>(tag)] = {menu, itemIdx};
}

void HostContextMenuTarget::CutLoose()
{
  mControl = nullptr;
  mItems.clear();
}

tresult PLUGIN_API HostContextMenuTarget::executeMenuItem(int32 tag)
{
  try
  {
    if (!mControl || tag < 0 || static_cast<size_t>(tag) >= mItems.size()) return kResultFalse;
    const auto [menu, itemIdx] = mItems[static_cast<size_t>(tag)];
    if (!menu) return kResultFalse;
    menu->SetChosenItemIdx(itemIdx);
    menu->ExecFunction();
    mControl->OnContextMenuChoice(itemIdx);
    return kResultOk;
  }
  catch (...)
  {
    return kResultFalse;
  }
}

void AddHostContextMenuItems(igraphics::IPopupMenu& menu, IContextMenu& hostMenu,
                             HostContextMenuTarget& target, int32& nextTag)
{
  using igraphics::IMenuEntry;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const IMenuEntry* entry = menu.GetItem(i);
    if (!entry) continue;
    IContextMenuItem item = {};
    WidenAscii(entry->GetText(), item.name, 128);
    item.tag = nextTag++;
    if (entry->GetIsSeparator())
      item.flags = IContextMenuItem::kIsSeparator;
    else if (igraphics::IPopupMenu* submenu = entry->GetSubmenu())
    {
      item.flags = IContextMenuItem::kIsGroupStart;
      hostMenu.addItem(item, &target);
      AddHostContextMenuItems(*submenu, hostMenu, target, nextTag);
      item.tag = nextTag++;
      item.flags = IContextMenuItem::kIsGroupEnd;
    }
    else
    {
      item.flags = (entry->GetEnabled() ? 0 : IContextMenuItem::kIsDisabled) |
                   (entry->GetChecked() ? IContextMenuItem::kIsChecked : 0);
      target.MapTag(item.tag, &menu, i);
    }
    hostMenu.addItem(item, &target);
  }
}

void ShowHostParamContextMenu(IComponentHandler& handler, IPlugView& view, ParamID paramId,
                              igraphics::IControl& control, igraphics::IPopupMenu& menu, float x, float y,
                              float scale)
{
  IComponentHandler3* offered = nullptr;
  if (handler.queryInterface(IComponentHandler3::iid, reinterpret_cast<void**>(&offered)) != kResultOk ||
      !offered)
    return;
  const IPtr<IComponentHandler3> handler3 = owned(offered);
  const IPtr<IContextMenu> hostMenu = owned(handler3->createContextMenu(&view, &paramId));
  if (!hostMenu) return;

  const IPtr<HostContextMenuTarget> target = owned(new HostContextMenuTarget(&control));
  struct CutLooseOnExit
  {
    HostContextMenuTarget& target;
    ~CutLooseOnExit() { target.CutLoose(); }
  } cutLoose{*target};
  int32 tag = 0;
  AddHostContextMenuItems(menu, *hostMenu, *target, tag);
  // Blocks until the user has chosen; a choice of the control's items arrives through the target.
  hostMenu->popup(static_cast<UCoord>(x * scale), static_cast<UCoord>(y * scale));
}

} // namespace iplug
