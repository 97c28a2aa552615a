#include "tests/support/graphics/RecordingGraphics.h"

#include "framework/graphics/IGEditorDelegate.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace iplug::igraphics::gfxtest
{

namespace
{

std::string Num(double v)
{
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}

std::string Colour(const IArgb& c)
{
  char buf[64];
  std::snprintf(buf, sizeof(buf), "(%d,%d,%d,%d)", c.A, c.R, c.G, c.B);
  return buf;
}

// Decodes one UTF-8 sequence; malformed bytes count as themselves.
char32_t NextCodePoint(const char*& s)
{
  const auto b = static_cast<unsigned char>(*s++);
  int extra = 0;
  char32_t cp = b;
  if (b >= 0xF0)
  {
    extra = 3;
    cp = b & 0x07;
  }
  else if (b >= 0xE0)
  {
    extra = 2;
    cp = b & 0x0F;
  }
  else if (b >= 0xC0)
  {
    extra = 1;
    cp = b & 0x1F;
  }
  for (int i = 0; i < extra && (static_cast<unsigned char>(*s) & 0xC0) == 0x80; i++)
    cp = (cp << 6) | (static_cast<unsigned char>(*s++) & 0x3F);
  return cp;
}

} // namespace

float TextMetrics::Width(const ITextStyle& style, const char* utf8) const
{
  float w = 0.f;
  char32_t prev = 0;
  for (const char* s = utf8; s && *s;)
  {
    const char32_t cp = NextCodePoint(s);
    w += style.size * 0.5f;
    if (prev)
    {
      auto it = mKerning.find({prev, cp});
      if (it != mKerning.end()) w += it->second;
    }
    prev = cp;
  }
  return w;
}

namespace
{
int sAliveBitmaps = 0;
} // namespace

FakeBitmap::FakeBitmap(int widthPx, int heightPx, float scale, float drawScale, std::string from)
    : APIBitmap(widthPx, heightPx, scale, drawScale), origin(std::move(from)),
      pixels(widthPx > 0 && heightPx > 0 ? static_cast<size_t>(widthPx) * static_cast<size_t>(heightPx) * 4
                                         : 0,
             0)
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

IBitmapHandle MakeBitmapHandle(FakeBitmap& bitmap, const char* name, int frames)
{
  IBitmapHandle h;
  h.bitmap = &bitmap;
  h.width = static_cast<int32_t>(static_cast<float>(bitmap.GetWidth()) / bitmap.GetScale());
  h.height = static_cast<int32_t>(static_cast<float>(bitmap.GetHeight()) / bitmap.GetScale());
  h.frames = frames;
  h.name = name;
  return h;
}

RecordingGraphics::RecordingGraphics(IGEditorDelegate* dlg, int width, int height, int fps, float scale)
    : IGraphics(dlg, width, height, fps, scale)
{
}

RecordingGraphics::~RecordingGraphics()
{
  // As a real platform does: let go of the pointers while the platform part still exists.
  if (releaseOnDestroy) ReleaseMouseCapture();
}

DrawCall& RecordingGraphics::Record(Op op)
{
  calls.emplace_back();
  DrawCall& call = calls.back();
  call.op = op;
  call.matrix = mXform;
  return call;
}

void RecordingGraphics::MapPoints(DrawCall& call, int nPoints) const
{
  for (int i = 0; i < nPoints; i++)
  {
    double x = call.a[2 * i];
    double y = call.a[2 * i + 1];
    mXform.TransformPoint(x, y);
    call.p[2 * i] = x;
    call.p[2 * i + 1] = y;
  }
}

std::vector<std::string> RecordingGraphics::PathLog() const
{
  std::vector<std::string> out;
  for (const DrawCall& c : calls)
  {
    switch (c.op)
    {
    case Op::MoveTo:
      out.push_back("M " + Num(c.a[0]) + " " + Num(c.a[1]));
      break;
    case Op::LineTo:
      out.push_back("L " + Num(c.a[0]) + " " + Num(c.a[1]));
      break;
    case Op::Arc:
      out.push_back("A " + Num(c.a[0]) + " " + Num(c.a[1]) + " " + Num(c.a[2]) + " " + Num(c.a[3]) + " " +
                    Num(c.a[4]) + " " + std::to_string(c.winding));
      break;
    case Op::ClosePath:
      out.push_back("Z");
      break;
    case Op::CubicTo:
      out.push_back("C " + Num(c.a[0]) + " " + Num(c.a[1]) + " " + Num(c.a[2]) + " " + Num(c.a[3]) + " " +
                    Num(c.a[4]) + " " + Num(c.a[5]));
      break;
    case Op::QuadTo:
      out.push_back("Q " + Num(c.a[0]) + " " + Num(c.a[1]) + " " + Num(c.a[2]) + " " + Num(c.a[3]));
      break;
    case Op::Winding:
      out.push_back(c.hole ? "W hole" : "W solid");
      break;
    default:
      break;
    }
  }
  return out;
}

std::vector<std::string> RecordingGraphics::Log() const
{
  std::vector<std::string> out;
  const std::vector<std::string> paths = PathLog();
  size_t pathIdx = 0;
  for (const DrawCall& c : calls)
  {
    switch (c.op)
    {
    case Op::MoveTo:
    case Op::LineTo:
    case Op::Arc:
    case Op::ClosePath:
    case Op::CubicTo:
    case Op::QuadTo:
    case Op::Winding:
      out.push_back(paths[pathIdx++]);
      break;
    case Op::ClearPath:
      out.push_back("clear");
      break;
    case Op::Stroke:
      out.push_back("S " + Colour(c.pattern.stops[0].colour) + " " + Num(c.thickness) +
                    (c.stroke.dashCount ? " dash " + Num(c.stroke.dashes[0]) : ""));
      break;
    case Op::Fill:
      out.push_back("F " + Colour(c.pattern.stops[0].colour) + (c.fill.keepPath ? " keep" : ""));
      break;
    case Op::Transform:
      out.push_back("T");
      break;
    case Op::Clip:
      out.push_back("clip " + Num(c.a[0]) + " " + Num(c.a[1]) + " " + Num(c.a[2]) + " " + Num(c.a[3]));
      break;
    case Op::AfterControlDraw:
      out.push_back("after");
      break;
    case Op::BeginFrame:
      out.push_back("begin");
      break;
    case Op::PresentFrame:
      out.push_back("present");
      break;
    case Op::Text:
      out.push_back("text " + c.text);
      break;
    case Op::Bitmap:
      out.push_back("bitmap " + c.text);
      break;
    }
  }
  return out;
}

int RecordingGraphics::Count(Op op) const
{
  int n = 0;
  for (const DrawCall& c : calls)
    n += c.op == op ? 1 : 0;
  return n;
}

const DrawCall* RecordingGraphics::Last(Op op) const
{
  for (auto it = calls.rbegin(); it != calls.rend(); ++it)
    if (it->op == op) return &*it;
  return nullptr;
}

std::vector<DrawCall> RecordingGraphics::All(Op op) const
{
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

void RecordingGraphics::BeginDrawFrame()
{
  Record(Op::BeginFrame);
}

void RecordingGraphics::PresentFrame()
{
  Record(Op::PresentFrame);
}

void RecordingGraphics::DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                                   const IBlendSpec* blend)
{
  DrawCall& c = Record(Op::Bitmap);
  c.bounds = dest;
  c.a[0] = dest.L;
  c.a[1] = dest.T;
  c.a[2] = dest.R;
  c.a[3] = dest.B;
  c.a[4] = static_cast<float>(srcX);
  c.a[5] = static_cast<float>(srcY);
  MapPoints(c, 2);
  c.text = bitmap.name;
  c.bitmap = bitmap.bitmap;
  c.hasBlend = blend != nullptr;
  if (blend) c.blend = *blend;
}

bool RecordingGraphics::IsBitmapExtensionSupported(const char* ext)
{
  return ext && (std::strcmp(ext, "png") == 0 || std::strcmp(ext, "svg") == 0);
}

void RecordingGraphics::ClearPath()
{
  Record(Op::ClearPath);
}

void RecordingGraphics::ClosePath()
{
  Record(Op::ClosePath);
}

void RecordingGraphics::AddArcPath(float cx, float cy, float r, float a1, float a2, int winding)
{
  DrawCall& c = Record(Op::Arc);
  c.a[0] = cx;
  c.a[1] = cy;
  c.a[2] = r;
  c.a[3] = a1;
  c.a[4] = a2;
  c.winding = winding;
  MapPoints(c, 1);
}

void RecordingGraphics::MoveTo(float x, float y)
{
  DrawCall& c = Record(Op::MoveTo);
  c.a[0] = x;
  c.a[1] = y;
  MapPoints(c, 1);
}

void RecordingGraphics::LineTo(float x, float y)
{
  DrawCall& c = Record(Op::LineTo);
  c.a[0] = x;
  c.a[1] = y;
  MapPoints(c, 1);
}

void RecordingGraphics::SetPathWinding(bool hole)
{
  Record(Op::Winding).hole = hole;
}

void RecordingGraphics::CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y)
{
  DrawCall& c = Record(Op::CubicTo);
  const float a[6] = {c1x, c1y, c2x, c2y, x, y};
  std::memcpy(c.a, a, sizeof(a));
  MapPoints(c, 3);
}

