#include "framework/core/SpscRing.h"

#include "tests/support/core/AllocationCounter.h"
#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using iplug::SpscRing;

namespace
{
struct ParamChange
{
  int32_t index;
  double value;
};

struct Message
{
  int32_t offset;
  uint8_t status, data1, data2;
};

// A payload large enough to tear if the ring published an entry before its bytes.
struct Packet
{
  uint64_t sequence;
  uint64_t check;
  uint8_t body[48];
};

uint64_t CheckOf(uint64_t sequence)
{
  return sequence * 0x9E3779B97F4A7C15ull ^ 0x5bd1e995u;
}
} // namespace

TEST(SpscRing, FullRingKeepsTheFirstEntriesAndDropsTheNewest)
{
  for (int32_t slots : {5, 33, 513})
  {
    SpscRing<ParamChange> ring(slots, ParamChange{-1, 0.0});
    ASSERT_EQ(ring.GetSlots(), slots);
    for (int32_t i = 0; i < slots - 1; ++i)
      ASSERT_TRUE(ring.Push({i, i * 0.5})) << slots << " " << i;
    EXPECT_FALSE(ring.Push({999, 9.0})) << slots;
    EXPECT_EQ(ring.GetPending(), slots - 1);
    for (int32_t i = 0; i < slots - 1; ++i)
    {
      const ParamChange change = ring.Pop();
      ASSERT_EQ(change.index, i);
      ASSERT_EQ(change.value, i * 0.5);
    }
    EXPECT_EQ(ring.GetPending(), 0);
  }
}

TEST(SpscRing, EmptyPopYieldsTheEmptyEntryAndMovesNothing)
{
  SpscRing<ParamChange> params(513, ParamChange{-1, 0.0});
  const ParamChange none = params.Pop();
  EXPECT_EQ(none.index, -1);
  EXPECT_EQ(none.value, 0.0);
  EXPECT_EQ(params.GetPending(), 0);
  params.Push({7, 0.25});
  EXPECT_EQ(params.GetPending(), 1);
  EXPECT_EQ(params.Pop().index, 7);
  EXPECT_EQ(params.Pop().index, -1);

  SpscRing<Message> midi(33);
  midi.Push({3, 0x90, 60, 100});
  midi.Pop();
  const Message zero = midi.Pop();
  EXPECT_EQ(zero.offset, 0);
  EXPECT_EQ(zero.status, 0);
  Message untouched{5, 1, 2, 3};
  EXPECT_FALSE(midi.Pop(untouched));
  EXPECT_EQ(untouched.offset, 5);
}

TEST(SpscRing, OrderAndCountSurviveWrapping)
{
  SpscRing<int> ring(5);
  int next = 0, expected = 0;
  for (int round = 0; round < 1000; ++round)
  {
    const int burst = 1 + round % 4;
    for (int k = 0; k < burst; ++k)
      ASSERT_TRUE(ring.Push(next++));
    ASSERT_EQ(ring.GetPending(), burst);
    // Leave one behind now and then so that write < read occurs in every position.
    const int take = round % 3 == 0 ? burst - 1 : burst;
    for (int k = 0; k < take; ++k)
      ASSERT_EQ(ring.Pop(), expected++);
    while (ring.GetPending() > 0)
      ASSERT_EQ(ring.Pop(), expected++);
  }
  EXPECT_EQ(expected, next);
}

TEST(SpscRing, PushAndPopNeitherAllocateNorFail)
{
  SpscRing<Packet> ring(5);
  quorvel::test::HeapAllocationFault noHeap;
  const long before = quorvel::test::GlobalAllocationCount();
  Packet packet{};
  for (uint64_t i = 0; i < 100; ++i)
  {
    packet.sequence = i;
    ring.Push(packet);
    ring.Push(packet);
    ring.Pop(packet);
    ring.Pop();
  }
  EXPECT_EQ(quorvel::test::GlobalAllocationCount() - before, 0);
  EXPECT_EQ(noHeap.Attempts(), 0);

  // A ring whose storage could not be had holds nothing and never crashes.
  SpscRing<Packet> starved(5);
  EXPECT_EQ(starved.GetSlots(), 0);
  EXPECT_FALSE(starved.Push(packet));
  EXPECT_EQ(starved.GetPending(), 0);
  EXPECT_EQ(starved.Pop().sequence, 0u);
}

// Run under ThreadSanitizer too: every entry must arrive whole, once and in order.
TEST(SpscRing, TwoThreadsPassEveryEntryInOrder)
{
  for (int32_t slots : {5, 33})
  {
    SpscRing<Packet> ring(slots);
    constexpr uint64_t kCount = 200000;
    std::atomic<long> drops{0};
    std::thread producer(
        [&]
        {
          Packet packet{};
          for (uint64_t i = 1; i <= kCount; ++i)
          {
            packet.sequence = i;
            packet.check = CheckOf(i);
            for (auto& b : packet.body)
              b = static_cast<uint8_t>(i);
            while (!ring.Push(packet))
            {
              ++drops;
              std::this_thread::yield();
            }
          }
        });

    uint64_t expected = 1;
    int32_t maxPending = 0;
    bool whole = true;
    while (expected <= kCount)
    {
      // Now and then stall until the producer has met a full ring, so that the
      // boundary is crossed under contention on every run.
      if (expected % 50000 == 1000)
      {
        const long dropsBefore = drops;
        while (drops == dropsBefore)
          std::this_thread::yield();
      }
      const int32_t pending = ring.GetPending();
      maxPending = std::max(maxPending, pending);
      Packet packet;
      if (!ring.Pop(packet))
      {
        std::this_thread::yield();
        continue;
      }
      if (packet.sequence != expected) break;
      whole = whole && packet.check == CheckOf(expected) &&
              packet.body[0] == static_cast<uint8_t>(expected) &&
              packet.body[47] == static_cast<uint8_t>(expected);
      ++expected;
    }
    producer.join();
    EXPECT_EQ(expected, kCount + 1) << "entry out of order or lost with " << slots << " slots";
    EXPECT_TRUE(whole) << "torn entry with " << slots << " slots";
    EXPECT_LE(maxPending, slots - 1);
    EXPECT_EQ(ring.GetPending(), 0);
  }
}
