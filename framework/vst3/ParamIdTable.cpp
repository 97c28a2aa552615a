#include "framework/vst3/ParamIdTable.h"

namespace iplug
{

uint32_t ParamIdTable::MapParamId(int32_t index) const
{
  const auto unsignedIndex = static_cast<uint32_t>(index);
  return unsignedIndex < static_cast<uint32_t>(mCount) ? mIds[unsignedIndex] : unsignedIndex;
}

int32_t ParamIdTable::ParamIndexFromId(uint32_t id) const
{
  if (mCount == 0) return id <= 0x7FFFFFFFu ? static_cast<int32_t>(id) : -1;
  for (int32_t i = 0; i < mCount; ++i)
    if (mIds[i] == id) return i;
  return -1;
}

} // namespace iplug
