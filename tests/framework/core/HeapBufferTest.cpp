#include "framework/core/HeapBuffer.h"

#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using iplug::HeapBuffer;
using quorvel::test::HeapAllocationFault;

namespace
{
void FillPattern(HeapBuffer& buffer)
{
  auto* bytes = buffer.GetAs<unsigned char>();
  for (int32_t i = 0; i < buffer.GetSize(); ++i)
    bytes[i] = static_cast<unsigned char>(i * 7 + 3);
}

bool HasPattern(const HeapBuffer& buffer, int32_t count)
{
  const auto* bytes = buffer.GetAs<const unsigned char>();
  for (int32_t i = 0; i < count; ++i)
    if (bytes[i] != static_cast<unsigned char>(i * 7 + 3)) return false;
  return true;
}
} // namespace

TEST(HeapBuffer, CapacityFollowsGranularity)
{
  HeapBuffer pages(4096);
  ASSERT_NE(pages.ResizeHeapBuffer(1), nullptr);
  EXPECT_EQ(pages.GetCapacity(), 4000);
  HeapBuffer pages2(4096);
  pages2.ResizeHeapBuffer(10000);
  EXPECT_EQ(pages2.GetCapacity(), 12192);

  HeapBuffer small(128);
  small.ResizeHeapBuffer(1);
  EXPECT_EQ(small.GetCapacity(), 129);
  HeapBuffer small2(128);
  small2.ResizeHeapBuffer(1024);
  EXPECT_EQ(small2.GetCapacity(), 1536);

  // Shrinking keeps the block unless asked, and then only below the threshold (768 here).
  small2.ResizeHeapBuffer(10);
  EXPECT_EQ(small2.GetCapacity(), 1536);
  EXPECT_EQ(small2.GetSize(), 10);
  small2.ResizeHeapBuffer(1024);
  small2.ResizeHeapBuffer(800, true);
  EXPECT_EQ(small2.GetCapacity(), 1536);
  small2.ResizeHeapBuffer(10, true);
  EXPECT_EQ(small2.GetCapacity(), 138);
}

TEST(HeapBuffer, PageGranularBlocksFillPagesWithBoundedHeadroom)
{
  for (int64_t n = 1; n < 200'000'000; n = n * 3 + 17)
  {
    const int64_t capacity = HeapBuffer::CapacityFor(static_cast<int32_t>(n), 4096);
    ASSERT_GT(capacity, n) << n;
    EXPECT_LE(capacity - n, HeapBuffer::kMaxHeadroom) << n;
    EXPECT_EQ((capacity + HeapBuffer::kAllocatorOverhead) % 4096, 0) << n;
  }
}

