#include "framework/vst3/SingleComponentEffect.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
// Records which state role a call reached.
class RoleProbe : public SingleComponentEffect
{
public:
  explicit RoleProbe(bool* destroyed = nullptr) : destroyed(destroyed) {}
  ~RoleProbe() override
  {
    if (destroyed) *destroyed = true;
  }

  tresult setComponentStateFromHost(IBStream*) override { return lastCall = 1, kResultOk; }
  tresult getComponentStateForHost(IBStream*) override { return lastCall = 2, kResultOk; }
  tresult setControllerState(IBStream*) override { return lastCall = 3, kResultOk; }
  tresult getControllerState(IBStream*) override { return lastCall = 4, kResultOk; }

  void AddGain() { parameters.addParameter(STR16("Gain"), nullptr, 0, 0.5, ParameterInfo::kCanAutomate, 42); }

  int lastCall = 0;
  bool* destroyed;
};

std::u16string Name(const String128 text)
{
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

void AddStereoBuses(SingleComponentEffect& effect)
{
  effect.addAudioInput(STR16("Main In"), SpeakerArr::kStereo);
  effect.addAudioInput(STR16("Side In"), SpeakerArr::kMono, kAux, 0);
  effect.addAudioOutput(STR16("Main Out"), SpeakerArr::kStereo);
  effect.addEventInput(STR16("Events"), 1);
}
} // namespace

TEST(SingleComponentEffect, KeepsComponentAndControllerStateApart)
{
  auto* effect = new RoleProbe;
  IComponent* component = effect;
  IEditController* controller = effect;

  component->setState(nullptr);
  EXPECT_EQ(effect->lastCall, 1);
  component->getState(nullptr);
  EXPECT_EQ(effect->lastCall, 2);
  controller->setState(nullptr);
  EXPECT_EQ(effect->lastCall, 3);
  controller->getState(nullptr);
  EXPECT_EQ(effect->lastCall, 4);

  // Without overrides neither role pretends to have stored anything.
  auto* plain = new SingleComponentEffect;
  EXPECT_EQ(static_cast<IComponent*>(plain)->getState(nullptr), kNotImplemented);
  EXPECT_EQ(static_cast<IEditController*>(plain)->setState(nullptr), kNotImplemented);
  plain->release();
  effect->release();
}

TEST(SingleComponentEffect, DescribesBusesAndRefusesIndicesOutsideTheLists)
{
  auto* effect = new SingleComponentEffect;
  AddStereoBuses(*effect);

  EXPECT_EQ(effect->getBusCount(kAudio, kInput), 2);
  EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 0);
  EXPECT_EQ(effect->getBusCount(7, kInput), 0);

  BusInfo info{};
  ASSERT_EQ(effect->getBusInfo(kAudio, kInput, 1, info), kResultTrue);
  EXPECT_EQ(info.mediaType, kAudio);
  EXPECT_EQ(info.direction, kInput);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(info.busType, kAux);
  EXPECT_EQ(info.flags, 0u);
  EXPECT_EQ(Name(info.name), u"Side In");

  ASSERT_EQ(effect->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));

  // A refusal must leave every byte of the host's record as it was.
  struct
  {
    MediaType type;
    BusDirection dir;
    int32 index;
  } const refused[] = {{kAudio, kInput, -1},        {kAudio, kInput, 2}, {kAudio, kOutput, 1},
                       {kEvent, kOutput, 0},        {kAudio, 5, 0},      {9, kInput, 0},
                       {kAudio, kInput, 0x7FFFFFFF}};
  for (const auto& r : refused)
  {
    BusInfo sentinel;
    std::memset(&sentinel, 0xA5, sizeof sentinel);
    BusInfo probe = sentinel;
    EXPECT_EQ(effect->getBusInfo(r.type, r.dir, r.index, probe), kInvalidArgument) << r.index;
    EXPECT_EQ(std::memcmp(&probe, &sentinel, sizeof probe), 0) << r.type << "/" << r.dir << "/" << r.index;
    EXPECT_EQ(effect->activateBus(r.type, r.dir, r.index, true), kInvalidArgument);
  }

  // Buses start inactive until the host activates them.
  EXPECT_FALSE(effect->getBus(kAudio, kInput, 0)->isActive());
  EXPECT_EQ(effect->activateBus(kAudio, kInput, 0, true), kResultTrue);
  EXPECT_TRUE(effect->getBus(kAudio, kInput, 0)->isActive());
  EXPECT_EQ(effect->activateBus(kAudio, kInput, 0, false), kResultTrue);
  EXPECT_FALSE(effect->getBus(kAudio, kInput, 0)->isActive());
  effect->release();
}

