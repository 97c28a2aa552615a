#pragma once

#include "framework/plugin/IPlugAPIBase.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quorvel::test
{
// A timer that never runs, for calling a timer callback by hand.
class InertTimer : public iplug::Timer
{
public:
  void StopTimer() override {}
};

// A stand-in host adapter: records every call that leaves the framework towards the host,
// the editor or the plug-in, as one line of text each, in call order. The queue timer may
// call in from another thread, so the log is locked.
class TestApiAdapter : public iplug::IPlugAPIBase
{
public:
  explicit TestApiAdapter(const iplug::IPluginSpec& config, iplug::ApiType api = iplug::kAPIAPP)
      : IPlugAPIBase(config, api)
  {
  }
  ~TestApiAdapter() override { StopQueueTimer(); }

  using IPlugAPIBase::OnParamChange;

  // Host side.
  void BeginHostParamEdit(int idx) override { Log("host-begin:" + std::to_string(idx)); }
  void EndHostParamEdit(int idx) override { Log("host-end:" + std::to_string(idx)); }
  void SendParamValueToHost(int idx, double normalized) override
  {
    Log("host-value:" + std::to_string(idx) + ":" + std::to_string(normalized));
  }
  bool ResizeEditorWindow(int w, int h, bool platform) override
  {
    Log("resize:" + std::to_string(w) + "x" + std::to_string(h) + (platform ? ":platform" : ""));
    return resizeResult;
  }
  void PrepareForHost() override { Log("prepare-for-host"); }
  void OnHostKnown() override { Log("host-known"); }

  // Plug-in and editor side.
  void OnParamChange(int idx, iplug::ChangeSource src, int offset) override
  {
    Log("change:" + std::to_string(idx) + ":" + iplug::ChangeSourceName(src) + ":" + std::to_string(offset));
  }
  void OnParamChangeInEditor(int idx, iplug::ChangeSource src) override
  {
    Log("editor:" + std::to_string(idx) + ":" + iplug::ChangeSourceName(src));
  }
  void SendParamValueToEditor(int idx, double value, bool normalized) override
  {
    Log("to-editor:" + std::to_string(idx) + ":" + std::to_string(value) + (normalized ? ":n" : ""));
    if (onParamToEditor) onParamToEditor(idx);
  }
  void SendMidiMessageToEditor(const iplug::IMidiEvent& msg) override
  {
    Log("midi-to-editor:" + std::to_string(msg.offset) + ":" + std::to_string(msg.status));
  }
  void SendSysexMessageToEditor(const iplug::ISysexEvent& msg) override
  {
    std::string bytes;
    for (int i = 0; i < msg.size && i < 4; ++i)
    {
      bytes += ':';
      bytes += std::to_string(msg.data[i]);
    }
    Log("sysex-to-editor:" + std::to_string(msg.offset) + ":" + std::to_string(msg.size) + bytes);
  }
  bool HandleEditorMessage(int msgTag, int ctrlTag, int dataSize, const void*) override
  {
    Log("message:" + std::to_string(msgTag) + ":" + std::to_string(ctrlTag) + ":" + std::to_string(dataSize));
    return true;
  }
  void OnIdleTick() override { Log("idle"); }

  std::vector<std::string> Calls() const
  {
    std::lock_guard<std::mutex> guard(mLock);
    return mCalls;
  }
  void ClearCalls()
  {
    std::lock_guard<std::mutex> guard(mLock);
    mCalls.clear();
  }
  int CountCalls(const std::string& line) const
  {
    std::lock_guard<std::mutex> guard(mLock);
    int n = 0;
    for (const std::string& call : mCalls)
      n += (call == line);
    return n;
  }

  bool resizeResult = true;
  // Lets a test act from inside the drain, e.g. queue more while it runs.
  std::function<void(int idx)> onParamToEditor;

private:
  void Log(const std::string& line)
  {
    std::lock_guard<std::mutex> guard(mLock);
    mCalls.push_back(line);
  }

  mutable std::mutex mLock;
  std::vector<std::string> mCalls;
};
} // namespace quorvel::test
