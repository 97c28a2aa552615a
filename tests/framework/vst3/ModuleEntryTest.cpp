#include "framework/vst3/ModuleEntry.h"
#include "framework/vst3/ModuleInit.h"

#include <gtest/gtest.h>

namespace
{
int gInits = 0;
int gDeinits = 0;
} // namespace

bool InitModule()
{
  ++gInits;
  return true;
}

bool DeinitModule()
{
  ++gDeinits;
  return true;
}

TEST(ModuleEntry, RunsStartUpOnFirstLoadAndShutDownOnLastUnload)
{
  gInits = gDeinits = 0;
  EXPECT_TRUE(InitDll());
  EXPECT_TRUE(InitDll());
  EXPECT_EQ(gInits, 1);
  EXPECT_TRUE(ExitDll());
  EXPECT_EQ(gDeinits, 0);
  EXPECT_TRUE(ExitDll());
  EXPECT_EQ(gDeinits, 1);

  // An unbalanced exit is refused and does not spoil the next load.
  EXPECT_FALSE(ExitDll());
  EXPECT_EQ(gDeinits, 1);
  EXPECT_TRUE(InitDll());
  EXPECT_EQ(gInits, 2);
  EXPECT_TRUE(ExitDll());
  EXPECT_EQ(gDeinits, 2);
}
