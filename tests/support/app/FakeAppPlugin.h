#pragma once

// A plug-in object for host tests: a small stateful processor whose output depends on every
// earlier input frame and on its own frame count, so slices that skip, repeat or reorder frames
// show up in its output. It records what the host asked of it without allocating on the audio
// thread.

#include "framework/app/IAppPlugin.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace iplug::test
{

class FakeAppPlugin final : public IAppPlugin
{
public:
  enum class Mode
  {
    PassThrough, // output = input
    Filter       // one-pole low-pass plus a frame-count ramp, per channel
  };

  explicit FakeAppPlugin(Mode mode = Mode::Filter, int inputs = 2, int outputs = 2);

  int AppInputChannels() const override { return mInputs; }
  int AppOutputChannels() const override { return mOutputs; }
  void AnnounceHost() override { identified++; }
  void ShutDown() override {}
  void ActivateForHost() override { activated++; }
  void PrepareForStream(double sampleRate) override;
  void RunBlock(double** inputs, double** outputs, int frames) override;
  bool QueueMidiFromDevice(uint8_t status, uint8_t data1, uint8_t data2) override;
  bool QueueSysexFromDevice(const uint8_t* bytes, int size) override;
  bool OpenEditorWindow(void*) override { return false; }
  void CloseEditorWindow() override {}
  AppEditorSize GetAppEditorSize() const override { return {980, 650, 326, 216, 2940, 1950}; }
  bool EditorFollowsWindow() const override { return true; }
  void OnMainWindowResized(int, int) override {}
  void SetEditorDisplayScale(float) override {}
  bool RequestAboutBox() override { return false; }
  bool RequestManual() override { return false; }
  int32_t GetAppVersion() const override { return 0x00010203; }

  // The same processing on whole signals, for references: channels laid end to end.
  void ProcessOffline(const std::vector<double>& input, std::vector<double>& output, uint32_t frames);

  int identified = 0;
  int activated = 0;
  int prepared = 0;
  double preparedRate = 0.0;

  static constexpr int kMaxSlices = 4096;
  std::atomic<int> slices{0};
  int sliceFrames[kMaxSlices] = {};

  std::vector<std::vector<uint8_t>> midi;  // {status, data1, data2}
  std::vector<std::vector<uint8_t>> sysex; // bytes as queued

private:
  void ProcessFrame(const double* in, double* out);

  Mode mMode;
  int mInputs, mOutputs;
  double mState[8] = {};
  uint64_t mFrame = 0;
};

} // namespace iplug::test
