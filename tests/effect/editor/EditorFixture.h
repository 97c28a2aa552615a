#pragma once
// The effect with its real editor opened on the recording back end, and a stand-in plug-in whose meters,
// presets and slots a test sets by hand.

#include "effect/deliverables/Quorvel.h"
#include "effect/editor/EditorPlugin.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <chrono>
#include <string>
#include <vector>

namespace quorvel::test
{

namespace gfx = iplug::igraphics;
namespace gfxtest = iplug::igraphics::gfxtest;

// Control order of the layout.
enum EditorControl
{
  kBackdropIdx = 0,
  kLogoIdx = 1,
  kModelMenuIdx = 2,
  kPresetMenuIdx = 3,
  kCompareIdx = 4,
  kCopyIdx = 5,
  kHeroIdx = 6,
  kFirstKnobIdx = 7, // knob i at 7 + 2i, its value entry right after it
  kLevelMatchIdx = 27,
  kSoftCeilingIdx = 28,
  kBypassIdx = 29,
  kSupportLinkIdx = 30,
  kControlCount = 31,
};

// The meters' clock a test moves by hand, in whole meter steps (1/30 s) or in nanoseconds.
struct MeterClockHand
{
  std::chrono::nanoseconds now{};
  void AdvanceSteps(int steps) { now += steps * kStep; }
  // The first moment at which `steps` whole steps have passed since time 0.
  static std::chrono::nanoseconds StepTime(int64_t steps)
  {
    return std::chrono::nanoseconds((steps * 1'000'000'000 + 29) / 30);
  }
  static constexpr std::chrono::nanoseconds kStep{33'333'334};
};

// On the recording adapter the values the effect sends to the editor end at the adapter; here they go on
// to the open editor's controls, as they do on the hosts' adapters. Its meters and their clock are the
// test's.
class EditorQuorvel : public Quorvel, public MeterClockHand
{
public:
  EditorQuorvel() : Quorvel(QuorvelInstanceInfo{}) {}
  MeterLevels meters;
  MeterLevels ReadMeters() const override { return meters; }
  std::chrono::nanoseconds ReadMeterClock() const override { return now; }
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override
  {
    Quorvel::SendParamValueToEditor(paramIdx, value, normalized);
    iplug::igraphics::IGEditorDelegate::SendParamValueToEditor(paramIdx, value, normalized);
  }
};

// Records the font the layout registers, and how many controls stood by then.
class FontRecordingGraphics : public gfxtest::RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;
  iplug::igraphics::PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* name) override
  {
    fontLoads.push_back({fontId, name, NControls(), Count(gfxtest::Op::Text)});
    return nullptr;
  }
  struct FontLoad
  {
    std::string id, name;
    int controls, texts;
  };
  std::vector<FontLoad> fontLoads;
};

struct OpenEditor
{
  EditorQuorvel effect;
  FontRecordingGraphics* graphics = nullptr;

  OpenEditor()
  {
    effect.SetMakeGraphicsFunc([this]()
                               { return graphics = new FontRecordingGraphics(&effect, 980, 650, 30); });
    effect.OpenWindow(nullptr);
  }
  ~OpenEditor() { effect.CloseWindow(); }

  template <typename T> T* Get(int idx) const { return dynamic_cast<T*>(graphics->GetControl(idx)); }
  void Click(float x, float y, bool right = false)
  {
    gfx::IPointerEvent p;
    p.x = x;
    p.y = y;
    p.ms = gfx::IModifierState(!right, right);
    graphics->OnMouseDown({p});
    graphics->OnMouseUp({p});
  }
  bool Key(float x, float y, int vk, bool shift = false)
  {
    return graphics->OnKeyDown(x, y, iplug::IKeyStroke("", vk, shift, false, false));
  }
  // What the display tick asks of every control.
  void Tick()
  {
    gfx::IRectList rects;
    graphics->CollectDirtyRects(rects);
  }
};

// Only meters and their clock: what the meter display reads.
struct FakeEditorPlugin : EditorPlugin, MeterClockHand
{
  MeterLevels meters;
  std::chrono::nanoseconds ReadMeterClock() const override { return now; }
  int MatchCurrentPreset() const override { return -1; }
  void RestoreFactoryPreset(int) override {}
  int GetActiveSlot() const override { return 0; }
  void SwapComparisonSlots() override {}
  void CopyToOtherSlot() override {}
  MeterLevels ReadMeters() const override { return meters; }
};

} // namespace quorvel::test
