// Frame times of the effect's editor drawn through the NanoVG back end on Mesa's software renderer
// (llvmpipe, through OSMesa): a full repaint at scale 1.0 and 1.5, and the display tick's repaint, in which
// only the meter strips are dirty, and the repaints per second and CPU share at a real 60 Hz tick with
// the meters moving and at rest. Each frame ends with glFinish, so the time includes the rasterising; the
// wall-clock time per frame is the figure (llvmpipe rasterises on threads of its own).
// Run: build/native/bench/EditorFrameBench (natively; the editor's resources are embedded).

#include "effect/deliverables/Quorvel.h"
#include "framework/core/ResourceLookup.h"
#include "framework/graphics/IRectList.h"
#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <memory>
#include <vector>

namespace
{

using namespace iplug::igraphics;

class FontFromBytes : public PlatformFont
{
public:
  FontFromBytes(const void* data, int size) : PlatformFont(false), mData(data), mSize(size) {}
  std::unique_ptr<FontBlob> GetFontBlob() const override
  {
    auto blob = std::make_unique<FontBlob>();
    blob->AssignBytes(mData, mSize, 0);
    return blob;
  }

private:
  const void* mData;
  int mSize;
};

// An editor window without a window: OSMesa's buffer is the window's framebuffer.
class BenchWindow : public IGraphicsNanoVG
{
public:
  BenchWindow(IGEditorDelegate* dlg, float scale) : IGraphicsNanoVG(dlg, 980, 650, 30, scale) {}
  ~BenchWindow() override { CloseEditorWindow(); }

  // True when the tick found something to redraw.
  bool PaintDirty()
  {
    IRectList rects;
    if (!CollectDirtyRects(rects)) return false;
    ScopedGLContext current(*this);
    PaintRegions(rects);
    MarkAllControlsClean();
    GetGlEntryPoints().Finish();
    return true;
  }

  bool MakeGLContextCurrent() override
  {
    return mContext &&
           OSMesaMakeCurrent(mContext, mBuffer.data(), GL_UNSIGNED_BYTE, mWidthPx, mHeightPx) == GL_TRUE;
  }
  bool ReleaseGLContext() override { return true; }
  // OSMesa's buffer holds the last frame, as the offscreen test platform's does: a tick composites only
  // what it redrew.
  bool KeepsWindowPixels() const override { return true; }
  void* OpenEditorWindow(void*) override
  {
    GetWindowPixelSize(mWidthPx, mHeightPx);
    mBuffer.assign(static_cast<size_t>(mWidthPx) * mHeightPx * 4, 0);
    mContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    {
      ScopedGLContext current(*this);
      if (mContext && LoadGlEntryPoints([](const char* name, void*)
                                        { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); },
                                        nullptr))
        CreateDrawContext();
    }
    if (GetDelegate()) GetDelegate()->LayoutEditor(this);
    MarkAllControlsDirty();
    return this;
  }
  void CloseEditorWindow() override
  {
    if (!mContext) return;
    {
      ScopedGLContext current(*this);
      DestroyDrawContext();
    }
    OSMesaDestroyContext(mContext);
    mContext = nullptr;
  }
  void* GetWindowHandle() override { return mContext ? this : nullptr; }

  PlatformFont* LoadPlatformFontFromFile(const char*, const char* name) override
  {
    iplug::TextBuffer stored;
    if (iplug::FindResourceByName(name, "TTF", stored, nullptr) != iplug::kWinBinary) return nullptr;
    int32_t size = 0;
    const void* data = iplug::LoadResourceBytes(stored.Get(), "TTF", size, nullptr);
    return data ? new FontFromBytes(data, size) : nullptr;
  }
  PlatformFont* LoadPlatformFontFromMemory(const char*, const void* data, int size) override
  {
    return data ? new FontFromBytes(data, size) : nullptr;
  }
  PlatformFont* LoadPlatformFontByName(const char*, const char*, int) override { return nullptr; }
  void CachePlatformFont(const char*, const PlatformFont*) override {}

