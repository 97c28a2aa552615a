#pragma once

// What a pixel test does when it finds no OpenGL. The set-up installs Mesa, so on a CI runner (CI set
// to anything but "", "0" or "false") no GL means a broken runner and the test fails; on a machine
// without Mesa the test skips and says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace quorvel::test
{
// ciVariable: the value of CI, null when it is not set.
inline bool IsCiRun(const char* ciVariable)
{
  return ciVariable && *ciVariable && std::strcmp(ciVariable, "0") != 0 &&
         std::strcmp(ciVariable, "false") != 0;
}
} // namespace quorvel::test

// In a test body (it returns from it): fails or skips the test when glFound is false.
#define QUORVEL_REQUIRE_GL(glFound) QUORVEL_REQUIRE_GL_UNDER(glFound, std::getenv("CI"))
#define QUORVEL_REQUIRE_GL_UNDER(glFound, ciVariable)                                                        \
  do                                                                                                         \
  {                                                                                                          \
    if (!(glFound))                                                                                          \
    {                                                                                                        \
      if (::quorvel::test::IsCiRun(ciVariable)) FAIL() << "no OpenGL on a CI runner: Mesa is missing";       \
      GTEST_SKIP() << "no OpenGL here";                                                                      \
    }                                                                                                        \
  } while (0)
