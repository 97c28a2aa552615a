#include "framework/graphics/platform/DisplayTickDecision.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

TickInputs Vblank(uint32_t message, uint32_t now)
{
  TickInputs in;
  in.useVBlank = true;
  in.messageCounter = message;
  in.tickCounter = now;
  return in;
}

TEST(DisplayTickDecision, StaleTicksAndTheCatchUpAfterASlowPaintDrawNothing)
{
  TickSkip skip;
  EXPECT_EQ(DecideTick(Vblank(5, 5), skip), TickAction::Draw);
  EXPECT_EQ(DecideTick(Vblank(4, 5), skip), TickAction::Ignore);

  // The thread ticked twice while tick 5 painted: skip until the tick after 7.
  NoteSlowPaint(true, 5, 7, skip);
  EXPECT_TRUE(skip.active);
  EXPECT_EQ(DecideTick(Vblank(7, 7), skip), TickAction::Ignore);
  EXPECT_TRUE(skip.active);
  EXPECT_EQ(DecideTick(Vblank(8, 8), skip), TickAction::Draw);
  EXPECT_FALSE(skip.active);

  // A quick paint notes nothing; the timer path never skips.
  NoteSlowPaint(true, 9, 9, skip);
  NoteSlowPaint(false, 0, 9, skip);
  EXPECT_FALSE(skip.active);
  TickInputs timer;
  timer.tickCounter = 123;
  EXPECT_EQ(DecideTick(timer, skip), TickAction::Draw);
}

TEST(DisplayTickDecision, CountersCompareAcrossTheWrap)
{
  EXPECT_TRUE(CounterAfter(2, 0xFFFFFFFEu));
  EXPECT_FALSE(CounterAfter(0xFFFFFFFEu, 2));
  TickSkip skip;
  NoteSlowPaint(true, 0xFFFFFFFDu, 0xFFFFFFFFu, skip);
  EXPECT_EQ(skip.until, 0u);
  EXPECT_EQ(DecideTick(Vblank(0xFFFFFFFFu, 0xFFFFFFFFu), skip), TickAction::Ignore);
  EXPECT_EQ(DecideTick(Vblank(0, 0), skip), TickAction::Draw);
}

TEST(DisplayTickDecision, TextEntryStatesEndOrPauseDrawing)
{
  const struct
  {
    bool open;
    int32_t state;
    TickAction action;
  } cases[] = {
      {true, kTextEntryIdle, TickAction::Draw},
      {true, kTextEntryFocused, TickAction::ResetTextEntryState},
      {true, kTextEntryDrawn, TickAction::ResetTextEntryState},
      {true, kTextEntryCancel, TickAction::CancelTextEntry},
      {true, kTextEntryCommit, TickAction::CommitTextEntry},
      {false, kTextEntryCommit, TickAction::Draw},
  };
  for (const auto& c : cases)
  {
    TickSkip skip;
    TickInputs in = Vblank(3, 3);
    in.textEntryOpen = c.open;
    in.textEntryState = c.state;
    EXPECT_EQ(DecideTick(in, skip), c.action) << c.state;
    // A stale tick never ends an entry.
    in.messageCounter = 2;
    EXPECT_EQ(DecideTick(in, skip), TickAction::Ignore);
  }
}

TEST(DisplayTickDecision, ScaleFollowsOnlyWithoutCaptureAndTimerPeriodFollowsFrameRate)
{
  EXPECT_TRUE(ShouldFollowDisplayScale(false, 1.5f, 1.f));
  EXPECT_FALSE(ShouldFollowDisplayScale(true, 1.5f, 1.f));
  EXPECT_FALSE(ShouldFollowDisplayScale(false, 1.5f, 1.5f));
  EXPECT_FALSE(ShouldFollowDisplayScale(false, 0.75f, 1.f)); // below 1 stays at 1, as the window opened
  EXPECT_TRUE(ShouldFollowDisplayScale(false, 0.75f, 2.f));
  EXPECT_EQ(FollowedDisplayScale(0.75f), 1.f);
  EXPECT_EQ(TimerPeriodMs(30), 33);
  EXPECT_EQ(TimerPeriodMs(60), 15);
  EXPECT_EQ(TimerPeriodMs(0), 15);
}

} // namespace
} // namespace iplug::igraphics
