#include "framework/core/StateChunk.h"

#include <cstring>

namespace iplug
{
int32_t StateChunk::GetBytes(void* out, int32_t n, int32_t startPos) const
{
  const int32_t size = GetSize();
  // Compared without forming startPos + n, which could overflow on a hostile position.
  if (startPos < 0 || n < 0 || startPos > size || size - startPos < n) return -1;
  if (n > 0) std::memcpy(out, static_cast<const char*>(GetData()) + startPos, static_cast<size_t>(n));
  return startPos + n;
}
} // namespace iplug
