#pragma once

namespace quorvel::test
{
// Counts every global operator new of the program it is linked into, and can make them fail.
// Link it into one test program only: it replaces the global allocation functions.
long GlobalNewCount();

// While alive, global operator new throws std::bad_alloc once `allowed` more allocations have
// succeeded (0: every allocation fails).
class GlobalNewFailure
{
public:
  explicit GlobalNewFailure(long allowed);
  ~GlobalNewFailure();
  GlobalNewFailure(const GlobalNewFailure&) = delete;
  GlobalNewFailure& operator=(const GlobalNewFailure&) = delete;
};
} // namespace quorvel::test