TEST(SingleComponentEffect, AppliesArrangementsOnlyWithinTheBusLists)
{
  auto* effect = new SingleComponentEffect;
  AddStereoBuses(*effect);

  SpeakerArrangement ins[] = {SpeakerArr::kMono, SpeakerArr::kStereo};
  SpeakerArrangement outs[] = {SpeakerArr::kMono, SpeakerArr::kMono};
  EXPECT_EQ(effect->setBusArrangements(ins, 2, outs, 2), kResultFalse); // one output bus only
  SpeakerArrangement arr = 0;
  ASSERT_EQ(effect->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo) << "a refused request must change nothing";

  EXPECT_EQ(effect->setBusArrangements(ins, 2, outs, 1), kResultTrue);
  ASSERT_EQ(effect->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  ASSERT_EQ(effect->getBusArrangement(kInput, 1, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  ASSERT_EQ(effect->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);

  EXPECT_EQ(effect->setBusArrangements(nullptr, 1, outs, 1), kInvalidArgument);
  EXPECT_EQ(effect->setBusArrangements(ins, 1, nullptr, 1), kInvalidArgument);
  EXPECT_EQ(effect->setBusArrangements(ins, -1, outs, 1), kInvalidArgument);
  EXPECT_EQ(effect->setBusArrangements(nullptr, 0, nullptr, 0), kResultTrue);

  arr = 12345;
  EXPECT_EQ(effect->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
  EXPECT_EQ(effect->getBusArrangement(kInput, -1, arr), kInvalidArgument);
  EXPECT_EQ(arr, 12345u);
  effect->release();
}

TEST(SingleComponentEffect, StoresOnlyProcessingSetupsItCanRun)
{
  auto* effect = new SingleComponentEffect;
  ProcessSetup setup{kOffline, kSample32, 256, 96000.0};
  EXPECT_EQ(effect->setupProcessing(setup), kResultOk);
  EXPECT_EQ(effect->getProcessSetup().maxSamplesPerBlock, 256);
  EXPECT_EQ(effect->getProcessSetup().sampleRate, 96000.0);
  EXPECT_EQ(effect->getProcessSetup().processMode, kOffline);

  ProcessSetup wide{kRealtime, kSample64, 64, 48000.0};
  EXPECT_EQ(effect->canProcessSampleSize(kSample64), kResultFalse);
  EXPECT_EQ(effect->setupProcessing(wide), kResultFalse);
  EXPECT_EQ(effect->getProcessSetup().maxSamplesPerBlock, 256) << "a refused set-up must not be stored";
  EXPECT_EQ(effect->getProcessSetup().symbolicSampleSize, kSample32);
  effect->release();
}

TEST(SingleComponentEffect, AnswersEveryInterfaceFromOneReferenceCount)
{
  bool destroyed = false;
  auto* effect = new RoleProbe(&destroyed);
  const FUID ids[] = {FUnknown::iid,        IPluginBase::iid,      IComponent::iid,
                      IAudioProcessor::iid, IEditController::iid,  IEditController2::iid,
                      IUnitInfo::iid,       IConnectionPoint::iid, IProcessContextRequirements::iid};
  for (const FUID& id : ids)
  {
    void* obj = nullptr;
    ASSERT_EQ(effect->queryInterface(id.toTUID(), &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    // Every interface hands back the same object: releasing through it balances the query.
    static_cast<FUnknown*>(obj)->release();
  }
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(effect->queryInterface(IPlugView::iid.toTUID(), &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);

  void* raw = nullptr;
  ASSERT_EQ(effect->queryInterface(IAudioProcessor::iid.toTUID(), &raw), kResultOk);
  auto* processor = static_cast<IAudioProcessor*>(raw);
  EXPECT_EQ(effect->release(), 1u);
  EXPECT_FALSE(destroyed) << "the interface reference keeps the object alive";
  EXPECT_EQ(processor->release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(SingleComponentEffect, TerminateDropsBusesAndParameters)
{
  auto* effect = new RoleProbe;
  ASSERT_EQ(effect->initialize(nullptr), kResultOk);
  AddStereoBuses(*effect);
  effect->AddGain();
  EXPECT_EQ(effect->getParameterCount(), 1);
  EXPECT_EQ(effect->getParamNormalized(42), 0.5);
  effect->addUnit(new Unit(STR16("Root"), kRootUnitId));
  EXPECT_EQ(effect->getUnitCount(), 1);

  // Indices outside the lists are refused, never looked up (the containers would throw).
  ParameterInfo pinfo{};
  UnitInfo uinfo{};
  EXPECT_EQ(effect->getParameterInfo(0, pinfo), kResultTrue);
  EXPECT_EQ(pinfo.id, 42u);
  EXPECT_EQ(Name(pinfo.title), u"Gain");
  ASSERT_EQ(effect->getUnitInfo(0, uinfo), kResultTrue);
  EXPECT_EQ(Name(uinfo.name), u"Root");
  for (int32 bad : {-1, 1, 1000})
  {
    EXPECT_EQ(effect->getParameterInfo(bad, pinfo), kInvalidArgument) << bad;
    EXPECT_EQ(effect->getUnitInfo(bad, uinfo), kInvalidArgument) << bad;
  }
  EXPECT_EQ(pinfo.id, 42u);

  EXPECT_EQ(effect->terminate(), kResultOk);
  EXPECT_EQ(effect->getBusCount(kAudio, kInput), 0);
  EXPECT_EQ(effect->getBusCount(kEvent, kInput), 0);
  EXPECT_EQ(effect->getUnitCount(), 0);
  EXPECT_EQ(effect->getParameterCount(), 0);
  EXPECT_EQ(effect->getParameterObject(42), nullptr);
  // The same object can be initialised again and rebuilt.
  ASSERT_EQ(effect->initialize(nullptr), kResultOk);
  AddStereoBuses(*effect);
  EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 1);
  effect->terminate();
  effect->release();
}

TEST(PlugViewInterfaceIds, AreDefinedWithTheDeclaredValues)
{
  EXPECT_EQ(IPlugView::iid, FUID::fromTUID(INLINE_UID_OF(IPlugView)));
  EXPECT_EQ(IPlugFrame::iid, FUID::fromTUID(INLINE_UID_OF(IPlugFrame)));
  EXPECT_EQ(IPlugViewContentScaleSupport::iid, FUID::fromTUID(INLINE_UID_OF(IPlugViewContentScaleSupport)));
  EXPECT_NE(IPlugView::iid, IPlugFrame::iid);
  EXPECT_EQ(IPlugView::iid.getLong1(), 0x5BC32507u);
  EXPECT_EQ(IPlugFrame::iid.getLong4(), 0xED0882A3u);
  EXPECT_EQ(IPlugViewContentScaleSupport::iid.getLong2(), 0x8AC44525u);
}
