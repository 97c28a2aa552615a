#pragma once

// The VST3 IDs of a plug-in's parameters. Hosts store automation and controller assignments under
// these numbers, so a plug-in that wants them to survive changes to its parameter list gives each
// parameter a fixed ID, usually computed from a short key with ParamIdFromKey. Without a table a
// parameter's ID is its index.

#include <cstdint>
#include <string_view>

namespace iplug
{

// The key's hash (h = h * 31 + byte, from 0, modulo 2^32) masked to 31 bits.
constexpr uint32_t ParamIdFromKey(std::string_view key)
{
  uint32_t h = 0;
  for (char c : key)
    h = h * 31u + static_cast<uint8_t>(c);
  return h & 0x7FFFFFFFu;
}

class ParamIdTable
{
public:
  // The IDs of parameters 0 .. count - 1; the array must outlive the table (a constant table).
  void Assign(const uint32_t* ids, int count)
  {
    mIds = count > 0 ? ids : nullptr;
    mCount = mIds ? count : 0;
  }

  // ID of parameter `index`; any index outside the table (negative ones too) is its own ID.
  uint32_t MapParamId(int32_t index) const;

  // Parameter index carrying `id`, or -1 when the ID is not in the table. Without a table every
  // non-negative index is its own ID.
  int32_t ParamIndexFromId(uint32_t id) const;

  int Count() const { return mCount; }

private:
  const uint32_t* mIds = nullptr;
  int mCount = 0;
};

} // namespace iplug
