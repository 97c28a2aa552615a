#include "framework/core/IParam.h"
#include "framework/core/StateChunk.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using ::testing::ElementsAre;

class MidiControl : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  int midi = 0;
  void OnMidiMessage(const IMidiEvent&) override { midi++; }
};

class MessageControl : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  int lastTag = -1;
  int lastSize = -1;
  void OnDelegateMessage(int msgTag, int dataSize, const void*) override
  {
    lastTag = msgTag;
    lastSize = dataSize;
  }
};

class IGEditorDelegateTest : public ::testing::Test
{
protected:
  IGEditorDelegateTest()
  {
    dlg.GetParam(2)->ConfigureDouble("Gain", 0.0, -10.0, 10.0, 0.1);
    dlg.SetSizeConstraints(100, 3000, 100, 2000);
    dlg.SetLayoutFunc(
        [this](IGraphics* g)
        {
          layouts++;
          g->SetScaleLimits(0.5f, 2.f);
          g->AddControl(new LoggingControl({0, 0, 100, 100}, {}, log, "bg"));
          g->AddControl(new MessageControl({10, 10, 20, 20}, {3, 2}, log, "pair"), 7);
          g->AddControl(new MidiControl({30, 10, 40, 20}, {2}, log, "single"));
        });
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  int layouts = 0;
};

TEST_F(IGEditorDelegateTest, OpenCloseRemembersSizeAndKeepsOneSetOfControls)
{
  EXPECT_EQ(dlg.GetGraphics(), nullptr);
  void* window = dlg.OpenWindow(nullptr);
  ASSERT_NE(window, nullptr);
  auto* g = dlg.Graphics();
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(g->NControls(), 3);
  EXPECT_EQ(dlg.opens, 1);

  // A second open while open lays out again over a single set of controls.
  EXPECT_NE(dlg.OpenWindow(nullptr), nullptr);
  EXPECT_EQ(dlg.Graphics(), g);
  EXPECT_EQ(layouts, 2);
  EXPECT_EQ(g->NControls(), 3);
  EXPECT_NE(g->FindControlByTag(7), nullptr);

  g->Resize(1200, 796, 1.2f);
  dlg.CloseWindow();
  EXPECT_EQ(dlg.GetGraphics(), nullptr);
  EXPECT_EQ(dlg.closes, 1);
  EXPECT_EQ(dlg.GetRememberedWidth(), 1200);
  dlg.CloseWindow();
  EXPECT_EQ(dlg.closes, 1) << "a second close does nothing";

  // The next graphics is resized to the remembered size before its window opens.
  dlg.SetMakeGraphicsFunc(
      [this]()
      {
        auto* g2 = new gfxtest::RecordingGraphics(&dlg, 980, 650);
        g2->SetScaleLimits(0.5f, 2.f);
        return g2;
      });
  dlg.OpenWindow(nullptr);
  EXPECT_EQ(dlg.Graphics()->GetWidth(), 1200);
  EXPECT_EQ(dlg.Graphics()->GetHeight(), 796);
  EXPECT_FLOAT_EQ(dlg.Graphics()->GetDrawScale(), 1.2f);
  EXPECT_EQ(dlg.Graphics()->windowOpens, 1);
  dlg.CloseWindow();

  dlg.SetMakeGraphicsFunc(nullptr);
  EXPECT_EQ(dlg.OpenWindow(nullptr), nullptr);
}

TEST_F(IGEditorDelegateTest, ValuesMessagesMidiAndKeysReachTheControls)
{
  // Closed: nothing reaches a control, the hooks still run.
  dlg.SendParamValueToEditor(2, 5.0, false);
  EXPECT_THAT(dlg.editorNotifications, ElementsAre(std::make_pair(2, int(kDelegate))));
  dlg.SendMidiMessageToEditor({});
  EXPECT_EQ(dlg.midiInEditor, 1);
  EXPECT_FALSE(dlg.OnKeyDown(IKeyStroke("a", 'A', false, false, false)));

  dlg.OpenWindow(nullptr);
  auto* g = dlg.Graphics();
  auto* pair = static_cast<MessageControl*>(g->GetControl(1));
  auto* single = static_cast<MidiControl*>(g->GetControl(2));

  // Parameter 2 sits in the pair's second slot and the single's only slot.
  dlg.SendParamValueToEditor(2, 5.0, false);
  EXPECT_DOUBLE_EQ(pair->GetValue(1), 0.75);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(single->GetValue(0), 0.75);
  dlg.SendParamValueToEditor(3, 0.25, true);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.25);
  EXPECT_DOUBLE_EQ(single->GetValue(0), 0.75);

