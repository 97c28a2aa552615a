// A pixel test without OpenGL: skipped on a developer's machine, failed on a CI runner.
#include "tests/support/graphics/MissingGl.h"

#include <gtest/gtest-spi.h>

namespace
{
TEST(MissingGl, OnlyASetNonFalseCiCountsAsACiRun)
{
  const struct
  {
    const char* ci;
    bool ciRun;
  } cases[] = {{nullptr, false}, {"", false}, {"0", false},  {"false", false},
               {"true", true},   {"1", true}, {"yes", true}, {"False", true}};
  for (const auto& c : cases)
    EXPECT_EQ(quorvel::test::IsCiRun(c.ci), c.ciRun) << (c.ci ? c.ci : "(unset)");
}

void WithoutGl(const char* ci)
{
  QUORVEL_REQUIRE_GL_UNDER(false, ci);
}
void WithGl(const char* ci)
{
  QUORVEL_REQUIRE_GL_UNDER(true, ci);
}

TEST(MissingGl, FailsTheTestOnlyOnACiRunWithoutGl)
{
  EXPECT_FATAL_FAILURE(WithoutGl("true"), "no OpenGL on a CI runner");
  WithGl("true"); // found: neither fails nor skips
  EXPECT_FALSE(HasFailure());
  EXPECT_FALSE(IsSkipped());
}
} // namespace
