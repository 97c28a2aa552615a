// The SVG handle's holder, and the one translation unit that compiles the SVG parser.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#define NANOSVG_IMPLEMENTATION
#include <nanosvg.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include "framework/graphics/ISvgHandle.h"

namespace iplug::igraphics
{

SvgHolder::~SvgHolder()
{
  if (image) nsvgDelete(image);
}

} // namespace iplug::igraphics
