#include "framework/vst3/IPlugVST3View.h"

#include "framework/vst3/KeyCodes.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/RecordingContextMenu.h"
#include "tests/support/vst3/RecordingPlugFrame.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace Steinberg
{
bool operator==(const ViewRect& a, const ViewRect& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const ViewRect& r, std::ostream* os)
{
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
} // namespace Steinberg

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace iplug;
using namespace iplug::igraphics;
using namespace iplug::igraphics::gfxtest;
using namespace quorvel::test;

namespace
{
IPluginSpec EditorSpec(bool hasEditor = true)
{
  IPluginSpec spec = TestVst3Spec();
  spec.hasEditor = hasEditor;
  spec.editorWidth = 980;
  spec.editorHeight = 650;
  spec.editorMinWidth = 326;
  spec.editorMaxWidth = 2940;
  spec.editorMinHeight = 216;
  spec.editorMaxHeight = 1950;
  spec.hostResizeEditor = true;
  return spec;
}

// A plug-in whose editor is a recording graphics context with a background and one knob on "Gain".
struct EditorRig
{
  explicit EditorRig(bool hasEditor = true) : plug(new TestVst3Plugin(EditorSpec(hasEditor)))
  {
    EXPECT_EQ(plug->initialize(&host), kResultOk);
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
          g->AddControl(new LoggingControl({100, 100, 200, 200}, {1}, log, "knob"));
        });
  }
  ~EditorRig()
  {
    plug->terminate();
    plug->release();
  }
  RecordingGraphics* Graphics() const { return static_cast<RecordingGraphics*>(plug->GetGraphics()); }
  IPlugView* CreateView() { return plug->createView(ViewType::kEditor); }

  HostApplication host;
  ContextMenuHandler handler;
  RecordingPlugFrame frame;
  EventLog log;
  bool makeThrows = false;
  bool makesNothing = false;
  TestVst3Plugin* plug;
  int parent = 0;
};

ViewRect Size(IPlugView* view)
{
  ViewRect r;
  EXPECT_EQ(view->getSize(&r), kResultTrue);
  return r;
}
} // namespace

TEST(IPlugVST3View, AnswersTheHostsQuestionsWithoutAWindow)
{
  EditorRig rig;
  EXPECT_EQ(rig.plug->createView("Editor"), nullptr);
  EXPECT_EQ(rig.plug->createView(nullptr), nullptr);
  IPlugView* view = rig.CreateView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHIView), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
  EXPECT_EQ(view->canResize(), kResultTrue);
  EXPECT_EQ(view->onWheel(1.f), kResultFalse);
  EXPECT_EQ(view->onFocus(true), kResultFalse);
  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
            kResultOk);
  scaling->release();

  const ViewRect size = Size(view);
  EXPECT_EQ(size, ViewRect(0, 0, 980, 650));
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  EXPECT_EQ(view->checkSizeConstraint(nullptr), kInvalidArgument);
  EXPECT_EQ(view->onSize(nullptr), kResultFalse);

  struct Case
  {
    ViewRect in, out;
  } cases[] = {{{10, 20, 110, 520}, {10, 20, 336, 520}}, // width below the minimum
               {{0, 0, 1200, 800}, {0, 0, 1200, 800}},   // inside the limits: unchanged
               {{0, 0, 5000, 100}, {0, 0, 2940, 216}},   // both out
               {{INT_MIN, 0, INT_MAX, INT_MAX}, {INT_MIN, 0, INT_MIN + 2940, 1950}}}; // spans past int
  for (Case& c : cases)
  {
    EXPECT_EQ(view->checkSizeConstraint(&c.in), kResultTrue);
    EXPECT_EQ(c.in, c.out) << c.out.right;
  }
  view->release();

  EditorRig none(false);
  EXPECT_EQ(none.CreateView(), nullptr);
}

TEST(IPlugVST3View, SendsOnlyRealResizesToTheHeldFrameAndForgetsAReleasedView)
{
  EditorRig rig;
  IPlugView* view = rig.CreateView();
  const uint32 frameRefs = rig.frame.refs;
  EXPECT_EQ(view->setFrame(&rig.frame), kResultTrue);
  EXPECT_EQ(view->setFrame(&rig.frame), kResultTrue);
  EXPECT_EQ(rig.frame.refs, frameRefs + 1) << "the frame is held once";

  EXPECT_TRUE(rig.plug->ResizeEditorWindow(980, 650, true));
  EXPECT_TRUE(rig.frame.requests.empty());
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1470, 975, false));
  ASSERT_EQ(rig.frame.requests.size(), 1u);
  EXPECT_EQ(rig.frame.requests[0].view, view);
  EXPECT_EQ(rig.frame.requests[0].size, ViewRect(0, 0, 1470, 975));
  EXPECT_EQ(rig.frame.requests[0].sizeSeenInside, ViewRect(0, 0, 1470, 975));

  // Without a frame the size is only recorded.
  view->setFrame(nullptr);
  EXPECT_EQ(rig.frame.refs, frameRefs);
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1000, 700, true));
  EXPECT_EQ(Size(view), ViewRect(0, 0, 1000, 700));
  view->setFrame(&rig.frame);

  // The host lets go of the view while holding the plug-in: nothing may reach the view any more.
  view->release();
  EXPECT_EQ(rig.plug->GetView(), nullptr);
  EXPECT_EQ(rig.frame.refs, frameRefs);
  EXPECT_TRUE(rig.plug->ResizeEditorWindow(1200, 800, true));
  EXPECT_EQ(rig.frame.requests.size(), 1u);
}

