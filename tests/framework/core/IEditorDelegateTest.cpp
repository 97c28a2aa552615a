#include "framework/core/IEditorDelegate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace iplug;

namespace
{
// Records the calls that reach the overridable hooks, as "name:args" lines.
class RecordingDelegate : public IEditorDelegate
{
public:
  using IEditorDelegate::IEditorDelegate;
  using IEditorDelegate::OnParamChange;

  void BeginParamChangeFromEditor(int idx) override { Log("begin:" + std::to_string(idx)); }
  void EndParamChangeFromEditor(int idx) override { Log("end:" + std::to_string(idx)); }
  void OnParamChange(int idx) override { Log("hook:" + std::to_string(idx)); }
  void OnParamChangeInEditor(int idx, ChangeSource src) override
  {
    Log("editor:" + std::to_string(idx) + ":" + ChangeSourceName(src));
  }
  bool HandleEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data) override
  {
    Log("message:" + std::to_string(msgTag) + ":" + std::to_string(ctrlTag) + ":" + std::to_string(dataSize) +
        ":" + (data ? static_cast<const char*>(data) : "null"));
    return true;
  }
  void OnMidiMessageInEditor(const IMidiEvent& msg) override { Log("midi:" + std::to_string(msg.status)); }
  void OnSysexMessageInEditor(const ISysexEvent& msg) override { Log("sysex:" + std::to_string(msg.size)); }

  void Log(const std::string& line) { calls.push_back(line); }
  std::vector<std::string> calls;
};

// Sees the values that SendAllParamsToEditor hands on.
class ValueCapturingDelegate : public RecordingDelegate
{
public:
  using RecordingDelegate::RecordingDelegate;
  void SendParamValueToEditor(int idx, double value, bool normalized) override
  {
    Log("value:" + std::to_string(idx) + ":" + std::to_string(value) + (normalized ? ":n" : ":p"));
  }
};
} // namespace

TEST(IEditorDelegateTest, ConstrainEditorSize)
{
  RecordingDelegate d(0);
  int w = 5, h = 200000;
  EXPECT_FALSE(d.ConstrainEditorSize(w, h));
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 100000);

  d.SetSizeConstraints(326, 2940, 216, 1950);
  w = 980, h = 650;
  EXPECT_TRUE(d.ConstrainEditorSize(w, h));
  EXPECT_EQ(w, 980);
  EXPECT_EQ(h, 650);

  // One side out of its limits: both are clamped, the inner one unchanged by it.
  w = 980, h = 100;
  EXPECT_FALSE(d.ConstrainEditorSize(w, h));
  EXPECT_EQ(w, 980);
  EXPECT_EQ(h, 216);
  w = 5000, h = 5000;
  EXPECT_FALSE(d.ConstrainEditorSize(w, h));
  EXPECT_EQ(w, 2940);
  EXPECT_EQ(h, 1950);
}

TEST(IEditorDelegateTest, NotifyAllParamsAlternatesPerParameter)
{
  RecordingDelegate d(3);
  d.NotifyAllParams(kPresetRecall);
  const std::vector<std::string> expected = {"hook:0",          "editor:0:Preset", "hook:1",
                                             "editor:1:Preset", "hook:2",          "editor:2:Preset"};
  EXPECT_EQ(d.calls, expected);
}

TEST(IEditorDelegateTest, DefaultRoutingBetweenPluginAndEditor)
{
  RecordingDelegate d(2);
  d.GetParam(1)->ConfigureDouble("g", 0.0, -10.0, 10.0, 0.1);

  // Without an editor a value sent to it only reaches the hook, as "Editor Delegate".
  d.SendParamValueToEditor(1, 0.25, true);
  d.SendAllParamsToEditor();
  EXPECT_EQ(d.calls, (std::vector<std::string>{"editor:1:Editor Delegate", "editor:0:Editor Delegate",
                                               "editor:1:Editor Delegate"}));
  d.calls.clear();

  // An edit from the editor sets the value from its normalised form and tells the hook "UI".
  d.SetParamFromEditorNormalized(1, 0.75);
  EXPECT_DOUBLE_EQ(d.GetParam(1)->Value(), 5.0);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"editor:1:UI"}));
  d.calls.clear();

  d.SendMessageToControl(7, 3, 2, "ab");
  d.SendMessageToEditor(4, 0, nullptr);
  IMidiEvent midi;
  midi.status = 0x90;
  d.SendMidiMessageToEditor(midi);
  const uint8_t bytes[3] = {0xF0, 0x01, 0xF7};
  d.SendSysexMessageToEditor(ISysexEvent{0, 3, bytes});
  d.OnParamChange(1, kHost, 12);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"message:3:7:2:ab", "message:4:-1:0:null", "midi:144",
                                               "sysex:3", "hook:1"}));

  // The editor's state hooks write nothing and read nothing by default.
  StateChunk chunk;
  EXPECT_TRUE(d.WriteEditorState(chunk));
  EXPECT_EQ(chunk.GetSize(), 0);
  EXPECT_EQ(d.ReadEditorState(chunk, 5), 5);
}

TEST(IEditorDelegateTest, OpeningTheEditorSendsEveryNormalisedValue)
{
  ValueCapturingDelegate d(2);
  d.GetParam(0)->ConfigureDouble("a", 15.0, 10.0, 20.0, 1.0);
  d.GetParam(1)->ConfigureDouble("b", -40.0, -60.0, 0.0, 0.5);
  EXPECT_EQ(d.OpenWindow(nullptr), nullptr);
  d.OnStateRestored();
  const std::vector<std::string> once = {"value:0:0.500000:n", "value:1:0.333333:n"};
  std::vector<std::string> expected = once;
  expected.insert(expected.end(), once.begin(), once.end());
  EXPECT_EQ(d.calls, expected);
}
