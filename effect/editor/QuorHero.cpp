#include "effect/editor/QuorHero.h"

#include "effect/editor/EditorPlugin.h"
#include "effect/editor/EditorStyle.h"
#include "effect/editor/EditorValueText.h"
#include "effect/editor/QuorModelMenu.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPattern.h"
#include "framework/graphics/IRectList.h"

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

// The panel's parts in editor units. A meter's area takes in its hold dot right of the track; the
// picture's takes in the glow and the name shown when a picture is missing.
constexpr IBounds kPictureArea{58.f, 168.f, 298.f, 302.f};
constexpr IBounds kTextArea{323.f, 180.f, 732.f, 237.f};
constexpr IBounds kActivityBarArea{323.f, 260.f, 678.f, 264.f};
constexpr IBounds kActivityLabelArea{323.f, 273.f, 678.f, 290.f};
constexpr IBounds kInputMeterArea{755.f, 183.f, 938.f, 219.f};
constexpr IBounds kOutputMeterArea{755.f, 240.f, 938.f, 276.f};

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
    : IControl(bounds, paramIdx), mPlugin(plugin), mPictures(pictures),
      mSteps([&plugin] { return plugin.ReadMeterClock(); })
{
  SetIgnoreMouse(true);
}

bool QuorHero::MeterFace::operator==(const MeterFace& other) const
{
  return std::strcmp(text, other.text) == 0 && fill == other.fill && held == other.held;
}

QuorHero::MeterFace QuorHero::FaceOfMeter(float level, bool held)
{
  MeterFace face;
  const float db = level <= 0.f ? kFloorDb : std::max(20.f * std::log10(level), kFloorDb);
  if (level <= kSilentLevel)
    std::strcpy(face.text, "-inf dB");
  else
  {
    FormatFixed(db, 1, face.text, sizeof face.text - 3);
    std::strcat(face.text, " dB");
  }
  const float f = std::clamp((db + 60.f) / 60.f, 0.f, 1.f);
  face.fill = f > 0.001f ? f : 0.f;
  face.held = held;
  return face;
}

QuorHero::ActivityFace QuorHero::FaceOfActivity() const
{
  ActivityFace face;
  // The bar's end in 1/256 of a unit: finer moves change no pixel at any scale, and the smoothing would
  // otherwise creep by such amounts for many seconds after the signal has settled.
  if (mActivity > 0.001f) face.barEnd = std::round(355.f * mActivity * 256.f) / 256.f;
  face.glowAlpha = static_cast<int>(20.f + 40.f * mActivity);
  return face;
}

void QuorHero::StepMeters(int steps)
{
  // One reading serves all the steps that fell due: the audio thread's peaks are per block anyway.
  const MeterLevels meters = mPlugin.ReadMeters();
  const float in = Sanitise(meters.inputPeak);
  const float out = Sanitise(meters.outputPeak);
  const float activity = std::isfinite(meters.activity) ? std::clamp(meters.activity, 0.f, 1.f) : 0.f;
  for (int i = 0; i < steps; ++i)
  {
    mInputLevel = std::max(mInputLevel * kMeterDecay, in);
    mOutputLevel = std::max(mOutputLevel * kMeterDecay, out);
    mActivity += (activity - mActivity) * kActivitySmoothing;
    mInputHold = in >= 1.f ? kMeterHoldSteps : std::max(mInputHold - 1, 0);
    mOutputHold = out >= 1.f ? kMeterHoldSteps : std::max(mOutputHold - 1, 0);
  }
}

bool QuorHero::IsDirty()
{
  mWhole = IControl::IsDirty();
  if (const int steps = mSteps.TakeDueSteps(); steps > 0)
  {
    const MeterFace input = FaceOfMeter(mInputLevel, mInputHold > 0);
    const MeterFace output = FaceOfMeter(mOutputLevel, mOutputHold > 0);
    const ActivityFace activity = FaceOfActivity();
    StepMeters(steps);
    if (!(FaceOfMeter(mInputLevel, mInputHold > 0) == input)) mChangedParts |= kInputMeter;
    if (!(FaceOfMeter(mOutputLevel, mOutputHold > 0) == output)) mChangedParts |= kOutputMeter;
    const ActivityFace nowActivity = FaceOfActivity();
    if (nowActivity.barEnd != activity.barEnd) mChangedParts |= kActivityBar;
    if (nowActivity.glowAlpha != activity.glowAlpha) mChangedParts |= kGlow;
  }
  return mWhole || mChangedParts != 0;
}

void QuorHero::AddDirtyRects(IRectList& rects) const
{
  if (mWhole || mChangedParts == 0)
  {
    rects.Add(mBounds);
    return;
  }
  if (mChangedParts & kInputMeter) rects.Add(kInputMeterArea);
  if (mChangedParts & kOutputMeter) rects.Add(kOutputMeterArea);
  if (mChangedParts & kActivityBar) rects.Add(kActivityBarArea);
  if (mChangedParts & kGlow) rects.Add(kPictureArea);
}