void RecordingGraphics::QuadCurveTo(float cx, float cy, float x, float y)
{
  DrawCall& c = Record(Op::QuadTo);
  c.a[0] = cx;
  c.a[1] = cy;
  c.a[2] = x;
  c.a[3] = y;
  MapPoints(c, 2);
}

void RecordingGraphics::StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                                   const IBlendSpec* blend)
{
  DrawCall& c = Record(Op::Stroke);
  c.pattern = pattern;
  c.thickness = thickness;
  c.stroke = style;
  c.hasBlend = blend != nullptr;
  if (blend) c.blend = *blend;
}

void RecordingGraphics::FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec* blend)
{
  // Find the path since the last clear; rasterise it when it is an axis-aligned rectangle.
  size_t start = calls.size();
  while (start > 0 && calls[start - 1].op != Op::ClearPath)
    start--;

  DrawCall& c = Record(Op::Fill);
  c.pattern = pattern;
  c.fill = style;
  c.hasBlend = blend != nullptr;
  if (blend) c.blend = *blend;

  if (!raster) return;
  std::vector<const DrawCall*> path;
  for (size_t i = start; i + 1 < calls.size(); i++)
    if (calls[i].op != Op::Transform && calls[i].op != Op::Clip) path.push_back(&calls[i]);
  if (path.size() != 5 || path[0]->op != Op::MoveTo || path[4]->op != Op::ClosePath) return;
  double minX = path[0]->p[0], maxX = minX, minY = path[0]->p[1], maxY = minY;
  for (int i = 1; i < 4; i++)
  {
    if (path[static_cast<size_t>(i)]->op != Op::LineTo) return;
    minX = std::min(minX, path[static_cast<size_t>(i)]->p[0]);
    maxX = std::max(maxX, path[static_cast<size_t>(i)]->p[0]);
    minY = std::min(minY, path[static_cast<size_t>(i)]->p[1]);
    maxY = std::max(maxY, path[static_cast<size_t>(i)]->p[1]);
  }
  raster->Fill({static_cast<float>(minX), static_cast<float>(minY), static_cast<float>(maxX),
                static_cast<float>(maxY)},
               mClip, CoverageRaster::Pack(pattern.stops[0].colour));
}

