#include "framework/vst3/ModuleInit.h"

#include "framework/graphics/platform/ModuleInstance.h"

#include <gtest/gtest.h>

TEST(ModuleInit, StartUpHandsTheRecordedModuleHandleToTheFramework)
{
  int module = 0;
  void* const before = Steinberg::moduleHandle;
  Steinberg::moduleHandle = &module;
  EXPECT_TRUE(iplug::InitModuleHook());
  EXPECT_EQ(iplug::GetFrameworkModuleInstance(), &module);
  Steinberg::moduleHandle = before;
  iplug::SetFrameworkModuleInstance(nullptr);
}
