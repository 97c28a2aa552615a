#pragma once

#include "framework/app/DeviceProvider.h"
#include "framework/app/DeviceSettings.h"
#include "framework/app/IAppPlugin.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace iplug
{

class StandaloneHost;

struct StandaloneHostOptions
{
  // Builds the plug-in object; the host owns what it returns.
  std::function<IAppPlugin*(StandaloneHost&)> createPlugin;
  // The devices to use; null: the system's.
  IDeviceProvider* devices = nullptr;
  // Where the program's settings folder lives; unset: the user's local application data.
  std::optional<std::string> appDataFolder;
  // Shows an error a user must act on; unset: a message box on the main window.
  std::function<void(const char* text, const char* title)> showError;
  bool noIo = false;
  std::string screenshotPath; // non-empty: no devices either
  // The settings folder's name (the product's); empty: no settings are read or written.
  std::string productFolder;
};

// The standalone program's host: owns the plug-in, the audio system and the MIDI clients, runs
// the audio callback (slices, fades) and the MIDI input callback. One per process.
class StandaloneHost
{
public:
  static constexpr int kSliceFrames = 512;

  explicit StandaloneHost(StandaloneHostOptions options);
  ~StandaloneHost();
  StandaloneHost(const StandaloneHost&) = delete;
  StandaloneHost& operator=(const StandaloneHost&) = delete;

  bool InitStandaloneHost();

  // Settings file (user-interface thread).
  bool LoadDeviceSettings();
  void SaveDeviceSettings();

  // Audio devices.
  void CreateAudioObject();
  void ProbeAudioDevices();
  std::string AudioDeviceDisplayName(uint32_t id);
  // False without an audio object or when the device cannot be probed.
  bool GetAudioDeviceInfo(uint32_t id, AudioDeviceInfo& info);
  std::optional<uint32_t> FindAudioDevice(const std::string& name);
  // The same among the devices with input (output) channels only: DirectSound lists capture and
  // playback devices apart, and two of them may show the same name once the prefix is gone.
  std::optional<uint32_t> FindAudioDevice(const std::string& name, bool input);
  bool StartAudioFromSettings();
  // The same, and a stream that fails to open or start with devices on is reported to the user
  // like a missing device ("Please check the audio settings", once).
  bool StartAudioFromSettingsOrWarn();
  bool OpenAudioStream(uint32_t inputId, uint32_t outputId, uint32_t sampleRate, uint32_t bufferFrames);
  void StopAudioStream();

  // MIDI ports.
  bool OpenMidiClients();
  void ProbeMidiPorts();
  int FindMidiPort(bool output, const std::string& name);
  bool SelectMidiPort(bool output, const std::string& name);

  bool OpenEditor(void* parentWindow);
  void CloseEditor();

  // Wanted when the program places its main window; message boxes are owned by it.
  void SetMainWindow(void* window) { mMainWindow = window; }

  IAppPlugin* Plugin() const { return mPlugin.get(); }
  IMidiOutput* MidiOutput() const { return mMidiOut.get(); }
  bool DevicesOff() const { return mNoIo || !mScreenshotPath.empty(); }
  const std::string& ScreenshotPath() const { return mScreenshotPath; }

  DeviceSettings& CurrentSettings() { return mCurrent; }
  DeviceSettings& SavedSettings() { return mSaved; }
  const DeviceSettings& ActiveSettings() const { return mActive; }
  const std::string& SettingsFilePath() const { return mSettingsPath; }

  const std::vector<uint32_t>& InputDevices() const { return mInputDevices; }
  const std::vector<uint32_t>& OutputDevices() const { return mOutputDevices; }
  std::optional<uint32_t> DefaultInputDevice() const { return mDefaultInput; }
  std::optional<uint32_t> DefaultOutputDevice() const { return mDefaultOutput; }
  const std::vector<std::string>& MidiInputNames() const { return mMidiInputNames; }
  const std::vector<std::string>& MidiOutputNames() const { return mMidiOutputNames; }

  double SampleRate() const { return mSampleRate; }
  uint32_t BufferFrames() const { return mBufferFrames; }
  uint32_t SamplesProcessed() const { return mSamplesProcessed.load(std::memory_order_relaxed); }

  // Multiplies channel buffers laid end to end by a ramp: j / n fading in, (n - 1 - j) / n out.
  static void ApplyLinearFade(double* buffers, int channels, uint32_t frames, bool fadeOut);

  // Writes the audio library's error text to standard error; nothing else.
  static void AudioErrorCallback(int type, const std::string& message);

private:
  static int AudioStreamCallback(double* output, double* input, uint32_t frames, void* user);
  static void MidiInputCallback(double timeStamp, const uint8_t* bytes, size_t size, void* user);
  int ProcessAudio(double* output, double* input, uint32_t frames);
  void ShowError(const char* text, const char* title);
  // Longest wait for the callback to deliver the faded-out buffer: a device that stopped
  // calling back must not hang the program.
  int FadeOutWaitMs() const;

  StandaloneHostOptions mOptions;
  IDeviceProvider& mDevices;
  std::unique_ptr<IAppPlugin> mPlugin;
  std::unique_ptr<IAudioDevices> mAudio;
  std::unique_ptr<IMidiInput> mMidiIn;
  std::unique_ptr<IMidiOutput> mMidiOut;

  DeviceSettings mCurrent;
  DeviceSettings mSaved;
  DeviceSettings mActive;

  double mSampleRate = 44100.0;
  std::atomic<uint32_t> mSamplesProcessed{0};
  std::atomic<bool> mFirstBufferDone{false};
  uint32_t mBufferFrames = 512;
  std::atomic<bool> mExiting{false};
  std::atomic<bool> mFadeOutRequested{false};
  std::atomic<bool> mFadeOutDone{false};
  bool mNoIo = false;
  std::optional<uint32_t> mDefaultInput;
  std::optional<uint32_t> mDefaultOutput;
  std::string mSettingsPath;
  std::string mScreenshotPath;
  std::vector<uint32_t> mInputDevices;
  std::vector<uint32_t> mOutputDevices;
  std::vector<std::string> mMidiInputNames;
  std::vector<std::string> mMidiOutputNames;
  // Sized to the stream's channel counts when it opens; the callback only rewrites entries.
  std::vector<double*> mInputPointers;
  std::vector<double*> mOutputPointers;
  void* mMainWindow = nullptr;
  bool mErrorShown = false;
};

// The process-wide host. A previous host is destroyed after the new one is stored, so nothing
// finds a half-destroyed host as the current one.
StandaloneHost* CreateStandaloneHost(StandaloneHostOptions options);
void DestroyStandaloneHost(StandaloneHost* host);
StandaloneHost* GetStandaloneHost();

} // namespace iplug
