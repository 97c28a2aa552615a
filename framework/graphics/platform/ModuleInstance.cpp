#include "framework/graphics/platform/ModuleInstance.h"

#include <atomic>

namespace iplug
{

namespace
{
std::atomic<void*> gModuleInstance{nullptr};
}

void SetFrameworkModuleInstance(void* instance)
{
  gModuleInstance.store(instance, std::memory_order_release);
}

void* GetFrameworkModuleInstance()
{
  return gModuleInstance.load(std::memory_order_acquire);
}

} // namespace iplug
