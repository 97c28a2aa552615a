#include "framework/core/IPluginConfig.h"
#include "framework/plugin/IPluginBase.h"
#include "tests/support/core/HeapAllocationFault.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace iplug;

namespace
{
class TestPlugin : public IPluginBase
{
public:
  TestPlugin(int nParams, int nPresets) : IPluginBase(nParams, nPresets)
  {
    for (int i = 0; i < nParams; ++i)
      GetParam(i)->ConfigureDouble("p", 0.0, -100.0, 100.0, 0.001);
  }
  using IPluginBase::OnParamChange;

  void BeginParamChangeFromEditor(int) override {}
  void EndParamChangeFromEditor(int) override {}
  void OnParamChange(int idx, ChangeSource src, int offset) override
  {
    calls.push_back("change:" + std::to_string(idx) + ":" + ChangeSourceName(src) + ":" +
                    std::to_string(offset));
  }
  void OnParamChangeInEditor(int idx, ChangeSource src) override
  {
    calls.push_back("editor:" + std::to_string(idx) + ":" + ChangeSourceName(src));
  }
  void SetVersion(int32_t version) { mVersion = version; }

  std::vector<std::string> calls;
};

std::vector<std::string> PresetNotifications(int nParams)
{
  std::vector<std::string> out;
  for (int i = 0; i < nParams; ++i)
  {
    out.push_back("change:" + std::to_string(i) + ":Preset:-1");
    out.push_back("editor:" + std::to_string(i) + ":Preset");
  }
  return out;
}

StateChunk ChunkOf(const std::vector<double>& values)
{
  StateChunk chunk;
  for (double v : values)
    chunk.Put(v);
  return chunk;
}
} // namespace

TEST(IPluginBaseTest, PresetSlotsFillInOrderAndDropTheSurplus)
{
  TestPlugin plugin(1, 12);
  ASSERT_EQ(plugin.NPresets(), 12);
  EXPECT_STREQ(plugin.GetPresetName(0), "empty");
  EXPECT_FALSE(plugin.IsPresetInitialized(0));
  EXPECT_EQ(plugin.GetPresetChunk(0)->GetSize(), 0);

  for (int i = 0; i < 13; ++i)
  {
    StateChunk chunk;
    chunk.Put(static_cast<int32_t>(i));
    plugin.AddPresetFromChunk(("Preset " + std::to_string(i)).c_str(), chunk);
  }
  for (int i = 0; i < 12; ++i)
  {
    EXPECT_TRUE(plugin.IsPresetInitialized(i));
    EXPECT_EQ(plugin.GetPresetName(i), "Preset " + std::to_string(i));
    int32_t stored = -1;
    EXPECT_EQ(plugin.GetPresetChunk(i)->Get(stored, 0), 4);
    EXPECT_EQ(stored, i) << "each slot holds its own copy of the bytes";
  }
  EXPECT_EQ(plugin.GetPresetChunk(12), nullptr);
  EXPECT_STREQ(plugin.GetPresetName(12), "");
  EXPECT_STREQ(plugin.GetPresetName(-1), "");

  // A copy that cannot be made leaves the slot free and unnamed.
  TestPlugin failing(1, 2);
  StateChunk big;
  big.Put(static_cast<int32_t>(7));
  {
    quorvel::test::HeapAllocationFault fault(0);
    EXPECT_FALSE(failing.AddPresetFromChunk("Lost", big));
  }
  EXPECT_FALSE(failing.IsPresetInitialized(0));
  EXPECT_STREQ(failing.GetPresetName(0), "empty");
  EXPECT_TRUE(failing.AddPresetFromChunk("Kept", big));
  EXPECT_STREQ(failing.GetPresetName(0), "Kept");
  EXPECT_EQ(failing.GetPresetChunk(0)->GetSize(), 4);

  // Names are cut to the slot's 255 characters.
  TestPlugin longNames(1, 1);
  const std::string name(400, 'n');
  longNames.AddPresetFromChunk(name.c_str(), StateChunk());
  EXPECT_EQ(std::strlen(longNames.GetPresetName(0)), 255u);
}

TEST(IPluginBaseTest, PluginVersionRawAndDecimal)
{
  TestPlugin plugin(0, 0);
  plugin.SetVersion(0x201);
  EXPECT_EQ(plugin.GetPluginVersion(false), 513);
  EXPECT_EQ(plugin.GetPluginVersion(true), 201);
  plugin.SetVersion(MakeVersion(12, 34, 56));
  EXPECT_EQ(plugin.GetPluginVersion(true), 123456);
}

