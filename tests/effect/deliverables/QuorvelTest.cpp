#include "effect/deliverables/Quorvel.h"

#include "effect/engine/QuorvelEngine.h"
#include "effect/plugin/FactoryPresets.h"
#include "effect/plugin/StateBlock.h"
#include "tests/support/core/AllocationCounter.h"
#include "tests/support/core/HeapAllocationFault.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quorvel
{
namespace
{

using Call = test::PluginTestAdapter::Call;
using Channels = std::vector<std::vector<float>>;

// The effect with a stand-in editor graphics context.
class TestEffect : public Quorvel
{
public:
  TestEffect() : Quorvel(QuorvelInstanceInfo{}) {}

  class Graphics : public EditorFitTarget
  {
  public:
    explicit Graphics(TestEffect& owner) : mOwner(owner) {}
    int NControls() const override { return controls; }
    float GetWindowDpiScale() const override { return dpi; }
    void Resize(int width, int height, float scale, bool platform) override
    {
      resizes.push_back({width, height, scale, platform});
      // The host answers a platform resize with a resize of its own window.
      if (platform)
        mOwner.OnHostWindowResized(static_cast<int>(width * scale * dpi),
                                   static_cast<int>(height * scale * dpi));
    }
    struct Resize_
    {
      int width, height;
      float scale;
      bool platform;
    };
    float dpi = 1.0f;
    int controls = 20;
    std::vector<Resize_> resizes;

  private:
    TestEffect& mOwner;
  };

  std::unique_ptr<Graphics> graphics;

protected:
  EditorFitTarget* GetEditorFitTarget() override { return graphics.get(); }
};

EngineParams CurrentValues(const Quorvel& q)
{
  EngineParams v;
  for (int i = 0; i < kParamCount; ++i)
    v[i] = static_cast<float>(q.GetParam(i)->Value());
  return v;
}

EngineParams PresetValues(int k)
{
  EngineParams v;
  for (int i = 0; i < kParamCount; ++i)
    v[i] = FactoryPresetTable()[k].values[i];
  return v;
}

void ExpectValues(const EngineParams& actual, const EngineParams& expected, const char* what)
{
  for (int i = 0; i < kParamCount; ++i)
    EXPECT_EQ(actual[i], expected[i]) << what << " " << kParamTable[i].key;
}

std::vector<uint8_t> Bytes(const iplug::StateChunk& chunk)
{
  const uint8_t* data = static_cast<const uint8_t*>(chunk.GetData());
  return std::vector<uint8_t>(data, data + chunk.GetSize());
}

iplug::StateChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
  iplug::StateChunk chunk;
  if (!bytes.empty()) chunk.PutBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
  return chunk;
}

template <typename T> T At(const std::vector<uint8_t>& bytes, size_t offset)
{
  T v;
  std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

// ---------------------------------------------------------------------------------------------------------
// Configuration and parameters

TEST(QuorvelConfig, DeclaresIdentityChannelsLatencyAndEditorLimits)
{
  TestEffect q;
  EXPECT_STREQ(q.GetPluginName(), "Quorvel");
  EXPECT_STREQ(q.GetProductName(), "Quorvel");
  EXPECT_STREQ(q.GetMakerName(), "KELDRIMAX");
  EXPECT_EQ(q.GetPluginVersion(true), 201);
  EXPECT_EQ(q.GetUniqueID(), ('Q' << 24) | ('v' << 16) | ('r' << 8) | 'l');
  EXPECT_EQ(q.GetMakerID(), ('K' << 24) | ('d' << 16) | ('m' << 8) | 'x');
  EXPECT_EQ(q.GetLatency(), kLatencySamples);
  EXPECT_FALSE(q.DoesMidiIn());
  EXPECT_FALSE(q.DoesMidiOut());
  EXPECT_EQ(q.NParams(), 14);
  EXPECT_EQ(q.NPresets(), 12);
  EXPECT_EQ(q.NChannelLayouts(), 2); // mono and stereo
  EXPECT_EQ(q.NChannels(iplug::kInput), 2);
  EXPECT_EQ(q.NChannels(iplug::kOutput), 2);
  EXPECT_TRUE(q.HasEditor());
  EXPECT_TRUE(q.HostCanResizeEditor());
  EXPECT_EQ(q.GetEditorWidth(), 980);
  EXPECT_EQ(q.GetEditorHeight(), 650);
  EXPECT_EQ(q.GetMinWidth(), 326);
  EXPECT_EQ(q.GetMaxWidth(), 2940);
  EXPECT_EQ(q.GetMinHeight(), 216);
  EXPECT_EQ(q.GetMaxHeight(), 1950);
}

TEST(QuorvelConfig, ParametersAreDeclaredAsTabled)
{
  struct Expected
  {
    const char* name;
    iplug::ParamType type;
    double step;
    const char* label;
    int curveHint; // 0 linear, 4 for the square-law cut-off knobs
  };
  const Expected table[kParamCount] = {
      {"Saturation Model", iplug::kTypeEnum, 1, "", 0},
      {"Drive", iplug::kTypeDouble, 0.01, "dB", 0},
      {"Input Trim", iplug::kTypeDouble, 0.01, "dB", 0},
      {"Output Trim", iplug::kTypeDouble, 0.01, "dB", 0},
      {"Tone", iplug::kTypeDouble, 0.1, "%", 0},
      {"Wet Mix", iplug::kTypeDouble, 0.1, "%", 0},
      {"Bias / Asymmetry", iplug::kTypeDouble, 0.1, "%", 0},
      {"Dynamics / Sag", iplug::kTypeDouble, 0.1, "%", 0},
      {"Wet Low Cut", iplug::kTypeDouble, 0.1, "Hz", 4},
      {"Wet High Cut", iplug::kTypeDouble, 1, "Hz", 4},
      {"Bass Protect", iplug::kTypeDouble, 0.1, "%", 0},
      {"Auto Gain", iplug::kTypeBool, 1, "", 0},
      {"Soft Ceiling", iplug::kTypeBool, 1, "", 0},
      {"Bypass", iplug::kTypeBool, 1, "", 0},
  };
  TestEffect q;
  for (int i = 0; i < kParamCount; ++i)
  {
    const iplug::IParam& p = *q.GetParam(i);
    SCOPED_TRACE(table[i].name);
    EXPECT_STREQ(p.GetName(), table[i].name);
    EXPECT_EQ(p.Type(), table[i].type);
    EXPECT_EQ(p.GetMin(), EngineParams::kMinima[i]);
    EXPECT_EQ(p.GetMax(), EngineParams::kMaxima[i]);
    EXPECT_EQ(p.GetDefault(), EngineParams::kDefaults[i]);
    EXPECT_EQ(p.Value(), EngineParams::kDefaults[i]);
    EXPECT_DOUBLE_EQ(p.GetStep(), table[i].step);
    EXPECT_STREQ(p.GetLabel(), table[i].label);
    EXPECT_STREQ(p.GetGroup(), "");
    EXPECT_EQ(p.GetUnit(), 21);
    EXPECT_EQ(p.GetDisplayCurveHint(), table[i].curveHint);
    const bool stepped = table[i].type != iplug::kTypeDouble;
    EXPECT_EQ(p.GetFlags(), stepped ? 2 : 0);
  }
  const char* models[] = {"Tube", "Transformer", "Tape", "Germanium Fuzz", "Silicon Fuzz", "Diode Clip"};
  ASSERT_EQ(q.GetParam(EngineParams::kModel)->CaptionCount(), 6);
  for (int m = 0; m < 6; ++m)
    EXPECT_STREQ(q.GetParam(EngineParams::kModel)->FindCaption(m), models[m]);
  for (int b = EngineParams::kAutoGain; b <= EngineParams::kBypass; ++b)
  {
    EXPECT_STREQ(q.GetParam(b)->FindCaption(0), "off");
    EXPECT_STREQ(q.GetParam(b)->FindCaption(1), "on");
  }
  // Square-law cut-off knobs: the middle of the travel is a quarter of the range.
  EXPECT_NEAR(q.GetParam(EngineParams::kLowCut)->FromNormalized(0.5), 20 + 0.25 * 280, 1e-9);
}

// ---------------------------------------------------------------------------------------------------------
// State block

TEST(QuorvelState, DefaultBlockIsAppendedFieldByField)
{
  TestEffect q;
  iplug::StateChunk chunk = ChunkOf({'a', 'b', 'c'});
  ASSERT_TRUE(q.SerializeState(chunk));
  const std::vector<uint8_t> bytes = Bytes(chunk);
  ASSERT_EQ(bytes.size(), 3u + 128u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "abc") << "the block goes at the end";
  EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 7), "QVKX");
  EXPECT_EQ(At<int32_t>(bytes, 3 + 4), 1);
  for (int i = 0; i < kParamCount; ++i)
  {
    EXPECT_EQ(At<float>(bytes, 3 + 8 + 4 * i), EngineParams::kDefaults[i])
        << "current " << kParamTable[i].key;
    EXPECT_EQ(At<float>(bytes, 3 + 64 + 4 * i), EngineParams::kDefaults[i]) << "other " << kParamTable[i].key;
  }
  EXPECT_EQ(At<int32_t>(bytes, 3 + 120), 0);
  EXPECT_EQ(At<int32_t>(bytes, 3 + 124), 0);
}

