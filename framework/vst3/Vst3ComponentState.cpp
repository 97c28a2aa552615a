#include "framework/vst3/Vst3ComponentState.h"

#include <cstring>

using namespace Steinberg;

namespace iplug
{

namespace
{
bool StartsWithMagic(const StateChunk& bytes)
{
  return bytes.GetSize() >= 4 && std::memcmp(bytes.GetData(), kStateBlockMagic, 4) == 0;
}
} // namespace

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

tresult WriteComponentState(IBStream* stream, const StateChunk& block)
{
  if (!stream || block.GetSize() != kStateBlockBytes) return kResultFalse;
  uint8_t bytes[kComponentStateBytes] = {};
  std::memcpy(bytes, block.GetData(), kStateBlockBytes);
  // bytes 128..131 stay 0: the bypass word. The effect's own bypass travels inside the block.
  return WriteAllToStream(stream, bytes, kComponentStateBytes);
}

tresult ReadComponentState(IBStream* stream, StateChunk& bytes)
{
  bytes.Clear();
  if (!stream) return kResultFalse;
  uint8_t block[kStateBlockBytes];
  tresult last = kResultOk;
  for (;;)
  {
    int32 count = 0;
    last = stream->read(block, kStateBlockBytes, &count);
    if (count == 0) break;
    if (count < 0 || count > kStateBlockBytes || (last != kResultOk && last != kResultFalse))
      return kResultFalse;
    if (bytes.GetSize() + count > kMaxComponentStateBytes || bytes.PutBytes(block, count) < 0)
      return kResultFalse;
  }
  if ((last != kResultOk && last != kResultFalse) || bytes.GetSize() < 4) return kResultFalse;
  if (StartsWithMagic(bytes))
  {
    if (bytes.GetSize() != kComponentStateBytes) return kResultFalse;
    const int32_t bypass = ComponentStateBypassWord(bytes);
    if (bypass != 0 && bypass != 1) return kResultFalse;
  }
  return kResultOk;
}

int32_t ComponentStateBypassWord(const StateChunk& bytes)
{
  int32_t word = 0;
  if (!StartsWithMagic(bytes) || bytes.Get(word, kStateBlockBytes) < 0) return 0;
  return word;
}

} // namespace iplug
