#pragma once
// SVG documents drawn as vectors through the path interface, so that they stay sharp at every scale.
// Each shape becomes one path: at most one fill and one stroke, the fill keeping the path for the stroke.

#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/IPattern.h"
#include "framework/graphics/ISvgHandle.h"

struct NSVGpaint;

namespace iplug::igraphics
{

class IGraphics;

// Fits the image into bounds keeping its aspect ratio, at the top-left corner. An empty handle or an
// image of zero size draws nothing.
void DrawSVG(IGraphics& g, const ISvgHandle& svg, const IBounds& bounds, const IBlendSpec* blend = nullptr,
             const IArgb* strokeColour = nullptr, const IArgb* fillColour = nullptr);
void DrawSVGRotated(IGraphics& g, const ISvgHandle& svg, float cx, float cy, float width, float height,
                    float angle, const IBlendSpec* blend = nullptr);

// Every visible shape at the transform in force. The overrides replace the shape's paint (colour or
// gradient) and its opacity; a shape without fill or stroke gets none.
void DrawSvgShapes(IGraphics& g, const ISvgHandle& svg, const IBlendSpec* blend, const IArgb* strokeColour,
                   const IArgb* fillColour);

// Colour paints carry the shape's opacity, gradients do not; at most 16 stops are kept.
IGradient SvgPaintToGradient(const NSVGpaint& paint, float opacity);

struct SvgPoint
{
  float x;
  float y;
};

// Where the segment p2 -> p3 meets the line through p0 and p1, as a fraction of the segment (NaN for
// near-parallel lines, so that every comparison with it fails).
float GetLineCrossing(SvgPoint p0, SvgPoint p1, SvgPoint p2, SvgPoint p3);

} // namespace iplug::igraphics
