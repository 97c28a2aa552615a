#include "framework/vst3/Vst3StateStream.h"

using namespace Steinberg;

namespace iplug
{

tresult WriteAllToStream(IBStream* stream, const void* data, int32_t size)
{
  if (!stream || size < 0 || (size > 0 && !data)) return kResultFalse;
  auto* next = static_cast<uint8_t*>(const_cast<void*>(data));
  int32_t remaining = size;
  while (remaining > 0)
  {
    int32 written = 0;
    const tresult result = stream->write(next, remaining, &written);
    if (result != kResultOk || written < 1 || written > remaining) return kResultFalse;
    next += written;
    remaining -= written;
  }
  return kResultOk;
}

} // namespace iplug
