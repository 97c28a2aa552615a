#pragma once

#include "framework/core/HeapBuffer.h"

#include <bit>
#include <cstdint>
#include <type_traits>

namespace iplug
{
// A growable byte chunk that state writers append to and readers read from at a position.
// Values travel in the machine's byte order, which is little-endian on every target we build.
class StateChunk : public HeapBuffer
{
  static_assert(std::endian::native == std::endian::little, "stored state is little-endian");

public:
  StateChunk() : HeapBuffer(kDefaultGranularity) {}

  // Appends n bytes; returns the new size, or -1 when the chunk could not grow.
  int32_t PutBytes(const void* bytes, int32_t n) { return AppendBytes(bytes, n); }

  template <typename T> int32_t Put(const T& value)
  {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values are stored");
    return PutBytes(&value, static_cast<int32_t>(sizeof(T)));
  }

  // Copies n bytes from startPos; returns the position after them, or -1 (and nothing is
  // copied) when startPos is negative or fewer than n bytes remain.
  int32_t GetBytes(void* out, int32_t n, int32_t startPos) const;

  template <typename T> int32_t Get(T& value, int32_t startPos) const
  {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values are stored");
    return GetBytes(&value, static_cast<int32_t>(sizeof(T)), startPos);
  }

  void Clear() { ResizeHeapBuffer(0, true); }
};
} // namespace iplug
