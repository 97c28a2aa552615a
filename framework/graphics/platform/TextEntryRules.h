#pragma once
// The rules of the native text field that opens over a control: which typed characters reach it, how it
// is aligned and where it sits in the window's pixels.

#include "framework/graphics/IDrawingRecords.h"

#include <cstdint>

namespace iplug::igraphics
{

// paramType is the edited parameter's type (-1 when the entry edits no parameter). Backspace always
// passes; boolean, integer and enumerated values take signs and digits, doubles also the full stop.
bool TextEntryAcceptsChar(int32_t paramType, uint32_t character);

// The edit style's alignment bits (ES_LEFT 0, ES_CENTER 1, ES_RIGHT 2) for a text style's alignment.
uint32_t TextEntryAlignmentStyle(int32_t align);

struct TextEntryGeometry
{
  int32_t x = 0, y = 0, width = 0, height = 0;
  // The formatting rectangle that centres one line vertically; used only for middle alignment.
  bool centreVertically = false;
  int32_t textLeft = 0, textTop = 0, textRight = 0, textBottom = 0;
  int32_t fontHeight = 0;
};

TextEntryGeometry ComputeTextEntryGeometry(const IBounds& bounds, float scale, float fontSize,
                                           int32_t valign);

// At most this many UTF-16 units are read back from the field (a 256-unit buffer with its terminator).
constexpr int kTextEntryReadUnits = 256;

} // namespace iplug::igraphics