TEST(HeapBuffer, SizesWhoseCapacityOverflowsAreRefused)
{
  const int32_t huge = std::numeric_limits<int32_t>::max() - 1000;
  EXPECT_EQ(HeapBuffer::CapacityFor(huge, 4096), -1);
  EXPECT_EQ(HeapBuffer::CapacityFor(huge, 128), -1);
  // 1.5 x n is the first to overflow with small granularity.
  EXPECT_EQ(HeapBuffer::CapacityFor(1'500'000'000, 128), -1);

  HeapBuffer buffer(128);
  buffer.ResizeHeapBuffer(100);
  FillPattern(buffer);
  void* before = buffer.GetData();
  EXPECT_EQ(buffer.ResizeHeapBuffer(huge), nullptr);
  EXPECT_EQ(buffer.GetSize(), 100);
  EXPECT_EQ(buffer.GetData(), before);
  EXPECT_TRUE(HasPattern(buffer, 100));

  // Appending past int32 is refused before anything is copied.
  EXPECT_EQ(buffer.AppendBytes(buffer.GetData(), std::numeric_limits<int32_t>::max() - 50), -1);
  EXPECT_EQ(buffer.GetSize(), 100);
}

TEST(HeapBuffer, BytesSurviveGrowthAndEmptyReadsAsNull)
{
  HeapBuffer buffer;
  EXPECT_EQ(buffer.GetData(), nullptr);
  EXPECT_EQ(buffer.ResizeHeapBuffer(0), nullptr);
  EXPECT_EQ(buffer.ResizeHeapBuffer(-5), nullptr);
  EXPECT_EQ(buffer.GetSize(), 0);

  buffer.ResizeHeapBuffer(3000);
  FillPattern(buffer);
  ASSERT_NE(buffer.ResizeHeapBuffer(100000), nullptr);
  EXPECT_TRUE(HasPattern(buffer, 3000));
  ASSERT_NE(buffer.ResizeHeapBuffer(50, true), nullptr);
  EXPECT_TRUE(HasPattern(buffer, 50));

  // Size 0 without shrinking keeps the block but no longer reports it.
  const int32_t capacity = buffer.GetCapacity();
  EXPECT_EQ(buffer.ResizeHeapBuffer(0), nullptr);
  EXPECT_EQ(buffer.GetData(), nullptr);
  EXPECT_EQ(buffer.GetCapacity(), capacity);
  buffer.ResizeHeapBuffer(10);
  EXPECT_EQ(buffer.ResizeHeapBuffer(0, true), nullptr);
  EXPECT_EQ(buffer.GetCapacity(), 0);
}

TEST(HeapBuffer, GrowthFailureLeavesBufferAsItWas)
{
  HeapBuffer buffer(128);
  buffer.ResizeHeapBuffer(100);
  FillPattern(buffer);
  const int32_t capacity = buffer.GetCapacity();
  void* data = buffer.GetData();

  HeapBuffer source;
  source.ResizeHeapBuffer(5000);

  HeapAllocationFault fault;
  EXPECT_EQ(buffer.ResizeHeapBuffer(capacity + 1), nullptr);
  EXPECT_EQ(buffer.GetSize(), 100);
  EXPECT_EQ(buffer.GetCapacity(), capacity);
  EXPECT_EQ(buffer.GetData(), data);
  EXPECT_TRUE(HasPattern(buffer, 100));
  EXPECT_GE(fault.Attempts(), 1);

  // Within the block nothing needs allocating.
  EXPECT_EQ(buffer.ResizeHeapBuffer(capacity), data);
  buffer.ResizeHeapBuffer(100);

  const char more[200] = {};
  EXPECT_EQ(buffer.AppendBytes(more, 200), -1);
  EXPECT_EQ(buffer.GetSize(), 100);
  EXPECT_TRUE(HasPattern(buffer, 100));

  // A shrink that cannot move keeps its block and still shrinks.
  EXPECT_EQ(buffer.ResizeHeapBuffer(1, true), data);
  EXPECT_EQ(buffer.GetSize(), 1);

  HeapBuffer empty(128);
  EXPECT_FALSE(empty.CopyHeapBuffer(source));
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_EQ(empty.GetData(), nullptr);
}

TEST(HeapBuffer, AppendAndCopy)
{
  HeapBuffer buffer(128);
  EXPECT_EQ(buffer.AppendBytes("abc", 3), 3);
  EXPECT_EQ(buffer.AppendBytes("de", 2), 5);
  EXPECT_EQ(buffer.AppendBytes("x", 0), 5);
  EXPECT_EQ(std::memcmp(buffer.GetData(), "abcde", 5), 0);

  // Doubling from its own bytes forces the block to move while it is the source.
  for (int i = 0; i < 8; ++i)
    ASSERT_EQ(buffer.AppendBytes(buffer.GetData(), buffer.GetSize()), 5 << (i + 1));
  const auto* bytes = buffer.GetAs<const char>();
  for (int32_t i = 0; i < buffer.GetSize(); ++i)
    ASSERT_EQ(bytes[i], "abcde"[i % 5]) << i;

  HeapBuffer copy(buffer);
  EXPECT_EQ(copy.GetSize(), buffer.GetSize());
  EXPECT_NE(copy.GetData(), buffer.GetData());
  EXPECT_EQ(std::memcmp(copy.GetData(), buffer.GetData(), static_cast<size_t>(buffer.GetSize())), 0);

  HeapBuffer small(128);
  small.AppendBytes("zz", 2);
  copy = small;
  EXPECT_EQ(copy.GetSize(), 2);
  EXPECT_EQ(std::memcmp(copy.GetData(), "zz", 2), 0);
  copy = copy;
  EXPECT_EQ(copy.GetSize(), 2);
  EXPECT_EQ(std::memcmp(copy.GetData(), "zz", 2), 0);

  HeapBuffer nothing;
  copy = nothing;
  EXPECT_EQ(copy.GetSize(), 0);
  EXPECT_EQ(copy.GetData(), nullptr);
}
