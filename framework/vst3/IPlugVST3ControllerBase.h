#pragma once

// The edit-controller half of the VST3 adapter: units and parameter objects made
// from the plug-in's parameters, and what the host says about the mixer channel
// the plug-in sits on. Host UI thread only.

#include "framework/core/IPlugAPIBase.h"
#include "framework/core/TextBuffer.h"

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

  // Name of MIDI controller 0..127, null outside.
  static const char* MidiControllerName(int controller);

protected:
  Steinberg::Vst::ParameterContainer* mParameters = nullptr;
  TextBuffer mChannelName;
  TextBuffer mChannelNamespace;
  TextBuffer mChannelUID;
  int32_t mChannelNamespaceIndex = 0;
  int32_t mChannelIndex = 0;
  uint32_t mChannelColour = 0;
};

} // namespace iplug
