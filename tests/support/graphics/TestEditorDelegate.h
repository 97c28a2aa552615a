#pragma once
// An editor delegate standing in for the plug-in: it records the gesture, value and resize traffic that
// IGraphics and the controls send, into a log shared with LoggingControl so that the order of events
// across the two can be checked.

#include "framework/graphics/IGEditorDelegate.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <string>
#include <vector>

namespace iplug::igraphics::gfxtest
{

using EventLog = std::vector<std::string>;

class TestEditorDelegate : public IGEditorDelegate
{
public:
  // Makes a RecordingGraphics of the given size when the editor opens.
  TestEditorDelegate(int nParams, EventLog& log, int width = 980, int height = 650);

  void BeginParamChangeFromEditor(int paramIdx) override;
  void EndParamChangeFromEditor(int paramIdx) override;
  void SetParamFromEditorNormalized(int paramIdx, double normalizedValue) override;
  bool EditorResizeRequest(int width, int height, bool needsPlatformResize) override;
  void OnParamChangeInEditor(int paramIdx, ChangeSource source) override;
  void OnMidiMessageInEditor(const IMidiEvent& msg) override;
  void OnEditorOpen() override;
  void OnEditorClose() override;

  RecordingGraphics* Graphics() const { return static_cast<RecordingGraphics*>(GetGraphics()); }

  EventLog& log;
  bool resizeAnswer = true;
  std::vector<std::vector<int>> resizeRequests;         // width, height, needs platform resize
  std::vector<std::pair<int, int>> editorNotifications; // param index, change source
  int midiInEditor = 0;
  int opens = 0;
  int closes = 0;
};

} // namespace iplug::igraphics::gfxtest
