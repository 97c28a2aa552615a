#include "tests/support/vst3/ModuleAcceptance.h"

#include "tests/support/vst3/ComponentHandlerRecorder.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostParameterChanges.h"
#include "tests/support/vst3/HostProcessData.h"
#include "tests/support/vst3/HostStream.h"
#include "tests/support/core/TrappingFloatExceptions.h"

#include "effect/engine/EngineParams.h"
#include "effect/engine/QuorvelEngineHolder.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace quorvel::test
{

namespace
{
constexpr ParamID kBypassId = 0x2E186CE8;
constexpr int kParams = 14;

std::u16string Text(const TChar* s)
{
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

// A module loaded for the duration of one check: InitDll, the factory, one effect instance.
class Session
{
public:
  explicit Session(const ModuleEntryPoints& module) : mModule(module)
  {
    EXPECT_TRUE(module.initDll());
    factory = module.getPluginFactory();
    EXPECT_NE(factory, nullptr);
  }
  ~Session()
  {
    Close();
    if (factory) factory->release();
    EXPECT_TRUE(mModule.exitDll());
  }

  // Creates and initialises the effect; the three interfaces share one object.
  bool Open()
  {
    TUID cid;
    ExpectedClassId(cid);
    void* obj = nullptr;
    if (factory->createInstance(reinterpret_cast<FIDString>(cid), IComponent::iid, &obj) != kResultOk || !obj)
      return false;
    component = static_cast<IComponent*>(obj);
    if (component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor)) != kResultOk ||
        component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller)) != kResultOk)
      return false;
    return component->initialize(&host) == kResultOk;
  }

  void Close()
  {
    if (!component) return;
    component->terminate();
    for (FUnknown* i : std::initializer_list<FUnknown*>{processor, controller, component})
      if (i) i->release();
    component = nullptr;
    processor = nullptr;
    controller = nullptr;
  }

  void ActivateBuses()
  {
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);
  }

  tresult Setup(double rate, int32 sampleSize, int32 maxBlock)
  {
    ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
    return processor->setupProcessing(setup);
  }

  std::vector<uint8_t> SavedState()
  {
    HostStream stream;
    EXPECT_EQ(component->getState(&stream), kResultOk);
    return stream.data;
  }

  IPluginFactory* factory = nullptr;
  IComponent* component = nullptr;
  IAudioProcessor* processor = nullptr;
  IEditController* controller = nullptr;
  HostApplication host{u"Acceptance Host"};

private:
  ModuleEntryPoints mModule;
};

std::vector<ParamID> ParameterIds(IEditController* controller)
{
  std::vector<ParamID> ids;
  for (int32 i = 0; i < controller->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    EXPECT_EQ(controller->getParameterInfo(i, info), kResultTrue);
    ids.push_back(info.id);
  }
  return ids;
}
} // namespace

void ExpectedClassId(TUID out)
{
  const TUID cid = INLINE_UID(0xABCDEF01, 0x9182FAEB, 0x4B646D78, 0x5176726C);
  std::memcpy(out, cid, sizeof(TUID));
}

void CheckFactoryAndClassInfo(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_NE(s.factory, nullptr);
  IPluginFactory* again = module.getPluginFactory();
  EXPECT_EQ(again, s.factory) << "one factory per process";
  EXPECT_EQ(again->addRef(), 3u) << "each call handed out a reference";
  again->release();
  again->release();

  PFactoryInfo info;
  ASSERT_EQ(s.factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "KELDRIMAX");
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
  EXPECT_GT(std::strlen(info.url), 0u);
  EXPECT_GT(std::strlen(info.email), 0u);

  ASSERT_EQ(s.factory->countClasses(), 1);
  IPluginFactory2* factory2 = nullptr;
  ASSERT_EQ(s.factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)), kResultOk);
  PClassInfo2 ci;
  ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
  factory2->release();
  TUID cid;
  ExpectedClassId(cid);
  EXPECT_EQ(std::memcmp(ci.cid, cid, sizeof(TUID)), 0);
