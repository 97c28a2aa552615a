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

#include <random>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using gfxtest::Op;
using ::testing::ElementsAre;

// Records the attach sequence.
class AttachProbe : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  std::vector<std::string> steps;
  bool inListAtAfterAttach = false;
  void OnBeforeAttach() override { steps.push_back(GetGraphics() ? "before+g" : "before"); }
  void OnResize() override { steps.push_back("resize"); }
  void OnScaleChanged() override { steps.push_back("scale"); }
  void OnAfterAttach() override
  {
    steps.push_back("after");
    inListAtAfterAttach = GetGraphics()->GetControlIdx(this) >= 0;
  }
};

class IGraphicsTest : public ::testing::Test
{
protected:
  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  gfxtest::RecordingGraphics g{&dlg, 200, 100};

  LoggingControl* Add(const IBounds& b, std::vector<int> params = {}, const char* name = "c", int tag = -1)
  {
    return static_cast<LoggingControl*>(
        g.AddControl(new LoggingControl(b, std::move(params), log, name), tag));
  }
};

TEST_F(IGraphicsTest, AttachingTagsAndIteration)
{
  auto* probe = new AttachProbe({0, 0, 10, 10}, {}, log, "probe");
  ASSERT_EQ(g.AddControl(probe, 5, "knobs"), probe);
  EXPECT_THAT(probe->steps, ElementsAre("before+g", "resize", "scale", "after"));
  EXPECT_TRUE(probe->inListAtAfterAttach);
  EXPECT_EQ(probe->GetDelegate(), &dlg);
  EXPECT_STREQ(probe->GetGroup(), "knobs");
  EXPECT_EQ(g.FindControlByTag(5), probe);

  // A tag in use refuses the control; the caller keeps it.
  auto* second = new LoggingControl({0, 0, 1, 1}, {}, log, "second");
  EXPECT_EQ(g.AddControl(second, 5), nullptr);
  EXPECT_EQ(g.NControls(), 1);
  EXPECT_EQ(second->GetGraphics(), nullptr);
  delete second;

  for (int i = 0; i < 3; i++)
    EXPECT_NE(Add({0, 0, 1, 1}), nullptr);
  EXPECT_EQ(g.NControls(), 4);
  EXPECT_EQ(g.FindControlByTag(-1), nullptr);
  EXPECT_EQ(g.FindControlByTag(6), nullptr);

  // Many tags: the map keeps finding them as it grows.
  std::vector<IControl*> tagged;
  for (int t = 100; t < 164; t++)
    tagged.push_back(Add({0, 0, 1, 1}, {}, "t", t));
  for (int t = 100; t < 164; t++)
    EXPECT_EQ(g.FindControlByTag(t), tagged[static_cast<size_t>(t - 100)]);

  g.AddTextEntryControl();
  g.AddCornerResizer();
  ITextEntryControl* entry = g.GetTextEntryControl();
  g.AddTextEntryControl();
  EXPECT_EQ(g.GetTextEntryControl(), entry) << "a second text entry control is never made";
  std::vector<IControl*> order;
  g.ForEachControl([&order](IControl* c) { order.push_back(c); });
  ASSERT_EQ(order.size(), static_cast<size_t>(g.NControls() + 2));
  EXPECT_EQ(order[0], probe);
  EXPECT_EQ(order[order.size() - 2], g.GetCornerResizer());
  EXPECT_EQ(order.back(), entry);
  int attached = 0;
  g.ForEachAttachedControl([&attached](IControl*) { attached++; });
  EXPECT_EQ(attached, g.NControls());
}

TEST_F(IGraphicsTest, CornerResizerPlacementAndSecondOneDiscarded)
{
  gfxtest::RecordingGraphics editor{&dlg, 980, 650};
  editor.AddCornerResizer(kResizeScale, false, COLOR_RED, COLOR_GREEN, COLOR_BLUE, 20.f);
  ICornerResizerControl* resizer = editor.GetCornerResizer();
  ASSERT_NE(resizer, nullptr);
  // Attaching told it the scale at once: it covers the corner itself.
  EXPECT_EQ(resizer->GetBounds(), (IBounds{960, 630, 980, 650}));
  editor.AddCornerResizer(kResizeSize, true);
  EXPECT_EQ(editor.GetCornerResizer(), resizer);
  EXPECT_EQ(editor.GetCornerResizeMode(), kResizeScale);
}

