#pragma once

#include <cstddef>

namespace iplug
{
// A recursive lock: the thread that holds it may enter again, and must leave as often
// as it entered. Its state lives in opaque storage so that this header stays free of
// platform headers; each back end checks that its lock fits.
class Mutex
{
public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Enter();
  void Leave();

  static constexpr size_t kStorageSize = 64;
  static constexpr size_t kStorageAlign = alignof(std::max_align_t);

private:
  alignas(kStorageAlign) unsigned char mStorage[kStorageSize];
};

// Holds a mutex for the scope; a null mutex means no locking.
class ScopedLock
{
public:
  explicit ScopedLock(Mutex* mutex) : mMutex(mutex)
  {
    if (mMutex) mMutex->Enter();
  }
  ~ScopedLock()
  {
    if (mMutex) mMutex->Leave();
  }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

private:
  Mutex* mMutex;
};
} // namespace iplug
