#include "tests/support/vst3/HostParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace quorvel::test
{

tresult PLUGIN_API HostParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
  if (failPoints || index < 0 || index >= static_cast<int32>(points.size())) return kResultFalse;
  sampleOffset = points[static_cast<size_t>(index)].first;
  value = points[static_cast<size_t>(index)].second;
  return kResultTrue;
}

tresult PLUGIN_API HostParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
  index = static_cast<int32>(points.size());
  points.emplace_back(sampleOffset, value);
  return kResultTrue;
}

IParamValueQueue* PLUGIN_API HostParameterChanges::getParameterData(int32 index)
{
  if (index < 0 || index >= static_cast<int32>(queues.size()) || index == nullQueueAt) return nullptr;
  return queues[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API HostParameterChanges::addParameterData(const ParamID& id, int32& index)
{
  for (size_t i = 0; i < queues.size(); ++i)
    if (queues[i]->id == id)
    {
      index = static_cast<int32>(i);
      return queues[i].get();
    }
  queues.push_back(std::make_unique<HostParamValueQueue>(id));
  index = static_cast<int32>(queues.size() - 1);
  return queues.back().get();
}

HostParamValueQueue& HostParameterChanges::Add(ParamID id, int32 offset, double value)
{
  int32 index = 0;
  auto* queue = static_cast<HostParamValueQueue*>(addParameterData(id, index));
  queue->addPoint(offset, value, index);
  return *queue;
}

} // namespace quorvel::test
