// What the module registers and creates: the factory behind GetPluginFactory, the
// description of the one audio class, and the instance creation callback.

#include "framework/vst3/Vst3Module.h"

#include "effect/plugin/Quorvel.h"
#include "framework/vst3/ModuleEntry.h"
#include "framework/vst3/PluginFactory.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <mutex>

using namespace Steinberg;

namespace iplug
{

namespace
{
constexpr char kVendor[] = "KELDRIMAX";
constexpr char kVendorUrl[] = "https://www.keldrimax.com";
constexpr char kVendorEmail[] = "support@keldrimax.com";
constexpr char kClassName[] = "Quorvel";
constexpr char kClassVersion[] = "0.2.1";
constexpr char kSdkVersion[] = "VST 3.8.1";
constexpr char kSubCategories[] = "Fx|Distortion";
constexpr uint32 kSimpleModeSupported = 2;

const PFactoryInfo& FactoryInfo()
{
  static const PFactoryInfo info(kVendor, kVendorUrl, kVendorEmail, PFactoryInfo::kUnicode);
  return info;
}

const PClassInfo2& ClassInfo()
{
  // Filled once per process, thread-safe, however many factories come and go.
  static const PClassInfo2 info = []
  {
    const TUID cid =
        INLINE_UID(kVst3ClassIdWords[0], kVst3ClassIdWords[1], kVst3ClassIdWords[2], kVst3ClassIdWords[3]);
    return PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, kClassName,
                       kSimpleModeSupported, kSubCategories, "", kClassVersion, kSdkVersion);
  }();
  return info;
}
} // namespace

FUnknown* CreateVst3Instance(void*)
{
  quorvel::Quorvel* plug = quorvel::CreatePluginInstance(InstanceInfo{});
  return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
}

} // namespace iplug

bool InitModule()
{
  return iplug::InitModuleHook();
}

bool DeinitModule()
{
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory()
{
  try
  {
    if (!gPluginFactory)
    {
      auto* factory = new CPluginFactory(iplug::FactoryInfo());
      if (!factory->registerClass(&iplug::ClassInfo(), iplug::CreateVst3Instance))
      {
        factory->release();
        return nullptr;
      }
      gPluginFactory = factory;
      return factory;
    }
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  catch (...)
  {
    return nullptr;
  }
}