  dlg.SendControlValueToEditor(7, 0.5);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.5);
  dlg.SendControlValueToEditor(99, 0.5); // no such tag: nothing

  dlg.SendMessageToControl(7, 42, 3, "abc");
  EXPECT_EQ(pair->lastTag, 42);
  EXPECT_EQ(pair->lastSize, 3);

  dlg.SendMidiMessageToEditor({});
  EXPECT_EQ(single->midi, 0) << "only controls that want MIDI";
  single->SetWantsMidi(true);
  dlg.SendMidiMessageToEditor({});
  EXPECT_EQ(single->midi, 1);
  EXPECT_EQ(dlg.midiInEditor, 3);

  // Keys go to the control under the mouse.
  g->mouseX = 15;
  g->mouseY = 15;
  log.clear();
  EXPECT_TRUE(dlg.OnKeyDown(IKeyStroke("a", 'A', false, false, false)));
  EXPECT_THAT(log, ElementsAre("key pair"));
  g->mouseX = 90;
  EXPECT_FALSE(dlg.OnKeyDown(IKeyStroke("a", 'A', false, false, false)));
  dlg.CloseWindow();
}

TEST_F(IGEditorDelegateTest, EditorStateRoundTripAndRefusals)
{
  dlg.OpenWindow(nullptr);
  dlg.Graphics()->Resize(1200, 796, 1.25f);
  StateChunk chunk;
  ASSERT_TRUE(dlg.WriteEditorState(chunk));
  ASSERT_EQ(chunk.GetSize(), 12);
  int32_t w = 0;
  float s = 0.f;
  chunk.Get(w, 0);
  chunk.Get(s, 8);
  EXPECT_EQ(w, 1200);
  EXPECT_EQ(s, 1.25f);

  dlg.Graphics()->Resize(980, 650, 1.f);
  EXPECT_EQ(dlg.ReadEditorState(chunk, 0), 12);
  EXPECT_EQ(dlg.Graphics()->GetWidth(), 1200);
  EXPECT_FLOAT_EQ(dlg.Graphics()->GetDrawScale(), 1.25f);

  // Eight bytes only: the scale reads as 0 and nothing changes.
  StateChunk shortChunk;
  shortChunk.Put(int32_t(500));
  shortChunk.Put(int32_t(400));
  EXPECT_EQ(dlg.ReadEditorState(shortChunk, 0), -1);
  EXPECT_EQ(dlg.Graphics()->GetWidth(), 1200);
  EXPECT_EQ(dlg.ReadEditorState(chunk, -4), -1);

  // A stored scale that is not a positive finite number never reaches the editor.
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -2.f})
  {
    StateChunk badChunk;
    badChunk.Put(int32_t(800));
    badChunk.Put(int32_t(600));
    badChunk.Put(bad);
    EXPECT_EQ(dlg.ReadEditorState(badChunk, 0), 12);
    EXPECT_EQ(dlg.Graphics()->GetWidth(), 1200);
    EXPECT_FLOAT_EQ(dlg.Graphics()->GetDrawScale(), 1.25f);
  }
  dlg.CloseWindow();

  // Closed: the values read become the remembered ones, zeros included.
  EXPECT_EQ(dlg.ReadEditorState(shortChunk, 0), -1);
  EXPECT_EQ(dlg.GetRememberedWidth(), 500);
  EXPECT_EQ(dlg.GetRememberedScale(), 0.f);
  StateChunk out;
  dlg.WriteEditorState(out);
  out.Get(w, 0);
  EXPECT_EQ(w, 500);
}

TEST_F(IGEditorDelegateTest, HostWindowResizeAndDisplayScale)
{
  dlg.OpenWindow(nullptr);
  auto* g = dlg.Graphics();
  g->windowDpiScale = 2.f;
  g->Resize(500, 400, 1.5f);
  g->platformResizes.clear();
  dlg.OnHostWindowResized(1960, 1300);
  EXPECT_EQ(g->GetWidth(), 980);
  EXPECT_EQ(g->GetHeight(), 650);
  EXPECT_EQ(g->GetDrawScale(), 1.f);
  ASSERT_FALSE(dlg.resizeRequests.empty());
  EXPECT_EQ(dlg.resizeRequests.back()[2], 0) << "no platform resize";

  dlg.SetEditorScale(1.5f);
  EXPECT_EQ(g->GetDisplayScale(), 1.5f);
  dlg.SetEditorScale(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(g->GetDisplayScale(), 1.5f);
  dlg.CloseWindow();
}

} // namespace
} // namespace iplug::igraphics
