#include "framework/graphics/platform/PlatformPopupMenu.h"

#include "framework/core/Utf16Conversion.h"

namespace iplug::igraphics
{

namespace
{
const wchar_t* Wide(const HeapBuffer& buffer)
{
  return buffer.GetAs<const wchar_t>();
}
} // namespace

win32::UniqueMenu BuildMenuHandle(const MenuPlan& plan)
{
  win32::UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  for (const MenuPlanItem& item : plan.items)
  {
    if (item.separator)
    {
      AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const HeapBuffer label = Utf8ToWide(item.label.c_str());
    if (item.submenu)
    {
      win32::UniqueMenu sub = BuildMenuHandle(*item.submenu);
      // The parent owns an appended submenu and destroys it with itself.
      if (sub &&
          AppendMenuW(menu.Get(), item.flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), Wide(label)))
        sub.Release();
    }
    else
    {
      AppendMenuW(menu.Get(), item.flags, static_cast<UINT_PTR>(item.command), Wide(label));
    }
  }
  return menu;
}

IPopupMenu* TrackPlatformPopupMenu(HWND window, IPopupMenu& menu, int clientX, int clientY)
{
  int counter = 0;
  const win32::UniqueMenu handle = BuildMenuHandle(PlanMenu(menu, counter));
  if (!handle) return nullptr;
  POINT point{clientX, clientY};
  ClientToScreen(window, &point);
  if (!TrackPopupMenu(handle.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, point.x, point.y, 0,
                      window, nullptr))
    return nullptr;
  MSG msg{};
  if (!PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) || HIWORD(msg.wParam) != 0)
    return nullptr;
  int index = -1;
  int start = 0;
  IPopupMenu* chosen = FindMenuByCommand(LOWORD(msg.wParam), index, start, menu);
  if (!chosen) return nullptr;
  chosen->SetChosenItemIdx(index);
  chosen->ExecFunction();
  return chosen;
}

} // namespace iplug::igraphics
