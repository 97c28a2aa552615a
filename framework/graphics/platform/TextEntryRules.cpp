#include "framework/graphics/platform/TextEntryRules.h"

namespace iplug::igraphics
{

namespace
{
constexpr uint32_t kBackspace = 8;
constexpr int32_t kBoolType = 1;
constexpr int32_t kIntType = 2;
constexpr int32_t kEnumType = 3;
constexpr int32_t kDoubleType = 4;
constexpr int32_t kAlignLeft = 0;
constexpr int32_t kAlignRight = 2;
constexpr int32_t kAlignMiddle = 1;

bool IsSignOrDigit(uint32_t c)
{
  return c == '+' || c == '-' || (c >= '0' && c <= '9');
}
} // namespace

bool TextEntryAcceptsChar(int32_t paramType, uint32_t character)
{
  if (character == kBackspace) return true;
  switch (paramType)
  {
  case kBoolType:
  case kIntType:
  case kEnumType:
    return IsSignOrDigit(character);
  case kDoubleType:
    return IsSignOrDigit(character) || character == '.';
  default:
    return true;
  }
}

uint32_t TextEntryAlignmentStyle(int32_t align)
{
  if (align == kAlignLeft) return 0x0;
  if (align == kAlignRight) return 0x2;
  return 0x1;
}

TextEntryGeometry ComputeTextEntryGeometry(const IBounds& b, float s, float fontSize, int32_t valign)
{
  TextEntryGeometry g;
  g.x = static_cast<int32_t>(s * b.L);
  g.y = static_cast<int32_t>(s * b.T);
  g.width = static_cast<int32_t>(s * b.R - s * b.L + 1.f);
  g.height = static_cast<int32_t>(s * b.B - s * b.T + 1.f);
  g.fontHeight = static_cast<int32_t>(s * fontSize);
  g.centreVertically = valign == kAlignMiddle;
  if (g.centreVertically)
  {
    g.textLeft = 0;
    g.textTop = static_cast<int32_t>(((s * b.B - s * b.T) - s * fontSize) * 0.5f);
    g.textRight = static_cast<int32_t>(s * b.R - s * b.L) + 1;
    g.textBottom = static_cast<int32_t>(s * b.B - s * b.T) + 1;
  }
  return g;
}

} // namespace iplug::igraphics
