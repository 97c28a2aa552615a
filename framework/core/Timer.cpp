#include "framework/core/Timer.h"

#include "framework/core/Mutex.h"
#include "framework/core/PointerList.h"

namespace iplug
{
namespace
{
// The running timers (not owned: their callers own them) and the lock that guards the
// list and every callback. Built on first use so that timers started during static
// initialisation find it.
struct RunningTimers
{
  ~RunningTimers() { list.DeleteAll(false); }
  Mutex lock;
  PointerList<Timer_impl> list;
};

RunningTimers& Running()
{
  static RunningTimers running;
  return running;
}
} // namespace

Timer* Timer::StartTimer(Callback callback, int32_t intervalMs)
{
  auto* timer = new Timer_impl(std::move(callback), intervalMs);
  timer->Start();
  return timer;
}

Timer_impl::Timer_impl(Callback callback, int32_t intervalMs)
    : mCallback(std::make_shared<Callback>(std::move(callback))), mIntervalMs(intervalMs)
{
}

Timer_impl::~Timer_impl()
{
  StopTimer();
}

void Timer_impl::Start()
{
  RunningTimers& running = Running();
  ScopedLock lock(&running.lock);
  if (mId != 0) return;
  const uintptr_t id = detail::StartSystemTimer(mIntervalMs);
  if (id == 0) return;
  if (!running.list.Add(this))
  {
    // Unlisted, its ticks could never find it: better not to run at all.
    detail::KillSystemTimer(id);
    return;
  }
  mId = id;
}

// The lock is taken first: the timer may be stopped by its own callback on the timer
// thread while its owner stops or deletes it on another.
void Timer_impl::StopTimer()
{
  RunningTimers& running = Running();
  ScopedLock lock(&running.lock);
  if (mId == 0) return;
  detail::KillSystemTimer(mId);
  running.list.Delete(running.list.Find(this), false);
  mId = 0;
}

void DispatchTimerTick(uintptr_t id)
{
  if (id == 0) return;
  RunningTimers& running = Running();
  ScopedLock lock(&running.lock);
  const int32_t count = running.list.GetCount();
  for (int32_t i = 0; i < count; ++i)
  {
    Timer_impl* timer = running.list.Get(i);
    if (timer->mId == id)
    {
      // The timer may be stopped or deleted by its own callback: nothing of it is
      // touched after the call, and the callable outlives it.
      const std::shared_ptr<Timer::Callback> callback = timer->mCallback;
      if (*callback) (*callback)(*timer);
      return;
    }
  }
}

namespace detail
{
int32_t CountRunningTimers()
{
  RunningTimers& running = Running();
  ScopedLock lock(&running.lock);
  return running.list.GetCount();
}
} // namespace detail
} // namespace iplug