TEST(IPluginBaseTest, SerializeAndUnserializeParams)
{
  TestPlugin plugin(14, 0);
  for (int i = 0; i < 14; ++i)
    plugin.GetParam(i)->Set(i * 1.125 - 7.0);

  // Appended after whatever the chunk holds, as little-endian doubles without a header.
  StateChunk chunk;
  chunk.Put(int32_t{0x11223344});
  ASSERT_TRUE(plugin.SerializeState(chunk));
  ASSERT_EQ(chunk.GetSize(), 4 + 14 * 8);
  const auto* bytes = static_cast<const uint8_t*>(chunk.GetData());
  const double second = 1.125 - 7.0;
  uint64_t bits;
  std::memcpy(&bits, &second, 8);
  for (int b = 0; b < 8; ++b)
    EXPECT_EQ(bytes[4 + 8 + b], static_cast<uint8_t>(bits >> (8 * b))) << "byte " << b;

  TestPlugin restored(14, 0);
  EXPECT_EQ(restored.UnserializeState(chunk, 4), chunk.GetSize());
  for (int i = 0; i < 14; ++i)
    EXPECT_EQ(restored.GetParam(i)->Value(), plugin.GetParam(i)->Value()) << "param " << i;
  EXPECT_EQ(restored.calls, PresetNotifications(14));

  // Values from the chunk go through Constrain.
  TestPlugin clamped(2, 0);
  EXPECT_EQ(clamped.UnserializeParams(ChunkOf({1000.0, 0.12345}), 0), 16);
  EXPECT_EQ(clamped.GetParam(0)->Value(), 100.0);
  EXPECT_EQ(clamped.GetParam(1)->Value(), 0.12345);

  // No parameters: nothing written, success, and the position comes back unchanged.
  TestPlugin none(0, 0);
  StateChunk empty;
  EXPECT_TRUE(none.SerializeParams(empty));
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_EQ(none.UnserializeParams(empty, 0), 0);
}

TEST(IPluginBaseTest, UnserializeParamsFromAShortChunkKeepsWhatItRead)
{
  TestPlugin plugin(14, 0);
  std::vector<double> values;
  for (int i = 0; i < 14; ++i)
    values.push_back(i + 0.5);
  const StateChunk chunk = ChunkOf(values);

  // Starting 8 bytes short of the end leaves room for 13 values only.
  TestPlugin shortRead(14, 0);
  EXPECT_EQ(shortRead.UnserializeParams(chunk, 8), -1);
  for (int i = 0; i < 13; ++i)
    EXPECT_EQ(shortRead.GetParam(i)->Value(), i + 1.5) << "param " << i;
  EXPECT_EQ(shortRead.GetParam(13)->Value(), 0.0);
  EXPECT_EQ(shortRead.calls, PresetNotifications(14)) << "a failed read still notifies every parameter";

  // A few trailing bytes that do not make a whole value are not read.
  StateChunk ragged = ChunkOf({1.0});
  ragged.Put(int32_t{7});
  TestPlugin two(2, 0);
  EXPECT_EQ(two.UnserializeParams(ragged, 0), -1);
  EXPECT_EQ(two.GetParam(0)->Value(), 1.0);
}

TEST(IPluginBaseTest, UnserializeParamsRefusesPositionsOutsideTheChunk)
{
  const StateChunk chunk = ChunkOf({1.0, 2.0, 3.0});
  for (int start : {-1, -8, 25, 1 << 30})
  {
    TestPlugin plugin(2, 0);
    EXPECT_EQ(plugin.UnserializeParams(chunk, start), -1) << "start " << start;
    EXPECT_EQ(plugin.GetParam(0)->Value(), 0.0) << "nothing read from start " << start;
    EXPECT_EQ(plugin.GetParam(1)->Value(), 0.0);
    EXPECT_EQ(plugin.calls, PresetNotifications(2));
  }
  TestPlugin none(0, 0);
  EXPECT_EQ(none.UnserializeParams(chunk, 40), -1);
  EXPECT_EQ(none.UnserializeParams(chunk, 24), 24) << "the end itself is a valid position";
}

TEST(IPluginBaseTest, SerializeParamsReportsAFailedAppend)
{
  TestPlugin plugin(600, 0);
  StateChunk chunk;
  // The first block holds a few hundred values; the growth after that fails.
  bool ok = true;
  {
    quorvel::test::HeapAllocationFault fault(1);
    ok = plugin.SerializeParams(chunk);
  }
  EXPECT_FALSE(ok);
  EXPECT_GT(chunk.GetSize(), 0) << "the failure came after some values were written";
  EXPECT_LT(chunk.GetSize(), 600 * 8);
}

// Every plug-in object is also its graphics editor delegate.
TEST(IPluginBaseTest, OwnsTheEditorGraphics)
{
  namespace gfx = iplug::igraphics;
  namespace gfxtest = iplug::igraphics::gfxtest;
  gfxtest::EventLog pluginLog; // outlives the plug-in and its controls
  TestPlugin plugin(2, 1);
  gfx::IGEditorDelegate& delegate = plugin;
  delegate.SetMakeGraphicsFunc([&plugin]() { return new gfxtest::RecordingGraphics(&plugin, 300, 200); });
  delegate.SetLayoutFunc(
      [&pluginLog](gfx::IGraphics* g)
      {
        auto* knob = new gfxtest::LoggingControl({0, 0, 10, 10}, {0}, pluginLog, "k");
        g->AddControl(knob);
      });
  EXPECT_EQ(GetEditorGraphicsOf(plugin), nullptr);
  ASSERT_NE(plugin.OpenWindow(nullptr), nullptr);
  ASSERT_NE(GetEditorGraphicsOf(plugin), nullptr);
  auto* g = static_cast<gfxtest::RecordingGraphics*>(GetEditorGraphicsOf(plugin));
  // Destroyed with the editor open and a press held: the graphics goes with it, without calling back.
  gfx::IPointerEvent press;
  press.x = 5;
  press.y = 5;
  press.ms = gfx::IModifierState(true);
  g->OnMouseDown({press});
}
