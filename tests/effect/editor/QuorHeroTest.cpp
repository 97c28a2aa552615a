// The meter display tick by tick, fed by a stand-in plug-in.
#include "effect/editor/QuorHero.h"
#include "tests/effect/editor/EditorFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel::test
{
namespace
{

std::array<gfx::IBitmapHandle, QuorHero::kModelCount> NoPictures()
{
  return {};
}

TEST(QuorHero, MetersDecayHoldAndSmooth)
{
  FakeEditorPlugin plugin;
  QuorHero hero({34, 159, 946, 311}, gfx::kNoParameter, plugin, NoPictures());

  plugin.meters = {1.0f, 0.5f, 1.0f};
  EXPECT_TRUE(hero.IsDirty());
  EXPECT_FLOAT_EQ(hero.GetInputLevel(), 1.0f);
  EXPECT_FLOAT_EQ(hero.GetOutputLevel(), 0.5f);
  EXPECT_FLOAT_EQ(hero.GetActivity(), 0.16f);
  EXPECT_EQ(hero.GetInputHold(), 45);
  EXPECT_EQ(hero.GetOutputHold(), 0); // only a full-scale peak holds

  plugin.meters = {0.f, 0.f, 0.f};
  float expected = 1.0f;
  for (int tick = 1; tick <= 45; ++tick)
  {
    EXPECT_TRUE(hero.IsDirty()); // redrawn at every tick, signal or not
    expected *= 0.88f;
    EXPECT_FLOAT_EQ(hero.GetInputLevel(), expected) << tick;
    EXPECT_EQ(hero.GetInputHold() > 0, tick < 45) << tick;
  }
  EXPECT_NEAR(hero.GetActivity(), 0.16f * std::pow(0.84f, 45.f), 1e-6);

  // Not finite or not positive counts as silence; activity beyond 0..1 is held within it.
  plugin.meters = {std::numeric_limits<float>::quiet_NaN(), -2.f, 7.f};
  const float before = hero.GetInputLevel();
  hero.IsDirty();
  EXPECT_FLOAT_EQ(hero.GetInputLevel(), before * 0.88f);
  EXPECT_FLOAT_EQ(hero.GetOutputLevel(), 0.5f * std::pow(0.88f, 46.f));
  EXPECT_GT(hero.GetActivity(), 0.15f);
  EXPECT_LE(hero.GetActivity(), 0.17f);
}

struct MeterDrawing
{
  std::string inputText;
  int bars = 0; // gradient fills
};

MeterDrawing DrawWithInput(float level, int ticks)
{
  OpenEditor ed;
  FakeEditorPlugin plugin;
  QuorHero hero({34, 159, 946, 311}, gfx::kNoParameter, plugin, NoPictures());
  plugin.meters = {level, 0.f, 0.f};
  hero.IsDirty();
  plugin.meters = {};
  for (int i = 0; i < ticks; ++i)
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

} // namespace
} // namespace quorvel::test
