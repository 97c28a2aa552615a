#include "framework/vst3/ModuleEntry.h"
#include "framework/vst3/ModuleInit.h"

#include <atomic>

namespace
{
std::atomic<int> gModuleUseCount{0};
}

extern "C" bool InitDll()
{
  if (++gModuleUseCount == 1) return InitModule();
  return true;
}

extern "C" bool ExitDll()
{
  const int left = --gModuleUseCount;
  if (left == 0) return DeinitModule();
  if (left < 0)
  {
    // More exits than inits: keep the count where a balanced host would find it.
    ++gModuleUseCount;
    return false;
  }
  return true;
}
