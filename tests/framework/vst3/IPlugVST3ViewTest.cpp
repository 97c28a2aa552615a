#include "framework/vst3/IPlugVST3View.h"
#include "framework/vst3/KeyCodes.h"

#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/vst3/RecordingContextMenu.h"
#include "tests/support/vst3/RecordingPlugFrame.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <stdexcept>
#include <tuple>

using namespace Steinberg;
using namespace iplug;
using namespace iplug::igraphics;
using namespace iplug::igraphics::gfxtest;
using namespace quorvel::test;

namespace
{
auto Edges(const ViewRect& r)
{
  return std::make_tuple(r.left, r.top, r.right, r.bottom);
}

// A plug-in sized like the effect; its editor is a recording graphics context with a background and a
// knob on parameter 1 at (100, 100, 200, 200) that adds one item to context menus.
struct EditorRig
{
  explicit EditorRig(bool hasEditor = true, bool hostResize = true)
  {
    IPluginSpec spec = TestVst3Spec();
    std::tie(spec.hasEditor, spec.hostResizeEditor, spec.editorWidth, spec.editorHeight) =
        std::make_tuple(hasEditor, hostResize, 980, 650);
    std::tie(spec.editorMinWidth, spec.editorMaxWidth, spec.editorMinHeight, spec.editorMaxHeight) =
        std::make_tuple(326, 2940, 216, 1950);
    plug = new TestVst3Plugin(spec);
    plug->setComponentHandler(&handler);
    plug->SetMakeGraphicsFunc(
        [this]() -> IGraphics*
        {
          if (makeThrows) throw std::runtime_error("no context");
          return makesNothing ? nullptr : new RecordingGraphics(plug, 980, 650);
        });
    plug->SetLayoutFunc(
        [this](IGraphics* g)
        {
          g->AddControl(new LoggingControl({0, 0, 980, 650}, {}, log, "back"));
          knob = new LoggingControl({100, 100, 200, 200}, {1}, log, "knob");
          knob->contextItems = {"Mine"};
          knob->takesKeyUps = true;
          g->AddControl(knob);
        });
    view = plug->createView(Vst::ViewType::kEditor);
  }
  ~EditorRig()
  {
    if (plug) plug->release();
  }
  RecordingGraphics* Graphics() const { return static_cast<RecordingGraphics*>(plug->GetGraphics()); }
  void RightClick()
  {
    IPointerEvent click{150.7f, 150.7f};
    click.ms.R = true;
    Graphics()->OnMouseDown({click});
  }

  ContextMenuHandler handler;
  RecordingPlugFrame frame;
  EventLog log;
  bool makeThrows = false, makesNothing = false;
  TestVst3Plugin* plug;
  LoggingControl* knob = nullptr;
  IPlugView* view;
  int parent = 0;
};
} // namespace

TEST(IPlugVST3View, AnswersSizeAndTypeQuestionsWithoutAWindow)
{
  EditorRig rig;
  EXPECT_EQ(rig.plug->createView("Editor"), nullptr);
  EXPECT_EQ(EditorRig(false).view, nullptr);
  EXPECT_EQ(rig.view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(rig.view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
  ViewRect size;
  EXPECT_EQ(rig.view->getSize(&size), kResultTrue);
  EXPECT_EQ(Edges(size), std::make_tuple(0, 0, 980, 650));
  EXPECT_EQ(std::make_tuple(rig.view->getSize(nullptr), rig.view->checkSizeConstraint(nullptr),
                            rig.view->onSize(nullptr)),
            std::make_tuple(kInvalidArgument, kInvalidArgument, kResultFalse));
  const std::pair<ViewRect, ViewRect> cases[] = {
      {{10, 20, 110, 520}, {10, 20, 336, 520}},                              // below the smallest width
      {{0, 0, 1200, 800}, {0, 0, 1200, 800}},                                // inside: unchanged
      {{INT_MIN, 0, INT_MAX, INT_MAX}, {INT_MIN, 0, INT_MIN + 2940, 1950}}}; // spans beyond int
  for (auto [in, out] : cases)
  {
    EXPECT_EQ(rig.view->checkSizeConstraint(&in), kResultTrue);
    EXPECT_EQ(Edges(in), Edges(out));
  }
  rig.view->release();
}

TEST(IPlugVST3View, SendsOnlyRealResizesToTheHeldFrameAndNothingToAReleasedView)
{
  EditorRig rig;
  const uint32 frameRefs = rig.frame.refs;
  rig.view->setFrame(&rig.frame);
  rig.view->setFrame(&rig.frame);
  EXPECT_EQ(rig.frame.refs, frameRefs + 1) << "held once";
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(980, 650, true));
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1470, 975, false));
  ASSERT_EQ(rig.frame.requests.size(), 1u);
  EXPECT_EQ(rig.frame.requests[0].view, rig.view);
  EXPECT_EQ(Edges(rig.frame.requests[0].size), std::make_tuple(0, 0, 1470, 975));
  EXPECT_EQ(Edges(rig.frame.requests[0].sizeSeenInside), std::make_tuple(0, 0, 1470, 975));
  rig.view->setFrame(nullptr);
  EXPECT_EQ(rig.frame.refs, frameRefs);
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1000, 700, true));
  EXPECT_EQ(rig.plug->GetEditorWidth(), 1000) << "without a frame only recorded";

  rig.view->setFrame(&rig.frame);
  rig.view->release();
  EXPECT_EQ(rig.frame.refs, frameRefs);
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1200, 800, true));
  rig.plug->OpenWindow(&rig.parent);
  rig.RightClick();
  EXPECT_EQ(rig.frame.requests.size(), 1u);
  EXPECT_TRUE(rig.handler.requests.empty() && rig.Graphics()->shownMenus.empty());
  rig.plug->CloseWindow();
}

