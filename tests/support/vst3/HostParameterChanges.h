#pragma once

// Parameter changes as a host passes them into process(): one queue per
// parameter ID, each with points (sample offset, normalised value).

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <utility>
#include <vector>

namespace quorvel::test
{

class HostParamValueQueue : public HostObject<Steinberg::Vst::IParamValueQueue>
{
public:
  explicit HostParamValueQueue(Steinberg::Vst::ParamID id) : id(id) {}

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id; }
  Steinberg::int32 PLUGIN_API getPointCount() override
  {
    return static_cast<Steinberg::int32>(points.size());
  }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  Steinberg::Vst::ParamID id;
  std::vector<std::pair<Steinberg::int32, double>> points;
  // Makes getPoint fail for every index, as a broken host queue would.
  bool failPoints = false;
};

class HostParameterChanges : public HostObject<Steinberg::Vst::IParameterChanges>
{
public:
  Steinberg::int32 PLUGIN_API getParameterCount() override
  {
    return static_cast<Steinberg::int32>(queues.size());
  }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  // Adds one point to the queue of `id` (creating the queue) and returns the queue.
  HostParamValueQueue& Add(Steinberg::Vst::ParamID id, Steinberg::int32 offset, double value);
  void Clear() { queues.clear(); }

  std::vector<std::unique_ptr<HostParamValueQueue>> queues;
  // Index whose getParameterData answers null, as some hosts do for removed entries (-1: none).
  Steinberg::int32 nullQueueAt = -1;
};

} // namespace quorvel::test