TEST(IPlugVST3View, OpensTheEditorOnlyInAWindowAndClosesItWithTheView)
{
  EditorRig rig;
  IPlugView* view = rig.CreateView();
  view->setFrame(&rig.frame);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(rig.Graphics(), nullptr);

  rig.makesNothing = true;
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultFalse);
  rig.makesNothing = false;
  rig.makeThrows = true;
  EXPECT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(rig.Graphics(), nullptr);
  rig.makeThrows = false;

  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue);
  ASSERT_NE(rig.Graphics(), nullptr);
  EXPECT_TRUE(rig.Graphics()->IsWindowOpen());
  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue) << "again, without removed";
  EXPECT_EQ(rig.Graphics()->windowOpens, 1) << "the first window was closed with its graphics";

  ViewRect bigger(0, 0, 1470, 975);
  EXPECT_EQ(view->onSize(&bigger), kResultTrue);
  EXPECT_EQ(rig.Graphics()->GetWidth(), 1470);

  IPlugViewContentScaleSupport* scaling = nullptr;
  view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling));
  for (float bad :
       {0.f, -1.f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    EXPECT_EQ(scaling->setContentScaleFactor(bad), kResultFalse);
  EXPECT_EQ(rig.Graphics()->GetDisplayScale(), 1.f);
  const size_t requests = rig.frame.requests.size();
  rig.Graphics()->windowDpiScale = 1.5f; // as a window on a 150 % display reports
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
  EXPECT_EQ(rig.Graphics()->GetDisplayScale(), 1.5f);
  ASSERT_EQ(rig.frame.requests.size(), requests + 1) << "the scaled size goes to the host at once";
  EXPECT_EQ(rig.frame.requests.back().size, ViewRect(0, 0, 2205, 1462));
  scaling->release();

  // Keys go to the control under the mouse; over the background nothing takes them.
  rig.Graphics()->mouseX = rig.Graphics()->mouseY = 150.f;
  EXPECT_EQ(view->onKeyDown(0, KEY_UP, 0), kResultTrue);
  EXPECT_EQ(rig.log.back(), "key knob");
  rig.Graphics()->mouseX = 10.f;
  EXPECT_EQ(view->onKeyDown(0, KEY_UP, 0), kResultFalse);

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(rig.Graphics(), nullptr);

  // Released while attached: the window goes with the view.
  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue);
  view->release();
  EXPECT_EQ(rig.Graphics(), nullptr);
}

TEST(IPlugVST3View, RightClickOnAParameterShowsTheHostMenuWithoutAnEdit)
{
  EditorRig rig;
  IPlugView* view = rig.CreateView();
  ASSERT_EQ(view->attached(&rig.parent, kPlatformTypeHWND), kResultTrue);
  IPointerEvent click;
  click.x = click.y = 150.7f;
  click.ms.R = true;
  const uint32 handlerRefs = rig.handler.refs;

  rig.Graphics()->SetDisplayScale(1.5f);
  rig.Graphics()->OnMouseDown({click});
  ASSERT_EQ(rig.handler.requests.size(), 1u);
  EXPECT_EQ(rig.handler.requests[0].view, view);
  EXPECT_EQ(rig.handler.requests[0].id, MapParamId(1));
  ASSERT_EQ(rig.handler.menu.popups.size(), 1u);
  EXPECT_EQ(rig.handler.menu.popups[0], std::make_pair(UCoord{226}, UCoord{226}));
  EXPECT_TRUE(rig.handler.menu.items.empty()) << "the editor adds no items of its own";
  EXPECT_EQ(rig.handler.Count("begin") + rig.handler.Count("end"), 0);
  EXPECT_TRUE(rig.Graphics()->shownMenus.empty());
  EXPECT_EQ(rig.handler.refs, handlerRefs);
  EXPECT_EQ(rig.handler.menu.refs, 1u);

  // Without the host's menus, or once the host has let go of the view: nothing, and no crash.
  rig.handler.offersMenus = false;
  rig.Graphics()->OnMouseDown({click});
  rig.handler.offersMenus = true;
  view->removed();
  view->release();
  rig.plug->OpenWindow(&rig.parent);
  rig.Graphics()->OnMouseDown({click});
  EXPECT_EQ(rig.handler.requests.size(), 1u);
  EXPECT_TRUE(rig.Graphics()->shownMenus.empty());
  rig.plug->CloseWindow();
}
