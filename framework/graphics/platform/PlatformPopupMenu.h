#pragma once
// Native popup menus (Windows only): the menu model built into a menu handle, tracked at a point of the
// editor window, and the command it reports mapped back to the (sub)menu and item.

#include "framework/graphics/IPopupMenu.h"
#include "framework/graphics/platform/MenuPlan.h"
#include "framework/graphics/platform/Win32Handles.h"

namespace iplug::igraphics
{

win32::UniqueMenu BuildMenuHandle(const MenuPlan& plan);

// Opens the menu with its top-left corner at the client point and waits for the choice. The (sub)menu
// holding the chosen item gets its chosen index and its callback is called; it is returned. A dismissed
// menu, or a command whose high word is not 0, chooses nothing and gives null.
IPopupMenu* TrackPlatformPopupMenu(HWND window, IPopupMenu& menu, int clientX, int clientY);

} // namespace iplug::igraphics
