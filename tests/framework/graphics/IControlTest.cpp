#include "framework/core/IParam.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class IControlTest : public ::testing::Test
{
protected:
  IControlTest()
  {
    dlg.GetParam(0)->ConfigureDouble("Drive", 2.0, 0.0, 10.0, 0.1);
    dlg.GetParam(1)->ConfigureDouble("Tone", 0.0, -1.0, 1.0, 0.01);
  }

  LoggingControl* Add(const IBounds& b, std::vector<int> params, const char* name = "c")
  {
    auto* c = new LoggingControl(b, std::move(params), log, name);
    c->SetActionFunction([this](IControl*) { log.push_back("action"); });
    g.AddControl(c);
    c->MarkClean();
    return c;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{2, log};
  gfxtest::RecordingGraphics g{&dlg, 200, 100};
};

TEST_F(IControlTest, UserValuesAreClampedBeforeTheyLeaveAndRepeatsAreIgnored)
{
  auto* c = Add({0, 0, 10, 10}, {0});
  auto* peer = Add({20, 0, 30, 10}, {0}, "peer");
  c->ApplyValueFromUser(1.7, 0);
  EXPECT_THAT(log, ElementsAre("set 0 1", "action"));
  EXPECT_EQ(c->GetValue(0), 1.0);
  EXPECT_EQ(peer->GetValue(0), 1.0) << "peers follow";
  EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), 10.0);

  log.clear();
  c->ApplyValueFromUser(1.0, 0);
  EXPECT_THAT(log, IsEmpty()) << "the same value neither notifies nor calls the action";

  // NaN never reaches the delegate: the control falls back to where the parameter stands.
  c->ApplyValueFromUser(std::numeric_limits<double>::quiet_NaN(), 0);
  EXPECT_THAT(log, ElementsAre("set 0 1", "action"));
  EXPECT_EQ(c->GetValue(0), 1.0);

  // Values from the delegate redraw without echo.
  log.clear();
  c->MarkClean();
  c->ApplyValueFromDelegate(0.25, 0);
  EXPECT_EQ(c->GetValue(0), 0.25);
  EXPECT_TRUE(c->IsDirty());
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(IControlTest, SlotsAndParameterLookups)
{
  auto* pair = Add({0, 0, 10, 10}, {1, 0});
  EXPECT_EQ(pair->NValueSlots(), 2);
  EXPECT_EQ(pair->GetValueIndexAt(5, 5), kAllSlots);
  EXPECT_EQ(pair->FindValueSlotForParam(0), 1);
  EXPECT_EQ(pair->FindValueSlotForParam(7), kAllSlots);
  EXPECT_EQ(pair->GetParam(2), nullptr) << "a slot outside the list has no parameter";
  EXPECT_EQ(pair->GetParamIndex(-3), kNoParameter);
  EXPECT_THROW(pair->BindParam(1, 2), std::out_of_range);
  pair->BindParam(5, 1); // beyond the delegate's list
  EXPECT_EQ(pair->GetParam(1), nullptr);

  // Every slot is notified in order, then the action once.
  log.clear();
  pair->BindParam(0, 1);
  pair->SetValue(-0.5, 0);
  pair->SetValue(0.5, 1);
  pair->MarkDirty(true, kAllSlots);
  EXPECT_THAT(log, ElementsAre("set 1 0", "set 0 0.5", "action"));

  // Reset to default, for one slot and for all.
  log.clear();
  pair->ResetValueToDefault(kAllSlots);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.5);
  EXPECT_DOUBLE_EQ(pair->GetValue(1), 0.2);
  EXPECT_THAT(log, ElementsAre("set 1 0.5", "set 0 0.2", "action"));
}

TEST_F(IControlTest, HitTestsFlagsAndHover)
{
  auto* empty = Add({0, 0, 0, 0}, {});
  EXPECT_FALSE(empty->HitTest(0, 0));
  auto* c = Add({10, 10, 20, 20}, {0});
  EXPECT_TRUE(c->HitTest(10, 10));
  EXPECT_FALSE(c->HitTest(20, 15));
  EXPECT_FALSE(c->HitTest(15, 20));
  c->SetTargetBounds({0, 0, 5, 5});
  EXPECT_TRUE(c->HitTest(1, 1));
  EXPECT_FALSE(c->HitTest(15, 15)) << "the hit test uses the target bounds";

  c->SetDisabled(true);
  EXPECT_EQ(c->GetBlend().weight, 0.25f);
  EXPECT_TRUE(c->IsDirty());
  c->MarkClean();
  c->SetDisabled(false);
  EXPECT_EQ(c->GetBlend().weight, 1.f);
  EXPECT_TRUE(c->IsDirty());

  c->MarkClean();
  c->OnMouseOver(1, 1, {});
  EXPECT_TRUE(c->IsDirty());
  c->MarkClean();
  c->OnMouseOver(2, 2, {});
  EXPECT_FALSE(c->IsDirty()) << "only the first hover redraws";
  c->OnMouseOut();
  EXPECT_TRUE(c->IsDirty());
}