#if defined(_WIN32)
  const uint8_t windowsLayout[16] = {0x01, 0xEF, 0xCD, 0xAB, 0x82, 0x91, 0xEB, 0xFA,
                                     'K',  'd',  'm',  'x',  'Q',  'v',  'r',  'l'};
  EXPECT_EQ(std::memcmp(ci.cid, windowsLayout, 16), 0);
#endif
  EXPECT_EQ(ci.cardinality, PClassInfo::kManyInstances);
  EXPECT_STREQ(ci.category, "Audio Module Class");
  EXPECT_STREQ(ci.name, "Quorvel");
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_STREQ(ci.subCategories, "Fx|Distortion");
  EXPECT_STREQ(ci.vendor, "");
  EXPECT_STREQ(ci.version, "0.2.1");
  EXPECT_STREQ(ci.sdkVersion, "VST 3.8.1");

  IPluginFactory3* factory3 = nullptr;
  ASSERT_EQ(s.factory->queryInterface(IPluginFactory3::iid, reinterpret_cast<void**>(&factory3)), kResultOk);
  PClassInfoW wide;
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(Text(wide.name), u"Quorvel");
  EXPECT_EQ(Text(wide.version), u"0.2.1");
  factory3->release();

  // The instance is the class described: same name, same version.
  ASSERT_TRUE(s.Open());
  void* unknown = nullptr;
  const TUID other = INLINE_UID(1, 2, 3, 4);
  EXPECT_EQ(s.factory->createInstance(reinterpret_cast<FIDString>(other), IComponent::iid, &unknown),
            kNoInterface);
  EXPECT_EQ(unknown, nullptr);
}

