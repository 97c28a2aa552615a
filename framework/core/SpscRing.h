#pragma once

#include "framework/core/HeapBuffer.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

namespace iplug
{
// A fixed ring between exactly one producing thread and one consuming thread, e.g. the
// audio thread and the UI thread. Storage is allocated once, at construction; Push and
// Pop neither allocate nor lock, so either side may be the audio thread.
//
// Of N slots one always stays free, so the ring holds N - 1 entries. A push into a full
// ring drops the new entry. Each index is written by one side only and published with
// release/acquire, which also orders the entry's bytes.
template <typename T> class SpscRing
{
  static_assert(std::is_trivially_copyable_v<T>, "slots are raw heap bytes that are never destroyed");
  static_assert(alignof(T) <= alignof(std::max_align_t), "heap blocks are only so aligned");

public:
  // emptyEntry is what a pop from an empty ring yields.
  explicit SpscRing(int32_t slots, const T& emptyEntry = T{}) : mEmpty(emptyEntry)
  {
    const int64_t bytes = int64_t{slots} * static_cast<int64_t>(sizeof(T));
    if (slots > 1 && bytes <= INT32_MAX && mStorage.ResizeHeapBuffer(static_cast<int32_t>(bytes)))
      mSlots = static_cast<uint64_t>(slots);
  }
  SpscRing(const SpscRing&) = delete;
  SpscRing& operator=(const SpscRing&) = delete;

  // Producer side. Returns false when the ring was full and the entry was dropped.
  bool Push(const T& entry)
  {
    if (mSlots == 0) return false;
    const uint64_t write = mWrite.load(std::memory_order_relaxed);
    const uint64_t next = (write + 1) % mSlots;
    if (next == mRead.load(std::memory_order_acquire)) return false;
    // Copied as an object, not with memcpy: ThreadSanitizer does not see inlined
    // fixed-size memcpy, and the ordering of these bytes is what the indices guard.
    ::new (static_cast<void*>(Slots() + write)) T(entry);
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  // Consumer side. Takes the oldest entry into out; false (out untouched) when empty.
  bool Pop(T& out)
  {
    const uint64_t read = mRead.load(std::memory_order_relaxed);
    if (read == mWrite.load(std::memory_order_acquire)) return false;
    out = Slots()[read];
    mRead.store((read + 1) % mSlots, std::memory_order_release);
    return true;
  }

  // Consumer side. The oldest entry, or the empty entry without moving anything.
  T Pop()
  {
    T entry = mEmpty;
    Pop(entry);
    return entry;
  }

  // Entries waiting. The other side may move on meanwhile: for the consumer this is a
  // lower bound (more may arrive), for the producer an upper bound.
  int32_t GetPending() const
  {
    const uint64_t read = mRead.load(std::memory_order_acquire);
    const uint64_t write = mWrite.load(std::memory_order_acquire);
    return static_cast<int32_t>(write >= read ? write - read : write + mSlots - read);
  }

  // Number of slots; 0 when the storage could not be allocated (nothing is ever held).
  int32_t GetSlots() const { return static_cast<int32_t>(mSlots); }

private:
  T* Slots() const { return mStorage.GetAs<T>(); }

  HeapBuffer mStorage{HeapBuffer::kDefaultGranularity};
  uint64_t mSlots = 0;
  T mEmpty;
  // Apart, so that the two threads do not fight over one cache line.
  alignas(64) std::atomic<uint64_t> mWrite{0};
  alignas(64) std::atomic<uint64_t> mRead{0};
};
} // namespace iplug
