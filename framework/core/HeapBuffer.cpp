#include "framework/core/HeapBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace iplug
{
namespace
{
void* DefaultRealloc(void* block, size_t bytes)
{
  return std::realloc(block, bytes);
}

std::atomic<HeapReallocFunc> gRealloc{&DefaultRealloc};

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
} // namespace

HeapReallocFunc SetHeapReallocFunc(HeapReallocFunc func)
{
  return gRealloc.exchange(func ? func : &DefaultRealloc);
}

void* HeapRealloc(void* block, size_t bytes)
{
  return gRealloc.load(std::memory_order_relaxed)(block, bytes);
}

HeapBuffer::HeapBuffer(int32_t granularity)
    : mGranularity(granularity > 0 ? granularity : kDefaultGranularity)
{
}

HeapBuffer::~HeapBuffer()
{
  FreeHeapBuffer();
}

HeapBuffer::HeapBuffer(const HeapBuffer& source) : mGranularity(source.mGranularity)
{
  CopyHeapBuffer(source);
}

void HeapBuffer::FreeHeapBuffer()
{
  std::free(mData);
  mData = nullptr;
  mCapacity = 0;
  mSize = 0;
}

int64_t HeapBuffer::CapacityFor(int32_t n, int32_t granularity)
{
  if (n <= 0) return 0;
  const int64_t want = n;
  int64_t capacity;
  if (granularity < kPageSize)
  {
    capacity = std::max<int64_t>(want / 2, granularity) + want;
  }
  else
  {
    int64_t headroom = std::max<int64_t>(want / 2, granularity);
    headroom -= headroom % kPageSize;
    headroom = std::clamp<int64_t>(headroom, kPageSize, kMaxHeadroom);
    const int64_t withOverhead = want + kAllocatorOverhead + headroom;
    capacity = withOverhead - withOverhead % kPageSize - kAllocatorOverhead;
  }
  return capacity <= kInt32Max ? capacity : -1;
}

void* HeapBuffer::ResizeHeapBuffer(int32_t newSize, bool allowShrink)
{
  const int32_t n = std::max(newSize, 0);
  if (n == mSize) return GetData();

  int32_t threshold = 0;
  if (allowShrink && n < mSize)
  {
    const int64_t capacity = mCapacity;
    threshold = static_cast<int32_t>(
        std::max<int64_t>(std::min<int64_t>(capacity / 2, capacity - 4 * int64_t{mGranularity}), 1));
  }

  if (n > mCapacity || n < threshold)
  {
    if (n == 0)
    {
      FreeHeapBuffer();
      return nullptr;
    }
    const int64_t capacity = CapacityFor(n, mGranularity);
    if (capacity < 0) return nullptr;

    char* block = static_cast<char*>(HeapRealloc(mData, static_cast<size_t>(capacity)));
    if (!block)
    {
      // The allocator could not resize in place or move the block itself: try a fresh
      // block and copy what survives the resize.
      block = static_cast<char*>(HeapRealloc(nullptr, static_cast<size_t>(capacity)));
      if (block)
      {
        if (mData) std::memcpy(block, mData, static_cast<size_t>(std::min(n, mSize)));
        std::free(mData);
      }
    }
    if (!block)
    {
      // A shrink that cannot move simply keeps the larger block.
      if (n > mCapacity) return nullptr;
    }
    else
    {
      mData = block;
      mCapacity = static_cast<int32_t>(capacity);
    }
  }
  mSize = n;
  return GetData();
}

bool HeapBuffer::CopyHeapBuffer(const HeapBuffer& source)
{
  if (&source == this) return true;
  if (!ResizeHeapBuffer(source.mSize, true) && source.mSize > 0)
  {
    mSize = 0;
    return false;
  }
  if (mSize > 0) std::memcpy(mData, source.mData, static_cast<size_t>(mSize));
  return true;
}

HeapBuffer& HeapBuffer::AssignHeapBuffer(const HeapBuffer& source)
{
  CopyHeapBuffer(source);
  return *this;
}

bool HeapBuffer::Contains(const void* p) const
{
  const char* c = static_cast<const char*>(p);
  return mData && c >= mData && c < mData + mCapacity;
}

int32_t HeapBuffer::AppendBytes(const void* bytes, int32_t n)
{
  if (n <= 0 || !bytes) return mSize;
  if (int64_t{mSize} + n > kInt32Max) return -1;
  // The source may be part of this block, which the resize may move.
  const bool inside = Contains(bytes);
  const ptrdiff_t offset = inside ? static_cast<const char*>(bytes) - mData : 0;
  const int32_t oldSize = mSize;
  if (!ResizeHeapBuffer(oldSize + n, true)) return -1;
  const void* from = inside ? mData + offset : bytes;
  std::memmove(mData + oldSize, from, static_cast<size_t>(n));
  return mSize;
}
} // namespace iplug
