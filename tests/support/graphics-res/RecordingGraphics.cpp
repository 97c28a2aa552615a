#include "tests/support/graphics-res/RecordingGraphics.h"

#include "framework/graphics/ResourceCache.h"

#include <cstring>

namespace iplug::igraphics::test
{

namespace
{
int sAliveBitmaps = 0;
} // namespace

FakeBitmap::FakeBitmap(int w, int h, float scale, float drawScale, std::string from)
    : APIBitmap(w, h, scale, drawScale), origin(std::move(from)),
      pixels(static_cast<size_t>(w > 0 && h > 0 ? w * h * 4 : 0), 0)
{
  ++sAliveBitmaps;
}

FakeBitmap::~FakeBitmap()
{
  --sAliveBitmaps;
}

int FakeBitmap::Alive()
{
  return sAliveBitmaps;
}

RecordingGraphics::RecordingGraphics(int width, int height, float scale)
    : IGraphics(nullptr, width, height, 0, scale)
{
  // What IGraphics itself will do once the caches are wired into it.
  AddResourceCacheUsers();
}

RecordingGraphics::~RecordingGraphics()
{
  RemoveResourceCacheUsers();
}

void RecordingGraphics::Record(const char* op, std::vector<float> args)
{
  PathCall call;
  call.op = op;
  call.args = std::move(args);
  calls.push_back(std::move(call));
}

std::vector<PathCall> RecordingGraphics::CallsNamed(const char* op) const
{
  std::vector<PathCall> out;
  for (const PathCall& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

void RecordingGraphics::DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                                   const IBlendSpec*)
{
  Record("bitmap", {dest.L, dest.T, dest.R, dest.B, static_cast<float>(srcX), static_cast<float>(srcY),
                    static_cast<float>(bitmap.bitmap ? bitmap.bitmap->GetScale() : 0.f)});
}

bool RecordingGraphics::IsBitmapExtensionSupported(const char* ext)
{
  for (const std::string& e : supportedExtensions)
    if (e == ext) return true;
  return false;
}

void RecordingGraphics::AddArcPath(float cx, float cy, float r, float a1, float a2, int winding)
{
  Record("arc", {cx, cy, r, a1, a2, static_cast<float>(winding)});
}

void RecordingGraphics::SetPathWinding(bool hole)
{
  Record("winding");
  calls.back().hole = hole;
}

void RecordingGraphics::CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  Record("cubic", {c1x, c1y, c2x, c2y, x, y});
}

void RecordingGraphics::StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                                   const IBlendSpec*)
{
  Record("stroke");
  calls.back().pattern = pattern;
  calls.back().stroke = style;
  calls.back().thickness = thickness;
}

void RecordingGraphics::FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec*)
{
  Record("fill");
  calls.back().pattern = pattern;
  calls.back().fill = style;
}

void RecordingGraphics::ApplyPathTransform(const IAffine& t)
{
  Record("transform", {static_cast<float>(t.xx), static_cast<float>(t.yx), static_cast<float>(t.xy),
                       static_cast<float>(t.yy), static_cast<float>(t.tx), static_cast<float>(t.ty)});
}

bool RecordingGraphics::GetClipboardText(TextBuffer& text)
{
  if (!clipboardHasText) return false;
  text.AssignText(clipboard.c_str());
  return true;
}

bool RecordingGraphics::SetClipboardText(const char* text)
{
  clipboard = text ? text : "";
  clipboardHasText = true;
  return true;
}

IPopupMenu* RecordingGraphics::CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds,
                                                       bool& completesLater)
{
  // The test chooses later, through CompletePopupMenu.
  shownMenus.emplace_back(&menu, bounds);
  completesLater = true;
  return nullptr;
}

float RecordingGraphics::MeasureTextWithApi(const ITextStyle&, const char* text, IBounds& bounds) const
{
  const size_t n = text ? std::strlen(text) : 0;
  float w = advance * static_cast<float>(n);
  if (!kernPair.empty() && text)
    for (const char* p = std::strstr(text, kernPair.c_str()); p; p = std::strstr(p + 1, kernPair.c_str()))
      w -= kernAmount;
  bounds = {0.f, 0.f, w, 10.f};
  return w;
}

void RecordingGraphics::DrawTextWithApi(const ITextStyle&, const char* text, const IBounds&,
                                        const IBlendSpec*)
{
  drawnText.emplace_back(text ? text : "");
}

APIBitmap* RecordingGraphics::CreateLayerBitmap(int widthPx, int heightPx, float displayScale,
                                                float drawScale, bool)
{
  if (layerBitmapsFail) return nullptr;
  return new FakeBitmap(widthPx, heightPx, displayScale, drawScale, "layer");
}

void RecordingGraphics::BindLayer(IDrawLayer* layer)
{
  boundLayer = layer;
  ++bindCount;
}

void RecordingGraphics::GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels)
{
  auto* bitmap = static_cast<FakeBitmap*>(layer.bitmap.get());
  if (!bitmap || bitmap->pixels.empty()) return;
  pixels.ResizeHeapBuffer(static_cast<int32_t>(bitmap->pixels.size()));
  std::memcpy(pixels.GetData(), bitmap->pixels.data(), bitmap->pixels.size());
}

void RecordingGraphics::ApplyLayerShadowMask(IDrawLayer&, HeapBuffer& mask, const IDropShadow& shadow)
{
  lastShadow = shadow;
  const auto* bytes = mask.GetAs<uint8_t>();
  lastMask.assign(bytes, bytes + mask.GetSize());
}

APIBitmap* RecordingGraphics::CreateApiBitmapFromFile(const char* location, int scale, int, const char*)
{
  ++filesDecoded;
  return new FakeBitmap(10 * scale, 8 * scale, static_cast<float>(scale), 1.f, location ? location : "");
}

APIBitmap* RecordingGraphics::CreateApiBitmapFromMemory(const char* name, const void*, int32_t, int scale)
{
  return new FakeBitmap(10 * scale, 8 * scale, static_cast<float>(scale), 1.f, name ? name : "");
}

} // namespace iplug::igraphics::test