TEST_F(IGraphicsTest, RemoveAllControlsForgetsEverythingAndPeersFollowValues)
{
  dlg.GetParam(1)->ConfigureDouble("Drive", 0.0, 0.0, 10.0, 0.1);
  auto* a = Add({0, 0, 10, 10}, {1}, "a");
  auto* b = Add({20, 0, 30, 10}, {2, 1}, "b");
  auto* other = Add({40, 0, 50, 10}, {2}, "other");
  a->SetValue(0.3, 0);
  a->MarkDirty(true, 0);
  EXPECT_DOUBLE_EQ(b->GetValue(1), 0.3);
  EXPECT_DOUBLE_EQ(b->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(other->GetValue(0), 0.0);
  EXPECT_NEAR(dlg.GetParam(1)->Value(), 3.0, 1e-9);

  g.AddControl(new LoggingControl({0, 0, 1, 1}, {}, log, "tagged"), 9);
  g.AddCornerResizer();
  g.AddTextEntryControl();
  g.OnMouseOver(5, 5, {});
  g.RemoveAllControls();
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.FindControlByTag(9), nullptr);
  EXPECT_EQ(g.GetCornerResizer(), nullptr);
  EXPECT_EQ(g.GetTextEntryControl(), nullptr);
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
  // The tag is free again.
  EXPECT_NE(g.AddControl(new LoggingControl({0, 0, 1, 1}, {}, log, "again"), 9), nullptr);
}

TEST_F(IGraphicsTest, DirtyRectanglesArePaddedAndNotClippedToTheEditor)
{
  IRectList rects;
  auto* a = Add({10, 10, 20, 20});
  auto* outside = Add({190, 90, 230, 130});
  g.MarkAllControlsClean();
  EXPECT_FALSE(g.CollectDirtyRects(rects));
  EXPECT_TRUE(rects.Empty());

  a->MarkDirty(false);
  outside->MarkDirty(false);
  ASSERT_TRUE(g.CollectDirtyRects(rects));
  ASSERT_EQ(rects.Size(), 2);
  EXPECT_EQ(rects.Get(0), (IBounds{9.25f, 9.25f, 20.75f, 20.75f}));
  EXPECT_EQ(rects.Get(1), (IBounds{189.25f, 89.25f, 230.75f, 130.75f}));

  // A child is kept inside its parent's padded bounds.
  auto* child = Add({15, 15, 40, 40});
  child->SetParent(a);
  g.MarkAllControlsClean();
  child->MarkDirty(false);
  rects.Clear();
  g.CollectDirtyRects(rects);
  EXPECT_EQ(rects.Get(0), (IBounds{14.25f, 14.25f, 20.75f, 20.75f}));

  // An animated control is dirty at every tick; the callback may drop itself.
  g.MarkAllControlsClean();
  int ticks = 0;
  a->SetAnimation(
      [&ticks](IControl* c)
      {
        if (++ticks == 2) c->SetAnimation(nullptr);
      });
  rects.Clear();
  EXPECT_TRUE(g.CollectDirtyRects(rects));
  g.MarkAllControlsClean();
  rects.Clear();
  EXPECT_FALSE(g.CollectDirtyRects(rects)) << "the second tick dropped the animation";
  EXPECT_EQ(ticks, 2);
}

TEST_F(IGraphicsTest, PaintingDrawsOnlyControlsMeetingARegionClippedToIt)
{
  IRectList rects;
  g.PaintRegions(rects);
  EXPECT_TRUE(g.calls.empty()) << "no region, no frame";

  auto* background = Add({0, 0, 200, 100}, {}, "bg");
  auto* left = Add({10, 10, 20, 20}, {}, "left");
  auto* right = Add({100, 10, 120, 20}, {}, "right");
  auto* hidden = Add({10, 10, 20, 20}, {}, "hidden");
  hidden->SetHidden(true);
  background->SetHidden(true);

  rects.Add({9.25f, 9.25f, 20.75f, 20.75f});
  g.SetDisplayScale(2.f);
  g.ClearCalls();
  g.PaintRegions(rects);
  EXPECT_EQ(rects.Get(0), (IBounds{9, 9, 21, 21})) << "aligned to device pixels";
  EXPECT_EQ(g.calls.front().op, Op::BeginFrame);
  EXPECT_EQ(g.calls.back().op, Op::PresentFrame);
  EXPECT_EQ(background->draws, 1) << "the first control is drawn even when hidden";
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  std::vector<IBounds> clips;
  for (const auto& c : g.calls)
    if (c.op == Op::Clip) clips.push_back(c.bounds);
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0], (IBounds{9, 9, 21, 21}));
  EXPECT_EQ(clips[1], (IBounds{9, 9, 21, 21}));
  EXPECT_EQ(g.Count(Op::AfterControlDraw), 2);

  // Each control is drawn once per region it meets.
  rects.Clear();
  rects.Add({0, 0, 50, 50});
  rects.Add({90, 0, 130, 50});
  g.PaintRegions(rects);
  EXPECT_EQ(left->draws, 2);
  EXPECT_EQ(right->draws, 1);
}

