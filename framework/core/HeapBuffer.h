#pragma once

#include <cstddef>
#include <cstdint>

namespace iplug
{
// A growable heap byte block. Sizes are int32 because stored state, hosts and the
// other containers measure in int32; anything whose capacity would not fit is refused.
//
// Growth never throws: a failed allocation leaves data, size and capacity as they were
// and is reported by the return value (null, false or -1).
class HeapBuffer
{
public:
  static constexpr int32_t kDefaultGranularity = 4096;
  static constexpr int32_t kPageSize = 4096;
  // What the allocator is assumed to keep in front of each block: large blocks are sized
  // so that block plus overhead fill whole pages.
  static constexpr int32_t kAllocatorOverhead = 96;
  static constexpr int32_t kMaxHeadroom = 4 * 1024 * 1024;

  explicit HeapBuffer(int32_t granularity = kDefaultGranularity);
  ~HeapBuffer();
  HeapBuffer(const HeapBuffer& source);
  HeapBuffer& operator=(const HeapBuffer& source) { return AssignHeapBuffer(source); }

  // Sets the size to newSize bytes (negative counts as 0), keeping the first bytes.
  // Returns the data, or null for size 0 or when the block could not grow.
  void* ResizeHeapBuffer(int32_t newSize, bool allowShrink = false);
  void FreeHeapBuffer();

  // Takes the source's size and bytes; when the block cannot grow the size becomes 0
  // and false is returned.
  bool CopyHeapBuffer(const HeapBuffer& source);
  HeapBuffer& AssignHeapBuffer(const HeapBuffer& source);

  // Appends n bytes (which may lie inside this buffer) at the end; returns the new
  // size, or -1 when the block could not grow (nothing is written then).
  int32_t AppendBytes(const void* bytes, int32_t n);

  // Null while the size is 0, even when a block is still allocated.
  void* GetData() const { return mSize > 0 ? mData : nullptr; }
  template <typename T> T* GetAs() const { return static_cast<T*>(GetData()); }
  int32_t GetSize() const { return mSize; }
  int32_t GetCapacity() const { return mCapacity; }
  int32_t GetGranularity() const { return mGranularity; }

  // The capacity a block for n bytes gets with the given granularity, or -1 when it
  // would not fit in an int32.
  static int64_t CapacityFor(int32_t n, int32_t granularity);

private:
  bool Contains(const void* p) const;

  char* mData = nullptr;
  int32_t mCapacity = 0;
  int32_t mSize = 0;
  int32_t mGranularity = kDefaultGranularity;
};

// Every block the containers allocate or grow goes through one realloc-shaped function
// (block null: a new block; bytes is never 0), so that tests can inject allocation
// failure or count allocations. Blocks are released with std::free. Returns the
// previous function; null restores std::realloc.
using HeapReallocFunc = void* (*)(void* block, size_t bytes);
HeapReallocFunc SetHeapReallocFunc(HeapReallocFunc func);
void* HeapRealloc(void* block, size_t bytes);
} // namespace iplug
