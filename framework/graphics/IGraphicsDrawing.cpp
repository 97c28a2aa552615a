// Shape primitives, path builders, transforms and clipping: everything the base class draws through the
// back end's path interface.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"

#include <cmath>

namespace iplug::igraphics
{

namespace
{

IStrokeStyle DashedStroke(float dashLen)
{
  IStrokeStyle style;
  style.dashes[0] = dashLen;
  style.dashCount = 1;
  return style;
}

} // namespace

// ---- Path builders

void IGraphics::AddRectPath(const IBounds& b)
{
  MoveTo(b.L, b.T);
  LineTo(b.R, b.T);
  LineTo(b.R, b.B);
  LineTo(b.L, b.B);
  ClosePath();
}

void IGraphics::AddRoundRectPathCorners(const IBounds& b, float tl, float tr, float bl, float br)
{
  if (tl <= 0.f && tr <= 0.f && bl <= 0.f && br <= 0.f)
  {
    AddRectPath(b);
    return;
  }
  MoveTo(b.L, b.T + tl);
  AddArcPath(b.L + tl, b.T + tl, tl, 270.f, 360.f);
  AddArcPath(b.R - tr, b.T + tr, tr, 0.f, 90.f);
  AddArcPath(b.R - br, b.B - br, br, 90.f, 180.f);
  AddArcPath(b.L + bl, b.B - bl, bl, 180.f, 270.f);
  ClosePath();
}

void IGraphics::AddCirclePath(float cx, float cy, float r)
{
  MoveTo(cx, cy - r);
  AddArcPath(cx, cy, r, 0.f, 360.f);
  ClosePath();
}

void IGraphics::AddEllipsePath(float cx, float cy, float rx, float ry, float angle)
{
  if (rx <= 0.f || ry <= 0.f) return;
  // The ellipse is fixed into the path as it is added, so the transform can be restored at once.
  SaveTransform();
  TranslateTransform(cx, cy);
  RotateTransform(angle);
  ScaleTransform(rx, ry);
  AddCirclePath(0.f, 0.f, 1.f);
  RestoreTransform();
}

void IGraphics::AddEllipsePathInBounds(const IBounds& b)
{
  AddEllipsePath(b.MW(), b.MH(), b.W() / 2.f, b.H() / 2.f);
}

void IGraphics::AddConvexPolygonPath(const float* xs, const float* ys, int count)
{
  if (count <= 0) return;
  MoveTo(xs[0], ys[0]);
  for (int i = 1; i < count; i++)
    LineTo(xs[i], ys[i]);
  ClosePath();
}

// ---- Transforms

void IGraphics::SaveTransform()
{
  mTransformStack.push_back(mTransform);
}

void IGraphics::RestoreTransform()
{
  if (mTransformStack.empty()) return;
  mTransform = mTransformStack.back();
  mTransformStack.pop_back();
  ApplyPathTransform(mTransform);
}

void IGraphics::TranslateTransform(float x, float y)
{
  MultiplyTransform({1.0, 0.0, 0.0, 1.0, x, y});
}

void IGraphics::ScaleTransform(float sx, float sy)
{
  MultiplyTransform({sx, 0.0, 0.0, sy, 0.0, 0.0});
}

void IGraphics::RotateTransform(float degrees)
{
  MultiplyTransform(IAffine::Rotation(degrees));
}

void IGraphics::MultiplyTransform(const IAffine& m)
{
  mTransform.Transform(m);
  ApplyPathTransform(mTransform);
}

void IGraphics::ResetTransform(bool clearStack)
{
  if (clearStack) std::vector<IAffine>().swap(mTransformStack);
  mTransform = IAffine();
  ApplyPathTransform(mTransform);
}

void IGraphics::SetClipRegion(const IBounds& r)
{
  // Drawing into a layer never reaches outside it.
  const IDrawLayer* top = mLayers.GetTopLayer();
  const IBounds area = top ? top->bounds : mRegionClip;
  const IBounds clip = r.Empty() ? area : r.Intersect(area);
  // Clips are in untransformed editor units.
  ApplyPathTransform(IAffine());
  SetPathClip(clip);
  ApplyPathTransform(mTransform);
}

// ---- Primitives

void IGraphics::DrawBitmapFitted(const IBitmapHandle& bitmap, const IBounds& b, const IBlendSpec* blend)
{
  if (!bitmap.IsValid() || bitmap.width <= 0 || bitmap.height <= 0) return;
  const float w = static_cast<float>(bitmap.width);
  const float h = static_cast<float>(bitmap.height);
  SaveTransform();
  TranslateTransform(b.L, b.T);
  MultiplyTransform({b.W() / w, 0.0, 0.0, b.H() / h, 0.0, 0.0});
  DrawBitmap(bitmap, {0.f, 0.f, w, h}, 0, 0, blend);
  RestoreTransform();
}

void IGraphics::DrawBitmapRotated(const IBitmapHandle& bitmap, float cx, float cy, double angle,
                                  const IBlendSpec* blend)
{
  if (!bitmap.IsValid() || bitmap.width <= 0 || bitmap.height <= 0) return;
  const float drawScale = bitmap.bitmap->GetDrawScale();
  const float w = static_cast<float>(bitmap.width) / drawScale;
  const float h = static_cast<float>(bitmap.height) / drawScale;
  SaveTransform();
  TranslateTransform(cx, cy);
  RotateTransform(static_cast<float>(angle));
  DrawBitmap(bitmap, {-w / 2.f, -h / 2.f, w / 2.f, h / 2.f}, 0, 0, blend);
  RestoreTransform();
}

void IGraphics::DrawPoint(const IArgb& colour, float x, float y, const IBlendSpec* blend)
{
  FillRect(colour, {x, y, x + 1.f, y + 1.f}, blend);
}

void IGraphics::DrawLine(const IArgb& colour, float x1, float y1, float x2, float y2, const IBlendSpec* blend,
                         float thickness)
{
  ClearPath();
  MoveTo(x1, y1);
  LineTo(x2, y2);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawDottedLine(const IArgb& colour, float x1, float y1, float x2, float y2,
                               const IBlendSpec* blend, float thickness, float dashLen)
{
  ClearPath();
  MoveTo(x1, y1);
  LineTo(x2, y2);
  StrokePath(MakeSolidPattern(colour), thickness, DashedStroke(dashLen), blend);
}

void IGraphics::DrawTriangle(const IArgb& colour, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendSpec* blend, float thickness)
{
  ClearPath();
  MoveTo(x1, y1);
  LineTo(x2, y2);
  LineTo(x3, y3);
  ClosePath();
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddRectPath(bounds);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawRoundRectCorners(const IArgb& colour, const IBounds& bounds, float tl, float tr, float bl,
                                     float br, const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddRoundRectPathCorners(bounds, tl, tr, bl, br);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawRoundRect(const IArgb& colour, const IBounds& bounds, float radius,
                              const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddRoundRectPath(bounds, radius);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawArc(const IArgb& colour, float cx, float cy, float r, float a1, float a2,
                        const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddArcPath(cx, cy, r, a1, a2);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawCircle(const IArgb& colour, float cx, float cy, float r, const IBlendSpec* blend,
                           float thickness)
{
  ClearPath();
  AddCirclePath(cx, cy, r);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawEllipse(const IArgb& colour, float x, float y, float r1, float r2, float angle,
                            const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddEllipsePath(x, y, r1, r2, angle);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawEllipseInRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend,
                                  float thickness)
{
  ClearPath();
  AddEllipsePathInBounds(bounds);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawPolygon(const IArgb& colour, const float* xs, const float* ys, int count,
                            const IBlendSpec* blend, float thickness)
{
  ClearPath();
  AddConvexPolygonPath(xs, ys, count);
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawDottedRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend,
                               float thickness, float dashLen)
{
  ClearPath();
  AddRectPath(bounds);
  StrokePath(MakeSolidPattern(colour), thickness, DashedStroke(dashLen), blend);
}

void IGraphics::FillTriangle(const IArgb& colour, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendSpec* blend)
{
  ClearPath();
  MoveTo(x1, y1);
  LineTo(x2, y2);
  LineTo(x3, y3);
  ClosePath();
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend)
{
  ClearPath();
  AddRectPath(bounds);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillRoundRectCorners(const IArgb& colour, const IBounds& bounds, float tl, float tr, float bl,
                                     float br, const IBlendSpec* blend)
{
  ClearPath();
  AddRoundRectPathCorners(bounds, tl, tr, bl, br);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillRoundRect(const IArgb& colour, const IBounds& bounds, float radius,
                              const IBlendSpec* blend)
{
  ClearPath();
  AddRoundRectPath(bounds, radius);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillCircle(const IArgb& colour, float cx, float cy, float r, const IBlendSpec* blend)
{
  ClearPath();
  AddCirclePath(cx, cy, r);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillEllipse(const IArgb& colour, float x, float y, float r1, float r2, float angle,
                            const IBlendSpec* blend)
{
  ClearPath();
  AddEllipsePath(x, y, r1, r2, angle);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillEllipseInRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend)
{
  ClearPath();
  AddEllipsePathInBounds(bounds);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillArc(const IArgb& colour, float cx, float cy, float r, float a1, float a2,
                        const IBlendSpec* blend)
{
  ClearPath();
  MoveTo(cx, cy);
  AddArcPath(cx, cy, r, a1, a2);
  ClosePath();
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::FillPolygon(const IArgb& colour, const float* xs, const float* ys, int count,
                            const IBlendSpec* blend)
{
  ClearPath();
  AddConvexPolygonPath(xs, ys, count);
  FillPath(MakeSolidPattern(colour), IFillStyle(), blend);
}

void IGraphics::DrawTextBlock(const ITextStyle& style, const char*, const IBounds& bounds,
                              const IBlendSpec* blend)
{
  // A back end without text layout says so on screen rather than drawing nothing.
  DrawTextWithApi(style, "Unsupported", bounds, blend);
}

void IGraphics::FillBoxShadow(const IBounds&, const IBounds&, float, float, float, const IBlendSpec*) {}

void IGraphics::DrawGrid(const IArgb& colour, const IBounds& b, float cellWidth, float cellHeight,
                         const IBlendSpec* blend, float thickness)
{
  ClearPath();
  if (cellWidth > 1.f)
    for (float x = b.L + cellWidth; x < b.R; x += cellWidth)
    {
      MoveTo(x, b.T);
      LineTo(x, b.B);
    }
  if (cellHeight > 1.f)
    for (float y = b.T + cellHeight; y < b.B; y += cellHeight)
    {
      MoveTo(b.L, y);
      LineTo(b.R, y);
    }
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawDataPlot(const IArgb& colour, const IBounds& b, const float* ys, int count,
                             const float* xs, const IBlendSpec* blend, float thickness,
                             const IArgb* fillColour)
{
  if (count <= 0) return;
  ClearPath();
  MoveTo(b.L, b.B - b.H() * ys[0]);
  for (int i = 1; i < count; i++)
  {
    const float x =
        xs ? b.L + b.W() * xs[i] : b.L + (b.W() / static_cast<float>(count - 1)) * static_cast<float>(i);
    LineTo(x, b.B - b.H() * ys[i]);
  }
  if (fillColour)
  {
    IFillStyle keep;
    keep.keepPath = true;
    FillPath(MakeSolidPattern(*fillColour), keep, blend);
  }
  StrokePath(MakeSolidPattern(colour), thickness, IStrokeStyle(), blend);
}

void IGraphics::DrawText(const ITextStyle& style, const char* text, const IBounds& bounds,
                         const IBlendSpec* blend)
{
  if (!text || !*text) return;
  DrawTextWithApi(style, text, bounds, blend);
}

void IGraphics::DrawControl(IControl* control, const IBounds& region, float scale)
{
  if (!control) return;
  if (control->IsHidden() && GetControlIdx(control) != 0) return;
  const IBounds& b = control->GetBounds();
  const float inv = 1.f / scale;
  const IBounds padded{std::floor((b.L - 0.75f) * scale) * inv, std::floor((b.T - 0.75f) * scale) * inv,
                       std::ceil((b.R + 0.75f) * scale) * inv, std::ceil((b.B + 0.75f) * scale) * inv};
  const IBounds clip = region.Intersect(padded);
  if (clip.W() <= 0.f || clip.H() <= 0.f) return;
  ResetTransform(true);
  ClearPath();
  SetPathClip(clip);
  mRegionClip = clip;
  control->Draw(*this);
  AfterControlDraw(clip);
}

} // namespace iplug::igraphics
