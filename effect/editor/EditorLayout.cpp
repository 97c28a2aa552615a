#include "effect/editor/EditorLayout.h"

#include "effect/editor/EditorStyle.h"
#include "effect/editor/QuorBackdrop.h"
#include "effect/editor/QuorButton.h"
#include "effect/editor/QuorHero.h"
#include "effect/editor/QuorKnob.h"
#include "effect/editor/QuorLogo.h"
#include "effect/editor/QuorModelMenu.h"
#include "effect/editor/QuorPresetMenu.h"
#include "effect/editor/QuorSupportLink.h"
#include "effect/editor/QuorValueEntry.h"
#include "effect/engine/EngineParams.h"
#include "framework/graphics/IGraphics.h"

#include <array>
#include <iterator>

namespace quorvel
{

using namespace iplug::igraphics;

namespace
{

struct KnobSpec
{
  int param;
  const char* caption;
  const char* tooltip;
};

// In layout order: the four large knobs first, then the six small ones.
const KnobSpec kKnobs[10] = {
    {EngineParams::kDrive, "DRIVE",
     "Nonlinear drive adds harmonics and compression. Double-click resets; click value to type. Shift-drag "
     "for "
     "fine control."},
    {EngineParams::kTone, "TONE",
     "Pre-drive tilt: negative is darker, positive brighter; changes which frequencies hit saturation. "
     "Double-click resets."},
    {EngineParams::kWetMix, "MIX",
     "Blend aligned dry and processed signals for parallel saturation. Double-click resets."},
    {EngineParams::kOutputTrim, "OUTPUT",
     "Final output trim. Watch the output meter at high drive. Double-click resets."},
    {EngineParams::kInputTrim, "INPUT",
     "Input trim sets the level entering the nonlinear stage. Double-click resets."},
    {EngineParams::kBias, "BIAS",
     "Asymmetry and operating point, for even-harmonic colour. Double-click resets."},
    {EngineParams::kDynamics, "DYNAMICS",
     "Shape dynamic response and compression character. Double-click resets."},
    {EngineParams::kBassProtect, "BASS PROTECT",
     "Keep low-frequency energy out of distortion, then blend it back in. Double-click resets."},
    {EngineParams::kLowCut, "LOW CUT",
     "Low cut on the processed signal. Click value to enter Hz or kHz. Double-click resets."},
    {EngineParams::kHighCut, "HIGH CUT",
     "High cut on the processed signal to tame fizz. Click value to enter Hz or kHz. Double-click resets."},
};

constexpr const char* kModelPictures[] = {
    "model_tube.png",      "model_transformer.png", "model_tape.png",
    "model_germanium.png", "model_silicon.png",     "model_diode.png",
};
static_assert(std::size(kModelPictures) == QuorHero::kModelCount, "one picture per model");

IBounds KnobBounds(int i)
{
  if (i < 4)
  {
    const float left = 69.f + 228.f * static_cast<float>(i);
    return {left, 330.f, left + 158.f, 479.f};
  }
  const float left = 49.f + 152.f * static_cast<float>(i - 4);
  return {left, 493.f, left + 122.f, 603.f};
}

template <typename Control> Control* Attach(IGraphics& g, Control* control, const char* tooltip = nullptr)
{
  if (tooltip) control->SetTooltip(tooltip);
  g.AddControl(control, -1, "");
  return control;
}

} // namespace

void BuildEditorLayout(EditorPlugin& plugin, IGraphics* graphics)
{
  if (!graphics) return;
  IGraphics& g = *graphics;

  g.EnableMouseOver(true);
  g.EnableTooltips(true);
  g.AddTextEntryControl();
  g.SetScaleLimits(kEditorMinScale, kEditorMaxScale);

  Attach(g,
         new QuorBackdrop({0.f, 0.f, static_cast<float>(kEditorWidth), static_cast<float>(kEditorHeight)}));

  // Before the first control that draws text; the backdrop's texts are drawn later, at paint time.
  g.LoadFontFile(kEditorFontName, kEditorFontResource);

  Attach(g, new QuorLogo({24.f, 0.f, 234.f, 42.f}, g.LoadSVG("keldrimax_logo.svg", "px", 72.f)));

  auto* modelMenu =
      Attach(g, new QuorModelMenu({34.f, 110.f, 318.f, 145.f}, EngineParams::kModel),
             "Choose an analog-inspired musical character. These are digital models, not measured "
             "circuit replicas.");
  modelMenu->SetValuePromptingOff(false);

  Attach(g, new QuorPresetMenu(plugin));
  Attach(g, new QuorButton({835.f, 32.f, 883.f, 66.f}, plugin, "A", QuorButton::kCompare),
         "Switch between A and B settings. Edits remain in the active slot.");
  Attach(g, new QuorButton({892.f, 32.f, 946.f, 66.f}, plugin, "COPY", QuorButton::kCopy),
         "Copy current settings to the other comparison slot.");

  {
    std::array<IBitmapHandle, QuorHero::kModelCount> pictures;
    for (int m = 0; m < QuorHero::kModelCount; ++m)
      pictures[m] = g.LoadBitmap(kModelPictures[m], 1);
    Attach(g, new QuorHero({34.f, 159.f, 946.f, 311.f}, EngineParams::kModel, plugin, pictures));
  }

  for (int i = 0; i < 10; ++i)
  {
    auto* knob =
        Attach(g, new QuorKnob(KnobBounds(i), kKnobs[i].param, kKnobs[i].caption, i < 4), kKnobs[i].tooltip);
    auto* entry = Attach(g, new QuorValueEntry([knob](const char* text) { knob->OnTextEntered(text, 0); }));
    knob->SetValueEntry(entry);
  }

  Attach(g,
         new QuorButton({34.f, 615.f, 190.f, 641.f}, plugin, "LEVEL MATCH", QuorButton::kToggle,
                        EngineParams::kAutoGain),
         "Approximate level compensation. Compare by ear; this is not a LUFS loudness match.");
  Attach(g,
         new QuorButton({202.f, 615.f, 368.f, 641.f}, plugin, "SOFT CEILING", QuorButton::kToggle,
                        EngineParams::kSoftCeiling),
         "Soft sample ceiling near -0.3 dBFS. Not a true-peak limiter.");
  Attach(g,
         new QuorButton({810.f, 615.f, 946.f, 641.f}, plugin, "BYPASS", QuorButton::kToggle,
                        EngineParams::kBypass),
         "Compare the original signal with the complete effect; settings are retained.");

  Attach(g, new QuorSupportLink({386.f, 627.f, 795.f, 648.f}));

  g.AddCornerResizer(kResizeScale, false, EditorLine, EditorAccent, EditorAccentDark, 20.f);
}

} // namespace quorvel
