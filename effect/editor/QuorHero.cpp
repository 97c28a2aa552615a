#include "effect/editor/QuorHero.h"

#include "effect/editor/EditorPlugin.h"
#include "effect/editor/EditorStyle.h"
#include "effect/editor/EditorValueText.h"
#include "effect/editor/QuorModelMenu.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPattern.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>

namespace quorvel
{

using namespace iplug::igraphics;

namespace
{
constexpr IArgb kHeldColour{255, 255, 110, 96};
constexpr IArgb kGlowColour{255, 237, 175, 105};
constexpr float kFloorDb = -90.f;
// -90 dB: at or below it the meter reads "-inf dB".
constexpr float kSilentLevel = 0.000031623f;

float Sanitise(float peak)
{
  return std::isfinite(peak) && peak > 0.f ? peak : 0.f;
}

constexpr const char* kDescriptions[] = {
    "Soft, rounded harmonics and a gentle glow.",        "Dense low mids and a weighty, rounded edge.",
    "Smooth compression and softened transients.",       "Ragged warmth with an expressive, fuzzy edge.",
    "Brighter bite and a more aggressive fuzz texture.", "Direct, punchy clipping with a firm edge.",
};
static_assert(std::size(kDescriptions) == QuorHero::kModelCount, "one description per model");
} // namespace

const char* QuorHero::ModelDescription(int model)
{
  return kDescriptions[std::clamp(model, 0, kModelCount - 1)];
}

QuorHero::QuorHero(const IBounds& bounds, int paramIdx, EditorPlugin& plugin,
                   const std::array<IBitmapHandle, kModelCount>& pictures)
    : IControl(bounds, paramIdx), mPlugin(plugin), mPictures(pictures)
{
  SetIgnoreMouse(true);
}

void QuorHero::UpdateMeters()
{
  const MeterLevels meters = mPlugin.ReadMeters();
  const float in = Sanitise(meters.inputPeak);
  const float out = Sanitise(meters.outputPeak);
  mInputLevel = std::max(mInputLevel * kMeterDecay, in);
  mOutputLevel = std::max(mOutputLevel * kMeterDecay, out);
  const float activity = std::isfinite(meters.activity) ? std::clamp(meters.activity, 0.f, 1.f) : 0.f;
  mActivity += (activity - mActivity) * kActivitySmoothing;
  mInputHold = in >= 1.f ? kMeterHoldTicks : std::max(mInputHold - 1, 0);
  mOutputHold = out >= 1.f ? kMeterHoldTicks : std::max(mOutputHold - 1, 0);
}

bool QuorHero::IsDirty()
{
  UpdateMeters();
  MarkDirty(false);
  return true;
}

void QuorHero::DrawMeter(IGraphics& g, const IBounds& r, float level, const char* caption, bool held) const
{
  const IBounds top{r.L, r.T, r.R, r.T + 16.f};
  DrawEditorLabel(g, caption, top, 11.f, EditorTextDim, kAlignNear);

  const float db = level <= 0.f ? kFloorDb : std::max(20.f * std::log10(level), kFloorDb);
  char text[32];
  if (level <= kSilentLevel)
    std::strcpy(text, "-inf dB");
  else
  {
    FormatFixed(db, 1, text, sizeof text - 3);
    std::strcat(text, " dB");
  }
  DrawEditorLabel(g, text, top, 11.f, held ? kHeldColour : EditorText, kAlignFar);

  g.FillRoundRect(IArgb(255, 14, 18, 21), {r.L, r.T + 23.f, r.R, r.T + 31.f}, 2.f);
  const float f = std::clamp((db + 60.f) / 60.f, 0.f, 1.f);
  if (f > 0.001f)
  {
    g.ClearPath();
    g.AddRoundRectPath({r.L, r.T + 23.f, r.L + (r.R - r.L) * f, r.T + 31.f}, 2.f);
    const float middle = r.T + 27.f;
    g.FillPath(
        MakeLinearGradient(r.L, middle, r.R, middle, {{IArgb(255, 112, 169, 162), 0.f}, {EditorAccent, 1.f}}),
        IFillStyle{}, nullptr);
  }
  g.FillCircle(held ? kHeldColour : EditorLine, r.R + 10.f, r.T + 27.f, 4.f);
}

void QuorHero::Draw(IGraphics& g)
{
  g.FillRoundRect(IArgb(255, 16, 21, 24), mBounds, 9.f);
  g.DrawRoundRect(EditorLine, mBounds, 9.f, nullptr, 1.f);

  const int model = ModelIndexOf(*this);

  const int glowAlpha = static_cast<int>(20.f + 40.f * mActivity);
  g.ClearPath();
  g.AddEllipsePathInBounds({68.f, 168.f, 288.f, 302.f});
  g.FillPath(MakeRadialGradient(178.f, 235.f, 110.f,
                                {{IArgb(glowAlpha, kGlowColour.R, kGlowColour.G, kGlowColour.B), 0.f},
                                 {IArgb(0, kGlowColour.R, kGlowColour.G, kGlowColour.B), 1.f}}),
             IFillStyle{}, nullptr);

  const IBitmapHandle& picture = mPictures[model];
  const float w = static_cast<float>(picture.width);
  const float h = static_cast<float>(picture.height);
  // A picture without area counts as missing.
  if (picture.IsValid() && w > 0.f && h > 0.f)
  {
    const float s = std::min(134.f / h, 240.f / w);
    g.DrawBitmapFitted(picture,
                       {178.f - w * s / 2.f, 235.f - h * s / 2.f, 178.f + w * s / 2.f, 235.f + h * s / 2.f});
  }
  else
    DrawEditorLabel(g, ModelNameOf(*this, model), {58.f, 168.f, 298.f, 302.f}, 20.f, EditorAccentDark,
                    kAlignCenter);

  char title[64] = {};
  std::strncpy(title, ModelNameOf(*this, model), sizeof title - 1);
  for (char* c = title; *c; ++c)
    *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  DrawEditorLabel(g, title, {323.f, 180.f, 717.f, 210.f}, 20.f, EditorAccent, kAlignNear);
  DrawEditorLabel(g, ModelDescription(model), {323.f, 214.f, 732.f, 237.f}, 13.f, EditorTextDim, kAlignNear);

  g.FillRoundRect(EditorLine, {323.f, 260.f, 678.f, 264.f}, 2.f);
  if (mActivity > 0.001f)
    g.FillRoundRect(EditorAccent, {323.f, 260.f, 323.f + 355.f * mActivity, 264.f}, 2.f);
  DrawEditorLabel(g, "HARMONIC ACTIVITY", {323.f, 273.f, 678.f, 290.f}, 10.f, EditorTextDim, kAlignNear);
  g.DrawLine(EditorLine, 734.f, 178.f, 734.f, 290.f, nullptr, 1.f);

  DrawMeter(g, {755.f, 183.f, 924.f, 219.f}, mInputLevel, "INPUT", mInputHold > 0);
  DrawMeter(g, {755.f, 240.f, 924.f, 276.f}, mOutputLevel, "OUTPUT", mOutputHold > 0);
}

} // namespace quorvel
