#pragma once

// An attribute list as hosts send channel information in: integers and UTF-16
// strings by key. A string read copies at most the buffer size it is given.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/vst/ivstattributes.h"

#include <cstring>
#include <map>
#include <string>

namespace quorvel::test
{

class HostAttributeList : public HostObject<Steinberg::Vst::IAttributeList>
{
public:
  using AttrID = Steinberg::Vst::IAttributeList::AttrID;

  Steinberg::tresult PLUGIN_API setInt(AttrID id, Steinberg::int64 value) override
  {
    ints[id] = value;
    return Steinberg::kResultTrue;
  }
  Steinberg::tresult PLUGIN_API getInt(AttrID id, Steinberg::int64& value) override
  {
    auto it = ints.find(id);
    if (it == ints.end()) return Steinberg::kResultFalse;
    value = it->second;
    return Steinberg::kResultTrue;
  }
  Steinberg::tresult PLUGIN_API setFloat(AttrID, double) override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API getFloat(AttrID, double&) override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API setString(AttrID id, const Steinberg::Vst::TChar* string) override
  {
    strings[id] = reinterpret_cast<const char16_t*>(string);
    return Steinberg::kResultTrue;
  }
  Steinberg::tresult PLUGIN_API getString(AttrID id, Steinberg::Vst::TChar* string,
                                          Steinberg::uint32 sizeInBytes) override
  {
    auto it = strings.find(id);
    if (it == strings.end() || sizeInBytes < sizeof(Steinberg::Vst::TChar)) return Steinberg::kResultFalse;
    const size_t units = sizeInBytes / sizeof(Steinberg::Vst::TChar);
    const size_t n = std::min(units - 1, it->second.size());
    std::memcpy(string, it->second.data(), n * sizeof(char16_t));
    string[n] = 0;
    ++stringReads;
    return Steinberg::kResultTrue;
  }
  Steinberg::tresult PLUGIN_API setBinary(AttrID, const void*, Steinberg::uint32) override
  {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API getBinary(AttrID, const void*&, Steinberg::uint32&) override
  {
    return Steinberg::kResultFalse;
  }

  std::map<std::string, Steinberg::int64> ints;
  std::map<std::string, std::u16string> strings;
  int stringReads = 0;
};

} // namespace quorvel::test
