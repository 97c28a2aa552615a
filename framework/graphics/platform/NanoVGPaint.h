#pragma once
// The conversions between the drawing interface's colours, patterns, blends and angles and NanoVG's.

#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/IPattern.h"

#include <nanovg.h>

namespace iplug::igraphics
{

// Components 0..1; alpha carries the blend weight (1 without a blend).
NVGcolor NanoVGColour(const IArgb& colour, const IBlendSpec* blend);

// Degrees, 0 at the top and clockwise, to NanoVG's radians from the positive x axis.
float NanoVGAngle(float degrees);

// A gradient runs from its first to its last stop. False (paint untouched) when the pattern has no stops
// or its transform cannot be inverted: such a pattern draws nothing.
bool MakeNanoVGPaint(NVGcontext* context, const IGradient& pattern, const IBlendSpec* blend, NVGpaint& paint);

// Sets the composite factors of the blend type; a type outside 0..9 leaves them as they are.
void SetNanoVGBlend(NVGcontext* context, const IBlendSpec* blend);

} // namespace iplug::igraphics
