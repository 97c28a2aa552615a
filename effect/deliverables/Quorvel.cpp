#include "effect/deliverables/Quorvel.h"

#include "effect/editor/EditorLayout.h"
#include "effect/engine/QuorvelEngine.h"
#include "effect/plugin/FactoryPresets.h"
#include "effect/plugin/MakerInfo.h"
#include "effect/plugin/StateBlock.h"

#include "framework/core/IPluginConfig.h"
#include "framework/core/Mutex.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace quorvel
{

// What we announce and chunk by must be what the engine does.
static_assert(kLatencySamples == QuorvelEngine::kLatency);
static_assert(kMaxChunkFrames <= QuorvelEngine::kMaxBlock &&
              kMaxEngineChannels == QuorvelEngine::kMaxChannels);

namespace
{

constexpr double kFallbackSampleRate = 48000.0;

iplug::IPluginSpec MakeSpec()
{
  iplug::IPluginSpec spec;
  spec.nParams = kParamCount;
  spec.nPresets = kFactoryPresetCount;
  spec.channelIOStr = "1-1 2-2"; // one mono or one stereo configuration
  spec.pluginName = "Quorvel";
  spec.productName = "Quorvel";
  spec.makerName = kMakerName;
  spec.version = iplug::MakeVersion(0, 2, 1);
  spec.uniqueID = iplug::MakeFourCharCode("Qvrl");
  spec.makerID = iplug::MakeFourCharCode("Kdmx");
  spec.latency = kLatencySamples;
  spec.midiIn = false;
  spec.midiOut = false;
  spec.midiThird = false;
  spec.reserved = true;
  spec.plugType = 0;
  spec.hasEditor = true;
  spec.editorWidth = kEditorWidth;
  spec.editorHeight = kEditorHeight;
  // Hosts may size the window from 1/3 to 3x; the editor itself only scales 0.92..1.5 and snaps the
  // window back outside that range.
  spec.editorMinWidth = 326;
  spec.editorMaxWidth = 2940;
  spec.editorMinHeight = 216;
  spec.editorMaxHeight = 1950;
  spec.hostResizeEditor = true;
  spec.extraText1 = "";
  spec.extraText2 = "";
  return spec;
}

#if defined(QUORVEL_API_VST3)
// Hosts store automation under these IDs: computed from the keys, so they never change.
constexpr auto kHostParamIds = []
{
  std::array<uint32_t, kParamCount> ids{};
  for (int i = 0; i < kParamCount; ++i)
    ids[static_cast<size_t>(i)] = iplug::ParamIdFromKey(kParamTable[i].key);
  return ids;
}();
// Distinct, and above the MIDI-controller parameters (65538 and the 130 after it).
constexpr bool HostParamIdsAreUsable()
{
  for (size_t i = 0; i < kHostParamIds.size(); ++i)
  {
    if (kHostParamIds[i] < 65668u) return false;
    for (size_t j = 0; j < i; ++j)
      if (kHostParamIds[i] == kHostParamIds[j]) return false;
  }
  return true;
}
static_assert(HostParamIdsAreUsable());
#endif

int ClampChannels(int connected)
{
  return std::clamp(connected, 1, kMaxEngineChannels);
}

} // namespace

Quorvel::Quorvel(const QuorvelInstanceInfo& info) : QuorvelBase(info, MakeSpec())
{
#if defined(QUORVEL_API_VST3)
  SetParamIds(kHostParamIds.data(), kParamCount);
  SetBypassParamIndex(kBypassParam);
#endif
  for (std::atomic<float>& v : mOtherSlot)
    v.store(0.0f);
  DeclareParams();
  RegisterFactoryPresets();
  const EngineParams current = SnapshotParams();
  for (int i = 0; i < kParamCount; ++i)
    mOtherSlot[i].exchange(current[i]);
  SetMakeGraphicsFunc([this]() { return CreateEditorGraphics(*this); });
  SetLayoutFunc([this](iplug::igraphics::IGraphics* graphics) { BuildEditorLayout(*this, graphics); });
}

Quorvel::~Quorvel() = default;

void Quorvel::DeclareParams()
{
  using iplug::IParam;
  for (int i = 0; i < kParamCount; ++i)
  {
    const ParamEntry& p = kParamTable[i];
    IParam* param = GetParam(i);
    switch (p.kind)
    {
    case ParamKind::kList:
      param->ConfigureEnum(p.name, static_cast<int>(p.defaultValue), kSaturationModelCount, p.label, 0,
                           p.group, nullptr);
      for (int m = 0; m < kSaturationModelCount; ++m)
        param->AddCaption(m, kModelNames[m]);
      break;
    case ParamKind::kSwitch:
      param->ConfigureBool(p.name, p.defaultValue != 0.0, p.label, 0, p.group, "off", "on");
      break;
    case ParamKind::kNumber:
      if (p.exponent == 1.0)
        param->ConfigureDouble(p.name, p.defaultValue, p.min, p.max, p.step, p.label, 0, p.group,
                               IParam::ShapeLinear());
      else
        param->ConfigureDouble(p.name, p.defaultValue, p.min, p.max, p.step, p.label, 0, p.group,
                               IParam::ShapePowCurve(p.exponent));
      break;
    }
  }
}

void Quorvel::RegisterFactoryPresets()
{
  const FactoryPreset* table = FactoryPresetTable();
  for (int k = 0; k < kFactoryPresetCount; ++k)
  {
    EngineParams values;
    std::memcpy(values.values, table[k].values, sizeof values.values);
    iplug::StateChunk chunk;
    // A preset whose chunk could not be written is left out rather than stored empty.
    if (WriteStateChunk(chunk, values, values, k, 0)) AddPresetFromChunk(table[k].name, chunk);
  }
}

EngineParams Quorvel::SnapshotParams() const
{
  EngineParams params;
  for (int i = 0; i < kParamCount; ++i)
    params[i] = static_cast<float>(GetParam(i)->Value());
  return params;
}

double Quorvel::EngineSampleRate() const
{
  const double rate = GetSampleRate();
  return rate > 0.0 ? rate : kFallbackSampleRate;
}

void Quorvel::PrepareEngine(int inputChannels)
{
  mChannels = ClampChannels(inputChannels);
  mEngine.CopyParams(SnapshotParams());
  mEngine.Prepare(EngineSampleRate(), mChannels);
}

void Quorvel::OnReset()
{
  PrepareEngine(CountConnectedChannels(iplug::kInput));
  // Announcing an unchanged latency makes some hosts restart the processor, which resets us again.
  if (GetLatency() != kLatencySamples) SetLatency(kLatencySamples);
  mReady.store(true);
}

void Quorvel::OnActivate(bool active)
{
  if (!active)
  {
    mReady.store(false);
    return;
  }
  OnReset();
}

void Quorvel::ProcessBlock(float** inputs, float** outputs, int32_t nFrames)
{
  if (nFrames < 1) return;

  const int connectedIn = inputs ? CountConnectedChannels(iplug::kInput) : 0;
  const int nOut = outputs ? CountConnectedChannels(iplug::kOutput) : 0;

  if (!mReady.load(std::memory_order_relaxed))
  {
    for (int c = 0; c < nOut; ++c)
      std::fill_n(outputs[c], nFrames, 0.0f);
    return;
  }

  if (ClampChannels(connectedIn) != mChannels)
    PrepareEngine(connectedIn); // audio thread: the engine clears its history and allocates nothing

  mEngine.CopyParams(SnapshotParams());

  const int nIn = std::min(mChannels, connectedIn);
  const float* engineIn[kMaxEngineChannels] = {mScratchIn[0], mScratchIn[1]};
  float* engineOut[kMaxEngineChannels] = {mScratchOut[0], mScratchOut[1]};

  for (int offset = 0; offset < nFrames; offset += kMaxChunkFrames)
  {
    const int n = std::min(kMaxChunkFrames, nFrames - offset);
    for (int c = 0; c < mChannels; ++c)
    {
      if (c < nIn)
        std::copy_n(inputs[c] + offset, n, mScratchIn[c]);
      else
        std::fill_n(mScratchIn[c], n, 0.0f);
    }
    mEngine.Process(engineIn, engineOut, n, false);
    for (int c = 0; c < nOut; ++c)
    {
      if (c < mChannels)
        std::copy_n(mScratchOut[c], n, outputs[c] + offset);
      else
        std::fill_n(outputs[c] + offset, n, 0.0f);
    }
  }
}

EditorFitTarget* Quorvel::GetEditorFitTarget()
{
  iplug::igraphics::IGraphics* graphics = iplug::GetEditorGraphicsOf(*this);
  if (!graphics) return nullptr;
  mGraphicsFitTarget.Bind(graphics);
  return &mGraphicsFitTarget;
}

void Quorvel::OnHostWindowResized(int width, int height)
{
  mFitter.Fit(GetEditorFitTarget(), width, height);
}

void Quorvel::ApplyValues(const EngineParams& values, bool notify)
{
  for (int i = 0; i < kParamCount; ++i)
  {
    iplug::IParam* param = GetParam(i);
    if (notify) BeginHostParamEdit(i);
    // NaN would slip through clamping into the stored state; it takes the bottom of the range instead.
    const double v = values[i];
    param->Set(std::isnan(v) ? param->GetMin() : v);
    const double normalized = param->GetNormalized();
    if (notify)
    {
      SendParamValueToHost(i, normalized);
      EndHostParamEdit(i);
    }
    SendParamValueToEditor(i, normalized, true);
  }
  for (int i = 0; i < kParamCount; ++i)
  {
    OnParamChange(i, iplug::kPresetRecall, -1);
    OnParamChangeInEditor(i, iplug::kPresetRecall);
  }
}

void Quorvel::RestoreFactoryPreset(int index)
{
  if (static_cast<unsigned>(index) >= static_cast<unsigned>(kFactoryPresetCount)) return;
  EngineParams values;
  std::memcpy(values.values, FactoryPresetTable()[index].values, sizeof values.values);
  ApplyValues(values, true);
  mPresetIndex.exchange(index);
}

void Quorvel::CopyToOtherSlot()
{
  const EngineParams current = SnapshotParams();
  for (int i = 0; i < kParamCount; ++i)
    mOtherSlot[i].exchange(current[i]);
}

void Quorvel::SwapComparisonSlots()
{
  const EngineParams current = SnapshotParams();
  EngineParams previous;
  for (int i = 0; i < kParamCount; ++i)
    previous[i] = mOtherSlot[i].exchange(current[i]);
  ApplyValues(previous, true);
  // A logical flip: a bitwise negation would store 0xFE/0xFF, which no state reader accepts.
  mActiveSlot.exchange(static_cast<uint8_t>(mActiveSlot.load() ^ 1u));
}

EngineParams Quorvel::GetOtherSlot() const
{
  EngineParams other;
  for (int i = 0; i < kParamCount; ++i)
    other[i] = mOtherSlot[i].load();
  return other;
}

int Quorvel::MatchCurrentPreset() const
{
  double current[kParamCount];
  for (int i = 0; i < kParamCount; ++i)
    current[i] = GetParam(i)->Value();
  return MatchFactoryPreset(mPresetIndex.load(), current);
}

const char* Quorvel::GetPresetMenuText() const
{
  return PresetMenuText(MatchCurrentPreset());
}

bool Quorvel::SerializeState(iplug::StateChunk& chunk) const
{
  return WriteStateChunk(chunk, SnapshotParams(), GetOtherSlot(), mPresetIndex.load(), mActiveSlot.load());
}

int Quorvel::UnserializeState(const iplug::StateChunk& chunk, int startPos)
{
  StateBlock block;
  const int end =
      ReadStoredState(static_cast<const uint8_t*>(chunk.GetData()), chunk.GetSize(), startPos, block);
  if (end < 0) return -1;
  ApplyValues(block.current, false);
  // The other slot is held to the same rules as the current values (whole steps for the model and
  // the switches): a hand-made state must not smuggle a half-on switch into slot B.
  for (int i = 0; i < kParamCount; ++i)
    mOtherSlot[i].exchange(static_cast<float>(GetParam(i)->Constrain(block.other[i])));
  mPresetIndex.exchange(block.presetIndex);
  mActiveSlot.exchange(block.activeSlot ? 1 : 0);
  return end;
}

Quorvel* CreatePluginInstance(const QuorvelInstanceInfo& info)
{
  // Constructed on first use (thread-safe) and destroyed at process exit.
  static iplug::Mutex sInstanceLock;
  iplug::ScopedLock lock(&sInstanceLock);
  try
  {
    return new Quorvel(info);
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}

} // namespace quorvel
