#pragma once
// The large panel under the title: the current model's picture with a glow that follows the harmonic
// activity, the model's name and description, an activity bar, and the input and output peak meters with
// their hold dots. It polls the plug-in's meters at every display tick.

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
  static constexpr int32_t kMeterHoldTicks = 45;
  static constexpr float kMeterDecay = 0.88f;
  static constexpr float kActivitySmoothing = 0.16f;

  // The pictures are copied; empty handles draw the model's name instead.
  QuorHero(const iplug::igraphics::IBounds& bounds, int paramIdx, EditorPlugin& plugin,
           const std::array<iplug::igraphics::IBitmapHandle, kModelCount>& pictures);

  float GetInputLevel() const { return mInputLevel; }
  float GetOutputLevel() const { return mOutputLevel; }
  float GetActivity() const { return mActivity; }
  int32_t GetInputHold() const { return mInputHold; }
  int32_t GetOutputHold() const { return mOutputHold; }

  // Called at every display tick: takes the meters and asks to be redrawn.
  bool IsDirty() override;
  void Draw(iplug::igraphics::IGraphics& g) override;

  // The model texts the panel shows.
  static const char* ModelDescription(int model);

private:
  void UpdateMeters();
  void DrawMeter(iplug::igraphics::IGraphics& g, const iplug::igraphics::IBounds& r, float level,
                 const char* caption, bool held) const;

  EditorPlugin& mPlugin;
  std::array<iplug::igraphics::IBitmapHandle, kModelCount> mPictures;
  float mInputLevel = 0.f;
  float mOutputLevel = 0.f;
  float mActivity = 0.f;
  int32_t mInputHold = 0;
  int32_t mOutputHold = 0;
};

} // namespace quorvel
