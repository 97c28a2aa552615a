// The factory behind GetPluginFactory and the module's start-up and shut-down steps. What the factory
// describes and creates comes from the deliverable (ModuleClass.h).

#include "framework/vst3/ModuleClass.h"
#include "framework/vst3/ModuleInit.h"
#include "framework/vst3/PluginFactory.h"

using namespace Steinberg;

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
      auto* factory = new CPluginFactory(iplug::ModuleFactoryInfo());
      if (!factory->registerClass(&iplug::ModuleClassInfo(), iplug::CreateVst3Instance))
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