void CheckBusesAndArrangements(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  EXPECT_EQ(s.component->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(s.component->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(s.component->getBusCount(kEvent, kInput), 0);
  BusInfo info{};
  ASSERT_EQ(s.component->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);

  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  EXPECT_EQ(s.processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  ASSERT_EQ(s.processor->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  EXPECT_EQ(s.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(s.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  ASSERT_EQ(s.processor->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);

  // Mono processing after a mono arrangement.
  s.ActivateBuses();
  EXPECT_EQ(s.processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  ASSERT_EQ(s.Setup(48000.0, kSample32, 512), kResultOk);
  ASSERT_EQ(s.component->setActive(true), kResultOk);
  HostProcessData data({1}, {1}, 512);
  data.FillInputs(512);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(s.processor->process(data.Block(512)), kResultOk);
  double energy = 0.0;
  for (int i = 0; i < 512; ++i)
  {
    ASSERT_TRUE(std::isfinite(data.Output(0, 0, i)));
    energy += data.Output(0, 0, i) * data.Output(0, 0, i);
  }
  EXPECT_GT(energy, 0.0) << "the effect passes sound in mono";
  s.component->setActive(false);
}

void CheckSetupsAtManyRates(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  s.ActivateBuses();
  EXPECT_EQ(s.processor->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(s.processor->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(s.processor->canProcessSampleSize(2), kResultFalse);
  EXPECT_EQ(s.processor->getLatencySamples(), 61u);
  EXPECT_EQ(s.processor->getTailSamples(), 0u);
  std::mt19937 random(11);
  for (int32 size : {kSample32, kSample64})
    for (double rate : {44100.0, 48000.0, 96000.0, 1234.5678, 1234567.8})
    {
      ASSERT_EQ(s.Setup(rate, size, 1024), kResultOk) << rate;
      ASSERT_EQ(s.component->setActive(true), kResultOk);
      ASSERT_EQ(s.processor->setProcessing(true), kResultOk);
      HostProcessData data({2}, {2}, 4096, size == kSample64);
      // The host's audio thread is not the one that activated.
      std::thread audio(
          [&]
          {
            long start = 0;
            for (int b = 0; b < 6; ++b)
            {
              const int frames = static_cast<int>(random() % 4096) + 1;
              data.FillInputs(frames, start);
              EXPECT_EQ(s.processor->process(data.Block(frames)), kResultOk);
              for (int c = 0; c < 2; ++c)
                for (int i = 0; i < frames; ++i)
                  ASSERT_TRUE(std::isfinite(data.Output(0, c, i))) << rate << " " << i;
              start += frames;
            }
          });
      audio.join();
      s.processor->setProcessing(false);
      s.component->setActive(false);
    }
  ProcessSetup refused{kRealtime, kSample32, 0, 48000.0};
  EXPECT_EQ(s.processor->setupProcessing(refused), kResultFalse);
}

void CheckAudioAgainstEngine(const ModuleEntryPoints& module, bool doublePrecision)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  s.ActivateBuses();
  const double rate = 48000.0;
  const int maxBlock = 8191;
  const std::vector<ParamID> ids = ParameterIds(s.controller);
  ASSERT_EQ(ids.size(), static_cast<size_t>(kParams));

  // The reference: the engine itself, fed the same values (as the parameters turn normalised
  // values into plain ones) and the same slices of the same input.
  QuorvelEngineHolder reference;
  EngineParams values;
  for (int i = 0; i < kParams; ++i)
    values[i] = static_cast<float>(s.controller->normalizedParamToPlain(
        ids[static_cast<size_t>(i)], s.controller->getParamNormalized(ids[static_cast<size_t>(i)])));

  ASSERT_EQ(s.Setup(rate, doublePrecision ? kSample64 : kSample32, maxBlock), kResultOk);
  ASSERT_EQ(s.component->setActive(true), kResultOk);
  ASSERT_EQ(s.processor->setProcessing(true), kResultOk);
  reference.Prepare(rate, 2);

  HostProcessData data({2}, {2}, maxBlock, doublePrecision);
  std::vector<float> refIn[2], refOut[2];
  std::mt19937 random(doublePrecision ? 64 : 32);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  HostParameterChanges changes;
  double worst = 0.0;
  double loudest = 0.0;
  long start = 0;
  std::thread audio(
      [&]
      {
        for (int block = 0; block < 60; ++block)
        {
          // Every parameter is automated along the way; some changes arrive in flush calls without audio.
          changes.Clear();
          const int param = block % kParams;
          const double normalized = param == 13 ? (block / kParams) % 2 : unit(random);
          changes.Add(ids[static_cast<size_t>(param)], 0, normalized);
          values[param] = static_cast<float>(
              s.controller->normalizedParamToPlain(ids[static_cast<size_t>(param)], normalized));
          if (block % 5 == 4)
          {
            ProcessData flush;
            flush.numSamples = 0;
            flush.symbolicSampleSize = doublePrecision ? kSample64 : kSample32;
            flush.inputParameterChanges = &changes;
            ASSERT_EQ(s.processor->process(flush), kResultOk);
            continue;
          }
          const int frames = static_cast<int>(random() % maxBlock) + 1;
          data.FillInputs(frames, start);
          ProcessData& pd = data.Block(frames);
          pd.inputParameterChanges = &changes;
          ASSERT_EQ(s.processor->process(pd), kResultOk);

          reference.CopyParams(values);
          for (int c = 0; c < 2; ++c)
          {
            refIn[c].resize(static_cast<size_t>(frames));
            refOut[c].resize(static_cast<size_t>(frames));
            for (int i = 0; i < frames; ++i)
              refIn[c][static_cast<size_t>(i)] = static_cast<float>(data.Input(0, c, i));
          }
          for (int offset = 0; offset < frames; offset += 512)
          {
            const int n = std::min(512, frames - offset);
            const float* in[2] = {refIn[0].data() + offset, refIn[1].data() + offset};
            float* out[2] = {refOut[0].data() + offset, refOut[1].data() + offset};
            reference.Process(in, out, n, false);
          }
          for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i)
            {
              worst = std::max(worst, std::fabs(data.Output(0, c, i) - refOut[c][static_cast<size_t>(i)]));
              loudest = std::max(loudest, std::fabs(data.Output(0, c, i)));
            }
          start += frames;
        }
      });
  audio.join();
  EXPECT_LE(worst, 1e-5) << "largest difference from the engine run directly";
  EXPECT_GT(loudest, 0.05) << "the comparison is between sounds, not silences";
  s.processor->setProcessing(false);
  s.component->setActive(false);
}

void CheckTrappingHostThreads(const ModuleEntryPoints& module, bool doublePrecision)
{
  if (!TrappingFloatExceptions::kAvailable) GTEST_SKIP() << "no SSE control word";
  Session s(module);
  ASSERT_TRUE(s.Open());
  s.ActivateBuses();
  const std::vector<ParamID> ids = ParameterIds(s.controller);
  constexpr int kBlock = 700;
  HostProcessData data({2}, {2}, kBlock, doublePrecision);
  TrappingFloatExceptions traps; // the thread that sets up and activates traps as well
  ASSERT_EQ(s.Setup(48000.0, doublePrecision ? kSample64 : kSample32, kBlock), kResultOk);
  ASSERT_EQ(s.component->setActive(true), kResultOk);
  ASSERT_EQ(s.processor->setProcessing(true), kResultOk);
  std::thread audio(
      [&]
      {
        TrappingFloatExceptions audioTraps;
        HostParameterChanges changes;
        // Silence, audio, audio with hostile samples (1e300 only in 64 bit), then every parameter at
        // both ends of its range and in the middle, set mid-block.
        for (int step = 0; step < 3 + 3 * kParams; ++step)
        {
          if (step > 0) data.FillInputs(kBlock, step * long{kBlock});
          for (int i = step % 5; step > 1 && i < kBlock; i += 5)
            data.SetInput(0, i % 2, i, kHostileSamples[(i / 5) % (doublePrecision ? 6 : 5)]);
          changes.Clear();
          if (step >= 3) changes.Add(ids[static_cast<size_t>((step - 3) / 3)], kBlock / 2, step % 3 / 2.0);
          ProcessData& pd = data.Block(kBlock);
          pd.inputParameterChanges = &changes;
          ASSERT_EQ(s.processor->process(pd), kResultOk) << step;
          ASSERT_TRUE(audioTraps.HostWordInPlace()) << step;
          for (int i = 0; i < 2 * kBlock; ++i)
            ASSERT_TRUE(std::isfinite(data.Output(0, i % 2, i / 2))) << step << " frame " << i / 2;
        }
      });
  audio.join();
  EXPECT_EQ(s.processor->setProcessing(false), kResultOk);
  EXPECT_EQ(s.component->setActive(false), kResultOk);
  EXPECT_TRUE(traps.HostWordInPlace());
}

void CheckStateAndBypassPersistence(const ModuleEntryPoints& module)
{
  std::vector<uint8_t> saved;
  std::vector<double> savedValues;
  {
    Session a(module);
    ASSERT_TRUE(a.Open());
    const std::vector<ParamID> ids = ParameterIds(a.controller);
    for (size_t i = 0; i + 1 < ids.size(); ++i)
      a.controller->setParamNormalized(ids[i], 0.1 + 0.05 * static_cast<double>(i));
    ASSERT_EQ(a.controller->setParamNormalized(kBypassId, 1.0), kResultOk);
    saved = a.SavedState();
    ASSERT_EQ(saved.size(), 132u);
    EXPECT_EQ(std::memcmp(saved.data(), "QVKX", 4), 0);
    // What the effect holds: stepped parameters snap, so the host's value is shaped through plain.
    for (ParamID id : ids)
      savedValues.push_back(a.controller->plainParamToNormalized(
          id, a.controller->normalizedParamToPlain(id, a.controller->getParamNormalized(id))));
  }
  ComponentHandlerRecorder handler; // outlives the session, which lets go of it when it ends
  Session b(module);
  ASSERT_TRUE(b.Open());
  ASSERT_EQ(b.controller->setComponentHandler(&handler), kResultOk);
  HostStream stream(saved);
  stream.readChunk = 128;
  ASSERT_EQ(b.component->setState(&stream), kResultOk);
  // A restore is the host's own act: it is not reported back to the host as edits.
  for (const char* edit : {"begin", "perform", "end"})
    EXPECT_EQ(handler.Count(edit), 0) << edit;
  const std::vector<ParamID> ids = ParameterIds(b.controller);
  EXPECT_EQ(b.controller->getParamNormalized(kBypassId), 1.0)
      << "bypass reaches the controller through the state";
  for (size_t i = 0; i < ids.size(); ++i)
    EXPECT_NEAR(b.controller->getParamNormalized(ids[i]), savedValues[i], 1e-6) << i;
  EXPECT_EQ(b.SavedState(), saved) << "a restored state saves back byte for byte";
}

namespace
{
// The XML state form of the given value texts, one per parameter in table order.
std::vector<uint8_t> XmlState(const char* const (&texts)[kParams])
{
  const char* keys[kParams] = {"model",    "drive",  "input",   "output", "tone",     "mix",  "bias",
                               "dynamics", "lowcut", "highcut", "bass",   "autogain", "safe", "bypass"};
  std::string doc = "<QuorvelState>";
  for (int k = 0; k < kParams; ++k)
    doc += std::string("<PARAM id=\"") + keys[k] + "\" value=\"" + texts[k] + "\"/>";
  doc += "</QuorvelState>";
  std::vector<uint8_t> bytes(8 + doc.size() + 1, 0);
  std::memcpy(bytes.data(), "VC2!", 4);
  const uint32_t length = static_cast<uint32_t>(doc.size());
  std::memcpy(bytes.data() + 4, &length, 4);
  std::memcpy(bytes.data() + 8, doc.data(), doc.size());
  return bytes;
}
} // namespace

void CheckXmlStateForm(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  const char* texts[kParams] = {"2",  "12.5", "-3",   "1.5", "-40", "75", "10",
                                "45", "80",   "9000", "20",  "0",   "1",  "1"};
  const double plain[kParams] = {2, 12.5, -3, 1.5, -40, 75, 10, 45, 80, 9000, 20, 0, 1, 1};
  HostStream stream(XmlState(texts));
  stream.readChunk = 50;
  ASSERT_EQ(s.component->setState(&stream), kResultOk);
  const std::vector<ParamID> ids = ParameterIds(s.controller);
  for (int k = 0; k < kParams; ++k)
    EXPECT_NEAR(
        s.controller->normalizedParamToPlain(ids[static_cast<size_t>(k)],
                                             s.controller->getParamNormalized(ids[static_cast<size_t>(k)])),
        plain[k], 1e-3)
        << k;
  // Saved again, it is the block form.
  const std::vector<uint8_t> saved = s.SavedState();
  ASSERT_EQ(saved.size(), 132u);
  EXPECT_EQ(std::memcmp(saved.data(), "QVKX", 4), 0);

  // A stream beyond 1 MiB is refused before any parsing, although the document it starts with is valid
  // and holds other values.
  const char* others[kParams] = {"4",  "30",  "6",    "-2", "20", "40", "-10",
                                 "70", "120", "5000", "50", "1",  "0",  "0"};
  const std::vector<uint8_t> other = XmlState(others);
  std::vector<uint8_t> huge(1048577, ' ');
  std::memcpy(huge.data(), other.data(), other.size());
  HostStream tooLong(huge);
  EXPECT_EQ(s.component->setState(&tooLong), kResultFalse);
  EXPECT_EQ(s.SavedState(), saved);
}

void CheckBadInputIsRefused(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  // The refused streams carry other values than the effect holds: a reader that applied before it
  // refused would change the state saved afterwards.
  const std::vector<ParamID> ids = ParameterIds(s.controller);
  const double drive = s.controller->getParamNormalized(ids[1]);
  ASSERT_EQ(s.controller->setParamNormalized(ids[1], drive > 0.5 ? 0.1 : 0.9), kResultOk);
  const std::vector<uint8_t> other = s.SavedState();
  ASSERT_EQ(s.controller->setParamNormalized(ids[1], drive), kResultOk);
  const std::vector<uint8_t> before = s.SavedState();
  ASSERT_NE(other, before);
  std::vector<uint8_t> shortState(other.begin(), other.begin() + 64);
  std::vector<uint8_t> longState = other;
  longState.push_back(0);
  std::vector<uint8_t> badBypass = other;
  badBypass[128] = 2;
  std::vector<uint8_t> garbage(132);
  for (size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<uint8_t>(i * 37 + 11);
  for (const auto& bytes : {shortState, longState, badBypass, garbage, std::vector<uint8_t>{}})
  {
    HostStream stream(bytes);
    EXPECT_EQ(s.component->setState(&stream), kResultFalse) << bytes.size();
    EXPECT_EQ(s.SavedState(), before) << "a refused state changes nothing";
  }
  EXPECT_EQ(s.component->setState(nullptr), kResultFalse);

  EXPECT_EQ(s.controller->setParamNormalized(12345, 0.5), kResultFalse);
  EXPECT_EQ(s.controller->getParamNormalized(12345), 0.0);
  ParameterInfo pinfo{};
  EXPECT_NE(s.controller->getParameterInfo(-1, pinfo), kResultTrue);
  EXPECT_NE(s.controller->getParameterInfo(kParams, pinfo), kResultTrue);
  BusInfo binfo{};
  EXPECT_NE(s.component->getBusInfo(kAudio, kInput, 1, binfo), kResultTrue);
  EXPECT_NE(s.component->getBusInfo(kAudio, kOutput, -1, binfo), kResultTrue);
  EXPECT_NE(s.component->activateBus(kAudio, kOutput, 3, true), kResultTrue);
  IUnitInfo* units = nullptr;
  ASSERT_EQ(s.controller->queryInterface(IUnitInfo::iid, reinterpret_cast<void**>(&units)), kResultOk);
  UnitInfo uinfo{};
  EXPECT_EQ(units->getUnitInfo(0, uinfo), kResultTrue);
  EXPECT_NE(units->getUnitInfo(1, uinfo), kResultTrue);
  EXPECT_NE(units->getUnitInfo(-1, uinfo), kResultTrue);
  units->release();
}

void CheckRestartOfTheSameInstance(const ModuleEntryPoints& module)
{
  Session s(module);
  ASSERT_TRUE(s.Open());
  s.ActivateBuses();
  ASSERT_EQ(s.Setup(44100.0, kSample32, 256), kResultOk);
  s.component->setActive(true);
  HostProcessData data({2}, {2}, 256);
  data.FillInputs(256);
  s.processor->process(data.Block(256));
  s.component->setActive(false);
  ASSERT_EQ(s.component->terminate(), kResultOk);
  ASSERT_EQ(s.component->initialize(&s.host), kResultOk);
  EXPECT_EQ(s.controller->getParameterCount(), kParams);
  EXPECT_EQ(s.component->getBusCount(kAudio, kOutput), 1);
  s.ActivateBuses();
  ASSERT_EQ(s.Setup(44100.0, kSample32, 256), kResultOk);
  ASSERT_EQ(s.component->setActive(true), kResultOk);
  EXPECT_EQ(s.processor->process(data.Block(256)), kResultOk);
  s.component->setActive(false);
}

void CheckTwoInstancesAtOnce(const ModuleEntryPoints& module)
{
  Session a(module), b(module);
  ASSERT_TRUE(a.Open());
  ASSERT_TRUE(b.Open());
  EXPECT_EQ(a.factory, b.factory);
  // Different settings: instance b is bypassed, so its output is its input delayed by the latency.
  ASSERT_EQ(b.controller->setParamNormalized(kBypassId, 1.0), kResultOk);
  for (Session* s : {&a, &b})
  {
    s->ActivateBuses();
    ASSERT_EQ(s->Setup(48000.0, kSample32, 1024), kResultOk);
    ASSERT_EQ(s->component->setActive(true), kResultOk);
  }
  HostProcessData da({2}, {2}, 1024), db({2}, {2}, 1024);
  auto run = [](Session& s, HostProcessData& d)
  {
    for (int block = 0; block < 40; ++block)
    {
      d.FillInputs(1024, block * 1024L);
      s.processor->process(d.Block(1024));
    }
  };
  std::thread ta([&] { run(a, da); }), tb([&] { run(b, db); });
  ta.join();
  tb.join();
  double differs = 0.0;
  for (int i = 0; i < 1024; ++i)
    differs = std::max(differs, std::fabs(da.Output(0, 0, i) - db.Output(0, 0, i)));
  EXPECT_GT(differs, 1e-3) << "each instance keeps its own settings";
  for (int i = 61; i < 1024; i += 7)
    EXPECT_NEAR(db.Output(0, 0, i), db.Input(0, 0, i - 61), 1e-4) << i;
  for (Session* s : {&a, &b})
    s->component->setActive(false);
}

} // namespace quorvel::test