  void GetMousePosition(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void CancelTextEntry() override {}
  bool GetClipboardText(iplug::TextBuffer&) override { return false; }
  bool SetClipboardText(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, IMsgBoxCompletionFunc) override { return 0; }
  void PromptForFile(iplug::TextBuffer&, iplug::TextBuffer&, int, const char*,
                     IFileDialogCompletionFunc) override
  {
  }
  void PromptForFolder(iplug::TextBuffer&, IFileDialogCompletionFunc) override {}
  bool PromptForColour(IArgb&, const char*, IColourPickerFunc) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  bool CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override
  {
    return true;
  }
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool&) override { return nullptr; }

private:
  OSMesaContext mContext = nullptr;
  std::vector<uint8_t> mBuffer;
  int mWidthPx = 0;
  int mHeightPx = 0;
};

// The effect with meters that move at every reading while audio plays, and at rest without. Its meter
// clock is the steady clock unless a benchmark moves it by hand (manualClock).
class PlayingQuorvel : public quorvel::Quorvel
{
public:
  PlayingQuorvel() : Quorvel(quorvel::QuorvelInstanceInfo{}) {}
  quorvel::MeterLevels ReadMeters() const override
  {
    if (!playing) return {};
    const float phase = static_cast<float>(++mTick % 30) / 30.f;
    return {0.2f + 0.7f * phase, 0.1f + 0.5f * phase, phase};
  }
  std::chrono::nanoseconds ReadMeterClock() const override
  {
    return manualClock ? now : quorvel::MeterSteps::SteadyNow();
  }

  bool playing = true;
  bool manualClock = false;
  std::chrono::nanoseconds now{};

private:
  mutable int mTick = 0;
};

double ProcessCpuSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Editor
{
  PlayingQuorvel effect;
  BenchWindow* window = nullptr;
  explicit Editor(float scale, bool playing = true)
  {
    effect.playing = playing;
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    effect.SetMakeGraphicsFunc([this, scale]() { return window = new BenchWindow(&effect, scale); });
    effect.OpenWindow(nullptr);
    effect.OnEditorOpen();
    // Warm-up, not timed: the first frames of each kind compile the renderer's shader variants, make
    // the backdrop's layer and fill the glyph atlas, all once per window.
    for (int i = 0; i < 3; ++i)
    {
      window->MarkAllControlsDirty();
      window->PaintDirty();
      window->PaintDirty();
    }
  }
  ~Editor() { effect.CloseWindow(); }
};

void FullRepaint(benchmark::State& state, float scale)
{
  Editor editor(scale);
  for (auto _ : state)
  {
    editor.window->MarkAllControlsDirty();
    editor.window->PaintDirty();
  }
}

void MetersTick(benchmark::State& state, float scale)
{
  Editor editor(scale);
  editor.effect.now = quorvel::MeterSteps::SteadyNow(); // where the panel's steps started counting
  editor.effect.manualClock = true;
  for (auto _ : state)
  {
    editor.effect.now += std::chrono::milliseconds(34); // one meter step per tick
    editor.window->PaintDirty();                        // the tick: only the meter strips ask to be redrawn
  }
}

// Real time: the display ticks at 60 Hz for three seconds, with the meters moving or at rest. Reports
// the ticks that repainted and the process's CPU time (llvmpipe's threads included) per second.
void DisplayAt60Hz(benchmark::State& state, float scale, bool playing)
{
  Editor editor(scale, playing);
  constexpr int kTicks = 180;
  for (auto _ : state)
  {
    int repaints = 0;
    const double cpuStart = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int k = 1; k <= kTicks; ++k)
    {
      std::this_thread::sleep_until(start + k * std::chrono::microseconds(16667));
      repaints += editor.window->PaintDirty() ? 1 : 0;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["repaints_per_s"] = repaints / wall;
    state.counters["cpu_share_of_one_core"] = (ProcessCpuSeconds() - cpuStart) / wall;
  }
}

BENCHMARK_CAPTURE(FullRepaint, scale_1_0, 1.0f)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FullRepaint, scale_1_5, 1.5f)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(MetersTick, scale_1_0, 1.0f)->Iterations(300)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(MetersTick, scale_1_5, 1.5f)->Iterations(300)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(DisplayAt60Hz, playing_1_0, 1.0f, true)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DisplayAt60Hz, playing_1_5, 1.5f, true)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DisplayAt60Hz, idle_1_0, 1.0f, false)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DisplayAt60Hz, idle_1_5, 1.5f, false)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
