#include "framework/plugin/IPlugAPIBase.h"

#include "framework/core/TimeStamp.h"
#include "framework/core/TraceHook.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace iplug
{
namespace
{
constexpr int32_t kMaxIdentityText = 128;

struct HostNameEntry
{
  const char* substring;
  HostId id;
};

// Searched in this order: longer names that contain shorter ones come first, and the
// generic words last.
constexpr HostNameEntry kHostNames[] = {
    {"reaper", 1},         {"protools", 2},
    {"cubase", 3},         {"nuendo", 4},
    {"cakewalk", 5},       {"vegas", 6},
    {"fruity", 7},         {"samplitude", 8},
    {"live", 9},           {"tracktion", 10},
    {"ntracks", 11},       {"melodyne", 12},
    {"vstmanlib", 13},     {"aulab", 14},
    {"forte", 15},         {"chainer", 16},
    {"audition", 17},      {"orion", 18},
    {"bias", 19},          {"sawstudio", 20},
    {"logic", 21},         {"garageband", 22},
    {"digital", 23},       {"audiomulch", 25},
    {"presonus", 26},      {"vst3plugintesthost", 27},
    {"ardour", 28},        {"renoise", 29},
    {"openmpt", 30},       {"wavelab elements", 32},
    {"wavelab", 31},       {"twistedwave", 33},
    {"bitwig studio", 34}, {"reason", 36},
    {"gwvst", 37},         {"waveform", 38},
    {"audacity", 39},      {"acoustica", 40},
    {"plugindoctor", 41},  {"izotope rx", 42},
    {"savihost", 43},      {"blue cat's vst host", 44},
    {"mixbus", 45},        {"standalone", kHostStandalone},
    {"www", 35},
};
} // namespace

void FormatVersionText(int32_t version, TextBuffer& out)
{
  out.SetFormatted(32, "v%d.%d.%d", (version >> 16) & 0xffff, (version >> 8) & 0xff, version & 0xff);
}

IPlugAPIBase::IPlugAPIBase(const IPluginSpec& config, ApiType api)
    : IPluginBase(config.nParams, config.nPresets)
{
  mScratch.AssignText("");

  mUniqueID = config.uniqueID;
  mMakerID = config.makerID;
  mVersion = config.version;
  mPluginName.AssignText(config.pluginName, kMaxIdentityText);
  mProductName.AssignText(config.productName, kMaxIdentityText);
  mMakerName.AssignText(config.makerName, kMaxIdentityText);
  mHasEditor = config.hasEditor;
  mHostResizeEditor = config.hostResizeEditor;
  SetEditorSize(config.editorWidth, config.editorHeight);
  mAPI = api;
  SetSizeConstraints(std::min(config.editorMinWidth, config.editorMaxWidth),
                     std::max(config.editorMinWidth, config.editorMaxWidth),
                     std::min(config.editorMinHeight, config.editorMaxHeight),
                     std::max(config.editorMinHeight, config.editorMaxHeight));
  mReserved = config.reserved;
  mExtraText1.AssignText(config.extraText1);
  mExtraText2.AssignText(config.extraText2);

  TextBuffer stamp;
  FormatLocalTimeStamp(std::time(nullptr), stamp);
  TraceHook(__FUNCTION__, __LINE__, "%s:%s", GetPluginName(), stamp.Get());
}

IPlugAPIBase::~IPlugAPIBase()
{
  StopQueueTimer();
}

void IPlugAPIBase::SetHost(const char* hostName, int32_t version)
{
  mHostName.AssignText(hostName ? hostName : "");
  mHost = IdentifyHost(hostName);
  mHostVersion = version;

  TextBuffer versionText;
  FormatVersionText(version, versionText);
  TraceHook(__FUNCTION__, __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", GetHostName(),
            versionText.Get());

  PrepareForHost();
  OnHostKnown();
}

HostId IPlugAPIBase::IdentifyHost(const char* hostName)
{
  if (!hostName) return kHostUnknown;
  char lower[256];
  size_t n = 0;
  for (; n < sizeof(lower) - 1 && hostName[n] != '\0'; ++n)
  {
    const char c = hostName[n];
    lower[n] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  lower[n] = '\0';

  for (const HostNameEntry& entry : kHostNames)
    if (std::strstr(lower, entry.substring)) return entry.id;
  return kHostUnknown;
}

void IPlugAPIBase::StartQueueTimer()
{
  StopQueueTimer();
  mQueueTimer.reset(Timer::StartTimer([this](Timer& timer) { DrainUiQueues(timer); }, kQueueTimerIntervalMs));
}

void IPlugAPIBase::StopQueueTimer()
{
  // Stopping waits for a tick in progress, so nothing drains once this returns.
  if (mQueueTimer) mQueueTimer->StopTimer();
  mQueueTimer.reset();
}

void IPlugAPIBase::DrainUiQueues(Timer&)
{
  // The VST3 build reaches the editor with host values directly; its parameter ring stays unused.
  if (GetAPI() != kAPIVST3)
  {
    IParamChange change;
    while (mParamChangesForEditor.Pop(change))
      SendParamValueToEditor(change.paramIdx, change.value, false);
  }

  IMidiEvent msg;
  while (mMidiForEditor.Pop(msg))
    SendMidiMessageToEditor(msg);

  ISysexPacket packet;
  while (mSysexForEditor.Pop(packet))
    SendSysexMessageToEditor(SysexEventFromPacket(packet));

  OnIdleTick();
}

bool IPlugAPIBase::DequeueMidiFromEditor(IMidiEvent& msg)
{
  return mMidiFromEditor.Pop(msg);
}

bool IPlugAPIBase::DequeueSysexFromEditor(ISysexPacket& packet)
{
  return mSysexFromEditor.Pop(packet);
}

bool IPlugAPIBase::EnqueueMidiForEditor(const IMidiEvent& msg)
{
  return mMidiForEditor.Push(msg);
}

namespace
{
// False for sizes the packet cannot carry.
bool MakeSysexPacket(const ISysexEvent& msg, ISysexPacket& packet)
{
  if (msg.size < 0 || msg.size > kMaxSysexBytes) return false;
  packet.offset = msg.offset;
  packet.size = msg.size;
  if (msg.data)
    std::memcpy(packet.data, msg.data, static_cast<size_t>(msg.size));
  else
    std::memset(packet.data, 0, sizeof(packet.data));
  return true;
}
} // namespace

bool IPlugAPIBase::EnqueueSysexForEditor(const ISysexEvent& msg)
{
  ISysexPacket packet;
  return MakeSysexPacket(msg, packet) && mSysexForEditor.Push(packet);
}

ISysexEvent IPlugAPIBase::SysexEventFromPacket(const ISysexPacket& packet)
{
  return ISysexEvent{packet.offset, std::clamp(packet.size, 0, kMaxSysexBytes), packet.data};
}

void IPlugAPIBase::EnqueueMidiFromEditor(const IMidiEvent& msg)
{
  mMidiFromEditor.Push(msg);
}

void IPlugAPIBase::EnqueueSysexFromEditor(const ISysexEvent& msg)
{
  ISysexPacket packet;
  if (MakeSysexPacket(msg, packet)) mSysexFromEditor.Push(packet);
}

void IPlugAPIBase::SetParamFromEditor(int paramIdx, double normalizedValue)
{
  IParam* param = GetParam(paramIdx);
  if (!param) // a control bound to no parameter
    return;
  param->SetNormalized(normalizedValue);
  SendParamValueToHost(paramIdx, normalizedValue);
  OnParamChange(paramIdx, kUI, -1);
}

void IPlugAPIBase::SetParamFromEditorNormalized(int paramIdx, double normalizedValue)
{
  if (!GetParam(paramIdx)) return;
  SetParamFromEditor(paramIdx, normalizedValue);
  OnParamChangeInEditor(paramIdx, kUI);
}

void IPlugAPIBase::SendAllParamsToHost()
{
  const int n = NParams();
  for (int i = 0; i < n; ++i)
    SendParamValueToHost(i, GetParam(i)->GetNormalized());
}

bool IPlugAPIBase::EditorResizeRequest(int width, int height, bool needsPlatformResize)
{
  if (needsPlatformResize) return ResizeEditorWindow(width, height, needsPlatformResize);
  return true;
}

bool IPlugAPIBase::StateMatchesCurrent(const double* values, int position) const
{
  const int n = NParams();
  for (int k = 0; k < n; ++k)
  {
    const double current = static_cast<float>(GetParam(k)->Value());
    const double stored = static_cast<float>(values[position + k]);
    if (!(std::fabs(current - stored) < 1e-5)) return false;
  }
  return true;
}

void IPlugAPIBase::ListKeyParams(int count, HeapBuffer& indices) const
{
  if (NParams() <= count) return;
  for (int32_t i = 0; i < count; ++i)
    indices.AppendBytes(&i, static_cast<int32_t>(sizeof(i)));
}

bool IPlugAPIBase::GetNoteName(int, TextBuffer& name) const
{
  name.AssignText("");
  return false;
}

void IPlugAPIBase::QueueParamValueForEditor(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (normalized) value = param->FromNormalized(value);
  mParamChangesForEditor.Push(IParamChange{paramIdx, value});
}

bool IPlugAPIBase::ResizeEditorWindow(int, int, bool)
{
  return false;
}
} // namespace iplug
