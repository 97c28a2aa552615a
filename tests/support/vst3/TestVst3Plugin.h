#pragma once

// A small plug-in on the VST3 adapter for the adapter's own tests: fourteen
// parameters (an enum first, a bool last that is the host's bypass switch) with
// IDs computed from keys, a block that scales input by parameter 1 ("Gain") so
// the audio path can be checked sample by sample, the framework's default state
// form, and records of what the adapter called.

#include "framework/vst3/IPlugVST3.h"
#include "framework/vst3/ParamIdTable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quorvel::test
{

inline iplug::IPluginSpec TestVst3Spec(const char* channelIO = "1-1 2-2", bool midiIn = false,
                                       bool midiOut = false)
{
  iplug::IPluginSpec spec;
  spec.nParams = 14;
  spec.nPresets = 2;
  spec.channelIOStr = channelIO;
  spec.pluginName = "TestPlug";
  spec.productName = "TestPlug";
  spec.makerName = "Tester";
  spec.version = iplug::MakeVersion(1, 2, 3);
  spec.uniqueID = iplug::MakeFourCharCode("Tstp");
  spec.makerID = iplug::MakeFourCharCode("Tstr");
  spec.latency = 61;
  spec.midiIn = midiIn;
  spec.midiOut = midiOut;
  return spec;
}

inline constexpr const char* kTestParamKeys[14] = {"mode", "gain", "p2", "p3",  "p4",  "p5",  "p6",
                                                   "p7",   "p8",   "p9", "p10", "p11", "p12", "off"};
inline constexpr auto kTestParamIds = []
{
  std::array<uint32_t, 14> ids{};
  for (size_t i = 0; i < ids.size(); ++i)
    ids[i] = iplug::ParamIdFromKey(kTestParamKeys[i]);
  return ids;
}();

// The VST3 ID of the test plug-in's parameter i.
inline uint32_t MapParamId(int i)
{
  return i >= 0 && i < 14 ? kTestParamIds[static_cast<size_t>(i)] : static_cast<uint32_t>(i);
}

// A state that starts with this tag carries a bypass word after it (see StateHasBypassWord).
inline constexpr char kTestBypassTag[4] = {'T', 'B', 'Y', 'P'};

class TestVst3Plugin : public iplug::IPlugVST3
{
public:
  struct ParamChange
  {
    int idx;
    iplug::ChangeSource source;
    int offset;
  };

  explicit TestVst3Plugin(const iplug::IPluginSpec& spec = TestVst3Spec(), bool* destroyed = nullptr)
      : IPlugVST3(iplug::InstanceInfo{}, spec), mDestroyed(destroyed)
  {
    SetParamIds(kTestParamIds.data(), 14);
    SetBypassParamIndex(13);
    GetParam(0)->ConfigureEnum("Model", 0, {"A", "B", "C", "D", "E", "F"});
    GetParam(1)->ConfigureDouble("Gain", 1.0, 0.0, 2.0, 0.001);
    for (int i = 2; i < 13; ++i)
    {
      char name[8];
      std::snprintf(name, sizeof name, "P%d", i);
      GetParam(i)->ConfigureDouble(name, 0.5, 0.0, 1.0, 0.01);
    }
    GetParam(13)->ConfigureBool("Bypass", false);
    iplug::StateChunk preset;
    SerializeState(preset);
    AddPresetFromChunk("First Preset", preset);
    AddPresetFromChunk("Second Preset", preset);
  }
  ~TestVst3Plugin() override
  {
    if (mDestroyed) *mDestroyed = true;
  }

  void ProcessBlock(float** inputs, float** outputs, int32_t frames) override
  {
    ++blocks;
    maxFrames = std::max(maxFrames, frames);
    const float gain = static_cast<float>(GetParam(1)->Value());
    const int ins = NChannels(iplug::kInput);
    for (int c = 0; c < NChannels(iplug::kOutput); ++c)
      for (int i = 0; i < frames; ++i)
        outputs[c][i] = (c < ins ? inputs[c][i] : 0.f) * gain;
    connectedInputs = CountConnectedChannels(iplug::kInput);
  }

  void OnReset() override { ++resets; }
  void OnActivate(bool active) override { activations.push_back(active); }
  void OnParamChange(int idx, iplug::ChangeSource source, int offset) override
  {
    paramChanges.push_back({idx, source, offset});
  }
  void SendParamValueToEditor(int idx, double value, bool normalized) override
  {
    editorValues.push_back({idx, normalized ? value : GetParam(idx)->ToNormalized(value)});
  }
  void ProcessMidiMessage(const iplug::IMidiEvent& msg) override
  {
    midiIn.push_back(msg);
    if (echoMidi) SendMidiMessage(msg);
  }
  void ProcessSysexMessage(const iplug::ISysexEvent& msg) override
  {
    sysexIn.emplace_back(msg.data, msg.data + msg.size);
  }

  bool StateHasBypassWord(const iplug::StateChunk& state) const override
  {
    return state.GetSize() > 3 && std::memcmp(state.GetData(), kTestBypassTag, 4) == 0;
  }
  // Counts state restores; the values still go to the editor.
  void OnStateRestored() override
  {
    ++statesRestored;
    IPlugVST3::OnStateRestored();
  }

  // Helpers for tests that act as the editor or the effect.
  using IPlugVST3::SetLatency;
  using IPlugVST3ProcessorBase::ClearScratchBuffers;
  Steinberg::Vst::ParameterContainer& Parameters() { return parameters; }

  std::vector<ParamChange> paramChanges;
  std::vector<std::pair<int, double>> editorValues;
  std::vector<bool> activations;
  std::vector<iplug::IMidiEvent> midiIn;
  std::vector<std::vector<uint8_t>> sysexIn;
  bool echoMidi = false;
  int resets = 0;
  int statesRestored = 0;
  int blocks = 0;
  int maxFrames = 0;
  int connectedInputs = -1;

private:
  bool* mDestroyed;
};

} // namespace quorvel::test
