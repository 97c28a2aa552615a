#include "effect/plugin/StateBlock.h"

#include "effect/plugin/FactoryPresets.h"
#include "effect/plugin/XmlStateReader.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace quorvel
{

// The block is stored in the machine's byte order; every target we build for is little-endian.
static_assert(std::endian::native == std::endian::little,
              "state block layout assumes a little-endian machine");
static_assert(sizeof(float) == 4);

bool ValidateValues(const EngineParams& values)
{
  for (int i = 0; i < kParamCount; ++i)
  {
    const float v = values[i];
    if (!std::isfinite(v) || v < static_cast<float>(kParamTable[i].min) ||
        v > static_cast<float>(kParamTable[i].max))
      return false;
  }
  return true;
}

void EncodeStateBlock(const StateBlock& block, uint8_t (&bytes)[kStateBlockSize])
{
  std::memcpy(bytes, kStateBlockMagic, 4);
  std::memcpy(bytes + kStateOffsetVersion, &kStateBlockVersion, 4);
  std::memcpy(bytes + kStateOffsetCurrent, block.current.values, sizeof block.current.values);
  std::memcpy(bytes + kStateOffsetOther, block.other.values, sizeof block.other.values);
  std::memcpy(bytes + kStateOffsetPreset, &block.presetIndex, 4);
  std::memcpy(bytes + kStateOffsetSlot, &block.activeSlot, 4);
}

bool WriteStateChunk(iplug::StateChunk& chunk, const EngineParams& current, const EngineParams& other,
                     int32_t presetIndex, uint8_t activeSlot)
{
  StateBlock block;
  block.current = current;
  block.other = other;
  block.presetIndex = presetIndex;
  block.activeSlot = activeSlot;
  uint8_t bytes[kStateBlockSize];
  EncodeStateBlock(block, bytes);
  return chunk.PutBytes(bytes, kStateBlockSize) >= 0;
}

bool DecodeStateBlock(const uint8_t* data, int64_t size, int64_t start, StateBlock& out)
{
  // Compare against what remains rather than computing start + 128, which could overflow.
  if (data == nullptr || start < 0 || size < kStateBlockSize || start > size - kStateBlockSize) return false;
  const uint8_t* block = data + start; // may be unaligned: every field goes through memcpy
  if (std::memcmp(block, kStateBlockMagic, 4) != 0) return false;

  int32_t version = 0;
  std::memcpy(&version, block + kStateOffsetVersion, 4);
  if (version != kStateBlockVersion) return false;

  StateBlock read;
  std::memcpy(read.current.values, block + kStateOffsetCurrent, sizeof read.current.values);
  std::memcpy(read.other.values, block + kStateOffsetOther, sizeof read.other.values);
  std::memcpy(&read.presetIndex, block + kStateOffsetPreset, 4);
  std::memcpy(&read.activeSlot, block + kStateOffsetSlot, 4);

  if (read.presetIndex < 0 || read.presetIndex >= kFactoryPresetCount) return false;
  if (read.activeSlot != 0 && read.activeSlot != 1) return false;
  if (!ValidateValues(read.current) || !ValidateValues(read.other)) return false;
  out = read;
  return true;
}

int ReadStoredState(const uint8_t* data, int size, int start, StateBlock& out)
{
  if (data == nullptr || start < 0 || size < 4 || start > size - 4) return -1;

  if (std::memcmp(data + start, kStateBlockMagic, 4) == 0)
  {
    if (!DecodeStateBlock(data, size, start, out)) return -1;
    return start + kStateBlockSize;
  }

  XmlStateValues xml; // defaults in both sets, preset 0, slot A
  size_t consumed = 0;
  if (!ReadXmlState(data + start, static_cast<size_t>(size - start), xml, consumed)) return -1;

  out.current = xml.current;
  out.other = xml.other;
  out.presetIndex = xml.presetIndex;
  out.activeSlot = xml.showingB ? 1 : 0;
  return start + static_cast<int>(consumed);
}

} // namespace quorvel
