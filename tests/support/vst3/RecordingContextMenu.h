#pragma once

// The host's side of parameter context menus: a component handler that offers IComponentHandler3 and
// records every menu request, and the menu it hands out, which records items and popups. A test can
// make the menu pick one of the added items while it is up, as a user would.

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
  struct Added
  {
    std::u16string name;
    Steinberg::int32 tag;
    Steinberg::int32 flags;
    Steinberg::IPtr<Steinberg::Vst::IContextMenuTarget> target;
  };

  Steinberg::int32 PLUGIN_API getItemCount() override { return static_cast<Steinberg::int32>(items.size()); }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&,
                                        Steinberg::Vst::IContextMenuTarget**) override
  {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API addItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) override
  {
    items.push_back({reinterpret_cast<const char16_t*>(item.name), item.tag, item.flags, target});
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override
  {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override
  {
    popups.emplace_back(x, y);
    if (onPopup) onPopup(*this);
    return Steinberg::kResultOk;
  }

  // Executes the item with this tag through its target, as a host does for a plug-in's item.
  Steinberg::tresult Choose(Steinberg::int32 tag)
  {
    for (Added& item : items)
      if (item.tag == tag && item.target) return item.target->executeMenuItem(tag);
    return Steinberg::kResultFalse;
  }

  std::vector<Added> items; // keeps the targets, as a host may
  std::vector<std::pair<Steinberg::UCoord, Steinberg::UCoord>> popups;
  std::function<void(RecordingContextMenu&)> onPopup;
};

class ContextMenuHandler : public ComponentHandlerRecorder
{
public:
  struct Request
  {
    Steinberg::IPlugView* view;
    Steinberg::Vst::ParamID id;
  };

  // Answers IComponentHandler3 only when offersMenus is set.
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
  {
    if (offersMenus && Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::Vst::IComponentHandler3::iid))
    {
      addRef();
      *obj = &mMenus;
      return Steinberg::kResultOk;
    }
    return ComponentHandlerRecorder::queryInterface(iid, obj);
  }

  bool offersMenus = true;
  bool returnsMenu = true;
  RecordingContextMenu menu;
  std::vector<Request> requests;

private:
  struct Menus : Steinberg::Vst::IComponentHandler3
  {
    explicit Menus(ContextMenuHandler& h) : handler(h) {}
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
    {
      return handler.queryInterface(iid, obj);
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return handler.addRef(); }
    Steinberg::uint32 PLUGIN_API release() override { return handler.release(); }
    Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                               const Steinberg::Vst::ParamID* id) override
    {
      handler.requests.push_back({view, id ? *id : ~0u});
      if (!handler.returnsMenu) return nullptr;
      handler.menu.addRef();
      return &handler.menu;
    }
    ContextMenuHandler& handler;
  };
  Menus mMenus{*this};
};

} // namespace quorvel::test