TEST(QuorvelState, EveryPresetRoundTripsThroughItsStoredChunkAndTheStateBlock)
{
  TestEffect source;
  for (int k = 0; k < kFactoryPresetCount; ++k)
  {
    SCOPED_TRACE(FactoryPresetTable()[k].name);
    ASSERT_TRUE(source.IsPresetInitialized(k));
    EXPECT_STREQ(source.GetPresetName(k), FactoryPresetTable()[k].name);
    const iplug::StateChunk& stored = *source.GetPresetChunk(k);
    ASSERT_EQ(stored.GetSize(), kStateBlockSize);

    TestEffect fromPreset;
    ASSERT_EQ(fromPreset.UnserializeState(stored, 0), kStateBlockSize);
    ExpectValues(CurrentValues(fromPreset), PresetValues(k), "preset chunk current");
    ExpectValues(fromPreset.GetOtherSlot(), PresetValues(k), "preset chunk other");
    EXPECT_EQ(fromPreset.GetPresetIndex(), k);
    EXPECT_EQ(fromPreset.GetActiveSlot(), 0);

    source.RestoreFactoryPreset(k);
    iplug::StateChunk saved;
    ASSERT_TRUE(source.SerializeState(saved));
    TestEffect restored;
    ASSERT_EQ(restored.UnserializeState(saved, 0), kStateBlockSize);
    ExpectValues(CurrentValues(restored), CurrentValues(source), "saved current");
    ExpectValues(restored.GetOtherSlot(), source.GetOtherSlot(), "saved other");
    EXPECT_EQ(restored.GetPresetIndex(), k);
    EXPECT_STREQ(restored.GetPresetMenuText(), FactoryPresetTable()[k].name);
  }
}

