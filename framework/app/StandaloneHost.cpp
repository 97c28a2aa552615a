#include "framework/app/StandaloneHost.h"

#include "framework/app/ErrorBox.h"
#include "framework/app/ProfileFile.h"
#include "framework/core/ScopedFloatEnvironment.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace iplug
{
namespace
{

std::atomic<StandaloneHost*> gHost{nullptr};

constexpr int kLargestSysexBytes = 512;
constexpr uint32_t kMidiQueueLimit = 100;

} // namespace

StandaloneHost::StandaloneHost(StandaloneHostOptions options)
    : mOptions(std::move(options)), mDevices(mOptions.devices ? *mOptions.devices : SystemDeviceProvider()),
      mNoIo(mOptions.noIo), mScreenshotPath(mOptions.screenshotPath)
{
  if (mOptions.createPlugin) mPlugin.reset(mOptions.createPlugin(*this));
}

StandaloneHost::~StandaloneHost()
{
  mExiting.store(true, std::memory_order_release);
  StopAudioStream();
  if (mMidiIn) mMidiIn->CancelHandler();
  if (mMidiOut) mMidiOut->ClosePort();
  mMidiOut.reset();
  mMidiIn.reset();
  mAudio.reset();
  if (mPlugin) mPlugin->ShutDown();
  mPlugin.reset();
}

bool StandaloneHost::InitStandaloneHost()
{
  if (mPlugin) mPlugin->AnnounceHost();
  if (!LoadDeviceSettings()) return false;
  CreateAudioObject();
  ProbeAudioDevices();
  OpenMidiClients();
  ProbeMidiPorts();
  // SelectMidiPort may turn the name into "off": pass copies.
  SelectMidiPort(false, std::string(mCurrent.midiInput));
  SelectMidiPort(true, std::string(mCurrent.midiOutput));
  if (mPlugin) mPlugin->ActivateForHost();
  return true;
}

bool StandaloneHost::LoadDeviceSettings()
{
  std::string folder;
  if (mOptions.appDataFolder)
    folder = *mOptions.appDataFolder;
  else if (!LocalAppDataFolder(folder))
    folder.clear();
  // Without an application-data folder the defaults stand and no file is read or written.
  mSettingsPath = iplug::SettingsFilePath(folder, mOptions.productFolder);
  iplug::LoadDeviceSettings(mCurrent, mSettingsPath);
  return true;
}

void StandaloneHost::SaveDeviceSettings()
{
  WriteDeviceSettings(mCurrent, mSettingsPath);
}

void StandaloneHost::CreateAudioObject()
{
  StopAudioStream();
  mAudio.reset();
  if (DevicesOff()) return;
  mCurrent.driver = 0;
  mAudio = mDevices.CreateAudio(&StandaloneHost::AudioErrorCallback);
}

void StandaloneHost::AudioErrorCallback(int, const std::string& message)
{
  std::fprintf(stderr, "\nerrorCallback: %s\n\n", message.c_str());
}

void StandaloneHost::ProbeAudioDevices()
{
  mInputDevices.clear();
  mOutputDevices.clear();
  mDefaultInput.reset();
  mDefaultOutput.reset();
  if (!mAudio) return;
  const uint32_t count = mAudio->DeviceCount();
  for (uint32_t id = 0; id < count; id++)
  {
    AudioDeviceInfo info;
    if (!mAudio->GetDeviceInfo(id, info)) continue;
    if (info.inputChannels > 0) mInputDevices.push_back(id);
    if (info.outputChannels > 0) mOutputDevices.push_back(id);
    if (info.isDefaultInput && !mDefaultInput) mDefaultInput = id;
    if (info.isDefaultOutput && !mDefaultOutput) mDefaultOutput = id;
  }
  // DirectSound's default capture device is the first one it enumerates, but the audio library
  // flags it only when it also plays back, which it never does: without this a first start
  // would find no input at all.
  if (!mDefaultInput && !mInputDevices.empty()) mDefaultInput = mInputDevices.front();
  if (!mDefaultOutput && !mOutputDevices.empty()) mDefaultOutput = mOutputDevices.front();
}

bool StandaloneHost::GetAudioDeviceInfo(uint32_t id, AudioDeviceInfo& info)
{
  return mAudio && mAudio->GetDeviceInfo(id, info);
}

std::string StandaloneHost::AudioDeviceDisplayName(uint32_t id)
{
  AudioDeviceInfo info;
  if (!mAudio || !mAudio->GetDeviceInfo(id, info)) return {};
  const size_t colon = info.name.find(':');
  return colon == std::string::npos ? info.name : info.name.substr(colon + 1);
}

std::optional<uint32_t> StandaloneHost::FindAudioDevice(const std::string& name)
{
  if (!mAudio) return std::nullopt;
  const uint32_t count = mAudio->DeviceCount();
  for (uint32_t id = 0; id < count; id++)
  {
    if (AudioDeviceDisplayName(id) == name) return id;
  }
  return std::nullopt;
}

std::optional<uint32_t> StandaloneHost::FindAudioDevice(const std::string& name, bool input)
{
  for (const uint32_t id : input ? mInputDevices : mOutputDevices)
  {
    if (AudioDeviceDisplayName(id) == name) return id;
  }
  return std::nullopt;
}

bool StandaloneHost::StartAudioFromSettings()
{
  if (DevicesOff()) return true;

  const std::string& inputName = mCurrent.driver == 1 ? mCurrent.audioOutput : mCurrent.audioInput;
  std::optional<uint32_t> input = FindAudioDevice(inputName, true);
  std::optional<uint32_t> output = FindAudioDevice(mCurrent.audioOutput, false);
  bool error = false;
  bool changed = false;

  if (!input)
  {
    if (mDefaultInput)
    {
      input = mDefaultInput;
      if (!mInputDevices.empty()) mCurrent.audioInput = AudioDeviceDisplayName(*input);
      changed = true;
    }
    else
      error = true;
  }
  if (!output)
  {
    if (mDefaultOutput)
    {
      output = mDefaultOutput;
      if (!mOutputDevices.empty()) mCurrent.audioOutput = AudioDeviceDisplayName(*output);
      changed = true;
    }
    else
      error = true;
  }
  if (changed) SaveDeviceSettings();
  if (error) ShowError("Please check the audio settings", "Error");
  if (!input || !output) return false;
  return OpenAudioStream(*input, *output, static_cast<uint32_t>(mCurrent.sampleRate),
                         static_cast<uint32_t>(mCurrent.bufferSize));
}

bool StandaloneHost::StartAudioFromSettingsOrWarn()
{
  mErrorShown = false;
  if (StartAudioFromSettings()) return true;
  if (!DevicesOff() && !mErrorShown) ShowError("Please check the audio settings", "Error");
  return false;
}

bool StandaloneHost::OpenAudioStream(uint32_t inputId, uint32_t outputId, uint32_t sampleRate,
                                     uint32_t bufferFrames)
{
  if (!mAudio || !mPlugin) return false;
  StopAudioStream();

  const int inputs = std::max(mPlugin->AppInputChannels(), 0);
  const int outputs = std::max(mPlugin->AppOutputChannels(), 0);

  mBufferFrames = bufferFrames;
  mSamplesProcessed.store(0, std::memory_order_relaxed);
  mSampleRate = sampleRate;
  mFadeOutRequested.store(false, std::memory_order_relaxed);
  mFadeOutDone.store(false, std::memory_order_relaxed);
  // Every stream fades in from silence, not only the first one of the program.
  mFirstBufferDone.store(false, std::memory_order_relaxed);
  mInputPointers.assign(static_cast<size_t>(inputs), nullptr);
  mOutputPointers.assign(static_cast<size_t>(outputs), nullptr);

  mPlugin->PrepareForStream(mSampleRate);

  AudioStreamRequest request;
  request.inputDevice = inputId;
  request.inputChannels = static_cast<uint32_t>(inputs);
  request.outputDevice = outputId;
  request.outputChannels = static_cast<uint32_t>(outputs);
  request.sampleRate = sampleRate;
  request.bufferFrames = bufferFrames;
  request.handler = &StandaloneHost::AudioStreamCallback;
  request.user = this;
  if (!mAudio->OpenStream(request)) return false;
  mBufferFrames = request.bufferFrames;
  if (!mAudio->StartStream()) return false;
  CopyDeviceSettings(mActive, mCurrent);
  return true;
}

int StandaloneHost::FadeOutWaitMs() const
{
  const double bufferMs = mSampleRate > 0.0 ? 1000.0 * mBufferFrames / mSampleRate : 0.0;
  return std::max(250, static_cast<int>(4.0 * bufferMs + 0.5));
}

void StandaloneHost::StopAudioStream()
{
  if (!mAudio || !mAudio->IsStreamOpen()) return;
  if (mAudio->IsStreamRunning())
  {
    mFadeOutRequested.store(true, std::memory_order_release);
    const int steps = (FadeOutWaitMs() + 9) / 10;
    for (int i = 0; i < steps && !mFadeOutDone.load(std::memory_order_acquire); i++)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    mAudio->StopStream();
  }
  mAudio->CloseStream();
}

int StandaloneHost::AudioStreamCallback(double* output, double* input, uint32_t frames, void* user)
{
  // The audio library's thread comes with whatever floating-point state its driver left.
  ScopedFloatEnvironment floatEnvironment;
  return static_cast<StandaloneHost*>(user)->ProcessAudio(output, input, frames);
}

int StandaloneHost::ProcessAudio(double* output, double* input, uint32_t n)
{
  const int inputs = static_cast<int>(mInputPointers.size());
  const int outputs = static_cast<int>(mOutputPointers.size());
  const bool fadeOut = mFadeOutRequested.load(std::memory_order_acquire);
  const bool fade = !mFirstBufferDone.load(std::memory_order_relaxed) || fadeOut;

  if (mFadeOutDone.load(std::memory_order_relaxed))
  {
    if (output) std::fill(output, output + static_cast<size_t>(n) * outputs, 0.0);
    mFirstBufferDone.store(true, std::memory_order_relaxed);
    return 0;
  }

  if (fade && input) ApplyLinearFade(input, inputs, n, fadeOut);

  // Slices of at most 512 frames, never past the callback's own buffers: a short callback
  // processes exactly its frames, a long one several slices in order.
  for (uint32_t start = 0; start < n;)
  {
    const uint32_t frames = std::min<uint32_t>(kSliceFrames, n - start);
    for (int j = 0; j < inputs; j++)
      mInputPointers[j] = input ? input + static_cast<size_t>(j) * n + start : nullptr;
    for (int j = 0; j < outputs; j++)
      mOutputPointers[j] = output ? output + static_cast<size_t>(j) * n + start : nullptr;
    mPlugin->RunBlock(mInputPointers.data(), mOutputPointers.data(), static_cast<int>(frames));
    mSamplesProcessed.fetch_add(frames, std::memory_order_relaxed);
    start += frames;
  }

  if (fade && output)
  {
    ApplyLinearFade(output, outputs, n, fadeOut);
  }
  if (fadeOut) mFadeOutDone.store(true, std::memory_order_release);
  mFirstBufferDone.store(true, std::memory_order_relaxed);
  return 0;
}

void StandaloneHost::ApplyLinearFade(double* buffers, int channels, uint32_t frames, bool fadeOut)
{
  if (!buffers || frames == 0) return;
  const double scale = 1.0 / frames;
  for (int c = 0; c < channels; c++)
  {
    double* samples = buffers + static_cast<size_t>(c) * frames;
    for (uint32_t j = 0; j < frames; j++)
      samples[j] *= (fadeOut ? static_cast<double>(frames - 1 - j) : static_cast<double>(j)) * scale;
  }
}

bool StandaloneHost::OpenMidiClients()
{
  if (DevicesOff()) return true;
  mMidiIn.reset();
  mMidiIn = mDevices.CreateMidiInput("RtMidi Input Client", kMidiQueueLimit);
  if (!mMidiIn) return false;
  mMidiOut.reset();
  mMidiOut = mDevices.CreateMidiOutput("RtMidi Output Client");
  if (!mMidiOut) return false;
  mMidiIn->SetHandler(&StandaloneHost::MidiInputCallback, this);
  mMidiIn->IgnoreTypes(false, true, false);
  return true;
}

void StandaloneHost::ProbeMidiPorts()
{
  mMidiInputNames.clear();
  mMidiOutputNames.clear();
  if (!mMidiIn || !mMidiOut) return;
  mMidiInputNames.push_back("off");
  for (uint32_t i = 0, n = mMidiIn->PortCount(); i < n; i++)
    mMidiInputNames.push_back(mMidiIn->PortName(i));
  mMidiOutputNames.push_back("off");
  for (uint32_t i = 0, n = mMidiOut->PortCount(); i < n; i++)
    mMidiOutputNames.push_back(mMidiOut->PortName(i));
}

int StandaloneHost::FindMidiPort(bool output, const std::string& name)
{
  IMidiPorts* client = output ? static_cast<IMidiPorts*>(mMidiOut.get()) : mMidiIn.get();
  if (!client) return -1;
  if (name == "off") return 0;
  for (uint32_t i = 0, n = client->PortCount(); i < n; i++)
  {
    if (client->PortName(i) == name) return static_cast<int>(i) + 1;
  }
  return -1;
}

bool StandaloneHost::SelectMidiPort(bool output, const std::string& name)
{
  IMidiPorts* client = output ? static_cast<IMidiPorts*>(mMidiOut.get()) : mMidiIn.get();
  if (!client) return false;
  std::string& setting = output ? mCurrent.midiOutput : mCurrent.midiInput;
  const int port = FindMidiPort(output, name);
  client->ClosePort();
  // A vanished port and one that will not open both leave the port off, remembered as such.
  if (port < 0 || (port > 0 && !client->OpenPort(static_cast<uint32_t>(port - 1),
                                                 output ? "RtMidi Output" : "RtMidi Input")))
  {
    setting = "off";
    SaveDeviceSettings();
  }
  return true;
}

void StandaloneHost::MidiInputCallback(double, const uint8_t* bytes, size_t size, void* user)
{
  auto* host = static_cast<StandaloneHost*>(user);
  if (!bytes || size == 0 || host->mExiting.load(std::memory_order_acquire) || !host->mPlugin) return;
  if (size < 4)
    host->mPlugin->QueueMidiFromDevice(bytes[0], size > 1 ? bytes[1] : 0, size > 2 ? bytes[2] : 0);
  else if (size <= kLargestSysexBytes)
    host->mPlugin->QueueSysexFromDevice(bytes, static_cast<int>(size));
}

bool StandaloneHost::OpenEditor(void* parentWindow)
{
  return mPlugin && mPlugin->OpenEditorWindow(parentWindow);
}

void StandaloneHost::CloseEditor()
{
  if (mPlugin) mPlugin->CloseEditorWindow();
}

void StandaloneHost::ShowError(const char* text, const char* title)
{
  mErrorShown = true;
  if (mOptions.showError)
    mOptions.showError(text, title);
  else
    ShowErrorBox(mMainWindow, text, title);
}

StandaloneHost* CreateStandaloneHost(StandaloneHostOptions options)
{
  auto* host = new StandaloneHost(std::move(options));
  if (StandaloneHost* previous = gHost.exchange(host)) delete previous;
  return host;
}

void DestroyStandaloneHost(StandaloneHost* host)
{
  if (!host) return;
  StandaloneHost* expected = host;
  gHost.compare_exchange_strong(expected, nullptr);
  delete host;
}

StandaloneHost* GetStandaloneHost()
{
  return gHost.load();
}

} // namespace iplug
