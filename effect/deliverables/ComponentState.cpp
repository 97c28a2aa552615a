#include "effect/deliverables/ComponentState.h"

#include "framework/vst3/Vst3StateStream.h"

#include <cstring>

using namespace Steinberg;
using iplug::StateChunk;

namespace quorvel
{

namespace
{
bool StartsWithMagic(const StateChunk& bytes)
{
  return bytes.GetSize() >= 4 && std::memcmp(bytes.GetData(), kStateBlockMagic, 4) == 0;
}
} // namespace

tresult WriteComponentState(IBStream* stream, const StateChunk& block)
{
  if (!stream || block.GetSize() != kStateBlockSize) return kResultFalse;
  uint8_t bytes[kComponentStateBytes] = {};
  std::memcpy(bytes, block.GetData(), kStateBlockSize);
  // bytes 128..131 stay 0: the bypass word. The effect's own bypass travels inside the block.
  return iplug::WriteAllToStream(stream, bytes, kComponentStateBytes);
}

tresult ReadComponentState(IBStream* stream, StateChunk& bytes)
{
  bytes.Clear();
  if (!stream) return kResultFalse;
  uint8_t block[iplug::kStateReadBlockBytes];
  tresult last = kResultOk;
  for (;;)
  {
    int32 count = 0;
    last = stream->read(block, iplug::kStateReadBlockBytes, &count);
    if (count == 0) break;
    if (count < 0 || count > iplug::kStateReadBlockBytes || (last != kResultOk && last != kResultFalse))
      return kResultFalse;
    if (bytes.GetSize() + count > iplug::kMaxStateStreamBytes || bytes.PutBytes(block, count) < 0)
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
  if (!StartsWithMagic(bytes) || bytes.Get(word, kStateBlockSize) < 0) return 0;
  return word;
}

} // namespace quorvel
