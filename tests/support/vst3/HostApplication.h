#pragma once

// The host context passed to initialize(): it names the host and, like most
// hosts, creates no objects for the plug-in.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

namespace quorvel::test
{

class HostApplication : public HostObject<Steinberg::Vst::IHostApplication>
{
public:
  explicit HostApplication(std::u16string name = u"Test Host") : name(std::move(name)) {}

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 out) override
  {
    size_t i = 0;
    for (; i < name.size() && i < 127; ++i)
      out[i] = static_cast<Steinberg::Vst::TChar>(name[i]);
    out[i] = 0;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID, Steinberg::TUID, void** obj) override
  {
    *obj = nullptr;
    return Steinberg::kResultFalse;
  }

  std::u16string name;
};

} // namespace quorvel::test
