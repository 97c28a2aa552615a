#pragma once

// The host's side of parameter context menus: a component handler that may offer IComponentHandler3 and
// records each menu request, and the menu it hands out, which records items and popups and keeps the
// targets, as hosts may. onPopup acts while the menu is up, as a user would.

#include "tests/support/vst3/ComponentHandlerRecorder.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::test
{

class RecordingContextMenu : public HostObject<Steinberg::Vst::IContextMenu>
{
public:
  using Target = Steinberg::Vst::IContextMenuTarget;
  struct Added
  {
    std::u16string name;
    Steinberg::int32 tag, flags;
    Steinberg::IPtr<Target> target;
  };

  Steinberg::int32 PLUGIN_API getItemCount() override { return static_cast<Steinberg::int32>(items.size()); }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&, Target**) override { return 1; }
  Steinberg::tresult PLUGIN_API removeItem(const Item&, Target*) override { return 1; }
  Steinberg::tresult PLUGIN_API addItem(const Item& item, Target* target) override
  {
    items.push_back({reinterpret_cast<const char16_t*>(item.name), item.tag, item.flags, target});
    return 0;
  }
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override
  {
    popups.emplace_back(x, y);
    if (onPopup) onPopup(*this);
    return 0;
  }
  // Executes the item with this tag through its target, as a host does for a plug-in's item.
  Steinberg::tresult Choose(Steinberg::int32 tag)
  {
    for (Added& item : items)
      if (item.tag == tag) return item.target->executeMenuItem(tag);
    return 1;
  }

  std::vector<Added> items;
  std::vector<std::pair<Steinberg::UCoord, Steinberg::UCoord>> popups;
  std::function<void(RecordingContextMenu&)> onPopup;
};

class ContextMenuHandler : public ComponentHandlerRecorder, public Steinberg::Vst::IComponentHandler3
{
public:
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
  {
    if (!offersMenus || !Steinberg::FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid))
      return ComponentHandlerRecorder::queryInterface(iid, obj);
    *obj = static_cast<IComponentHandler3*>(this);
    return addRef(), 0;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return ComponentHandlerRecorder::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return ComponentHandlerRecorder::release(); }
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* id) override
  {
    requests.emplace_back(view, *id);
    return returnsMenu ? (menu.addRef(), &menu) : nullptr;
  }

  bool offersMenus = true, returnsMenu = true;
  RecordingContextMenu menu;
  std::vector<std::pair<Steinberg::IPlugView*, Steinberg::Vst::ParamID>> requests;
};

} // namespace quorvel::test
