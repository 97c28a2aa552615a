#pragma once

// The fixed VST3 IDs of the effect's parameters. Hosts store automation and
// controller assignments under these numbers, so they never change: each is the
// parameter's state key hashed (h = h * 31 + byte, from 0, modulo 2^32) and
// masked to 31 bits, written out here as constants.

#include <cstdint>

namespace iplug
{

inline constexpr int kParamIdTableSize = 14;

// Indexed by parameter index; see the key list in ParamIdTable.cpp.
extern const uint32_t kParamIdTable[kParamIdTableSize];

// ID of parameter `index`; any index outside the table (negative ones too) is its own ID.
uint32_t MapParamId(int32_t index);

// Parameter index carrying `id`, or -1 when the ID is not in the table.
int32_t ParamIndexFromId(uint32_t id);

} // namespace iplug
