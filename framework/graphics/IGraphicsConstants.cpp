#include "framework/graphics/IGraphicsConstants.h"

namespace iplug::igraphics
{

const ITextStyle DEFAULT_TEXT{14.f, kAlignCenter, kAlignCenter};
const ITextStyle DEFAULT_LABEL_TEXT{19.f, kAlignCenter, kAlignNear};
const ITextStyle DEFAULT_VALUE_TEXT{14.f, kAlignCenter, kAlignFar};

IWidgetPalette::IWidgetPalette(std::initializer_list<IArgb> given)
    : colours{COLOR_TRANSPARENT, COLOR_MID_GRAY, COLOR_LIGHT_GRAY, COLOR_DARK_GRAY, COLOR_TRANSLUCENT,
              COLOR_SHADOW,      COLOR_BLACK,    COLOR_GREEN,      COLOR_BLUE}
{
  int i = 0;
  for (const IArgb& c : given)
  {
    if (i >= kNumWidgetColours) break;
    colours[i++] = c;
  }
}

} // namespace iplug::igraphics