TEST_F(IControlTest, ClicksResetAndPrompt)
{
  auto* c = Add({10, 10, 20, 20}, {0});
  c->ApplyValueFromUser(0.9, 0);
  log.clear();
  c->OnMouseDoubleClick(15, 15, {});
  EXPECT_THAT(log, ElementsAre("dbl c", "set 0 0.2", "action"));

  // Right click with prompting off: nothing at all.
  log.clear();
  c->MarkClean();
  c->OnMouseDown(15, 15, IModifierState(false, true));
  EXPECT_THAT(log, ElementsAre("rdown c"));
  EXPECT_FALSE(c->IsDirty());
  EXPECT_TRUE(g.textEntries.empty());
  c->SetValuePromptingOff(false);
  c->OnMouseDown(15, 15, IModifierState(false, true));
  ASSERT_EQ(g.textEntries.size(), 1u);
  EXPECT_EQ(g.textEntries[0].text, "2.0");
  EXPECT_TRUE(c->IsDirty());

  // A menu choice goes through the parameter; without prompting it is ignored.
  IPopupMenu menu(nullptr, {"a", "b", "c"});
  menu.SetChosenItemIdx(5);
  log.clear();
  c->OnMenuChoice(&menu, 0);
  EXPECT_THAT(log, ElementsAre("menu:5 c", "set 0 0.5", "action"));
  c->SetValuePromptingOff(true);
  log.clear();
  menu.SetChosenItemIdx(9);
  c->OnMenuChoice(&menu, 0);
  EXPECT_THAT(log, ElementsAre("menu:9 c"));
}

TEST_F(IControlTest, PositionSizeAndValueFromPosition)
{
  auto* c = Add({10, 20, 30, 60}, {0});
  c->SetTargetBounds({12, 22, 28, 58});
  c->SetPosition(-5, 10);
  EXPECT_EQ(c->GetBounds(), (IBounds{0, 10, 20, 50}));
  EXPECT_EQ(c->GetTargetBounds(), (IBounds{2, 12, 18, 48}));
  EXPECT_EQ(c->targetSeenInResize, (IBounds{12, 22, 28, 58})) << "OnResize sees the old target bounds";

  c->SetSize(-3, 8);
  EXPECT_EQ(c->GetBounds(), (IBounds{0, 10, 0, 18}));
  EXPECT_EQ(c->GetTargetBounds(), c->GetBounds());

  log.clear();
  c->SetValueFromPosition(0, 1000.f / 3.f, false, {0, 0, 100, 1000}, 0);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.667);
  c->SetValueFromPosition(-20, 0, true, {0, 0, 100, 1000}, 0, 0.1, 0.9);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.1);
  c->SetValueFromPosition(99.96f, 0, true, {0, 0, 100, 1000}, 0);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 1.0) << "to the nearest thousandth";
  EXPECT_EQ(log.size(), 6u);
}

TEST_F(IControlTest, AnimationGesturesAndHighlight)
{
  auto* c = Add({10, 10, 20, 20}, {});
  EXPECT_EQ(c->GetAnimationProgress(), 0.0);
  int ends = 0;
  c->SetAnimationEndActionFunction([&ends](IControl*) { ends++; });
  c->SetAnimation([](IControl*) {}, 1e9);
  EXPECT_TRUE(c->IsDirty());
  const double progress = c->GetAnimationProgress();
  EXPECT_GE(progress, 0.0);
  EXPECT_LT(progress, 1e-3);
  c->FinishAnimation();
  EXPECT_FALSE(c->HasAnimation());
  EXPECT_EQ(ends, 1);

  EXPECT_FALSE(c->AcceptsGestures());
  IGesture pinch;
  pinch.type = 3;
  EXPECT_FALSE(c->HandleGesture(pinch));
  int pinches = 0;
  c->SetGestureHandler(3, [&pinches](IControl*, const IGesture&) { pinches++; });
  EXPECT_TRUE(c->AcceptsGestures());
  EXPECT_TRUE(c->HandleGesture(pinch));
  EXPECT_EQ(pinches, 1);
  EXPECT_EQ(c->GetLastGesture(), 3);
  c->SetAnimation([](IControl*) {});
  EXPECT_FALSE(c->AcceptsGestures()) << "not while animating";

  g.ClearCalls();
  c->DrawHighlightMark(g);
  EXPECT_TRUE(g.calls.empty());
  c->SetHighlighted(true);
  c->DrawHighlightMark(g);
  EXPECT_THAT(g.PathLog(), ElementsAre("M 15 13", "A 15 15 2 0 360 0", "Z"));
  EXPECT_EQ(g.Last(gfxtest::Op::Fill)->pattern.stops[0].colour, COLOR_RED);
}

} // namespace
} // namespace iplug::igraphics
