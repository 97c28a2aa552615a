#pragma once
// The large panel under the title: the current model's picture with a glow that follows the harmonic
// activity, the model's name and description, an activity bar, and the input and output peak meters with
// their hold dots. It polls the plug-in's meters at every display tick, advances them in steps of elapsed
// time, and repaints only the parts whose drawing changed: with no audio, nothing.

#include "effect/editor/MeterSteps.h"
#include "effect/plugin/ParamTable.h"
#include "framework/graphics/IBitmapHandle.h"
#include "framework/graphics/IControl.h"

#include <array>
#include <cstdint>

namespace quorvel
{

class EditorPlugin;

class QuorHero : public iplug::igraphics::IControl
{
public:
  static constexpr int kModelCount = kSaturationModelCount;
  // Meter steps (MeterSteps: 30 per second of elapsed time).
  static constexpr int32_t kMeterHoldSteps = 45;
  static constexpr float kMeterDecay = 0.88f;
  static constexpr float kActivitySmoothing = 0.16f;

  // The pictures are copied; empty handles draw the model's name instead. The meters step by the
  // plug-in's meter clock.
  QuorHero(const iplug::igraphics::IBounds& bounds, int paramIdx, EditorPlugin& plugin,
           const std::array<iplug::igraphics::IBitmapHandle, kModelCount>& pictures);

  float GetInputLevel() const { return mInputLevel; }
  float GetOutputLevel() const { return mOutputLevel; }
  float GetActivity() const { return mActivity; }
  int32_t GetInputHold() const { return mInputHold; }
  int32_t GetOutputHold() const { return mOutputHold; }

  // Called at every display tick: advances the meters by the steps that fell due and asks to be redrawn
  // only where what it draws changed.
  bool IsDirty() override;
  void AddDirtyRects(iplug::igraphics::IRectList& rects) const override;
  void MarkClean() override;
  void Draw(iplug::igraphics::IGraphics& g) override;

  // The model texts the panel shows.
  static const char* ModelDescription(int model);

private:
  // What one meter shows: equal faces draw the same pixels.
  struct MeterFace
  {
    char text[32] = {}; // "-12.5 dB", "-inf dB"
    float fill = 0.f;   // bar fraction of the track, 0 when no bar is drawn
    bool held = false;
    bool operator==(const MeterFace& other) const;
  };
  // What the activity shows: the bar's end (0 when no bar) and the glow's alpha.
  struct ActivityFace
  {
    float barEnd = 0.f;
    int glowAlpha = 0;
  };
  enum Part : unsigned
  {
    kInputMeter = 1,
    kOutputMeter = 2,
    kActivityBar = 4,
    kGlow = 8,
  };

  static MeterFace FaceOfMeter(float level, bool held);
  void StepMeters(int steps);
  ActivityFace FaceOfActivity() const;
  void DrawMeter(iplug::igraphics::IGraphics& g, const iplug::igraphics::IBounds& r, const MeterFace& face,
                 const char* caption) const;

  EditorPlugin& mPlugin;
  std::array<iplug::igraphics::IBitmapHandle, kModelCount> mPictures;
  MeterSteps mSteps;
  float mInputLevel = 0.f;
  float mOutputLevel = 0.f;
  float mActivity = 0.f;
  int32_t mInputHold = 0;
  int32_t mOutputHold = 0;
  // What changed since the last paint: everything (a new model, a full repaint), or some parts.
  bool mWhole = false;
  unsigned mChangedParts = 0;
};

} // namespace quorvel
