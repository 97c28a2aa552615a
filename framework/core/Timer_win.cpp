#include "framework/core/Timer.h"

#include <windows.h>

namespace iplug
{
namespace
{
// Thread timers without a window: they fire in the thread that started them, while it
// dispatches its messages (the UI thread in practice).
void CALLBACK TimerTick(HWND, UINT, UINT_PTR id, DWORD)
{
  // An exception must not unwind through the system's message dispatch.
  try
  {
    DispatchTimerTick(static_cast<uintptr_t>(id));
  }
  catch (...)
  {
  }
}
} // namespace

namespace detail
{
uintptr_t StartSystemTimer(int32_t intervalMs)
{
  const UINT interval = intervalMs > 0 ? static_cast<UINT>(intervalMs) : USER_TIMER_MINIMUM;
  return static_cast<uintptr_t>(SetTimer(nullptr, 0, interval, &TimerTick));
}

void KillSystemTimer(uintptr_t id)
{
  KillTimer(nullptr, static_cast<UINT_PTR>(id));
}
} // namespace detail
} // namespace iplug