// A setting that differs from a fresh object everywhere it can: values, other slot, preset, slot B.
void MakeDistinctState(TestEffect& q)
{
  q.RestoreFactoryPreset(4);
  q.CopyToOtherSlot();
  q.RestoreFactoryPreset(9);
  q.SwapComparisonSlots();
  q.GetParam(EngineParams::kDrive)->Set(17.25);
  q.records.clear();
}

TEST(QuorvelState, RefusedStatesChangeNothingAndReturnMinusOne)
{
  TestEffect reference;
  reference.RestoreFactoryPreset(2);
  iplug::StateChunk goodChunk;
  ASSERT_TRUE(reference.SerializeState(goodChunk));
  const std::vector<uint8_t> good = Bytes(goodChunk);

  struct Case
  {
    std::string what;
    std::vector<uint8_t> bytes;
    int start;
  };
  std::vector<Case> cases;
  auto variant = [&](const std::string& what, auto change)
  {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    cases.push_back({what, bytes, 0});
  };
  auto put = [](std::vector<uint8_t>& b, size_t offset, auto v)
  { std::memcpy(b.data() + offset, &v, sizeof v); };
  variant("127 bytes", [](auto& b) { b.pop_back(); });
  variant("version 2", [&](auto& b) { put(b, 4, int32_t{2}); });
  variant("preset 12", [&](auto& b) { put(b, 120, int32_t{12}); });
  variant("preset -1", [&](auto& b) { put(b, 120, int32_t{-1}); });
  variant("slot 2", [&](auto& b) { put(b, 124, int32_t{2}); });
  variant("drive 36.5", [&](auto& b) { put(b, 8 + 4 * EngineParams::kDrive, 36.5f); });
  variant("other drive 36.5", [&](auto& b) { put(b, 64 + 4 * EngineParams::kDrive, 36.5f); });
  variant("drive NaN", [&](auto& b) { put(b, 8 + 4 * EngineParams::kDrive, std::nanf("")); });
  variant("other drive NaN", [&](auto& b) { put(b, 64 + 4 * EngineParams::kDrive, std::nanf("")); });
  variant("neither block nor XML", [](auto& b) { b[0] = 'X'; });
  cases.push_back({"XML that does not parse", {'V', 'C', '2', '!', 5, 0, 0, 0, '<', 'Q', '/', '>', ' '}, 0});
  cases.push_back({"3 bytes", {'Q', 'V', 'K'}, 0});
  cases.push_back({"empty chunk", {}, 0});
  cases.push_back({"negative start", good, -1});
  cases.push_back({"start one past a whole block", good, 1});
  cases.push_back({"start at the end", good, 128});
  cases.push_back({"start far beyond the end", good, std::numeric_limits<int>::max()});

  TestEffect q;
  MakeDistinctState(q);
  const EngineParams current = CurrentValues(q);
  const EngineParams other = q.GetOtherSlot();
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(q.UnserializeState(ChunkOf(c.bytes), c.start), -1);
    ExpectValues(CurrentValues(q), current, "current");
    ExpectValues(q.GetOtherSlot(), other, "other");
    EXPECT_EQ(q.GetPresetIndex(), 9);
    EXPECT_EQ(q.GetActiveSlot(), 1);
    EXPECT_TRUE(q.records.empty()) << "a refused state must not notify anyone";
    q.records.clear();
  }
}

