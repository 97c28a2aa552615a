#include "framework/core/NegativeZeroText.h"

namespace iplug
{

bool IsNegativeZeroText(const char* text)
{
  if (!text || text[0] != '-' || text[1] != '0') return false;
  for (const char* p = text + 2; *p; ++p)
    if (*p != '0' && *p != '.') return false;
  return true;
}

} // namespace iplug
