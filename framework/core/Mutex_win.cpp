#include "framework/core/Mutex.h"

#include <windows.h>

#include <new>

namespace iplug
{
namespace
{
// Critical sections are re-entrant for their owning thread, which the timer relies on:
// a timer callback runs under the timer list lock and may start or stop timers.
static_assert(sizeof(CRITICAL_SECTION) <= Mutex::kStorageSize, "grow Mutex::kStorageSize");
static_assert(alignof(CRITICAL_SECTION) <= Mutex::kStorageAlign, "raise Mutex::kStorageAlign");

CRITICAL_SECTION* Section(unsigned char* storage)
{
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
} // namespace

Mutex::Mutex()
{
  InitializeCriticalSection(new (mStorage) CRITICAL_SECTION);
}

Mutex::~Mutex()
{
  DeleteCriticalSection(Section(mStorage));
}

void Mutex::Enter()
{
  EnterCriticalSection(Section(mStorage));
}

void Mutex::Leave()
{
  LeaveCriticalSection(Section(mStorage));
}
} // namespace iplug
