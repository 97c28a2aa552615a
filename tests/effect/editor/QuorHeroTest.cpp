// The meter display tick by tick, fed by a stand-in plug-in.
#include "effect/editor/QuorHero.h"
#include "tests/effect/editor/EditorFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>

namespace quorvel::test
{
namespace
{

std::array<gfx::IBitmapHandle, QuorHero::kModelCount> NoPictures()
{
  return {};
}

TEST(QuorHero, MetersDecayHoldAndSmoothPerStep)
{
  FakeEditorPlugin plugin;
  QuorHero hero({34, 159, 946, 311}, gfx::kNoParameter, plugin, NoPictures());
  hero.MarkClean();

  plugin.meters = {1.0f, 0.5f, 1.0f};
  EXPECT_FALSE(hero.IsDirty()) << "no step is due yet";
  EXPECT_EQ(hero.GetInputLevel(), 0.f);
  plugin.AdvanceSteps(1);
  EXPECT_TRUE(hero.IsDirty());
  EXPECT_FLOAT_EQ(hero.GetInputLevel(), 1.0f);
  EXPECT_FLOAT_EQ(hero.GetOutputLevel(), 0.5f);
  EXPECT_FLOAT_EQ(hero.GetActivity(), 0.16f);
  EXPECT_EQ(hero.GetInputHold(), 45);
  EXPECT_EQ(hero.GetOutputHold(), 0); // only a full-scale peak holds

  plugin.meters = {0.f, 0.f, 0.f};
  float expected = 1.0f;
  for (int step = 1; step <= 45; ++step)
  {
    plugin.AdvanceSteps(1);
    hero.IsDirty();
    expected *= 0.88f;
    EXPECT_FLOAT_EQ(hero.GetInputLevel(), expected) << step;
    EXPECT_EQ(hero.GetInputHold() > 0, step < 45) << step;
  }
  EXPECT_NEAR(hero.GetActivity(), 0.16f * std::pow(0.84f, 45.f), 1e-6);

  // Not finite or not positive counts as silence; activity beyond 0..1 is held within it.
  plugin.meters = {std::numeric_limits<float>::quiet_NaN(), -2.f, 7.f};
  const float before = hero.GetInputLevel();
  plugin.AdvanceSteps(1);
  hero.IsDirty();
  EXPECT_FLOAT_EQ(hero.GetInputLevel(), before * 0.88f);
  EXPECT_FLOAT_EQ(hero.GetOutputLevel(), 0.5f * std::pow(0.88f, 46.f));
  EXPECT_GT(hero.GetActivity(), 0.15f);
  EXPECT_LE(hero.GetActivity(), 0.17f);

  // A 200 ms stall catches up in six steps of one reading; less than a step later nothing moves.
  plugin.meters = {1.0f, 0.f, 0.f};
  plugin.AdvanceSteps(1);
  hero.IsDirty();
  plugin.meters = {};
  plugin.now += std::chrono::milliseconds(200);
  hero.IsDirty();
  EXPECT_FLOAT_EQ(hero.GetInputLevel(), std::pow(0.88f, 6.f));
  EXPECT_EQ(hero.GetInputHold(), 45 - 6);
  hero.MarkClean();
  plugin.now += std::chrono::milliseconds(30);
  EXPECT_FALSE(hero.IsDirty());
  EXPECT_EQ(hero.GetInputHold(), 45 - 6);
}

TEST(MeterSteps, WholeStepsOfElapsedTimeCaughtUpAfterStalls)
{
  using namespace std::chrono_literals;
  struct Case
  {
    std::chrono::nanoseconds advance;
    int steps;
  };
  // Cumulative: the part of a step one call leaves over counts toward the next.
  const Case kCases[] = {{0ns, 0}, {20ms, 0},  {14ms, 1},  {32ms, 0},
                         {1ms, 1}, {200ms, 6}, {100ms, 3}, {60s, MeterSteps::kMaxCatchUpSteps},
                         {34ms, 1}};
  std::chrono::nanoseconds now{5s}; // any origin
  MeterSteps steps([&now] { return now; });
  for (const Case& c : kCases)
  {
    now += c.advance;
    EXPECT_EQ(steps.TakeDueSteps(), c.steps) << c.advance.count() << " ns";
  }
}

// The same audio seen at 60 and at 144 display ticks per second: the meters agree whenever both have
// ticked, and the red hold lasts its 1.5 s at both rates.
TEST(QuorHero, TickRateChangesNothing)
{
  struct Display
  {
    FakeEditorPlugin plugin;
    QuorHero hero{{34, 159, 946, 311}, gfx::kNoParameter, plugin, NoPictures()};
    std::chrono::nanoseconds holdEnd{-1};
  };
  // A full-scale peak for 6 steps, a softer passage, then silence; it changes at step boundaries.
  const auto audio = [](std::chrono::nanoseconds t)
  {
    const int64_t step = t.count() * 30 / 1'000'000'000;
    return step < 6    ? MeterLevels{1.0f, 0.5f, 0.8f}
           : step < 20 ? MeterLevels{0.3f, 0.7f, 0.2f}
                       : MeterLevels{};
  };
  Display at60, at144;
  const auto tick = [&audio](Display& d, int64_t rate, int64_t k)
  {
    d.plugin.now = std::chrono::nanoseconds(k * 1'000'000'000 / rate);
    d.plugin.meters = audio(d.plugin.now);
    d.hero.IsDirty();
    if (d.holdEnd.count() < 0 && d.hero.GetInputHold() == 0 && d.plugin.now > MeterClockHand::kStep)
      d.holdEnd = d.plugin.now;
  };
  // 3 s; the two rates meet every 1/12 s (5 and 12 ticks).
  for (int64_t m = 1; m <= 36; ++m)
  {
    for (int64_t k = 5 * (m - 1) + 1; k <= 5 * m; ++k)
      tick(at60, 60, k);
    for (int64_t k = 12 * (m - 1) + 1; k <= 12 * m; ++k)
      tick(at144, 144, k);
    ASSERT_EQ(at60.plugin.now, at144.plugin.now);
    EXPECT_EQ(at60.hero.GetInputLevel(), at144.hero.GetInputLevel()) << m;
    EXPECT_EQ(at60.hero.GetOutputLevel(), at144.hero.GetOutputLevel()) << m;
    EXPECT_EQ(at60.hero.GetActivity(), at144.hero.GetActivity()) << m;
    EXPECT_EQ(at60.hero.GetInputHold(), at144.hero.GetInputHold()) << m;
  }
  // The last full-scale peak is taken at step 5, so the hold runs out at step 50.
  for (const Display* d : {&at60, &at144})
  {
    EXPECT_GE(d->holdEnd, MeterClockHand::StepTime(50));
    EXPECT_LT(d->holdEnd, MeterClockHand::StepTime(50) + std::chrono::milliseconds(17));
  }
  // At 3 s (step 90) the 0.3 peak last read at step 19 has decayed for 71 steps.
  const float decayed = 0.3f * std::pow(0.88f, 71.f);
  EXPECT_NEAR(at144.hero.GetInputLevel(), decayed, decayed * 1e-4f);
}

struct MeterDrawing
{
  std::string inputText;
  int bars = 0; // gradient fills
};

MeterDrawing DrawWithInput(float level, int steps)
{
  OpenEditor ed;
  FakeEditorPlugin plugin;
  QuorHero hero({34, 159, 946, 311}, gfx::kNoParameter, plugin, NoPictures());
  plugin.meters = {level, 0.f, 0.f};
  plugin.AdvanceSteps(1);
  hero.IsDirty();
  plugin.meters = {};
  plugin.AdvanceSteps(steps);
  hero.IsDirty();
  ed.graphics->ClearCalls();
  hero.Draw(*ed.graphics);
  MeterDrawing d;
  for (const auto& t : ed.graphics->All(gfxtest::Op::Text))
    if (t.bounds.L == 755.f && t.bounds.T == 183.f && t.style.align == gfx::kAlignFar) d.inputText = t.text;
  for (const auto& f : ed.graphics->All(gfxtest::Op::Fill))
    d.bars += f.pattern.type == gfx::kPatternLinear;
  return d;
}

TEST(QuorHero, MeterTextsAndBars)
{
  EXPECT_EQ(DrawWithInput(3e-5f, 0).inputText, "-inf dB");
  EXPECT_EQ(DrawWithInput(3e-5f, 0).bars, 0);
  const MeterDrawing full = DrawWithInput(1.0f, 0);
  EXPECT_EQ(full.inputText, "0.0 dB");
  EXPECT_EQ(full.bars, 1);
  EXPECT_EQ(DrawWithInput(1.0f, 53).bars, 1);
  EXPECT_EQ(DrawWithInput(1.0f, 54).bars, 0); // about -59.96 dB: no bar any more
}

TEST(QuorHero, PictureWithoutAreaShowsTheName)
{
  OpenEditor ed;
  FakeEditorPlugin plugin;
  gfxtest::FakeBitmap pixels(0, 134, 1.f, 1.f);
  std::array<gfx::IBitmapHandle, QuorHero::kModelCount> pictures;
  pictures[0] = gfxtest::MakeBitmapHandle(pixels);
  pictures[0].width = 0;
  auto* hero = new QuorHero({34, 159, 946, 311}, EngineParams::kModel, plugin, pictures);
  ed.graphics->AddControl(hero); // bound to the model through the delegate
  ed.graphics->ClearCalls();
  hero->Draw(*ed.graphics);
  EXPECT_EQ(ed.graphics->Count(gfxtest::Op::Bitmap), 0);
  bool name = false;
  for (const auto& t : ed.graphics->All(gfxtest::Op::Text))
    name |= t.text == "Tube" && t.style.size == 20.f;
  EXPECT_TRUE(name);
}

// The whole editor ticking at 144 Hz for a second per phase: with no audio no control asks to be redrawn;
// with moving meters the panel repaints at most 30 times, only the meter strips, never the picture.
TEST(QuorHero, EditorRepaintsOnlyWhatChanged)
{
  OpenEditor ed;
  ed.Tick();
  ed.graphics->MarkAllControlsClean();
  struct Second
  {
    int repaints = 0;
    gfx::IBounds area; // union of every dirty rectangle
  };
  const auto runSecond = [&ed](const std::function<MeterLevels(int)>& audio)
  {
    Second s;
    for (int k = 1; k <= 144; ++k)
    {
      ed.effect.now += std::chrono::nanoseconds(1'000'000'000 / 144);
      ed.effect.meters = audio(k);
      gfx::IRectList rects;
      if (!ed.graphics->CollectDirtyRects(rects)) continue;
      ++s.repaints;
      s.area = s.area.Union(rects.Bounds());
      ed.graphics->ClearCalls();
      ed.graphics->PaintRegions(rects);
      ed.graphics->MarkAllControlsClean();
      for (const auto& b : ed.graphics->All(gfxtest::Op::Bitmap))
      {
        const auto* fake = dynamic_cast<const gfxtest::FakeBitmap*>(b.bitmap);
        EXPECT_TRUE(fake && fake->origin == "layer") << "the picture, at tick " << k; // the backdrop's is
      }
      for (const auto& f : ed.graphics->All(gfxtest::Op::Fill))
        EXPECT_NE(f.pattern.type, gfx::kPatternRadial) << "the glow, at tick " << k;
      for (const auto& t : ed.graphics->All(gfxtest::Op::Text))
        EXPECT_NE(t.text, "Tube") << "the picture's stand-in, at tick " << k;
    }
    return s;
  };

  EXPECT_EQ(runSecond([](int) { return MeterLevels{}; }).repaints, 0);

  const Second moving = runSecond(
      [](int k) {
        return MeterLevels{0.2f + 0.005f * k, 0.1f + 0.003f * k, 0.f};
      });
  EXPECT_GE(moving.repaints, 29);
  EXPECT_LE(moving.repaints, 30);
  EXPECT_GE(moving.area.L, 754.f) << "the meter strips only";
  EXPECT_LE(moving.area.R, 939.f);
}

} // namespace
} // namespace quorvel::test
