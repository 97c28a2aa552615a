#include "tests/support/core/HeapAllocationFault.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostProcessData.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using iplug::IPluginSpec;
using iplug::ITransportState;
using iplug::kFactoryProgramList;
using iplug::kHost;
using iplug::kReset;
using iplug::kUI;
using iplug::TextBuffer;
using quorvel::test::MapParamId;
using namespace Steinberg;
using namespace Steinberg::Vst;
using quorvel::test::HostApplication;
using quorvel::test::HostProcessData;
using quorvel::test::TestVst3Plugin;
using quorvel::test::TestVst3Spec;

namespace
{
std::u16string Text(const TChar* s)
{
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

struct Instance
{
  explicit Instance(const IPluginSpec& spec = TestVst3Spec(), const char16_t* hostName = u"Test Host")
      : plug(new TestVst3Plugin(spec, &destroyed)), host(hostName)
  {
    EXPECT_EQ(plug->initialize(&host), kResultOk);
  }
  ~Instance()
  {
    if (!destroyed)
    {
      plug->terminate();
      plug->release();
    }
  }
  bool destroyed = false;
  TestVst3Plugin* plug;
  HostApplication host;
};
} // namespace

TEST(IPlugVST3, InitializesBusesParametersAndHostIdentity)
{
  Instance in(TestVst3Spec(), u"Mixbus 32C");
  TestVst3Plugin& p = *in.plug;
  EXPECT_EQ(p.GetHost(), 45);

  // "1-1 2-2": the last of the equally wide configurations wins: one stereo bus each way.
  ASSERT_EQ(p.getBusCount(kAudio, kInput), 1);
  ASSERT_EQ(p.getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(p.getBusCount(kEvent, kInput), 0);
  BusInfo info{};
  ASSERT_EQ(p.getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(Text(info.name), u"Input");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
  ASSERT_EQ(p.getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(Text(info.name), u"Output");

  ASSERT_EQ(p.getParameterCount(), 14);
  ParameterInfo pinfo{};
  for (int i = 0; i < 14; ++i)
  {
    ASSERT_EQ(p.getParameterInfo(i, pinfo), kResultTrue);
    EXPECT_EQ(pinfo.id, MapParamId(i));
    EXPECT_EQ(pinfo.unitId, kRootUnitId);
  }
  EXPECT_EQ(p.getParameterInfo(14, pinfo), kInvalidArgument);
  ASSERT_EQ(p.getUnitCount(), 1);
  UnitInfo unit{};
  ASSERT_EQ(p.getUnitInfo(0, unit), kResultTrue);
  EXPECT_EQ(Text(unit.name), u"Root");
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(p.getUnitInfo(1, unit), kInvalidArgument);

  // Every parameter was announced once with source "Reset".
  int resets = 0;
  for (const auto& c : p.paramChanges)
    resets += c.source == kReset;
  EXPECT_EQ(resets, 14);
}

TEST(IPlugVST3, CanBeTerminatedAndInitializedAgain)
{
  Instance in;
  TestVst3Plugin& p = *in.plug;
  EXPECT_EQ(p.terminate(), kResultOk);
  EXPECT_EQ(p.getParameterCount(), 0);
  EXPECT_EQ(p.getBusCount(kAudio, kOutput), 0);
  EXPECT_EQ(p.initialize(&in.host), kResultOk);
  EXPECT_EQ(p.getParameterCount(), 14);
  EXPECT_EQ(p.getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(p.getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(p.getUnitCount(), 1);
  // A second initialize without terminate is refused by the component base.
  EXPECT_EQ(p.initialize(&in.host), kResultFalse);
  EXPECT_EQ(p.getParameterCount(), 14);
}

TEST(IPlugVST3, AnswersItsInterfacesAndNamesFromOneObject)
{
  Instance in;
  TestVst3Plugin& p = *in.plug;
  EXPECT_STREQ(p.isA(), "IPlugVST3");
  for (const char* name : {"IPlugVST3", "SingleComponentEffect", "EditControllerEx1", "EditController",
                           "ComponentBase", "FObject"})
    EXPECT_TRUE(p.isTypeOf(name, true)) << name;
  EXPECT_FALSE(p.isTypeOf("SingleComponentEffect", false));

  const FUID ids[] = {IComponent::iid,
                      IAudioProcessor::iid,
                      IEditController::iid,
                      IEditController2::iid,
                      IUnitInfo::iid,
                      IMidiMapping::iid,
                      ChannelContext::IInfoListener::iid,
                      IConnectionPoint::iid,
                      IProcessContextRequirements::iid,
                      FUnknown::iid};
  for (const FUID& id : ids)
  {
    void* obj = nullptr;
    ASSERT_EQ(p.queryInterface(id.toTUID(), &obj), kResultOk);
    static_cast<FUnknown*>(obj)->release();
  }
  void* obj = nullptr;
  ASSERT_EQ(p.queryInterface(IMidiMapping::iid, &obj), kResultOk);
  EXPECT_EQ(obj, static_cast<IMidiMapping*>(&p));
  // The last reference goes through an interface pointer and deletes the whole object.
  p.terminate();
  EXPECT_EQ(p.release(), 1u);
  EXPECT_FALSE(in.destroyed);
  EXPECT_EQ(static_cast<IMidiMapping*>(obj)->release(), 0u);
  EXPECT_TRUE(in.destroyed);
}

TEST(IPlugVST3, MatchesHostArrangementsToChannelConfigurations)
{
  Instance in;
  TestVst3Plugin& p = *in.plug;
  p.activateBus(kAudio, kOutput, 0, true);
  p.activateBus(kAudio, kInput, 0, false);

  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  EXPECT_EQ(p.setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  ASSERT_EQ(p.getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  BusInfo info{};
  ASSERT_EQ(p.getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 1);
  // Re-created buses keep the activation the host gave them.
  EXPECT_TRUE(p.getBus(kAudio, kOutput, 0)->isActive());
  EXPECT_FALSE(p.getBus(kAudio, kInput, 0)->isActive());

  EXPECT_EQ(p.setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  ASSERT_EQ(p.getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);

  EXPECT_EQ(p.setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  ASSERT_EQ(p.getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo) << "a refused request keeps the buses";
  EXPECT_EQ(p.CountConnectedChannels(kInput), 0) << "but disconnects until the next process call";

  SpeakerArrangement two[] = {stereo, stereo};
  EXPECT_EQ(p.setBusArrangements(two, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(p.setBusArrangements(nullptr, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(p.setBusArrangements(&stereo, -1, &stereo, 1), kResultFalse);
  SpeakerArrangement surround = SpeakerArr::k51;
  EXPECT_EQ(p.setBusArrangements(&surround, 1, &surround, 1), kResultFalse);
}

TEST(IPlugVST3, LetsHostsThatCannotRenegotiateKeepTheirArrangement)
{
  Instance in(TestVst3Spec(), u"Ardour 8");
  ASSERT_EQ(in.plug->GetHost(), 28);
  SpeakerArrangement surround = SpeakerArr::k51;
  EXPECT_EQ(in.plug->setBusArrangements(&surround, 1, &surround, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  ASSERT_EQ(in.plug->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
}

TEST(IPlugVST3, TakesOnlyProcessingSetupsItCanRun)
{
  Instance in;
  TestVst3Plugin& p = *in.plug;
  EXPECT_EQ(p.canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(p.canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(p.canProcessSampleSize(2), kResultFalse);

  for (double rate : {44100.0, 48000.0, 96000.0, 1234.5678, 1234567.8})
  {
    ProcessSetup setup{kRealtime, kSample32, 1024, rate};
    const int resets = p.resets;
    ASSERT_EQ(p.setupProcessing(setup), kResultOk) << rate;
    EXPECT_EQ(p.GetSampleRate(), rate);
    EXPECT_EQ(p.GetBlockSize(), 1024);
    EXPECT_EQ(p.resets, resets + 1) << "the engine is prepared for the new set-up";
  }
  const int resets = p.resets;
  ProcessSetup bad[] = {{kRealtime, 2, 512, 48000.0},
                        {kRealtime, kSample32, 0, 48000.0},
                        {kRealtime, kSample32, -5, 48000.0},
                        {kRealtime, kSample64, 512, 0.0},
                        {kRealtime, kSample64, 512, std::nan("")},
                        {kRealtime, kSample64, 512, INFINITY}};
  for (ProcessSetup& setup : bad)
    EXPECT_EQ(p.setupProcessing(setup), kResultFalse);
  EXPECT_EQ(p.GetBlockSize(), 1024) << "nothing of a refused set-up is stored";
  EXPECT_EQ(p.GetSampleRate(), 1234567.8);
  EXPECT_EQ(p.getProcessSetup().maxSamplesPerBlock, 1024);
  EXPECT_EQ(p.resets, resets);

  EXPECT_EQ(p.setActive(true), kResultOk);
  EXPECT_EQ(p.setProcessing(true), kResultOk);
  EXPECT_EQ(p.resets, resets);
  EXPECT_EQ(p.setProcessing(false), kResultOk);
  EXPECT_EQ(p.resets, resets + 1);
  EXPECT_EQ(p.setActive(false), kResultOk);
  EXPECT_EQ(p.activations, (std::vector<bool>{true, false}));

  EXPECT_EQ(p.getLatencySamples(), 61u);
  EXPECT_EQ(p.getTailSamples(), 0u);
  EXPECT_EQ(p.getProcessContextRequirements(), 0u);
  p.SetTailLength(2147483647);
  EXPECT_EQ(p.getTailSamples(), kInfiniteTail);
  p.SetTailLength(2147483646);
  EXPECT_EQ(p.getTailSamples(), 2147483646u);
}

TEST(IPlugVST3, AdaptedArrangementsAreReportedSoThatHostsReadThemBack)
{
  struct Case
  {
    SpeakerArrangement asked;
    SpeakerArrangement carried;
    tresult answer;
  };
  const Case cases[] = {{SpeakerArr::kStereo, SpeakerArr::kStereo, kResultTrue},
                        {SpeakerArr::kMono, SpeakerArr::kMono, kResultTrue},
                        {SpeakerArr::kStereoSurround, SpeakerArr::kStereo, kResultFalse}, // Ls+Rs
                        {kSpeakerC, SpeakerArr::kMono, kResultFalse}};
  Instance in;
  for (const Case& c : cases)
  {
    SpeakerArrangement in1 = c.asked, out1 = c.asked;
    EXPECT_EQ(in.plug->setBusArrangements(&in1, 1, &out1, 1), c.answer) << c.asked;
    SpeakerArrangement arr = 0;
    ASSERT_EQ(in.plug->getBusArrangement(kOutput, 0, arr), kResultTrue);
    EXPECT_EQ(arr, c.carried) << c.asked;
  }
  Instance mixbus(TestVst3Spec(), u"Mixbus 9");
  ASSERT_EQ(mixbus.plug->GetHost(), 45);
  SpeakerArrangement surround = SpeakerArr::kStereoSurround;
  EXPECT_EQ(mixbus.plug->setBusArrangements(&surround, 1, &surround, 1), kResultTrue);
}

TEST(IPlugVST3, AnyHostBlockSizeIsTakenWithBoundedMemoryAndProcessed)
{
  for (int32 maxBlock : {1, 8192, 8193, 1 << 29, 400000000, 2147483137, 2147483647})
  {
    Instance in;
    TestVst3Plugin& p = *in.plug;
    p.activateBus(kAudio, kInput, 0, true);
    p.activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, kSample32, maxBlock, 48000.0};
    ASSERT_EQ(p.setupProcessing(setup), kResultOk) << maxBlock;
    EXPECT_EQ(p.GetBlockSize(), std::min(maxBlock, iplug::kMaxPreparedBlock)) << maxBlock;
    EXPECT_LE(p.GetMidiOutputQueue().Capacity(), iplug::kMaxPreparedBlock) << maxBlock;
    ASSERT_EQ(p.setActive(true), kResultOk);
    p.GetParam(1)->Set(0.5);
    HostProcessData io({2}, {2}, 20000);
    io.FillInputs(20000);
    ASSERT_EQ(p.process(io.Block(20000)), kResultOk);
    EXPECT_DOUBLE_EQ(io.Output(0, 1, 19999), static_cast<float>(io.Input(0, 1, 19999)) * 0.5f) << maxBlock;
    p.setActive(false);
  }

  // A preparation that cannot get its buffers is refused and changes nothing.
  Instance in;
  ProcessSetup small{kRealtime, kSample32, 256, 44100.0};
  ASSERT_EQ(in.plug->setupProcessing(small), kResultOk);
  ProcessSetup large{kRealtime, kSample32, 4096, 96000.0};
  {
    quorvel::test::HeapAllocationFault noMemory;
    EXPECT_EQ(in.plug->setupProcessing(large), kResultFalse);
  }
  EXPECT_EQ(in.plug->GetBlockSize(), 256);
  EXPECT_EQ(in.plug->GetSampleRate(), 44100.0);
  EXPECT_EQ(in.plug->getProcessSetup().maxSamplesPerBlock, 256);
}

TEST(IPlugVST3, EveryOutputIsWrittenWhenProcessAnswersOk)
{
  auto expectSilence = [](TestVst3Plugin& p, bool doublePrecision, const char* when)
  {
    HostProcessData io({2}, {2, 3}, 64, doublePrecision);
    io.FillInputs(64);
    ProcessData& data = io.Block(64);
    for (int b = 0; b < 2; ++b)
      for (int c = 0; c < data.outputs[b].numChannels; ++c)
        for (int i = 0; i < 64; ++i)
          doublePrecision ? (void)(data.outputs[b].channelBuffers64[c][i] = 9.0)
                          : (void)(data.outputs[b].channelBuffers32[c][i] = 9.f);
    ASSERT_EQ(p.process(data), kResultOk) << when;
    const int firstSilent = p.GetBlockSize() > 0 && p.getBusCount(kAudio, kOutput) > 0 ? 2 : 0;
    for (int c = firstSilent; c < 5; ++c)
      EXPECT_EQ(io.Output(c < 2 ? 0 : 1, c < 2 ? c : c - 2, 63), 0.0) << when << " channel " << c;
  };
  TestVst3Plugin* p = new TestVst3Plugin;
  expectSilence(*p, false, "before initialize");
  HostApplication host;
  ASSERT_EQ(p->initialize(&host), kResultOk);
  expectSilence(*p, true, "never set up");
  ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
  ASSERT_EQ(p->setupProcessing(setup), kResultOk);
  p->activateBus(kAudio, kOutput, 0, true);
  expectSilence(*p, false, "beyond the layout"); // channels 2..4 of a second bus the plug-in lacks
  p->terminate();
  expectSilence(*p, false, "after terminate");
  p->release();
}
