// A program that passes, fails an assertion or crashes on request, so that the
// test chain itself is tested: each outcome must reach CTest as it happened.
#include <gtest/gtest.h>

#include <cstring>

namespace
{
std::string gMode;

TEST(HarnessProbe, Outcome)
{
  if (gMode == "assert")
  {
    EXPECT_EQ(1 + 1, 3) << "deliberate failure";
  }
  if (gMode == "crash")
  {
    volatile int* nowhere = nullptr;
    *nowhere = 42; // deliberate access violation
  }
  SUCCEED();
}
} // namespace

int main(int argc, char** argv)
{
  testing::InitGoogleTest(&argc, argv);
  gMode = argc > 1 ? argv[1] : "pass";
  return RUN_ALL_TESTS();
}
