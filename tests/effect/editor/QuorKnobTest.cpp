// The knobs inside the real editor: keys, typed values, the entry over the value box, gestures, drawing.
#include "effect/editor/EditorStyle.h"
#include "effect/editor/QuorKnob.h"
#include "effect/editor/QuorValueEntry.h"
#include "tests/effect/editor/EditorFixture.h"

#include "framework/graphics/ITextEntryControl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvel::test
{
namespace
{

using Call = PluginTestAdapter::Call;

int CountCalls(const Quorvel& effect, Call call, int param)
{
  int n = 0;
  for (const auto& r : effect.records)
    n += r.call == call && r.index == param;
  return n;
}

QuorKnob* KnobFor(OpenEditor& ed, int param)
{
  for (int i = 0; i < 10; ++i)
    if (auto* k = ed.Get<QuorKnob>(kFirstKnobIdx + 2 * i); k && k->GetParamIndex() == param) return k;
  return nullptr;
}

TEST(QuorKnob, TypedValuesFollowTheParameterUnits)
{
  OpenEditor ed;
  struct Case
  {
    int param;
    const char* text;
    double expected; // real value afterwards; NaN: unchanged
  };
  const double kept = std::nan("");
  // clang-format off
  const Case cases[] = {{EngineParams::kLowCut, "0.15k", 150.0}, {EngineParams::kLowCut, "12abc", kept},
                        {EngineParams::kOutputTrim, "-3 dB", -3.0}, {EngineParams::kDrive, "50 %", kept},
                        {EngineParams::kWetMix, "50%", 50.0}, {EngineParams::kWetMix, "50 dB", kept},
                        {EngineParams::kHighCut, "1e9", EngineParams::kMaxima[EngineParams::kHighCut]}};
  // clang-format on
  for (const Case& c : cases)
  {
    QuorKnob* knob = KnobFor(ed, c.param);
    ASSERT_NE(knob, nullptr);
    const double before = ed.effect.GetParam(c.param)->Value();
    ed.effect.records.clear();
    knob->GetValueEntry()->OnTextEntered(c.text, gfx::kNoParameter);
    const double after = ed.effect.GetParam(c.param)->Value();
    if (std::isnan(c.expected))
    {
      EXPECT_EQ(after, before) << c.text;
      EXPECT_EQ(CountCalls(ed.effect, Call::kSendToHost, c.param), 0) << c.text;
    }
    else
      EXPECT_NEAR(after, c.expected, 1e-6) << c.text;
  }
}

TEST(QuorKnob, KeysStepResetAndOpenTheEntry)
{
  OpenEditor ed;
  QuorKnob* drive = KnobFor(ed, EngineParams::kDrive);
  const float x = drive->GetBounds().MW(), y = drive->GetBounds().T + 40.f;

  drive->ApplyValueFromUser(0.5, 0);
  EXPECT_TRUE(ed.Key(x, y, 38, true));
  EXPECT_NEAR(drive->GetValue(), 0.501, 1e-9);
  EXPECT_TRUE(ed.Key(x, y, 37));
  EXPECT_NEAR(drive->GetValue(), 0.491, 1e-9);
  drive->ApplyValueFromUser(0.995, 0);
  ed.Key(x, y, 39);
  EXPECT_EQ(drive->GetValue(), 1.0);
  EXPECT_TRUE(ed.Key(x, y, 36)); // Home
  EXPECT_DOUBLE_EQ(ed.effect.GetParam(EngineParams::kDrive)->Value(),
                   EngineParams::kDefaults[EngineParams::kDrive]);
  EXPECT_FALSE(ed.Key(x, y, 'A'));

  ASSERT_TRUE(ed.Key(x, y, 13)); // Enter
  ASSERT_EQ(ed.graphics->GetTextEntryTarget(), drive->GetValueEntry());
  EXPECT_EQ(ed.graphics->GetTextEntryControl()->GetBounds(), drive->GetValueBox());
  ed.graphics->ClearCalls();
  drive->Draw(*ed.graphics);
  for (const auto& call : ed.graphics->All(gfxtest::Op::Text))
    EXPECT_EQ(call.text, "DRIVE"); // the value text hides under the open entry
}

TEST(QuorKnob, OnlyALeftClickInTheValueBoxOpensTheEntry)
{
  OpenEditor ed;
  QuorKnob* mix = KnobFor(ed, EngineParams::kWetMix);
  const gfx::IBounds box = mix->GetValueBox();
  ed.Click(box.MW(), box.MH(), true); // right: the parameter's menu, never the entry
  EXPECT_EQ(ed.graphics->GetTextEntryTarget(), nullptr);
  // The editor turns right clicks into that menu before they reach a control: the knob's own rule,
  // for hosts and editors that pass them on.
  gfx::IModifierState right(false, true);
  mix->OnMouseDown(box.MW(), box.MH(), right);
  mix->OnMouseUp(box.MW(), box.MH(), right);
  EXPECT_EQ(ed.graphics->GetTextEntryTarget(), nullptr);
  ed.Click(box.MW(), box.MH());
  EXPECT_EQ(ed.graphics->GetTextEntryTarget(), mix->GetValueEntry());
}

TEST(QuorKnob, NoValueArcAtTheMinimum)
{
  OpenEditor ed;
  QuorKnob* drive = KnobFor(ed, EngineParams::kDrive);
  auto arcs = [&](double value)
  {
    drive->ApplyValueFromUser(value, 0);
    ed.graphics->ClearCalls();
    drive->Draw(*ed.graphics);
    int n = 0; // arcs starting where the travel starts: the track, and the value arc when drawn
    for (const auto& c : ed.graphics->All(gfxtest::Op::Arc))
      n += c.a[3] == QuorKnob::kMinAngle;
    return n;
  };
  EXPECT_EQ(arcs(0.25), 2); // track and value
  EXPECT_EQ(arcs(0.0), 1);
}

} // namespace
} // namespace quorvel::test
