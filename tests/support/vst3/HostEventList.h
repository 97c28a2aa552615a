#pragma once

// An event list as hosts pass it for MIDI input and output.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace quorvel::test
{

class HostEventList : public HostObject<Steinberg::Vst::IEventList>
{
public:
  Steinberg::int32 PLUGIN_API getEventCount() override
  {
    return static_cast<Steinberg::int32>(events.size());
  }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override
  {
    if (index < 0 || index >= getEventCount()) return Steinberg::kInvalidArgument;
    e = events[static_cast<size_t>(index)];
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override
  {
    events.push_back(e);
    return Steinberg::kResultOk;
  }

  std::vector<Steinberg::Vst::Event> events;
};

} // namespace quorvel::test
