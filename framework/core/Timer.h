#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace iplug
{
// A periodic user-interface timer. The callback runs on the UI thread (on Windows the
// thread that started the timer, while it dispatches messages; elsewhere the process's
// timer thread, which stands in for it) under the process-wide timer lock. That lock is
// recursive, so a callback may start and stop timers, including its own, and may even
// delete its own timer; another thread that starts or stops a timer waits until a
// running callback has returned.
class Timer
{
public:
  using Callback = std::function<void(Timer& timer)>;

  virtual ~Timer() = default;
  virtual void StopTimer() = 0;

  // A running timer owned by the caller, or one that never fires when the system
  // refused a timer.
  static Timer* StartTimer(Callback callback, int32_t intervalMs);
};

class Timer_impl : public Timer
{
public:
  // Does not start: StartTimer constructs and starts.
  Timer_impl(Callback callback, int32_t intervalMs);
  ~Timer_impl() override;
  Timer_impl(const Timer_impl&) = delete;
  Timer_impl& operator=(const Timer_impl&) = delete;

  void StopTimer() override;

  bool IsRunning() const { return mId != 0; }
  int32_t GetIntervalMs() const { return mIntervalMs; }

private:
  friend class Timer;
  friend void DispatchTimerTick(uintptr_t id);
  void Start();

  uintptr_t mId = 0; // the system's timer id; 0 when not running
  // Shared so that a tick can keep the callable alive while the callback deletes its timer.
  std::shared_ptr<Callback> mCallback;
  int32_t mIntervalMs;
};

// Called by the system timer back end when the timer with this id fires: looks the
// timer up in the running list and calls it. Unknown ids do nothing.
void DispatchTimerTick(uintptr_t id);

namespace detail
{
// The back end's system timers. StartSystemTimer returns a non-zero id or 0 on refusal;
// ids are unique among running timers. Each fired tick must end in DispatchTimerTick.
uintptr_t StartSystemTimer(int32_t intervalMs);
void KillSystemTimer(uintptr_t id);
// How many timers are in the running list (for diagnostics and tests).
int32_t CountRunningTimers();
} // namespace detail
} // namespace iplug