TEST(QuorvelState, ReadsFromAnyPositionAndFallsBackToXml)
{
  TestEffect source;
  MakeDistinctState(source);
  iplug::StateChunk chunk = ChunkOf({1, 2, 3});
  ASSERT_TRUE(source.SerializeState(chunk));
  chunk.PutBytes("tail", 4);

  {
    SCOPED_TRACE("block at offset 3, followed by other data");
    TestEffect q;
    ASSERT_EQ(q.UnserializeState(chunk, 3), 3 + kStateBlockSize);
    ExpectValues(CurrentValues(q), CurrentValues(source), "current");
    ExpectValues(q.GetOtherSlot(), source.GetOtherSlot(), "other");
    EXPECT_EQ(q.GetPresetIndex(), 9);
    EXPECT_EQ(q.GetActiveSlot(), 1);
    // Restoring a state updates the editor and the plug-in but never reports edits to the host.
    int toEditor = 0, presetChanges = 0;
    for (const auto& r : q.records)
    {
      EXPECT_NE(r.call, Call::kBeginEdit);
      EXPECT_NE(r.call, Call::kSendToHost);
      toEditor += r.call == Call::kValueToEditor;
      presetChanges += (r.call == Call::kParamChange && r.value == static_cast<double>(iplug::kPresetRecall));
    }
    EXPECT_EQ(toEditor, kParamCount);
    EXPECT_EQ(presetChanges, kParamCount);
  }
  {
    SCOPED_TRACE("XML form at offset 2");
    std::string doc = "<QuorvelState program=\"5\" showingB=\"1\" alt_drive=\"3\">";
    for (int k = 0; k < kParamCount; ++k)
      doc += std::string("<PARAM id=\"") + kParamTable[k].key + "\" value=\"" +
             std::to_string(PresetValues(7)[k]) + "\"/>";
    doc += "</QuorvelState>";
    std::vector<uint8_t> bytes = {0, 0, 'V', 'C', '2', '!', 0, 0, 0, 0};
    const uint32_t length = static_cast<uint32_t>(doc.size());
    std::memcpy(bytes.data() + 6, &length, 4);
    bytes.insert(bytes.end(), doc.begin(), doc.end());
    bytes.push_back(0);
    TestEffect q;
    ASSERT_EQ(q.UnserializeState(ChunkOf(bytes), 2), static_cast<int>(bytes.size()));
    ExpectValues(CurrentValues(q), PresetValues(7), "xml current");
    EngineParams other = PresetValues(7);
    other[EngineParams::kDrive] = 3;
    ExpectValues(q.GetOtherSlot(), other, "xml other");
    EXPECT_EQ(q.GetPresetIndex(), 5);
    EXPECT_EQ(q.GetActiveSlot(), 1);
    EXPECT_STREQ(q.GetPresetMenuText(), "Custom") << "index 5 but the values of preset 7";
  }
  {
    SCOPED_TRACE("a model of 2.4 is valid and lands on a whole model");
    std::vector<uint8_t> bytes = Bytes(chunk);
    const float model = 2.4f;
    std::memcpy(bytes.data() + 3 + 8, &model, 4);
    TestEffect q;
    ASSERT_EQ(q.UnserializeState(ChunkOf(bytes), 3), 3 + kStateBlockSize);
    EXPECT_EQ(q.GetParam(EngineParams::kModel)->Value(), 2.0);
  }
}

TEST(QuorvelState, WritingReportsAChunkThatCannotGrow)
{
  TestEffect q;
  iplug::StateChunk chunk;
  {
    test::HeapAllocationFault fault(0);
    EXPECT_FALSE(q.SerializeState(chunk));
  }
  EXPECT_EQ(chunk.GetSize(), 0) << "nothing half-written";
  EXPECT_TRUE(q.SerializeState(chunk));
  EXPECT_EQ(chunk.GetSize(), kStateBlockSize);
}

