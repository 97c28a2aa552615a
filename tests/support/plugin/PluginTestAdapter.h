#pragma once

#include "framework/core/IPlugProcessor.h"
#include "framework/plugin/IPlugAPIBase.h"

#include <atomic>
#include <vector>

namespace quorvel::test
{

// Stands where a host adapter stands (IPlugAPIBase first, IPlugProcessor second) and records what the
// effect tells the host and the editor, so that tests can see every notification in order. It also
// lets a test connect channels the way a host would, including more inputs than the layout declares.
class PluginTestAdapter : public iplug::IPlugAPIBase, public iplug::IPlugProcessor
{
public:
  struct InstanceInfo
  {
  };

  enum class Call
  {
    kBeginEdit,
    kSendToHost,
    kEndEdit,
    kValueToEditor,
    kParamChange,
    kParamChangeInEditor,
  };

  struct Record
  {
    Call call;
    int index;
    double value; // normalised value, or the change source
  };

  PluginTestAdapter(const InstanceInfo& info, const iplug::IPluginSpec& spec);

  // Construction watch: while slowConstruction is set each base construction lingers a little, and
  // maxConcurrentConstructions records how many were ever under way at once.
  static inline std::atomic<bool> slowConstruction{false};
  static inline std::atomic<int> maxConcurrentConstructions{0};

  // Host edits, editor values and change notifications, in call order.
  std::vector<Record> records;
  int latencyAnnouncements = 0;
  bool recording = true;

  void BeginHostParamEdit(int paramIdx) override;
  void EndHostParamEdit(int paramIdx) override;
  void SendParamValueToHost(int paramIdx, double normalized) override;
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override;
  void OnParamChange(int paramIdx, iplug::ChangeSource source, int sampleOffset) override;
  void OnParamChangeInEditor(int paramIdx, iplug::ChangeSource source) override;

  bool SendMidiMessage(const iplug::IMidiEvent&) override { return false; }
  void SetLatency(int32_t samples) override;

  // Connects the first `inputs` and `outputs` channels. Counts above the layout's channels are
  // reported as they are, the way a host with a wider bus would, and the effect must cope.
  void ConnectChannels(int inputs, int outputs);
  int32_t CountConnectedChannels(int32_t direction) const;

private:
  static inline std::atomic<int> sConstructing{0};
  int mReportedInputs = -1;
  int mReportedOutputs = -1;
};

} // namespace quorvel::test
