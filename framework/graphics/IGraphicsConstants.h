#pragma once
// Named colours, default text styles, blend presets and the default widget palette and style.

#include "framework/graphics/IDrawingRecords.h"

#include <initializer_list>

namespace iplug::igraphics
{

inline constexpr IArgb COLOR_TRANSPARENT{0, 0, 0, 0};
inline constexpr IArgb COLOR_TRANSLUCENT{10, 0, 0, 0};
inline constexpr IArgb COLOR_BLACK{255, 0, 0, 0};
inline constexpr IArgb COLOR_BLACK_DROP_SHADOW{128, 0, 0, 0};
inline constexpr IArgb COLOR_GRAY{255, 127, 127, 127};
inline constexpr IArgb COLOR_LIGHT_GRAY{255, 240, 240, 240};
inline constexpr IArgb COLOR_MID_GRAY{255, 200, 200, 200};
inline constexpr IArgb COLOR_DARK_GRAY{255, 70, 70, 70};
inline constexpr IArgb COLOR_WHITE{255, 255, 255, 255};
inline constexpr IArgb COLOR_RED{255, 255, 0, 0};
inline constexpr IArgb COLOR_GREEN{255, 0, 255, 0};
inline constexpr IArgb COLOR_BLUE{255, 0, 0, 255};
inline constexpr IArgb COLOR_YELLOW{255, 255, 255, 0};
inline constexpr IArgb COLOR_ORANGE{255, 255, 127, 0};
inline constexpr IArgb COLOR_INDIGO{255, 75, 0, 130};
inline constexpr IArgb COLOR_VIOLET{255, 148, 0, 211};
inline constexpr IArgb COLOR_SHADOW{60, 0, 0, 0};

inline constexpr IBlendSpec BLEND_75{kBlendDefault, 0.75f};
inline constexpr IBlendSpec BLEND_50{kBlendDefault, 0.5f};
inline constexpr IBlendSpec BLEND_25{kBlendDefault, 0.25f};
inline constexpr IBlendSpec BLEND_10{kBlendDefault, 0.1f};
inline constexpr IBlendSpec BLEND_05{kBlendDefault, 0.05f};
inline constexpr IBlendSpec BLEND_01{kBlendDefault, 0.01f};
inline constexpr IBlendSpec BLEND_DST_IN{kBlendDestIn, 1.f};
inline constexpr IBlendSpec BLEND_DST_OVER{kBlendDestOver, 1.f};

extern const ITextStyle DEFAULT_TEXT;
extern const ITextStyle DEFAULT_LABEL_TEXT;
extern const ITextStyle DEFAULT_VALUE_TEXT;

inline constexpr int kNumWidgetColours = 9;

struct IWidgetPalette
{
  IArgb colours[kNumWidgetColours];

  // Entries beyond the given list keep the default entry of their position; extra colours are ignored.
  IWidgetPalette(std::initializer_list<IArgb> given = {});

  const IArgb& operator[](int i) const { return colours[i]; }
};

// A framework default for widgets; the controls of this system draw with their own styles.
struct IWidgetStyle
{
  bool hideCursor = true;
  bool drawFrame = true;
  bool drawShadows = true;
  bool emboss = true;
  bool showLabel = true;
  bool showValue = false;
  float roundness = 0.f;
  float frameThickness = 1.f;
  float shadowOffset = 3.f;
  float widgetFrac = 1.f;
  float angle = 0.f;
  IWidgetPalette palette;
  ITextStyle labelText = DEFAULT_LABEL_TEXT;
  ITextStyle valueText = DEFAULT_VALUE_TEXT;
  int32_t reserved = 0;
};

} // namespace iplug::igraphics
