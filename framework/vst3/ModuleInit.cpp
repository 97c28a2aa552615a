#include "framework/vst3/ModuleInit.h"

#include "framework/graphics/platform/ModuleInstance.h"

namespace Steinberg
{
void* moduleHandle = nullptr;
} // namespace Steinberg

bool iplug::InitModuleHook()
{
  SetFrameworkModuleInstance(Steinberg::moduleHandle);
  return true;
}