void RecordingGraphics::ApplyPathTransform(const IAffine& transform)
{
  mXform = transform;
  Record(Op::Transform);
}

void RecordingGraphics::AfterControlDraw(const IBounds& clip)
{
  Record(Op::AfterControlDraw).bounds = clip;
}

void RecordingGraphics::SetPathClip(const IBounds& clip)
{
  mClip = clip;
  DrawCall& c = Record(Op::Clip);
  c.bounds = clip;
  c.a[0] = clip.L;
  c.a[1] = clip.T;
  c.a[2] = clip.R;
  c.a[3] = clip.B;
}

APIBitmap* RecordingGraphics::CreateApiBitmapFromMemory(const char* name, const void* data, int32_t size,
                                                        int scale)
{
  if (!data || size <= 0) return nullptr;
  return new FakeBitmap(fakeBitmapWidth * scale, fakeBitmapHeight * scale, static_cast<float>(scale), 1.f,
                        name ? name : "");
}

APIBitmap* RecordingGraphics::CreateApiBitmapFromFile(const char* location, int scale, int, const char*)
{
  if (!location || !*location) return nullptr;
  ++filesDecoded;
  return new FakeBitmap(fakeBitmapWidth * scale, fakeBitmapHeight * scale, static_cast<float>(scale), 1.f,
                        location);
}

APIBitmap* RecordingGraphics::CreateLayerBitmap(int widthPx, int heightPx, float scale, float drawScale, bool)
{
  if (layerBitmapsFail) return nullptr;
  return new FakeBitmap(widthPx, heightPx, scale, drawScale, "layer");
}

void RecordingGraphics::BindCurrentLayer(IDrawLayer* layer)
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

float RecordingGraphics::MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const
{
  const float w = metrics.Width(style, text);
  const float h = style.size;
  float x = bounds.L;
  if (style.align == kAlignCenter)
    x = bounds.MW() - w / 2.f;
  else if (style.align == kAlignFar)
    x = bounds.R - w;
  float y = bounds.T;
  if (style.valign == kAlignCenter)
    y = bounds.MH() - h / 2.f;
  else if (style.valign == kAlignFar)
    y = bounds.B - h;
  bounds = {x, y, x + w, y + h};
  return w;
}

void RecordingGraphics::DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                                        const IBlendSpec* blend)
{
  DrawCall& c = Record(Op::Text);
  c.text = text ? text : "";
  c.style = style;
  c.bounds = bounds;
  c.hasBlend = blend != nullptr;
  if (blend) c.blend = *blend;
}