void QuorHero::MarkClean()
{
  IControl::MarkClean();
  mWhole = false;
  mChangedParts = 0;
}

void QuorHero::DrawMeter(IGraphics& g, const IBounds& r, const MeterFace& face, const char* caption) const
{
  const IBounds top{r.L, r.T, r.R, r.T + 16.f};
  DrawEditorLabel(g, caption, top, 11.f, EditorTextDim, kAlignNear);
  DrawEditorLabel(g, face.text, top, 11.f, face.held ? kHeldColour : EditorText, kAlignFar);

  g.FillRoundRect(IArgb(255, 14, 18, 21), {r.L, r.T + 23.f, r.R, r.T + 31.f}, 2.f);
  if (face.fill > 0.f)
  {
    g.ClearPath();
    g.AddRoundRectPath({r.L, r.T + 23.f, r.L + (r.R - r.L) * face.fill, r.T + 31.f}, 2.f);
    const float middle = r.T + 27.f;
    g.FillPath(
        MakeLinearGradient(r.L, middle, r.R, middle, {{IArgb(255, 112, 169, 162), 0.f}, {EditorAccent, 1.f}}),
        IFillStyle{}, nullptr);
  }
  g.FillCircle(face.held ? kHeldColour : EditorLine, r.R + 10.f, r.T + 27.f, 4.f);
}

void QuorHero::Draw(IGraphics& g)
{
  g.FillRoundRect(IArgb(255, 16, 21, 24), mBounds, 9.f);
  g.DrawRoundRect(EditorLine, mBounds, 9.f, nullptr, 1.f);

  // A repaint of a meter strip or the activity bar leaves the rest alone: the picture and the texts are
  // the costly part of the panel.
  const IBounds& clip = g.GetRegionClip();
  const auto shows = [&clip](const IBounds& part) { return clip.Empty() || !clip.Intersect(part).Empty(); };

  const int model = ModelIndexOf(*this);
  const ActivityFace activity = FaceOfActivity();

  if (shows(kPictureArea))
  {
    g.ClearPath();
    g.AddEllipsePathInBounds({68.f, 168.f, 288.f, 302.f});
    g.FillPath(
        MakeRadialGradient(178.f, 235.f, 110.f,
                           {{IArgb(activity.glowAlpha, kGlowColour.R, kGlowColour.G, kGlowColour.B), 0.f},
                            {IArgb(0, kGlowColour.R, kGlowColour.G, kGlowColour.B), 1.f}}),
        IFillStyle{}, nullptr);

    const IBitmapHandle& picture = mPictures[model];
    const float w = static_cast<float>(picture.width);
    const float h = static_cast<float>(picture.height);
    // A picture without area counts as missing.
    if (picture.IsValid() && w > 0.f && h > 0.f)
    {
      const float s = std::min(134.f / h, 240.f / w);
      g.DrawBitmapFitted(
          picture, {178.f - w * s / 2.f, 235.f - h * s / 2.f, 178.f + w * s / 2.f, 235.f + h * s / 2.f});
    }
    else
      DrawEditorLabel(g, ModelNameOf(*this, model), kPictureArea, 20.f, EditorAccentDark, kAlignCenter);
  }

  if (shows(kTextArea))
  {
    char title[64] = {};
    std::strncpy(title, ModelNameOf(*this, model), sizeof title - 1);
    for (char* c = title; *c; ++c)
      *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    DrawEditorLabel(g, title, {323.f, 180.f, 717.f, 210.f}, 20.f, EditorAccent, kAlignNear);
    DrawEditorLabel(g, ModelDescription(model), {323.f, 214.f, 732.f, 237.f}, 13.f, EditorTextDim,
                    kAlignNear);
  }

  if (shows(kActivityBarArea))
  {
    g.FillRoundRect(EditorLine, kActivityBarArea, 2.f);
    if (activity.barEnd > 0.f)
      g.FillRoundRect(EditorAccent, {323.f, 260.f, 323.f + activity.barEnd, 264.f}, 2.f);
  }
  if (shows(kActivityLabelArea))
    DrawEditorLabel(g, "HARMONIC ACTIVITY", kActivityLabelArea, 10.f, EditorTextDim, kAlignNear);
  if (shows({733.5f, 178.f, 734.5f, 290.f})) g.DrawLine(EditorLine, 734.f, 178.f, 734.f, 290.f, nullptr, 1.f);

  if (shows(kInputMeterArea))
    DrawMeter(g, {755.f, 183.f, 924.f, 219.f}, FaceOfMeter(mInputLevel, mInputHold > 0), "INPUT");
  if (shows(kOutputMeterArea))
    DrawMeter(g, {755.f, 240.f, 924.f, 276.f}, FaceOfMeter(mOutputLevel, mOutputHold > 0), "OUTPUT");
}

} // namespace quorvel
