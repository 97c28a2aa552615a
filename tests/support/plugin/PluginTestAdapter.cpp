#include "tests/support/plugin/PluginTestAdapter.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quorvel::test
{

PluginTestAdapter::PluginTestAdapter(const InstanceInfo&, const iplug::IPluginSpec& spec)
    : iplug::IPlugAPIBase(spec, iplug::kAPIAPP), iplug::IPlugProcessor(spec)
{
  ConnectChannels(NChannels(iplug::kInput), NChannels(iplug::kOutput));
  SetBlockSize(512);
  const int underWay = ++sConstructing;
  int seen = maxConcurrentConstructions.load();
  while (underWay > seen && !maxConcurrentConstructions.compare_exchange_weak(seen, underWay))
  {
  }
  if (slowConstruction) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  --sConstructing;
}

void PluginTestAdapter::BeginHostParamEdit(int paramIdx)
{
  if (recording) records.push_back({Call::kBeginEdit, paramIdx, 0.0});
}

void PluginTestAdapter::EndHostParamEdit(int paramIdx)
{
  if (recording) records.push_back({Call::kEndEdit, paramIdx, 0.0});
}

void PluginTestAdapter::SendParamValueToHost(int paramIdx, double normalized)
{
  if (recording) records.push_back({Call::kSendToHost, paramIdx, normalized});
}

void PluginTestAdapter::SendParamValueToEditor(int paramIdx, double value, bool normalized)
{
  if (recording)
    records.push_back(
        {Call::kValueToEditor, paramIdx, normalized ? value : GetParam(paramIdx)->ToNormalized(value)});
  // This adapter is the editor: the value ends here rather than going on to the delegate hooks.
}

void PluginTestAdapter::OnParamChange(int paramIdx, iplug::ChangeSource source, int sampleOffset)
{
  if (recording) records.push_back({Call::kParamChange, paramIdx, static_cast<double>(source)});
  iplug::IPlugAPIBase::OnParamChange(paramIdx, source, sampleOffset);
}

void PluginTestAdapter::OnParamChangeInEditor(int paramIdx, iplug::ChangeSource source)
{
  if (recording) records.push_back({Call::kParamChangeInEditor, paramIdx, static_cast<double>(source)});
  iplug::IPlugAPIBase::OnParamChangeInEditor(paramIdx, source);
}

void PluginTestAdapter::SetLatency(int32_t samples)
{
  ++latencyAnnouncements;
  iplug::IPlugProcessor::SetLatency(samples);
}

void PluginTestAdapter::ConnectChannels(int inputs, int outputs)
{
  const int nIn = NChannels(iplug::kInput);
  const int nOut = NChannels(iplug::kOutput);
  MarkChannelsConnected(iplug::kInput, 0, nIn, false);
  MarkChannelsConnected(iplug::kOutput, 0, nOut, false);
  MarkChannelsConnected(iplug::kInput, 0, std::min(inputs, nIn), true);
  MarkChannelsConnected(iplug::kOutput, 0, std::min(outputs, nOut), true);
  mReportedInputs = inputs;
  mReportedOutputs = outputs;
}

int32_t PluginTestAdapter::CountConnectedChannels(int32_t direction) const
{
  return direction == iplug::kInput ? mReportedInputs : mReportedOutputs;
}

} // namespace quorvel::test