// A partial repaint after some controls change gives the same picture as repainting everything.
TEST_F(IGraphicsTest, PartialRepaintEqualsFullRepaint)
{
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> pos(0, 180);
  std::uniform_int_distribution<int> size(1, 30);
  Add({0, 0, 200, 100}, {}, "bg");
  std::vector<LoggingControl*> controls;
  for (int i = 0; i < 25; i++)
  {
    const float x = float(pos(rng)), y = float(pos(rng) % 90);
    auto* c = Add({x, y, x + float(size(rng)), y + float(size(rng))});
    c->colour = {255, i + 1, 0, 0};
    controls.push_back(c);
  }
  for (float scale : {1.f, 2.f})
  {
    g.SetDisplayScale(scale);
    gfxtest::CoverageRaster screen(200, 100, 2);
    g.raster = &screen;
    IRectList all;
    all.Add({0, 0, 200, 100});
    g.PaintRegions(all);
    g.MarkAllControlsClean();

    for (int round = 0; round < 30; round++)
    {
      // Change a few colours; only those controls become dirty.
      for (int k = 0; k < 3; k++)
      {
        LoggingControl* c = controls[rng() % controls.size()];
        c->colour = {255, c->colour.R, (c->colour.G + 37) % 256, round};
        c->MarkDirty(false);
      }
      IRectList dirty;
      ASSERT_TRUE(g.CollectDirtyRects(dirty));
      g.MarkAllControlsClean();
      g.PaintRegions(dirty);

      gfxtest::CoverageRaster full(200, 100, 2);
      g.raster = &full;
      IRectList everything;
      everything.Add({0, 0, 200, 100});
      g.PaintRegions(everything);
      g.raster = &screen;
      ASSERT_TRUE(screen == full) << "scale " << scale << " round " << round;
    }
    g.raster = nullptr;
  }
}

} // namespace
} // namespace iplug::igraphics

namespace iplug::igraphics
{
namespace
{

class HoldingKnob : public IKnobControlBase
{
public:
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

// A platform that does not let go in its own destructor: the base destructor must still finish without
// calling into the platform part that is already gone (a pure virtual call would abort the test).
TEST(IGraphicsLifetimeTest, DestroyedWithAHeldHiddenCursorKnob)
{
  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{1, log};
  auto* g = new gfxtest::RecordingGraphics(&dlg, 100, 100);
  g->releaseOnDestroy = false;
  g->AddControl(new HoldingKnob({0, 0, 50, 50}, 0));
  IPointerEvent press;
  press.x = 10;
  press.y = 10;
  press.ms = IModifierState(true);
  g->OnMouseDown({press});
  ASSERT_TRUE(g->IsCursorHidden());
  const size_t hideCalls = g->hideCalls.size();
  delete g;
  EXPECT_EQ(hideCalls, 1u);
  EXPECT_THAT(log, ElementsAre("begin 0", "end 0")) << "the gesture still ends";
}

} // namespace
} // namespace iplug::igraphics

namespace iplug::igraphics
{
namespace
{

// Follows an outside value the way a meter does: the dirty poll itself takes the new reading.
class PollingControl : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  bool IsDirty() override
  {
    if (*source != shown)
    {
      shown = *source;
      return true;
    }
    return LoggingControl::IsDirty();
  }
  const int* source = nullptr;
  int shown = 0;
};

// A host with its own menu for parameters.
class HostMenuGraphics : public gfxtest::RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;
  void ShowParamContextMenu(IControl*, int paramIdx, float, float) override { asked.push_back(paramIdx); }
  std::vector<int> asked;
};

} // namespace

TEST(IGraphicsHooksTest, TheDirtyPollMayUpdateTheControlAndTheHostMayOwnTheParameterMenu)
{
  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  HostMenuGraphics g{&dlg, 200, 100};
  int reading = 0;
  auto* meter = new PollingControl({0, 0, 10, 10}, {}, log, "meter");
  meter->source = &reading;
  g.AddControl(meter);
  g.MarkAllControlsClean();
  IRectList rects;
  EXPECT_FALSE(g.CollectDirtyRects(rects));
  reading = 7;
  EXPECT_TRUE(g.CollectDirtyRects(rects));
  EXPECT_EQ(meter->shown, 7);
  EXPECT_FALSE(g.CollectDirtyRects(rects)) << "the reading was taken once";

  g.AddControl(new LoggingControl({20, 0, 40, 10}, {2}, log, "knob"));
  IPointerEvent right;
  right.x = 25;
  right.y = 5;
  right.ms = IModifierState(false, true);
  g.OnMouseDown({right});
  EXPECT_EQ(g.asked, std::vector<int>{2});
}

} // namespace iplug::igraphics
