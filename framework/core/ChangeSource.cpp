#include "framework/core/ChangeSource.h"

namespace iplug
{
const char* ChangeSourceName(ChangeSource source)
{
  static const char* const kNames[] = {"Reset",           "Host",      "Preset", "UI",
                                       "Editor Delegate", "Recompile", "Unknown"};
  const int code = static_cast<int>(source);
  return (code >= 0 && code <= kUnknown) ? kNames[code] : kNames[kUnknown];
}
} // namespace iplug