// What a real window cannot show (failed openings, hostile factors, the effect's own menu items, a view
// outliving the plug-in); the rest runs on the bundle in a host window under Wine.
TEST(IPlugVST3View, RefusesFailedOpeningsRunsOwnMenuItemsAndOutlivesTheHostsHoldOnThePlugin)
{
  EditorRig rig;
  IPlugView* view = rig.view;
  view->setFrame(&rig.frame);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeX11EmbedWindowID), kResultTrue);
  rig.makesNothing = true;
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultFalse);
  std::tie(rig.makesNothing, rig.makeThrows) = std::make_tuple(false, true);
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(rig.Graphics(), nullptr) << "nothing left open";
  rig.makeThrows = false;
  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue);

  IPlugViewContentScaleSupport* scaling = nullptr;
  view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling));
  for (float bad : {0.f, -1.f, NAN, INFINITY})
    EXPECT_EQ(scaling->setContentScaleFactor(bad), kResultFalse);
  EXPECT_EQ(rig.Graphics()->GetDisplayScale(), 1.f);
  scaling->release();

  // The control's own item chosen in the host's menu, at the truncated point; a target kept is cut loose.
  rig.handler.menu.onPopup = [](RecordingContextMenu& m) { m.Choose(0); };
  rig.RightClick();
  EXPECT_EQ(rig.handler.menu.popups, (decltype(rig.handler.menu.popups){{150, 150}}));
  EXPECT_EQ(rig.log.back(), "ctx:0 knob");
  EXPECT_EQ(rig.handler.menu.Choose(0), kResultFalse);
  view->removed();
  view->release();

  view = rig.plug->createView(Vst::ViewType::kEditor);
  rig.plug->release(); // the host lets go of the plug-in first
  rig.plug = nullptr;
  ViewRect size;
  EXPECT_EQ(view->getSize(&size), kResultTrue) << "the view keeps its plug-in";
  view->release();
}

TEST(IPlugVST3View, PassesKeysUpAndDownUnderTheMouseLeavesWheelAndFocusAndAnswersCanResize)
{
  {
    EditorRig fixed(true, false);
    EXPECT_EQ(fixed.view->canResize(), kResultFalse) << "the host may not resize";
    fixed.view->release();
  }
  EditorRig rig;
  IPlugView* view = rig.view;
  EXPECT_EQ(view->canResize(), kResultTrue);
  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue);
  std::tie(rig.Graphics()->mouseX, rig.Graphics()->mouseY) = std::make_tuple(150.f, 150.f);
  rig.log.clear();
  EXPECT_EQ(std::make_tuple(view->onWheel(1.f), view->onFocus(true)),
            std::make_tuple(kResultFalse, kResultFalse));
  EXPECT_TRUE(rig.log.empty()) << "the window has the wheel and the focus of its own";

  // In host 1 only the space bar reaches the editor, going down and coming up alike.
  struct Case
  {
    const char* host;
    int16 code;
    bool down, handled;
    tresult result;
    const char* logged; // null: the editor saw nothing
  };
  const Case cases[] = {{"", KEY_RETURN, true, true, kResultTrue, "key knob"},
                        {"", KEY_RETURN, false, true, kResultTrue, "keyup:13 knob"},
                        {"", KEY_SPACE, false, false, kResultFalse, "keyup:32 knob"},
                        {"reaper", KEY_RETURN, true, true, kResultFalse, nullptr},
                        {"reaper", KEY_RETURN, false, true, kResultFalse, nullptr},
                        {"reaper", KEY_SPACE, false, true, kResultTrue, "keyup:32 knob"}};
  for (const Case& c : cases)
  {
    rig.plug->SetHost(c.host, 0);
    rig.knob->keyHandled = c.handled;
    rig.log.clear();
    EXPECT_EQ(c.down ? view->onKeyDown(0, c.code, 0) : view->onKeyUp(0, c.code, 0), c.result)
        << c.host << c.code;
    EXPECT_EQ(rig.log, c.logged ? EventLog{c.logged} : EventLog{}) << c.host << c.code;
  }
  view->removed();
  view->release();
}