TEST(QuorvelState, PresetsWhoseChunkFailedAreNotRegistered)
{
  // Registering the presets is the last thing construction allocates for: two container blocks per
  // preset (its block, then the slot's copy). Failing the block of each preset in turn (and every
  // allocation after it) must leave the presets before it registered whole and the rest empty.
  int attempts = 0;
  {
    test::HeapAllocationFault counting(-1);
    TestEffect q;
    attempts = counting.Attempts();
  }
  const int presetAllocations = 2 * kFactoryPresetCount;
  ASSERT_GT(attempts, presetAllocations);
  for (int allowed = attempts - presetAllocations; allowed < attempts; allowed += 2)
  {
    SCOPED_TRACE(testing::Message() << "failing from allocation " << allowed << " of " << attempts);
    std::unique_ptr<TestEffect> q;
    {
      test::HeapAllocationFault fault(allowed);
      q = std::make_unique<TestEffect>();
    }
    const int expectedRegistered = (allowed - (attempts - presetAllocations)) / 2;
    int registered = 0;
    for (int k = 0; k < q->NPresets(); ++k)
    {
      if (!q->IsPresetInitialized(k)) continue;
      ++registered;
      EXPECT_EQ(q->GetPresetChunk(k)->GetSize(), kStateBlockSize) << "preset " << k;
      EXPECT_STREQ(q->GetPresetName(k), FactoryPresetTable()[k].name);
    }
    EXPECT_EQ(registered, expectedRegistered);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Presets and A/B comparison

TEST(QuorvelPresets, RestoreAppliesValuesWithCompleteHostEditsThenPresetNotifications)
{
  TestEffect q;
  q.RestoreFactoryPreset(3);
  EXPECT_EQ(q.GetParam(EngineParams::kModel)->Value(), 3.0);
  EXPECT_STREQ(q.GetParam(EngineParams::kModel)->FindCaption(q.GetParam(EngineParams::kModel)->Value()),
               "Germanium Fuzz");
  EXPECT_EQ(q.GetParam(EngineParams::kDrive)->Value(), 20.0);
  ExpectValues(CurrentValues(q), PresetValues(3), "current");
  EXPECT_EQ(q.GetPresetIndex(), 3);
  ExpectValues(q.GetOtherSlot(), EngineParams{}, "other slot stays at the defaults");

  ASSERT_EQ(q.records.size(), static_cast<size_t>(kParamCount * 6));
  for (int i = 0; i < kParamCount; ++i)
  {
    SCOPED_TRACE(kParamTable[i].key);
    const auto* r = &q.records[4 * i];
    const double normalized = q.GetParam(i)->GetNormalized();
    EXPECT_EQ(r[0].call, Call::kBeginEdit);
    EXPECT_EQ(r[1].call, Call::kSendToHost);
    EXPECT_DOUBLE_EQ(r[1].value, normalized);
    EXPECT_EQ(r[2].call, Call::kEndEdit);
    EXPECT_EQ(r[3].call, Call::kValueToEditor);
    EXPECT_DOUBLE_EQ(r[3].value, normalized);
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(r[j].index, i);
    const auto* n = &q.records[4 * kParamCount + 2 * i];
    EXPECT_EQ(n[0].call, Call::kParamChange);
    EXPECT_EQ(n[1].call, Call::kParamChangeInEditor);
    EXPECT_EQ(n[0].index, i);
    EXPECT_EQ(n[0].value, static_cast<double>(iplug::kPresetRecall));
    EXPECT_EQ(n[1].value, static_cast<double>(iplug::kPresetRecall));
  }

  q.records.clear();
  q.RestoreFactoryPreset(12);
  q.RestoreFactoryPreset(-1);
  q.RestoreFactoryPreset(std::numeric_limits<int>::min());
  EXPECT_TRUE(q.records.empty());
  EXPECT_EQ(q.GetPresetIndex(), 3);
  ExpectValues(CurrentValues(q), PresetValues(3), "unchanged");
}

TEST(QuorvelPresets, MenuShowsThePresetNameUntilAValueMovesMoreThanAThousandth)
{
  TestEffect q;
  EXPECT_STREQ(q.GetPresetMenuText(), "Custom") << "defaults are not preset 0";
  q.RestoreFactoryPreset(2);
  EXPECT_STREQ(q.GetPresetMenuText(), "03 - Iron Bass");
  q.GetParam(EngineParams::kDrive)->Set(14.0009);
  EXPECT_STREQ(q.GetPresetMenuText(), "03 - Iron Bass");
  q.GetParam(EngineParams::kDrive)->Set(14.0011);
  EXPECT_STREQ(q.GetPresetMenuText(), "Custom");
  q.GetParam(EngineParams::kDrive)->Set(14.0);
  EXPECT_STREQ(q.GetPresetMenuText(), "03 - Iron Bass");
  q.GetParam(EngineParams::kModel)->Set(2);
  EXPECT_STREQ(q.GetPresetMenuText(), "Custom");
}

TEST(QuorvelComparison, CopySwapAndBothSavedBlocksReadBack)
{
  TestEffect q;
  {
    SCOPED_TRACE("copy then swap: same values, other slot");
    q.RestoreFactoryPreset(1);
    q.CopyToOtherSlot();
    ExpectValues(q.GetOtherSlot(), PresetValues(1), "other after copy");
    EXPECT_EQ(q.GetActiveSlot(), 0);
    q.SwapComparisonSlots();
    ExpectValues(CurrentValues(q), PresetValues(1), "current after swap");
    EXPECT_EQ(q.GetActiveSlot(), 1);
    q.SwapComparisonSlots();
    EXPECT_EQ(q.GetActiveSlot(), 0);
  }

  q.RestoreFactoryPreset(8);
  const EngineParams a = CurrentValues(q);
  const EngineParams b = PresetValues(1);
  iplug::StateChunk savedA, savedB;
  ASSERT_TRUE(q.SerializeState(savedA));

  q.SwapComparisonSlots();
  ExpectValues(CurrentValues(q), b, "B audible");
  ExpectValues(q.GetOtherSlot(), a, "A waiting");
  EXPECT_EQ(q.GetActiveSlot(), 1);
  EXPECT_EQ(q.GetPresetIndex(), 8) << "swapping leaves the preset index";
  ASSERT_TRUE(q.SerializeState(savedB));
  EXPECT_EQ(At<int32_t>(Bytes(savedB), 124), 1) << "the stored slot must be 0 or 1";

  q.SwapComparisonSlots();
  ExpectValues(CurrentValues(q), a, "swapping twice restores the values");
  ExpectValues(q.GetOtherSlot(), b, "and the other slot");
  EXPECT_EQ(q.GetActiveSlot(), 0);
  iplug::StateChunk savedAfterTwoSwaps;
  ASSERT_TRUE(q.SerializeState(savedAfterTwoSwaps));
  EXPECT_EQ(Bytes(savedAfterTwoSwaps), Bytes(savedA));

  for (const auto& [chunk, slot, current, other] :
       {std::tuple{&savedA, 0, a, b}, std::tuple{&savedB, 1, b, a}})
  {
    SCOPED_TRACE(slot ? "block saved on B" : "block saved on A");
    TestEffect r;
    ASSERT_EQ(r.UnserializeState(*chunk, 0), kStateBlockSize);
    EXPECT_EQ(r.GetActiveSlot(), slot);
    ExpectValues(CurrentValues(r), current, "current");
    ExpectValues(r.GetOtherSlot(), other, "other");
    r.SwapComparisonSlots();
    ExpectValues(CurrentValues(r), other, "after swapping the restored object");
  }
}

TEST(QuorvelComparison, TheOtherSlotIsReadWithTheRulesOfTheCurrentValues)
{
  // A hand-made block: a half-on Bypass and a fractional model in slot B.
  StateBlock block;
  block.other[EngineParams::kBypass] = 0.5f;
  block.other[EngineParams::kModel] = 2.4f;
  block.other[EngineParams::kDrive] = 12.345f;
  uint8_t bytes[kStateBlockSize];
  EncodeStateBlock(block, bytes);
  TestEffect q;
  ASSERT_EQ(q.UnserializeState(ChunkOf(std::vector<uint8_t>(bytes, bytes + kStateBlockSize)), 0),
            kStateBlockSize);
  EXPECT_EQ(q.GetOtherSlot()[EngineParams::kBypass], 1.0f) << "a whole step, as the current value would be";
  EXPECT_EQ(q.GetOtherSlot()[EngineParams::kModel], 2.0f);
  EXPECT_EQ(q.GetOtherSlot()[EngineParams::kDrive], 12.345f) << "continuous values are kept as stored";
  iplug::StateChunk saved;
  ASSERT_TRUE(q.SerializeState(saved));
  EXPECT_EQ(At<float>(Bytes(saved), kStateOffsetOther + 4 * EngineParams::kBypass), 1.0f);
}

TEST(QuorvelComparison, NaNIsAppliedAsTheMinimumAndNeverStored)
{
  TestEffect q;
  EngineParams values = PresetValues(0);
  values[EngineParams::kDrive] = std::numeric_limits<float>::quiet_NaN();
  values[EngineParams::kTone] = std::numeric_limits<float>::infinity();
  values[EngineParams::kHighCut] = -std::numeric_limits<float>::infinity();
  q.ApplyValues(values, false);
  EXPECT_EQ(q.GetParam(EngineParams::kDrive)->Value(), 0.0);
  EXPECT_EQ(q.GetParam(EngineParams::kTone)->Value(), 100.0);
  EXPECT_EQ(q.GetParam(EngineParams::kHighCut)->Value(), 2000.0);
  iplug::StateChunk chunk;
  ASSERT_TRUE(q.SerializeState(chunk));
  TestEffect r;
  EXPECT_EQ(r.UnserializeState(chunk, 0), kStateBlockSize);
}

// ---------------------------------------------------------------------------------------------------------
// Audio

Channels TestSignal(int channels, int frames, int seed = 0)
{
  Channels in(channels, std::vector<float>(frames));
  for (int c = 0; c < channels; ++c)
    for (int n = 0; n < frames; ++n)
      in[c][n] = 0.5f * std::sin(0.0577f * (n + 1) * (c + 1) + seed) + 0.1f * std::sin(0.31f * n);
  return in;
}

// Runs one host block straight into ProcessBlock, the way the adapter's ProcessHostBuffers does.
Channels RunBlock(Quorvel& q, Channels in, int outputs, int frames, float prefill = 7.0f)
{
  Channels out(outputs, std::vector<float>(frames, prefill));
  std::vector<float*> inPtr, outPtr;
  for (auto& c : in)
    inPtr.push_back(c.data());
  for (auto& c : out)
    outPtr.push_back(c.data());
  q.ProcessBlock(in.empty() ? nullptr : inPtr.data(), out.empty() ? nullptr : outPtr.data(), frames);
  return out;
}

bool AllZero(const std::vector<float>& v)
{
  for (float x : v)
    if (x != 0.0f) return false;
  return true;
}

float Peak(const std::vector<float>& v)
{
  float p = 0;
  for (float x : v)
    p = std::max(p, std::fabs(x));
  return p;
}

TEST(QuorvelProcess, SilentUntilPreparedAndAfterDeactivation)
{
  TestEffect q;
  const Channels in = TestSignal(2, 300);
  Channels out = RunBlock(q, in, 2, 300);
  EXPECT_TRUE(AllZero(out[0]) && AllZero(out[1])) << "before the first reset";

  q.OnActivate(true);
  out = RunBlock(q, in, 2, 300);
  EXPECT_GT(Peak(out[0]), 0.01f);
  EXPECT_GT(Peak(out[1]), 0.01f);

  q.OnActivate(false);
  out = RunBlock(q, in, 2, 300);
  EXPECT_TRUE(AllZero(out[0]) && AllZero(out[1])) << "after deactivation";
}

TEST(QuorvelProcess, ZeroFramesDoNothingNotEvenTheParameterCopy)
{
  TestEffect q;
  q.OnReset();
  q.GetParam(EngineParams::kDrive)->Set(30);
  Channels out = RunBlock(q, TestSignal(2, 4), 2, 0);
  EXPECT_EQ(q.GetEngineHolder().GetEngine().GetParams()[EngineParams::kDrive], 8.0f);
  RunBlock(q, TestSignal(2, 4), 2, 4);
  EXPECT_EQ(q.GetEngineHolder().GetEngine().GetParams()[EngineParams::kDrive], 30.0f) << "copied every block";
}

TEST(QuorvelProcess, LongBlocksEqualTheSameAudioInEngineSizedBlocks)
{
  TestEffect whole, split;
  whole.RestoreFactoryPreset(5);
  split.RestoreFactoryPreset(5);
  whole.OnReset();
  split.OnReset();
  const Channels in = TestSignal(2, 1300);
  const Channels outWhole = RunBlock(whole, in, 2, 1300);
  Channels outSplit(2);
  for (auto [offset, n] : {std::pair{0, 512}, std::pair{512, 512}, std::pair{1024, 276}})
  {
    Channels part(2);
    for (int c = 0; c < 2; ++c)
      part[c].assign(in[c].begin() + offset, in[c].begin() + offset + n);
    const Channels o = RunBlock(split, part, 2, n);
    for (int c = 0; c < 2; ++c)
      outSplit[c].insert(outSplit[c].end(), o[c].begin(), o[c].end());
  }
  EXPECT_EQ(outWhole, outSplit);
  EXPECT_GT(Peak(outWhole[0]), 0.01f);
}

TEST(QuorvelProcess, ChannelCountsFollowTheConnectedInputs)
{
  const int n = 700;
  const Channels stereoIn = TestSignal(2, n);
  const Channels monoIn = {stereoIn[0]};

  TestEffect stereoRef;
  stereoRef.OnReset();
  const Channels stereoOut = RunBlock(stereoRef, stereoIn, 2, n);

  TestEffect monoRef;
  monoRef.ConnectChannels(1, 1);
  monoRef.OnReset();
  const Channels monoOut = RunBlock(monoRef, monoIn, 1, n);
  ASSERT_GT(Peak(monoOut[0]), 0.01f);

  {
    SCOPED_TRACE("one input, two outputs: mono engine, second output silent");
    TestEffect q;
    q.ConnectChannels(1, 2);
    q.OnReset();
    const Channels out = RunBlock(q, monoIn, 2, n);
    EXPECT_EQ(out[0], monoOut[0]);
    EXPECT_TRUE(AllZero(out[1]));
  }
  {
    SCOPED_TRACE("three inputs: the first two are used");
    TestEffect q;
    q.ConnectChannels(3, 2);
    q.OnReset();
    Channels in = stereoIn;
    in.push_back(TestSignal(1, n, 5)[0]);
    EXPECT_EQ(RunBlock(q, in, 2, n), stereoOut);
  }
  {
    SCOPED_TRACE("no input: one engine channel on silence, further outputs zero");
    TestEffect silentRef;
    silentRef.ConnectChannels(1, 1);
    silentRef.OnReset();
    const Channels expected = RunBlock(silentRef, {std::vector<float>(n, 0.0f)}, 1, n);
    TestEffect q;
    q.ConnectChannels(0, 2);
    q.OnReset();
    const Channels out = RunBlock(q, {}, 2, n);
    EXPECT_EQ(out[0], expected[0]);
    EXPECT_TRUE(AllZero(out[1]));
  }
  {
    SCOPED_TRACE("a change of inputs between blocks re-prepares the engine on the audio thread");
    TestEffect q;
    q.OnReset();
    RunBlock(q, stereoIn, 2, n);
    q.ConnectChannels(1, 1);
    const Channels out = RunBlock(q, monoIn, 1, n);
    EXPECT_EQ(out[0], monoOut[0]) << "history cleared, as in a freshly prepared mono engine";
  }
}

TEST(QuorvelProcess, BlocksAllocateNothing)
{
  TestEffect q;
  q.OnReset();
  const Channels stereo = TestSignal(2, 2000);
  const Channels mono = {stereo[0]};
  Channels out(2, std::vector<float>(2000));
  float* in2[] = {const_cast<float*>(stereo[0].data()), const_cast<float*>(stereo[1].data())};
  float* in1[] = {const_cast<float*>(mono[0].data())};
  float* out2[] = {out[0].data(), out[1].data()};
  q.RestoreFactoryPreset(7);

  const long before = test::GlobalAllocationCount();
  test::HeapAllocationFault containers(-1);
  q.ProcessBlock(in2, out2, 2000);
  q.ConnectChannels(1, 2); // forces a re-preparation inside the next block
  q.ProcessBlock(in1, out2, 1999);
  q.ProcessBlock(in1, out2, 1);
  const long allocations = test::GlobalAllocationCount() - before;
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(containers.Attempts(), 0);
}

TEST(QuorvelProcess, ResetPreparesTheEngineForTheRateAndTheConnectedInputs)
{
  TestEffect q;
  const QuorvelEngine& engine = q.GetEngineHolder().GetEngine();
  q.GetParam(EngineParams::kDrive)->Set(12);
  q.SetSampleRate(44100);
  q.OnReset();
  EXPECT_EQ(engine.GetSampleRate(), 44100.0);
  EXPECT_EQ(engine.GetChannels(), 2);
  EXPECT_EQ(q.GetEngineHolder().GetEngine().GetParams()[EngineParams::kDrive], 12.0f)
      << "copied before preparing";

  for (double unusable : {0.0, -44100.0})
  {
    q.SetSampleRate(unusable);
    q.OnActivate(true);
    EXPECT_EQ(engine.GetSampleRate(), 48000.0) << unusable;
  }

  q.SetSampleRate(96000);
  for (auto [inputs, channels] : {std::pair{1, 1}, std::pair{0, 1}, std::pair{2, 2}, std::pair{3, 2}})
  {
    q.ConnectChannels(inputs, 2);
    q.OnReset();
    EXPECT_EQ(engine.GetChannels(), channels) << inputs << " connected inputs";
    EXPECT_EQ(engine.GetSampleRate(), 96000.0);
  }
}

TEST(QuorvelProcess, LatencyIsReportedWithoutRepeatedAnnouncements)
{
  TestEffect q;
  q.OnReset();
  q.OnActivate(true);
  q.OnActivate(false);
  q.OnActivate(true);
  q.OnReset();
  EXPECT_EQ(q.GetLatency(), 61);
  EXPECT_EQ(q.latencyAnnouncements, 0) << "an unchanged latency must not be announced again";

  // A base that somehow lost the latency gets it announced once.
  q.iplug::IPlugProcessor::SetLatency(0);
  q.OnReset();
  q.OnReset();
  EXPECT_EQ(q.GetLatency(), 61);
  EXPECT_EQ(q.latencyAnnouncements, 1);
}

// ---------------------------------------------------------------------------------------------------------
// Editor window and creation

TEST(QuorvelEditor, HostWindowResizesKeepTheSizeAndFitTheScale)
{
  TestEffect q;
  q.OnHostWindowResized(1470, 975); // no editor open: nothing happens
  q.graphics = std::make_unique<TestEffect::Graphics>(q);
  auto& g = *q.graphics;

  q.OnHostWindowResized(1470, 975);
  q.OnHostWindowResized(1000, 650);
  ASSERT_EQ(g.resizes.size(), 2u);
  EXPECT_FLOAT_EQ(g.resizes[0].scale, 1.5f);
  EXPECT_FALSE(g.resizes[0].platform);
  EXPECT_FLOAT_EQ(g.resizes[1].scale, 1.0f);
  EXPECT_FALSE(g.resizes[1].platform);

  // These snap the window back; the host's answer arrives from inside the resize and is ignored.
  g.resizes.clear();
  q.OnHostWindowResized(1960, 1300);
  q.OnHostWindowResized(490, 325);
  g.dpi = 2.0f;
  q.OnHostWindowResized(980, 650);
  ASSERT_EQ(g.resizes.size(), 3u);
  for (const auto& [resize, scale] :
       {std::pair{g.resizes[0], 1.5f}, std::pair{g.resizes[1], 0.92f}, std::pair{g.resizes[2], 0.92f}})
  {
    EXPECT_EQ(resize.width, 980);
    EXPECT_EQ(resize.height, 650);
    EXPECT_FLOAT_EQ(resize.scale, scale);
    EXPECT_TRUE(resize.platform);
  }

  // Nothing to fit: a window of no size, a window scale that is not usable, an editor without controls.
  g.resizes.clear();
  q.OnHostWindowResized(0, 650);
  q.OnHostWindowResized(980, -1);
  g.dpi = std::numeric_limits<float>::quiet_NaN();
  q.OnHostWindowResized(980, 650);
  g.dpi = 0.0f;
  q.OnHostWindowResized(980, 650);
  g.dpi = 1.0f;
  g.controls = 0;
  q.OnHostWindowResized(980, 650);
  EXPECT_TRUE(g.resizes.empty());
}

TEST(QuorvelFactory, CreatesOneInstanceAtATimeAndReportsExhaustedMemory)
{
  std::vector<std::unique_ptr<Quorvel>> made(4);
  std::vector<std::thread> threads;
  test::PluginTestAdapter::maxConcurrentConstructions = 0;
  test::PluginTestAdapter::slowConstruction = true;
  for (auto& slot : made)
    threads.emplace_back([&slot] { slot.reset(CreatePluginInstance(QuorvelInstanceInfo{})); });
  for (auto& t : threads)
    t.join();
  test::PluginTestAdapter::slowConstruction = false;
  EXPECT_EQ(test::PluginTestAdapter::maxConcurrentConstructions, 1) << "constructions overlapped";
  for (auto& q : made)
  {
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->NParams(), kParamCount);
    EXPECT_TRUE(q->IsPresetInitialized(11));
  }

  test::GlobalNewFailure failure(0);
  EXPECT_EQ(CreatePluginInstance(QuorvelInstanceInfo{}), nullptr);
}

} // namespace
} // namespace quorvel
