#include "framework/core/IParam.h"
#include "framework/graphics/ICornerResizerControl.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IKnobControlBase.h"
#include "framework/graphics/ITextEntryControl.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TestKnob : public IKnobControlBase
{
public:
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

IPointerEvent Press(float x, float y, bool right = false, int64_t id = 0)
{
  IPointerEvent p;
  p.x = x;
  p.y = y;
  p.ms = IModifierState(!right, right, false, false, false, id);
  return p;
}

IPointerEvent Move(float x, float y, float dx, float dy, int64_t id = 0)
{
  IPointerEvent p = Press(x, y, false, id);
  p.dX = dx;
  p.dY = dy;
  return p;
}

class IGraphicsInputTest : public ::testing::Test
{
protected:
  IGraphicsInputTest()
  {
    for (int i = 0; i < 4; i++)
      dlg.GetParam(i)->ConfigureDouble("p", 0.0, 0.0, 1.0, 0.01);
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  gfxtest::RecordingGraphics g{&dlg, 200, 100};
  std::map<const IControl*, std::string> names;

  LoggingControl* Add(const char* name, const IBounds& b, std::vector<int> params = {})
  {
    auto* c = new LoggingControl(b, std::move(params), log, name);
    g.AddControl(c);
    names[c] = name;
    return c;
  }

  std::string Hit(float x, float y, bool mouseOver = false)
  {
    IControl* c = g.FindControlAt(x, y, false, mouseOver, 0);
    if (!c) return "none";
    if (c == g.GetCornerResizer()) return "resizer";
    if (c == g.GetTextEntryControl()) return "entry";
    return names[c];
  }
};

TEST_F(IGraphicsInputTest, HitTestOrderBoundsAndFlags)
{
  Add("bg", {0, 0, 200, 100});
  Add("a", {10, 10, 50, 50});
  Add("b", {30, 30, 70, 70});
  Add("hidden", {60, 10, 90, 40})->SetHidden(true);
  Add("ignored", {100, 10, 140, 50})->SetIgnoreMouse(true);
  Add("disabled", {150, 10, 190, 50})->SetDisabled(true);
  auto* eventsWhenDisabled = Add("disabled-events", {150, 60, 190, 90});
  eventsWhenDisabled->SetDisabled(true);
  eventsWhenDisabled->SetMouseEventsWhenDisabled(true);
  auto* hoverWhenDisabled = Add("disabled-hover", {100, 60, 140, 90});
  hoverWhenDisabled->SetDisabled(true);
  hoverWhenDisabled->SetMouseOverWhenDisabled(true);
  g.AddCornerResizer();

  struct Row
  {
    float x, y;
    const char* press;
    const char* hoverTracking;
  };
  const Row rows[] = {
      {40, 40, "b", "b"},                    // topmost first
      {20, 20, "a", "a"},                    //
      {50, 20, "bg", "none"},                // right edge of a is outside; bg is never hovered
      {10, 10, "a", "a"},                    // left and top edges are inside
      {75, 20, "bg", "none"},                // hidden controls fall through
      {110, 20, "bg", "none"},               // so do ignore-mouse controls
      {160, 20, "bg", "none"},               // and disabled ones
      {160, 70, "disabled-events", "none"},  // unless they take events while disabled
      {110, 70, "bg", "disabled-hover"},     // or hover while disabled
      {190, 95, "resizer", "resizer"},       // the resizer before the list
      {199.9f, 99.9f, "resizer", "resizer"}, //
      {200, 50, "none", "none"},             // outside the editor
  };
  g.EnableMouseOver(true);
  for (const Row& r : rows)
  {
    EXPECT_EQ(Hit(r.x, r.y), r.press) << r.x << "," << r.y;
    EXPECT_EQ(Hit(r.x, r.y, true), r.hoverTracking) << r.x << "," << r.y;
  }

  // Without hover tracking no attached control is a hover target; the resizer still is.
  g.EnableMouseOver(false);
  EXPECT_EQ(Hit(40, 40, true), "none");
  EXPECT_EQ(Hit(190, 95, true), "resizer");
  EXPECT_FALSE(g.OnMouseOver(40, 40, {}));
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
  g.EnableTooltips(true);
  EXPECT_TRUE(g.OnMouseOver(40, 40, {}));
  EXPECT_EQ(g.GetMouseOverIdx(), 2);

  // An open text field takes every event.
  g.AddTextEntryControl();
  auto* target = Add("target", {0, 0, 5, 5});
  g.ShowTextEntry(target, DEFAULT_TEXT, {0, 0, 40, 20}, "1.0", 0);
  EXPECT_EQ(Hit(40, 40), "entry");
  EXPECT_EQ(Hit(190, 95), "entry");
}

TEST_F(IGraphicsInputTest, GesturesBracketThePressInSlotOrder)
{
  auto* c = Add("c", {0, 0, 50, 50}, {2, 0});
  c->onDown = [](LoggingControl* self)
  {
    self->SetValue(0.25, 0);
    self->SetValue(0.75, 1);
    self->MarkDirty(true, kAllSlots);
  };
  g.OnMouseDown({Press(10, 10)});
  g.OnMouseDrag({Move(12, 10, 2, 0)});
  g.OnMouseDrag({Move(12, 10, 0, 0)}); // no movement: not delivered
  g.OnMouseUp({Press(12, 10)});
  EXPECT_THAT(log, ElementsAre("begin 2", "begin 0", "down c", "set 2 0.25", "set 0 0.75", "drag c", "up c",
                               "end 2", "end 0"));
  EXPECT_FALSE(g.HasMouseCapture());
}

TEST_F(IGraphicsInputTest, RightPressGoesToTheContextMenuWithoutAGesture)
{
  auto* c = Add("c", {0, 0, 50, 50}, {1});
  g.OnMouseDown({Press(10, 10, true)});
  EXPECT_THAT(log, IsEmpty()) << "no handler, no begin, and an empty context menu is not shown";
  EXPECT_THAT(g.shownMenus, IsEmpty());
  EXPECT_FALSE(g.HasMouseCapture());

  c->contextItems = {"Learn", "Forget"};
  g.popupAnswers = {1};
  g.OnMouseDown({Press(10, 10, true)});
  ASSERT_EQ(g.shownMenus.size(), 1u);
  EXPECT_EQ(g.shownMenus[0].bounds, (IBounds{10, 10, 10, 10}));
  EXPECT_THAT(log, ElementsAre("ctx:1 c"));
  g.OnMouseUp({Press(10, 10, true)});
  EXPECT_THAT(log, ElementsAre("ctx:1 c")) << "never an end without its begin";

  // A right press on a control without a parameter is an ordinary press.
  log.clear();
  Add("plain", {60, 0, 90, 50});
  g.OnMouseDown({Press(70, 10, true)});
  EXPECT_THAT(log, ElementsAre("rdown plain"));
}

TEST_F(IGraphicsInputTest, HostValuesWaitWhileTheControlIsHeld)
{
  auto* knob = new TestKnob({0, 0, 50, 50}, 1);
  g.AddControl(knob);
  g.OnMouseDown({Press(10, 10)});
  knob->ApplyValueFromDelegate(0.9, 0);
  EXPECT_EQ(knob->GetValue(0), 0.0);
  g.OnMouseUp({Press(10, 10)});
  knob->ApplyValueFromDelegate(0.9, 0);
  EXPECT_EQ(knob->GetValue(0), 0.9);
}

TEST_F(IGraphicsInputTest, DroppedCaptureEndsTheGesturesOnce)
{
  auto* knob = new TestKnob({0, 0, 50, 50}, 1);
  g.AddControl(knob);
  Add("c", {60, 0, 100, 50}, {3});

  // Resize from inside a drag.
  g.OnMouseDown({Press(10, 10)});
  ASSERT_TRUE(knob->IsMouseDown());
  ASSERT_TRUE(g.IsCursorHidden());
  g.OnMouseDrag({Move(10, 5, 0, -5)});
  g.Resize(300, 200, 1.f);
  EXPECT_FALSE(knob->IsMouseDown()) << "press state reset";
  EXPECT_FALSE(g.IsCursorHidden()) << "cursor shown again";
  EXPECT_EQ(g.hideCalls.back(), std::make_pair(false, true));
  g.OnMouseUp({Press(10, 10)});
  int ends = 0, begins = 0;
  for (const std::string& e : log)
  {
    ends += e == "end 1";
    begins += e == "begin 1";
  }
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);

  // A dialog opened mid-press.
  log.clear();
  g.OnMouseDown({Press(70, 10)});
  g.ShowMessageBox("Failed", "Quorvel", 0, nullptr);
  g.OnMouseUp({Press(70, 10)});
  EXPECT_THAT(log, ElementsAre("begin 3", "down c", "lost c", "end 3"));

  // Removing every control mid-press.
  log.clear();
  g.OnMouseDown({Press(70, 10)});
  g.RemoveAllControls();
  g.OnMouseUp({Press(70, 10)});
  EXPECT_THAT(log, ElementsAre("begin 3", "down c", "lost c", "end 3"));
}

TEST_F(IGraphicsInputTest, EachTouchHasItsOwnCapture)
{
  auto* left = Add("left", {0, 0, 50, 50}, {0});
  Add("right", {60, 0, 100, 50}, {1});
  g.OnMouseDown({Press(10, 10, false, 1), Press(70, 10, false, 2)});
  EXPECT_THAT(log, ElementsAre("begin 0", "down left", "begin 1", "down right"));
  EXPECT_EQ(g.GetCapturedControl(1), left);

  // A captured touch keeps its control wherever it goes.
  log.clear();
  EXPECT_EQ(g.FindControlAt(80, 10, true, false, 1), left);
  g.OnMouseDrag({Move(90, 40, 5, 5, 1)});
  EXPECT_THAT(log, ElementsAre("drag left"));

  // A third finger on a held control gets nothing without the multi-touch flag.
  log.clear();
  g.OnMouseDown({Press(20, 20, false, 3)});
  EXPECT_THAT(log, IsEmpty());
  EXPECT_EQ(g.GetCapturedControl(3), nullptr);
  left->SetWantsMultiTouch(true);
  g.OnMouseDown({Press(20, 20, false, 3)});
  EXPECT_THAT(log, ElementsAre("begin 0", "down left"));

  // Releasing one touch ends only its own gestures.
  log.clear();
  g.OnMouseUp({Press(80, 10, false, 2)});
  EXPECT_THAT(log, ElementsAre("up right", "end 1"));
  EXPECT_EQ(g.GetCapturedControl(1), left);
}

TEST_F(IGraphicsInputTest, HoverDoubleClickWheelKeysAndDrops)
{
  auto* bg = Add("bg", {0, 0, 200, 100});
  auto* a = Add("a", {10, 10, 50, 50}, {1});
  auto* b = Add("b", {60, 10, 90, 50});
  g.EnableMouseOver(true);

  // Hover is delivered on every call, and the old control is told when it changes.
  g.OnMouseOver(20, 20, {});
  g.OnMouseOver(21, 20, {});
  g.OnMouseOver(70, 20, {});
  EXPECT_THAT(log, ElementsAre("over a", "over a", "out a", "over b"));
  EXPECT_EQ(g.GetMouseOverControl(), b);
  EXPECT_EQ(g.GetMouseOverIdx(), 2);

  g.SetMouseCursor(kHandCursor);
  log.clear();
  g.OnMouseOut();
  EXPECT_EQ(g.cursorCalls.back(), kArrowCursor);
  EXPECT_EQ(g.GetCursorType(), kHandCursor) << "the stored type survives leaving the window";
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
  EXPECT_EQ(std::count(log.begin(), log.end(), "out b"), 1);

  // A release updates hover for the mouse.
  log.clear();
  g.OnMouseDown({Press(70, 20)});
  g.OnMouseUp({Press(70, 20)});
  EXPECT_THAT(log, ElementsAre("down b", "up b", "over b"));

  // Double click: the control's own handler (a reset to default) and no capture left.
  log.clear();
  a->SetValue(0.6, 0);
  EXPECT_TRUE(g.OnMouseDoubleClick(20, 20, {}));
  EXPECT_THAT(log, ElementsAre("dbl a", "set 1 0"));
  EXPECT_FALSE(g.HasMouseCapture());
  EXPECT_FALSE(g.OnMouseDoubleClick(300, 300, {}));
  // ... or a second press when the control asks for it.
  log.clear();
  a->SetDoubleClickAsSingle(true);
  g.OnMouseDoubleClick(20, 20, {});
  EXPECT_THAT(log, ElementsAre("begin 1", "down a"));
  g.OnMouseUp({Press(20, 20)});

  log.clear();
  EXPECT_TRUE(g.OnMouseWheel(70, 20, {}, 1.f));
  EXPECT_FALSE(g.OnMouseWheel(300, 20, {}, 1.f));
  EXPECT_THAT(log, ElementsAre("wheel b"));

  log.clear();
  IKeyStroke key("a", 'A', false, false, false);
  EXPECT_FALSE(g.OnKeyDown(150, 80, key)) << "over the background";
  b->keyHandled = false;
  EXPECT_FALSE(g.OnKeyDown(70, 20, key));
  b->keyHandled = true;
  EXPECT_TRUE(g.OnKeyDown(70, 20, key));
  EXPECT_FALSE(g.OnKeyUp(70, 20, key)) << "the base control handles no key releases";
  EXPECT_THAT(log, ElementsAre("key b", "key b"));
  (void)bg;

  log.clear();
  g.OnDrop("hello", 70, 20);
  g.OnDropPaths({"/tmp/x.wav", "/tmp/y.wav"}, 20, 20);
  g.OnDropPaths({}, 20, 20);
  EXPECT_THAT(log, ElementsAre("drop:hello b", "drop:/tmp/x.wav a"));
}

TEST_F(IGraphicsInputTest, TextEntryTakesOnlyItsOwnDrags)
{
  auto* c = Add("c", {0, 0, 50, 50});
  g.OnMouseDown({Press(10, 10)});
  g.ShowTextEntry(c, DEFAULT_TEXT, {0, 0, 40, 20}, "x", 0);
  log.clear();
  g.OnMouseDrag({Move(12, 10, 2, 0)});
  EXPECT_THAT(log, IsEmpty()) << "no text entry control: no drag reaches anyone";
}

} // namespace
} // namespace iplug::igraphics
