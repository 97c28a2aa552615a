// The Windows acceptance host: loads the bundle's DLL as a host does (by path, through
// LoadLibrary and the exported entry points only) and runs the module checks on it.

#include "tests/support/vst3/ModuleAcceptance.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace quorvel::test;

namespace
{
// The build passes the bundle's path as the build machine writes it; under Wine a Unix path is
// reached through drive Z:.
std::wstring BundleModulePath()
{
  std::string path = QUORVEL_VST3_BUNDLE_FILE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return std::wstring(path.begin(), path.end());
}

class LoadedBundle
{
public:
  LoadedBundle() : mModule(LoadLibraryW(BundleModulePath().c_str()))
  {
    if (!mModule) return;
    entry.getPluginFactory = reinterpret_cast<decltype(entry.getPluginFactory)>(
        reinterpret_cast<void*>(GetProcAddress(mModule, "GetPluginFactory")));
    entry.initDll = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(mModule, "InitDll")));
    entry.exitDll = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(mModule, "ExitDll")));
  }
  ~LoadedBundle()
  {
    if (mModule) FreeLibrary(mModule);
  }
  bool Ready() const { return mModule && entry.getPluginFactory && entry.initDll && entry.exitDll; }

  ModuleEntryPoints entry;

private:
  HMODULE mModule;
};
} // namespace

TEST(Vst3AcceptanceHost, LoadsTheBundleAndFindsExactlyTheEntryPoints)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready()) << "cannot load " << QUORVEL_VST3_BUNDLE_FILE;
  HMODULE module = GetModuleHandleW(BundleModulePath().c_str());
  ASSERT_NE(module, nullptr);
  // Exports by ordinal: ExitDll 1, GetPluginFactory 2, InitDll 3.
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))),
            reinterpret_cast<void*>(bundle.entry.getPluginFactory));
  EXPECT_EQ(GetProcAddress(module, "CreateVst3Instance"), nullptr) << "nothing else is exported";
  EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr);
}

TEST(Vst3AcceptanceHost, ScansFactoryAndClass)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckFactoryAndClassInfo(bundle.entry);
}

TEST(Vst3AcceptanceHost, NegotiatesMonoAndStereo)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckBusesAndArrangements(bundle.entry);
}

TEST(Vst3AcceptanceHost, ProcessesAtCommonAndExtremeRates)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckSetupsAtManyRates(bundle.entry);
}

TEST(Vst3AcceptanceHost, SoundsLikeTheEngineWhileAutomatedIn32And64Bit)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckAudioAgainstEngine(bundle.entry, false);
  CheckAudioAgainstEngine(bundle.entry, true);
}

TEST(Vst3AcceptanceHost, SavesAndRestoresStateWithBypass)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckStateAndBypassPersistence(bundle.entry);
}

TEST(Vst3AcceptanceHost, RefusesBadInput)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckBadInputIsRefused(bundle.entry);
}

TEST(Vst3AcceptanceHost, RestartsTheSameInstanceAndUnloads)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckRestartOfTheSameInstance(bundle.entry);
}

TEST(Vst3AcceptanceHost, ReadsTheXmlStateForm)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckXmlStateForm(bundle.entry);
}

TEST(Vst3AcceptanceHost, RunsTwoInstancesAtOnce)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckTwoInstancesAtOnce(bundle.entry);
}
