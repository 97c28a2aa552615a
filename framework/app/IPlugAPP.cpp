#include "framework/app/IPlugAPP.h"

#include "framework/app/StandaloneHost.h"
#include "framework/core/ScopedFloatEnvironment.h"
#include "framework/core/TraceHook.h"
#include "framework/graphics/IGraphics.h"

#include <cstring>

namespace iplug
{

IPlugAPP::IPlugAPP(const InstanceInfo& info, const IPluginSpec& spec)
    : IPlugAPIBase(spec, kAPIAPP), IPlugProcessor(spec), mHost(info.host)
{
  TraceHook(__FUNCTION__, __LINE__, "%s", "iplug::IPlugAPP::IPlugAPP");
  MarkChannelsConnected(kInput, 0, NChannels(kInput), true);
  MarkChannelsConnected(kOutput, 0, NChannels(kOutput), true);
  SetBlockSize(kBlockSize);
  // The queue timer starts in AnnounceHost: its drain calls the effect's overrides, and where
  // the timer ticks on a thread of its own it must not meet a half-built object.
}

IPlugAPP::~IPlugAPP()
{
  // The drain calls into this object: stop it before any part of it goes.
  StopQueueTimer();
}

AppEditorSize IPlugAPP::GetAppEditorSize() const
{
  AppEditorSize size;
  size.width = GetEditorWidth();
  size.height = GetEditorHeight();
  size.minWidth = GetMinWidth();
  size.minHeight = GetMinHeight();
  size.maxWidth = GetMaxWidth();
  size.maxHeight = GetMaxHeight();
  return size;
}

void IPlugAPP::SetEditorDisplayScale(float scale)
{
  if (igraphics::IGraphics* graphics = GetEditorGraphics()) graphics->SetDisplayScale(scale);
}

bool IPlugAPP::ResizeEditorWindow(int width, int height, bool)
{
  if (width != GetEditorWidth() || height != GetEditorHeight()) SetEditorSize(width, height);
  return false;
}

void IPlugAPP::SendSysexMessageFromEditor(const ISysexEvent& msg)
{
  SendSysexMessage(msg);
}

bool IPlugAPP::SendMidiMessage(const IMidiEvent& msg)
{
  IMidiOutput* out = mHost ? mHost->MidiOutput() : nullptr;
  if (!DoesMidiOut() || !out) return false;
  const uint8_t bytes[3] = {msg.status, msg.data1, msg.data2};
  out->SendBytes(bytes, sizeof(bytes));
  return true;
}

bool IPlugAPP::SendSysexMessage(const ISysexEvent& msg)
{
  IMidiOutput* out = mHost ? mHost->MidiOutput() : nullptr;
  if (!DoesMidiOut() || !out || msg.size <= 0 || !msg.data) return false;
  out->SendBytes(msg.data, static_cast<size_t>(msg.size));
  return true;
}

void IPlugAPP::AnnounceHost()
{
  SetHost("standalone", GetPluginVersion(false));
  if (!IsQueueTimerRunning()) StartQueueTimer();
}

void IPlugAPP::ActivateForHost()
{
  ScopedFloatEnvironment floatEnvironment; // activation prepares the effect
  NotifyAllParams(kReset);
  OnActivate(true);
}

void IPlugAPP::PrepareForStream(double sampleRate)
{
  ScopedFloatEnvironment floatEnvironment;
  SetBlockSize(kBlockSize);
  SetSampleRate(sampleRate);
  OnReset();
}

void IPlugAPP::RunBlock(double** inputs, double** outputs, int frames)
{
  // The host never hands more than a block; hold to it all the same, the scratch is no larger.
  if (frames <= 0) return;
  if (frames > kBlockSize) frames = kBlockSize;

  const int nIn = NChannels(kInput), nOut = NChannels(kOutput);
  MarkChannelsConnected(kInput, 0, nIn, GetPluginKind() != 1);
  MarkChannelsConnected(kOutput, 0, nOut, true);
  BindHostBuffers(kInput, 0, nIn, inputs, frames);
  BindHostBuffers(kOutput, 0, nOut, outputs, frames);

  IMidiEvent msg;
  while (mMidiFromDevice.Pop(msg))
  {
    ProcessMidiMessage(msg);
    EnqueueMidiForEditor(msg);
  }
  ISysexPacket packet;
  while (mSysexFromDevice.Pop(packet))
  {
    const ISysexEvent event = SysexEventFromPacket(packet);
    ProcessSysexMessage(event);
    EnqueueSysexForEditor(event);
  }
  // SysEx from the editor never queues here: it goes straight out (SendSysexMessageFromEditor).
  while (DequeueMidiFromEditor(msg))
    ProcessMidiMessage(msg);

  ProcessHostBuffers(frames);
}

bool IPlugAPP::QueueMidiFromDevice(uint8_t status, uint8_t data1, uint8_t data2)
{
  IMidiEvent msg;
  msg.status = status;
  msg.data1 = data1;
  msg.data2 = data2;
  return mMidiFromDevice.Push(msg);
}

bool IPlugAPP::QueueSysexFromDevice(const uint8_t* bytes, int size)
{
  if (!bytes || size <= 0 || size > kMaxSysexBytes) return false;
  ISysexPacket packet;
  packet.size = size;
  std::memcpy(packet.data, bytes, static_cast<size_t>(size));
  return mSysexFromDevice.Push(packet);
}

} // namespace iplug