void RecordingGraphics::GetMousePosition(float& x, float& y) const
{
  x = mouseX;
  y = mouseY;
}

void RecordingGraphics::HideMouseCursor(bool hide, bool lock)
{
  hideCalls.emplace_back(hide, lock);
  if (IsMouseCursorHidden() == hide) return;
  SetMouseCursorHidden(hide);
}

void RecordingGraphics::MoveMouseCursor(float x, float y)
{
  moveCalls.emplace_back(x, y);
  mouseX = x;
  mouseY = y;
}

int RecordingGraphics::SetMouseCursor(int type)
{
  cursorCalls.push_back(type);
  return IGraphics::SetMouseCursor(type);
}

void RecordingGraphics::CancelTextEntry()
{
  cancelledTextEntries++;
}

void* RecordingGraphics::OpenEditorWindow(void*)
{
  // The steps of the real window: reopen in place, display scale, layout, everything dirty, notify.
  if (mWindowOpen) CloseEditorWindow();
  mWindowOpen = true;
  windowOpens++;
  SetDisplayScale(std::trunc(parentDpiScale));
  if (GetDelegate()) GetDelegate()->LayoutEditor(this);
  MarkAllControlsDirty();
  if (GetDelegate()) GetDelegate()->OnEditorOpen();
  return &mWindow;
}

void RecordingGraphics::CloseEditorWindow()
{
  if (!mWindowOpen) return;
  ReleaseMouseCapture();
  RemoveAllControls();
  mWindowOpen = false;
  windowCloses++;
}

bool RecordingGraphics::GetClipboardText(TextBuffer& text)
{
  if (!clipboardHasText)
  {
    text.AssignText("");
    return false;
  }
  text.AssignText(clipboard.c_str());
  return true;
}

bool RecordingGraphics::SetClipboardText(const char* text)
{
  clipboard = text ? text : "";
  clipboardHasText = true;
  return true;
}

int RecordingGraphics::ShowMessageBox(const char* text, const char*, int, IMsgBoxCompletionFunc completion)
{
  ReleaseMouseCapture();
  messageBoxes.emplace_back(text ? text : "");
  if (completion) completion(messageBoxAnswer);
  return messageBoxAnswer;
}

void RecordingGraphics::PromptForFile(TextBuffer& fileName, TextBuffer& path, int, const char*,
                                      IFileDialogCompletionFunc completion)
{
  if (!mWindowOpen)
  {
    fileName.AssignText("");
    return;
  }
  fileName.AssignText(fileAnswer.c_str());
  if (completion) completion(fileName, path);
}

void RecordingGraphics::PromptForFolder(TextBuffer& dir, IFileDialogCompletionFunc completion)
{
  dir.AssignText(fileAnswer.c_str());
  if (completion) completion(TextBuffer(), dir);
}

bool RecordingGraphics::PromptForColour(IArgb& colour, const char*, IColourPickerFunc completion)
{
  if (!colourChosen) return false;
  colour = colourAnswer;
  if (completion) completion(colour);
  return true;
}

bool RecordingGraphics::OpenUrl(const char* url, const char*, const char*, const char*)
{
  openedUrls.emplace_back(url ? url : "");
  return true;
}

bool RecordingGraphics::CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IBounds& bounds,
                                                int length, const char* text)
{
  textEntries.push_back({paramIdx, style, bounds, length, text ? text : ""});
  return true;
}

IPopupMenu* RecordingGraphics::CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds,
                                                       bool& completesLater)
{
  ShownMenu shown;
  shown.title = menu.GetTitle();
  shown.bounds = bounds;
  for (int i = 0; i < menu.NItems(); i++)
  {
    shown.items.emplace_back(menu.GetItem(i)->GetText());
    shown.flags.push_back(menu.GetItem(i)->GetFlags());
  }
  shownMenus.push_back(shown);

  const int answer = popupAnswers.empty() ? -1 : popupAnswers.front();
  if (!popupAnswers.empty()) popupAnswers.pop_front();
  if (answer == kAnswerLater)
  {
    completesLater = true;
    pendingMenu = &menu;
    return nullptr;
  }
  if (answer < 0) return nullptr;
  menu.SetChosenItemIdx(answer);
  menu.ExecFunction();
  return &menu;
}

void RecordingGraphics::CompleteLater(int choice)
{
  IPopupMenu* menu = pendingMenu;
  pendingMenu = nullptr;
  if (menu && choice >= 0)
  {
    menu->SetChosenItemIdx(choice);
    menu->ExecFunction();
    CompletePopupMenu(menu);
  }
  else
    CompletePopupMenu(nullptr);
}

} // namespace iplug::igraphics::gfxtest
