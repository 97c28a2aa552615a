#include "framework/vst3/ParamIdTable.h"

namespace iplug
{

const uint32_t kParamIdTable[kParamIdTableSize] = {
    0x0633FB29, // model
    0x05B6998A, // drive
    0x05FB57CA, // input
    0x44111901, // output
    0x00366972, // tone
    0x0001A65C, // mix
    0x002E22B9, // bias
    0x5606A814, // dynamics
    0x3E9F2E6E, // lowcut
    0x36912960, // highcut
    0x002E06DF, // bass
    0x55C9B9AE, // autogain
    0x0035BF8D, // safe
    0x2E186CE8, // bypass
};

uint32_t MapParamId(int32_t index)
{
  const auto unsignedIndex = static_cast<uint32_t>(index);
  return unsignedIndex < kParamIdTableSize ? kParamIdTable[unsignedIndex] : unsignedIndex;
}

int32_t ParamIndexFromId(uint32_t id)
{
  for (int32_t i = 0; i < kParamIdTableSize; ++i)
    if (kParamIdTable[i] == id) return i;
  return -1;
}

} // namespace iplug
