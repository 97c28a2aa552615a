#pragma once

// The host's own context menu for a parameter, shown on a right-click in the editor: the host fills it
// with its items (automation, MIDI learn, ...), the control's own items are added behind them, and a
// choice of one of the control's items comes back to the control. UI thread only.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IPopupMenu.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <utility>
#include <vector>

namespace iplug
{

// What the host calls when the user picks one of the control's items. Hosts keep targets for as long as
// they like, so the control stays free of host interfaces and is reached only through this object, which
// is cut loose once the menu is gone: a late call then reaches nothing.
class HostContextMenuTarget : public Steinberg::FObject, public Steinberg::Vst::IContextMenuTarget
{
public:
  explicit HostContextMenuTarget(igraphics::IControl* control) : mControl(control) {}

  // Records which (sub)menu and item a host tag stands for; tags of group and separator items map to
  // nothing.
  void MapTag(Steinberg::int32 tag, igraphics::IPopupMenu* menu, int itemIdx);
  void CutLoose();

  // Stores the choice in the menu that holds it and hands the item's index in that menu to the control.
  Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) override;

  static Steinberg::FClassID getFClassID() { return "IControl"; }
  Steinberg::FClassID isA() const override { return getFClassID(); }
  bool isA(Steinberg::FClassID s) const override { return isTypeOf(s, false); }
  bool isTypeOf(Steinberg::FClassID s, bool askBaseClass = true) const override
  {
    return classIDsEqual(s, getFClassID()) || (askBaseClass && FObject::isTypeOf(s, true));
  }
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IContextMenuTarget)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  igraphics::IControl* mControl;
  std::vector<std::pair<igraphics::IPopupMenu*, int>> mItems; // by tag
};

// Adds the menu's entries to the host menu in order, submenus as groups. Tags run on from nextTag across
// the whole tree, one per host item, so once a submenu exists a tag is no longer the item's index.
void AddHostContextMenuItems(igraphics::IPopupMenu& menu, Steinberg::Vst::IContextMenu& hostMenu,
                             HostContextMenuTarget& target, Steinberg::int32& nextTag);

// Asks the host for its menu of the parameter, adds the control's items and pops it up at (x, y) editor
// units times scale. Quietly does nothing when the host offers no context menus or returns none. Every
// interface it takes is released before it returns.
void ShowHostParamContextMenu(Steinberg::Vst::IComponentHandler& handler, Steinberg::IPlugView& view,
                              Steinberg::Vst::ParamID paramId, igraphics::IControl& control,
                              igraphics::IPopupMenu& menu, float x, float y, float scale);

} // namespace iplug
