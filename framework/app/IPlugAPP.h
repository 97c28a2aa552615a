#pragma once

#include "framework/app/IAppPlugin.h"
#include "framework/core/IPlugProcessor.h"
#include "framework/core/SpscRing.h"
#include "framework/plugin/IPlugAPIBase.h"

namespace iplug
{

class StandaloneHost;

// What the standalone host hands the effect's factory.
struct InstanceInfo
{
  StandaloneHost* host = nullptr;
};

// The plug-in API of the standalone program: the effect derives from it there. Runs slices of
// the audio callback through the processor, feeds it the MIDI the input thread queued (passing
// each message on to the editor's queues) and sends the processor's MIDI to the output port.
class IPlugAPP : public IPlugAPIBase, public IPlugProcessor, public IAppPlugin
{
public:
  static constexpr int kBlockSize = 512;

  IPlugAPP(const InstanceInfo& info, const IPluginSpec& spec);
  ~IPlugAPP() override;

  // The main window follows the editor through its own size handling: only the size is kept.
  bool ResizeEditorWindow(int width, int height, bool needsPlatformResize) override;
  // Straight to the output port, without a queue.
  void SendSysexMessageFromEditor(const ISysexEvent& msg) override;

  // False unless the plug-in declares MIDI output and the host has an output client.
  bool SendMidiMessage(const IMidiEvent& msg) override;
  // The same; an empty message is refused.
  bool SendSysexMessage(const ISysexEvent& msg) override;

  int AppInputChannels() const override { return NChannels(kInput); }
  int AppOutputChannels() const override { return NChannels(kOutput); }
  void AnnounceHost() override;
  void ShutDown() override { StopQueueTimer(); }
  void ActivateForHost() override;
  void PrepareForStream(double sampleRate) override;
  void RunBlock(double** inputs, double** outputs, int frames) override;
  bool QueueMidiFromDevice(uint8_t status, uint8_t data1, uint8_t data2) override;
  bool QueueSysexFromDevice(const uint8_t* bytes, int size) override;
  bool OpenEditorWindow(void* parent) override { return OpenWindow(parent) != nullptr; }
  void CloseEditorWindow() override { CloseWindow(); }
  AppEditorSize GetAppEditorSize() const override;
  bool EditorFollowsWindow() const override { return HostCanResizeEditor(); }
  void OnMainWindowResized(int width, int height) override { OnHostWindowResized(width, height); }
  void SetEditorDisplayScale(float scale) override;
  // Nothing in the framework answers these; an effect may.
  bool RequestAboutBox() override { return false; }
  bool RequestManual() override { return false; }
  int32_t GetAppVersion() const override { return GetPluginVersion(false); }

  StandaloneHost* GetStandaloneHost() const { return mHost; }

private:
  StandaloneHost* mHost;
  // MIDI input thread to audio thread.
  SpscRing<IMidiEvent> mMidiFromDevice{kMidiRingSlots};
  SpscRing<ISysexPacket> mSysexFromDevice{kSysexRingSlots};
};

} // namespace iplug
