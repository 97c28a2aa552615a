#include "tests/support/graphics/TestEditorDelegate.h"

#include <cstdio>

namespace iplug::igraphics::gfxtest
{

TestEditorDelegate::TestEditorDelegate(int nParams, EventLog& eventLog, int width, int height)
    : IGEditorDelegate(nParams), log(eventLog)
{
  SetMakeGraphicsFunc([this, width, height]() { return new RecordingGraphics(this, width, height); });
}

void TestEditorDelegate::BeginParamChangeFromEditor(int paramIdx)
{
  log.push_back("begin " + std::to_string(paramIdx));
}

void TestEditorDelegate::EndParamChangeFromEditor(int paramIdx)
{
  log.push_back("end " + std::to_string(paramIdx));
}

void TestEditorDelegate::SetParamFromEditorNormalized(int paramIdx, double normalizedValue)
{
  char buf[64];
  std::snprintf(buf, sizeof(buf), "set %d %g", paramIdx, normalizedValue);
  log.push_back(buf);
  IGEditorDelegate::SetParamFromEditorNormalized(paramIdx, normalizedValue);
}

bool TestEditorDelegate::EditorResizeRequest(int width, int height, bool needsPlatformResize)
{
  resizeRequests.push_back({width, height, needsPlatformResize ? 1 : 0});
  return resizeAnswer;
}

void TestEditorDelegate::OnParamChangeInEditor(int paramIdx, ChangeSource source)
{
  editorNotifications.emplace_back(paramIdx, static_cast<int>(source));
}

void TestEditorDelegate::OnMidiMessageInEditor(const IMidiEvent&)
{
  midiInEditor++;
}

void TestEditorDelegate::OnEditorOpen()
{
  opens++;
  IGEditorDelegate::OnEditorOpen();
}

void TestEditorDelegate::OnEditorClose()
{
  closes++;
}

} // namespace iplug::igraphics::gfxtest
