#include "framework/app/ErrorBox.h"

#include <cstdio>

namespace iplug
{

void ShowErrorBox(void*, const char* text, const char* title)
{
  std::fprintf(stderr, "%s: %s\n", title, text);
}

} // namespace iplug
