// What the VST3 module registers and creates: the factory's description, the effect's one audio class
// and the instance creation callback the generic module entry calls.

#include "effect/deliverables/QuorvelVst3Module.h"

#include "effect/deliverables/Quorvel.h"
#include "effect/plugin/MakerInfo.h"
#include "framework/vst3/ModuleClass.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace iplug
{

using namespace Steinberg;

namespace
{
constexpr char kClassName[] = "Quorvel";
constexpr char kClassVersion[] = "0.2.1";
constexpr char kSdkVersion[] = "VST 3.8.1";
constexpr char kSubCategories[] = "Fx|Distortion";
constexpr uint32 kSimpleModeSupported = 2;
} // namespace

const PFactoryInfo& ModuleFactoryInfo()
{
  static const PFactoryInfo info(quorvel::kMakerName, quorvel::kMakerWebAddress, quorvel::kMakerSupportEmail,
                                 PFactoryInfo::kUnicode);
  return info;
}

const PClassInfo2& ModuleClassInfo()
{
  // Filled once per process, thread-safe, however many factories come and go.
  static const PClassInfo2 info = []
  {
    using quorvel::kVst3ClassIdWords;
    const TUID cid =
        INLINE_UID(kVst3ClassIdWords[0], kVst3ClassIdWords[1], kVst3ClassIdWords[2], kVst3ClassIdWords[3]);
    return PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, kClassName,
                       kSimpleModeSupported, kSubCategories, "", kClassVersion, kSdkVersion);
  }();
  return info;
}

FUnknown* CreateVst3Instance(void*)
{
  quorvel::Quorvel* plug = quorvel::CreatePluginInstance(InstanceInfo{});
  return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
}

} // namespace iplug
