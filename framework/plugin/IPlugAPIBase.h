#pragma once

#include "framework/core/IMidiEvent.h"
#include "framework/core/IParamChange.h"
#include "framework/core/IPluginConfig.h"
#include "framework/core/ISysexEvent.h"
#include "framework/core/SpscRing.h"
#include "framework/core/TextBuffer.h"
#include "framework/core/Timer.h"
#include "framework/plugin/IPluginBase.h"

#include <cstdint>
#include <memory>

namespace iplug
{
// Ring sizes in slots; one slot always stays free, so they hold 512, 32 and 4 entries.
constexpr int32_t kParamRingSlots = 513;
constexpr int32_t kMidiRingSlots = 33;
constexpr int32_t kSysexRingSlots = 5;
constexpr int32_t kQueueTimerIntervalMs = 20;

// The host-facing layer of the plug-in object. It takes the configuration over, identifies
// the host by its name, carries the lock-free queues between the audio side and the editor
// with the timer that drains them on the UI thread, and routes the editor's requests to the
// host through the operations the adapters override.
//
// Threads: the parameter ring and the two rings for the editor are drained on the UI thread
// by the queue timer; the two rings from the editor are produced on the UI thread and
// consumed by the adapter's audio processing, which also produces the rings for the editor.
class IPlugAPIBase : public IPluginBase
{
public:
  IPlugAPIBase(const IPluginSpec& config, ApiType api);
  ~IPlugAPIBase() override;

  // Host identity. The standalone host calls SetHost with "standalone"; the VST3 adapter
  // with the host application's name once it knows it.
  void SetHost(const char* hostName, int32_t version);
  // Lower-cases the first 255 characters of the name and looks for the known host names in
  // table order; the first one contained anywhere wins. 0 when none is.
  static HostId IdentifyHost(const char* hostName);

  // Adapters start the 20 ms drain from their constructors. Adapters whose destructors run
  // before this one must stop it first, so that no drain reaches a half-destroyed object.
  void StartQueueTimer();
  void StopQueueTimer();
  // One tick of the queue timer: parameter values (not in the VST3 build), MIDI and SysEx
  // for the editor, each until its ring is empty, then OnIdleTick.
  void DrainUiQueues(Timer& timer);

  // Audio side of the rings. The audio thread pops what the editor sent and pushes what the
  // editor should see; none of these allocate, lock or block. Pushes into a full ring drop
  // the new entry and return false.
  bool DequeueMidiFromEditor(IMidiEvent& msg);
  bool DequeueSysexFromEditor(ISysexPacket& packet);
  bool EnqueueMidiForEditor(const IMidiEvent& msg);
  bool EnqueueSysexForEditor(const ISysexEvent& msg);

  // The handler's view of a queued SysEx packet; the size is held to 0..512 whatever the
  // packet says, so that no reader runs past its data.
  static ISysexEvent SysexEventFromPacket(const ISysexPacket& packet);

  // Steps shared by the adapters' editor edits: store the value from its normalised form,
  // tell the host, then the plug-in (source "UI").
  void SetParamFromEditor(int paramIdx, double normalizedValue);

  // Editor-facing operations.
  void SetParamFromEditorNormalized(int paramIdx, double normalizedValue) override;
  void BeginParamChangeFromEditor(int paramIdx) override { BeginHostParamEdit(paramIdx); }
  void EndParamChangeFromEditor(int paramIdx) override { EndHostParamEdit(paramIdx); }
  void SendAllParamsToHost() override;
  bool EditorResizeRequest(int width, int height, bool needsPlatformResize) override;
  void SendMidiMessageFromEditor(const IMidiEvent& msg) override { EnqueueMidiFromEditor(msg); }
  void SendSysexMessageFromEditor(const ISysexEvent& msg) override { EnqueueSysexFromEditor(msg); }
  void SendEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data) override
  {
    HandleEditorMessage(msgTag, ctrlTag, dataSize, data);
  }
  void EnqueueMidiFromEditor(const IMidiEvent& msg) override;
  // A size outside 0..512 is dropped; a null data pointer sends zeros.
  void EnqueueSysexFromEditor(const ISysexEvent& msg) override;

  // True when every parameter value and the value at values[position + k] agree to within
  // 1e-5 after both are rounded to 32-bit floats. values must hold position + NParams() entries.
  virtual bool StateMatchesCurrent(const double* values, int position) const;
  virtual void OnHostKnown() {}
  // Indices 0 .. count - 1 when the plug-in has more than count parameters, else nothing.
  virtual void ListKeyParams(int count, HeapBuffer& indices) const;
  // The sizes come from the host: summed wide, so that no pair of them can overflow.
  virtual bool AcceptsViewSize(int width, int height) const { return int64_t{width} + height == 0; }
  virtual void OnViewSizeChosen(int, int) {}
  virtual bool GetNoteName(int noteNumber, TextBuffer& name) const;
  // The open editor's graphics context, or null.
  virtual igraphics::IGraphics* GetEditorGraphics() const { return GetEditorGraphicsOf(*this); }
  virtual void OnIdleTick() {}
  virtual void GetTrackColour(int& r, int& g, int& b) const { r = g = b = 0; }
  virtual void GetTrackName(TextBuffer&) const {}
  virtual int GetTrackIndex() const { return 0; }
  virtual void GetTrackNamespace(TextBuffer&) const {}
  virtual int GetTrackNamespaceIndex() const { return 0; }
  // Queues a value for the editor (turned into parameter units first when normalised).
  virtual void QueueParamValueForEditor(int paramIdx, double value, bool normalized);
  virtual void PrepareForHost() {}
  virtual bool ResizeEditorWindow(int width, int height, bool needsPlatformResize);
  virtual void BeginHostParamEdit(int) {}
  virtual void EndHostParamEdit(int) {}
  virtual void SendParamValueToHost(int, double) {}

  bool IsQueueTimerRunning() const { return mQueueTimer != nullptr; }

private:
  TextBuffer mScratch;
  std::unique_ptr<Timer> mQueueTimer;
  SpscRing<IParamChange> mParamChangesForEditor{kParamRingSlots, IParamChange{-1, 0.0}};
  SpscRing<IMidiEvent> mMidiFromEditor{kMidiRingSlots};
  SpscRing<IMidiEvent> mMidiForEditor{kMidiRingSlots};
  SpscRing<ISysexPacket> mSysexFromEditor{kSysexRingSlots};
  SpscRing<ISysexPacket> mSysexForEditor{kSysexRingSlots};
};

// "v<major>.<minor>.<patch>" of a version word.
void FormatVersionText(int32_t version, TextBuffer& out);
} // namespace iplug
