#pragma once

// The edit-controller half of the VST3 adapter: units and parameter objects made
// from the plug-in's parameters, and what the host says about the mixer channel
// the plug-in sits on. Host UI thread only.

#include "framework/core/TextBuffer.h"
#include "framework/plugin/IPlugAPIBase.h"
#include "framework/vst3/ParamIdTable.h"

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstattributes.h"

#include <cstdint>

namespace iplug
{

// First ID of the 130 MIDI-controller parameters (128 controllers, channel aftertouch, pitch bend).
inline constexpr Steinberg::Vst::ParamID kMidiCCParamBase = 65538;
inline constexpr int kNumMidiCCParams = 130;
// Program list the program-name query answers for.
inline constexpr Steinberg::Vst::ProgramListID kFactoryProgramList = 65537;

class IPlugVST3ControllerBase
{
public:
  // Adds the root unit, one unit per parameter group, one parameter object per parameter and,
  // for plug-ins that take MIDI, the MIDI-controller units and parameters.
  void CreateParameters(IPlugAPIBase& plug, Steinberg::Vst::ParameterContainer& parameters,
                        Steinberg::Vst::EditControllerEx1& controller, bool midiIn);

  // Reads what the host supplies of the channel attributes; unanswered ones keep their values.
  Steinberg::tresult ReadChannelContext(Steinberg::Vst::IAttributeList* list);

  void GetTrackColour(int& r, int& g, int& b) const;
  void GetTrackName(TextBuffer& name) const { name.AssignText(mChannelName.Get()); }
  int GetTrackIndex() const { return mChannelIndex; }
  void GetTrackNamespace(TextBuffer& name) const { name.AssignText(mChannelNamespace.Get()); }
  int GetTrackNamespaceIndex() const { return mChannelNamespaceIndex; }

  // The VST3 ID of parameter `index` and back (see ParamIdTable); IDs are the indices unless the
  // plug-in gave its own with SetParamIds.
  uint32_t MapParamId(int32_t index) const { return mParamIds.MapParamId(index); }
  int32_t ParamIndexFromId(uint32_t id) const { return mParamIds.ParamIndexFromId(id); }
  const ParamIdTable& GetParamIds() const { return mParamIds; }
  // The parameter hosts show as their own bypass switch, -1 for none.
  int GetBypassParamIndex() const { return mBypassParamIndex; }

  // Name of MIDI controller 0..127, null outside.
  static const char* MidiControllerName(int controller);

protected:
  // Called by the plug-in's constructor, before the host sees any parameter: fixed IDs for
  // parameters 0 .. count - 1 (the array must outlive the plug-in) and the bypass parameter.
  void SetParamIds(const uint32_t* ids, int count) { mParamIds.Assign(ids, count); }
  void SetBypassParamIndex(int index) { mBypassParamIndex = index; }

  Steinberg::Vst::ParameterContainer* mParameters = nullptr;
  ParamIdTable mParamIds;
  int mBypassParamIndex = -1;
  TextBuffer mChannelName;
  TextBuffer mChannelNamespace;
  TextBuffer mChannelUID;
  int32_t mChannelNamespaceIndex = 0;
  int32_t mChannelIndex = 0;
  uint32_t mChannelColour = 0;
};

} // namespace iplug
