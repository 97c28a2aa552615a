// The module linked into the test program: the same checks the Windows acceptance host runs on
// the bundle's DLL, here on every platform and under the sanitizers.

#include "framework/vst3/ModuleEntry.h"
#include "tests/support/vst3/ModuleAcceptance.h"

#include <gtest/gtest.h>

using namespace quorvel::test;

namespace
{
ModuleEntryPoints Linked()
{
  return ModuleEntryPoints{&GetPluginFactory, &InitDll, &ExitDll};
}
} // namespace

TEST(Vst3Module, DescribesItsFactoryAndItsOneClass)
{
  CheckFactoryAndClassInfo(Linked());
}
TEST(Vst3Module, NegotiatesBusesInMonoAndStereo)
{
  CheckBusesAndArrangements(Linked());
}
TEST(Vst3Module, ProcessesAtCommonAndExtremeRates)
{
  CheckSetupsAtManyRates(Linked());
}
TEST(Vst3Module, SoundsLikeTheEngineIn32Bit)
{
  CheckAudioAgainstEngine(Linked(), false);
}
TEST(Vst3Module, SoundsLikeTheEngineIn64Bit)
{
  CheckAudioAgainstEngine(Linked(), true);
}
TEST(Vst3Module, RunsOnTrappingHostThreadsIn32And64Bit)
{
  CheckTrappingHostThreads(Linked(), false);
  CheckTrappingHostThreads(Linked(), true);
}
TEST(Vst3Module, RestoresStateAndBypass)
{
  CheckStateAndBypassPersistence(Linked());
}
TEST(Vst3Module, RefusesBadInput)
{
  CheckBadInputIsRefused(Linked());
}
TEST(Vst3Module, RestartsTheSameInstance)
{
  CheckRestartOfTheSameInstance(Linked());
}
TEST(Vst3Module, ReadsTheXmlStateForm)
{
  CheckXmlStateForm(Linked());
}
