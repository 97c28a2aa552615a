#pragma once

#include "effect/engine/EngineKernels.h"
#include "effect/engine/EngineParams.h"
#include "effect/engine/MeterLevels.h"

#include <atomic>
#include <memory>

namespace quorvel
{

class QuorvelEngine;

// The plug-in's owner of the signal engine and of the meter values the editor polls.
// Prepare runs on the host thread while audio is stopped, or on the audio thread itself when the
// channel count changes; CopyParams and Process run on the audio thread; ReadMeters on any thread.
class QuorvelEngineHolder
{
public:
  QuorvelEngineHolder();
  ~QuorvelEngineHolder();
  QuorvelEngineHolder(const QuorvelEngineHolder&) = delete;
  QuorvelEngineHolder& operator=(const QuorvelEngineHolder&) = delete;

  // Rates that are not finite, not positive or above 768000 Hz run at 48000 Hz; channel counts
  // below 2 give mono, above 2 stereo. Clears all audio history and the meters. `allowed`
  // holds the engine to the baseline kernels when it is KernelPath::kBaseline (tests, benchmark).
  void Prepare(double sampleRate, int channels, KernelPath allowed = KernelPath::kWide);

  // Once per block before Process, and before every Prepare.
  void CopyParams(const EngineParams& params);

  // Processes n frames (any n; the engine cuts them into chunks of 512). inputs, or any of its
  // entries, may be null (silence); entries of outputs may be null (skipped). Latency: 61 frames.
  void Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass);

  MeterLevels ReadMeters() const;

  QuorvelEngine& GetEngine() { return *mEngine; }
  const QuorvelEngine& GetEngine() const { return *mEngine; }

private:
  std::unique_ptr<QuorvelEngine> mEngine;
  // Written by the audio thread, read by the editor: relaxed atomics are plain 32-bit moves on x86.
  std::atomic<float> mMeters[3];
};

} // namespace quorvel
