#include "framework/vst3/KeyTranslation.h"

namespace iplug
{

// The module runs only on Windows; other builds exist for tests, which pass their own scan.
int16_t ScanKeyOfCurrentLayout(char)
{
  return -1;
}

} // namespace iplug
