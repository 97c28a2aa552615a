#include "framework/core/Timer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace iplug
{
namespace
{
using Clock = std::chrono::steady_clock;

// The same floor as Windows thread timers, so that both builds tick alike.
constexpr int32_t kMinimumIntervalMs = 10;

// Without system thread timers, one process-wide thread plays the UI thread: it sleeps
// until the earliest timer is due and dispatches its tick. The schedule lock is never
// held while a tick is dispatched, so callbacks may start and stop timers freely.
class TimerThread
{
public:
  ~TimerThread()
  {
    {
      std::lock_guard<std::mutex> guard(mLock);
      mQuit = true;
    }
    mWake.notify_all();
    if (mThread.joinable()) mThread.join();
  }

  uintptr_t Add(int32_t intervalMs)
  {
    std::lock_guard<std::mutex> guard(mLock);
    if (mQuit) return 0;
    if (!mThread.joinable()) mThread = std::thread([this] { Run(); });
    const auto interval = std::chrono::milliseconds(std::max(intervalMs, kMinimumIntervalMs));
    // Ids are never reused, so a tick already on its way cannot reach a newer timer.
    const uintptr_t id = mNextId++;
    mEntries.push_back({id, interval, Clock::now() + interval});
    mWake.notify_all();
    return id;
  }

  void Remove(uintptr_t id)
  {
    std::lock_guard<std::mutex> guard(mLock);
    mEntries.erase(
        std::remove_if(mEntries.begin(), mEntries.end(), [id](const Entry& e) { return e.id == id; }),
        mEntries.end());
  }

private:
  struct Entry
  {
    uintptr_t id;
    Clock::duration interval;
    Clock::time_point due;
  };

  void Run()
  {
    std::unique_lock<std::mutex> guard(mLock);
    while (!mQuit)
    {
      if (mEntries.empty())
      {
        mWake.wait(guard);
        continue;
      }
      auto next = std::min_element(mEntries.begin(), mEntries.end(),
                                   [](const Entry& a, const Entry& b) { return a.due < b.due; });
      const Clock::time_point now = Clock::now();
      if (now < next->due)
      {
        mWake.wait_until(guard, next->due);
        continue;
      }
      // A late timer skips the ticks it missed instead of firing them in a burst.
      next->due += next->interval;
      if (next->due <= now) next->due = now + next->interval;
      const uintptr_t id = next->id;
      guard.unlock();
      try
      {
        DispatchTimerTick(id);
      }
      catch (...)
      {
        // A throwing callback must not end the process from this thread.
      }
      guard.lock();
    }
  }

  std::mutex mLock;
  std::condition_variable mWake;
  std::vector<Entry> mEntries;
  uintptr_t mNextId = 1;
  bool mQuit = false;
  std::thread mThread;
};

TimerThread& TheTimerThread()
{
  static TimerThread thread;
  return thread;
}
} // namespace

namespace detail
{
uintptr_t StartSystemTimer(int32_t intervalMs)
{
  return TheTimerThread().Add(intervalMs);
}

void KillSystemTimer(uintptr_t id)
{
  TheTimerThread().Remove(id);
}
} // namespace detail
} // namespace iplug
