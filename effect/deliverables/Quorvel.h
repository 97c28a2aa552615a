#pragma once

#include "effect/deliverables/QuorvelBase.h"

#include "effect/editor/EditorPlugin.h"
#include "effect/editor/EditorWindowFit.h"
#include "effect/editor/GraphicsFitTarget.h"
#include "effect/engine/EngineParams.h"
#include "effect/engine/MeterLevels.h"
#include "effect/engine/QuorvelEngineHolder.h"
#include "effect/plugin/ParamTable.h"

#include <atomic>
#include <cstdint>

namespace quorvel
{

inline constexpr int kLatencySamples = 61;
inline constexpr int kMaxChunkFrames = 512; // the engine's and the scratch buffers' block
inline constexpr int kMaxEngineChannels = 2;

// The effect: its configuration and parameters, the signal engine, factory presets, the A/B comparison
// slots and the stored state. One object per plug-in instance; the host adapter base differs per
// deliverable (QuorvelBase.h).
class Quorvel : public QuorvelBase, public EditorPlugin
{
public:
  explicit Quorvel(const QuorvelInstanceInfo& info);
  ~Quorvel() override;
  Quorvel(const Quorvel&) = delete;
  Quorvel& operator=(const Quorvel&) = delete;

  // Host thread, audio stopped: (re)prepare the engine for the connected inputs and the sample rate.
  void OnReset() override;
  void OnActivate(bool active) override;
  // Audio thread. Allocates nothing; re-prepares the engine itself when the connected input count changes.
  void ProcessBlock(float** inputs, float** outputs, int32_t nFrames) override;

  // Editor thread: keeps the editor at its layout size and fits its scale to the host window.
  void OnHostWindowResized(int width, int height) override;

  // The 128-byte state block. False when the chunk could not grow.
  bool SerializeState(iplug::StateChunk& chunk) const override;
  // Reads a state block, or the XML state form when the block's magic is missing. Returns the position
  // after it, or -1 with nothing changed.
  int UnserializeState(const iplug::StateChunk& chunk, int startPos) override;

  // The fourteen current parameter values as the engine takes them.
  EngineParams SnapshotParams() const;

  // Presets and comparison slots (editor thread).
  void RestoreFactoryPreset(int index);
  void CopyToOtherSlot();
  void SwapComparisonSlots();
  // Sets every parameter (constrained; NaN becomes the minimum) and tells the
  // editor. With notify the host sees each change as a complete edit.
  void ApplyValues(const EngineParams& values, bool notify);

  EngineParams GetOtherSlot() const;
  int GetPresetIndex() const { return mPresetIndex.load(); }
  int GetActiveSlot() const { return mActiveSlot.load(); } // 0 = A, 1 = B
  // The factory preset the current values still equal, or -1; and what the preset menu shows for it.
  int MatchCurrentPreset() const;
  const char* GetPresetMenuText() const;

  // Any thread: the meter values the editor polls.
  MeterLevels ReadMeters() const { return mEngine.ReadMeters(); }
  QuorvelEngineHolder& GetEngineHolder() { return mEngine; }

protected:
  // The editor's graphics context as far as fitting it to the host window needs; null while the
  // editor is closed.
  virtual EditorFitTarget* GetEditorFitTarget();

#if defined(QUORVEL_API_VST3)
  // The VST3 component state: the state block plus a bypass word, or the XML form
  // (QuorvelComponentState.cpp).
  Steinberg::tresult getComponentStateForHost(Steinberg::IBStream* stream) override;
  Steinberg::tresult setComponentStateFromHost(Steinberg::IBStream* stream) override;
#endif

private:
  void DeclareParams();
  void RegisterFactoryPresets();
  void PrepareEngine(int inputChannels);
  double EngineSampleRate() const;

  QuorvelEngineHolder mEngine;
  std::atomic<float> mOtherSlot[kParamCount];
  std::atomic<int32_t> mPresetIndex{0};
  std::atomic<uint8_t> mActiveSlot{0};
  int mChannels = kMaxEngineChannels;
  std::atomic<bool> mReady{false};
  EditorWindowFitter mFitter; // holds the resize guard
  GraphicsFitTarget mGraphicsFitTarget;
  float mScratchIn[kMaxEngineChannels][kMaxChunkFrames] = {};
  float mScratchOut[kMaxEngineChannels][kMaxChunkFrames] = {};
};

// Creates one effect object under the process-wide instance lock, so that two instances are never
// constructed at once. Null when memory runs out.
Quorvel* CreatePluginInstance(const QuorvelInstanceInfo& info);

} // namespace quorvel
