#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IKnobControlBase.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

using ::testing::ElementsAre;

class TestKnob : public IKnobControlBase
{
public:
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

const IModifierState kPlain(true);
const IModifierState kCtrl(true, false, false, true);
const IModifierState kShift(true, false, true);

class IKnobControlBaseTest : public ::testing::Test
{
protected:
  IKnobControlBaseTest()
  {
    dlg.GetParam(0)->ConfigureDouble("Drive", 0.0, 0.0, 10.0, 0.01);
    dlg.GetParam(1)->ConfigureEnum("Model", 0, {"a", "b", "c", "d", "e"});
  }

  TestKnob* Add(int param, int32_t direction = kVertical)
  {
    // 50 units high: four heights (200 units) cover the whole range.
    auto* k = new TestKnob({0, 0, 50, 50}, param, nullptr, true, direction, 4.0);
    g.AddControl(k);
    return k;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{2, log};
  gfxtest::RecordingGraphics g{&dlg, 200, 100};
};

TEST_F(IKnobControlBaseTest, DragsStayInRangeAndTurnBackAtOnce)
{
  TestKnob* k = Add(0);
  k->OnMouseDown(10, 10, kPlain);
  EXPECT_TRUE(k->IsMouseDown());
  EXPECT_TRUE(g.IsCursorHidden());
  k->OnMouseDrag(10, 10, 0, -50, kPlain);
  EXPECT_DOUBLE_EQ(k->GetValue(0), 0.25);
  k->OnMouseDrag(10, 10, 0, -300, kPlain);
  EXPECT_DOUBLE_EQ(k->GetValue(0), 1.0);
  k->OnMouseDrag(10, 10, 0, 10, kPlain);
  EXPECT_DOUBLE_EQ(k->GetValue(0), 0.95) << "the accumulated value never left the range";
  k->OnMouseUp(10, 10, kPlain);
  EXPECT_FALSE(k->IsMouseDown());
  EXPECT_FALSE(g.IsCursorHidden());
  EXPECT_THAT(g.hideCalls, ElementsAre(std::make_pair(true, true), std::make_pair(false, true)));

  // Fine mode: ten times the distance, with Ctrl or with Shift.
  for (const IModifierState& fine : {kCtrl, kShift})
  {
    k->SetValue(0.5, 0);
    k->OnMouseDown(10, 10, fine);
    k->OnMouseDrag(10, 10, 0, -100, fine);
    EXPECT_DOUBLE_EQ(k->GetValue(0), 0.55);
    k->OnMouseUp(10, 10, fine);
  }

  // Horizontal knobs follow dX, growing to the right.
  TestKnob* h = Add(0, kHorizontal);
  h->OnMouseDown(10, 10, kPlain);
  h->OnMouseDrag(10, 10, 20, -40, kPlain);
  EXPECT_DOUBLE_EQ(h->GetValue(0), 0.1);
  h->OnMouseUp(10, 10, kPlain);

  // No extent: drags are ignored instead of turning the accumulated value into NaN.
  auto* flat = new TestKnob({0, 0, 50, 0}, 0);
  g.AddControl(flat);
  flat->SetValue(0.5, 0);
  flat->OnMouseDown(10, 0, kPlain);
  flat->OnMouseDrag(10, 0, 5, 0, kPlain);
  EXPECT_DOUBLE_EQ(flat->GetDragValue(), 0.5);
  EXPECT_DOUBLE_EQ(flat->GetValue(0), 0.5);
  flat->OnMouseUp(10, 0, kPlain);
}

TEST_F(IKnobControlBaseTest, SteppedParametersSnapButSlowDragsAccumulate)
{
  TestKnob* k = Add(1); // five values: one step is 0.25 normalised
  k->OnMouseDown(10, 10, kPlain);
  log.clear();
  k->OnMouseDrag(10, 10, 0, -20, kPlain); // 0.1: less than half a step
  EXPECT_DOUBLE_EQ(k->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(k->GetDragValue(), 0.1);
  k->OnMouseDrag(10, 10, 0, -10, kPlain); // 0.15: past half a step
  EXPECT_DOUBLE_EQ(k->GetValue(0), 0.25);
  EXPECT_THAT(log, ElementsAre("set 1 0", "set 1 0.25"));
  k->OnMouseUp(10, 10, kPlain);
}

TEST_F(IKnobControlBaseTest, WheelTurns)
{
  TestKnob* stepped = Add(1);
  stepped->SetValue(0.25, 0);
  stepped->OnMouseWheel(0, 0, kPlain, 3.f);
  EXPECT_DOUBLE_EQ(stepped->GetValue(0), 0.5) << "one step whatever the delta";
  stepped->OnMouseWheel(0, 0, kPlain, -0.2f);
  EXPECT_DOUBLE_EQ(stepped->GetValue(0), 0.25);
  log.clear();
  stepped->OnMouseWheel(0, 0, kPlain, 0.f);
  EXPECT_THAT(log, ElementsAre("set 1 0.25")) << "a zero delta sends the value again";

  TestKnob* smooth = Add(0);
  smooth->SetValue(0.5, 0);
  smooth->OnMouseWheel(0, 0, kPlain, 2.f);
  EXPECT_DOUBLE_EQ(smooth->GetValue(0), 0.52);
  smooth->OnMouseWheel(0, 0, kCtrl, 2.f);
  EXPECT_DOUBLE_EQ(smooth->GetValue(0), 0.522);
  smooth->OnMouseWheel(0, 0, kShift, -2.f);
  EXPECT_DOUBLE_EQ(smooth->GetValue(0), 0.52);
  log.clear();
  smooth->OnMouseWheel(0, 0, kPlain, 100.f);
  EXPECT_DOUBLE_EQ(smooth->GetValue(0), 1.0);
  EXPECT_THAT(log, ElementsAre("set 0 1"));
}

} // namespace
} // namespace iplug::igraphics
