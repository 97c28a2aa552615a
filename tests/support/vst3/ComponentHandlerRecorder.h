#pragma once

// The host's side of edits: records every call a plug-in makes on its
// component handler, in order, so tests can check what reached the host.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <vector>

namespace quorvel::test
{

class ComponentHandlerRecorder
    : public HostObject<Steinberg::Vst::IComponentHandler, Steinberg::Vst::IComponentHandler2>
{
public:
  struct Call
  {
    std::string what; // "begin", "perform", "end", "restart", "dirty", "startGroup", "finishGroup"
    Steinberg::Vst::ParamID id = 0;
    double value = 0.0;
    Steinberg::int32 flags = 0;
  };

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override { return Add({"begin", id}); }
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue value) override
  {
    return Add({"perform", id, value});
  }
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override { return Add({"end", id}); }
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override
  {
    return Add({"restart", 0, 0.0, flags});
  }
  Steinberg::tresult PLUGIN_API setDirty(Steinberg::TBool state) override
  {
    return Add({"dirty", 0, 0.0, state});
  }
  Steinberg::tresult PLUGIN_API requestOpenEditor(Steinberg::FIDString) override
  {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API startGroupEdit() override { return Add({"startGroup"}); }
  Steinberg::tresult PLUGIN_API finishGroupEdit() override { return Add({"finishGroup"}); }

  int Count(const std::string& what) const
  {
    int n = 0;
    for (const Call& c : calls)
      n += c.what == what;
    return n;
  }

  std::vector<Call> calls;

private:
  Steinberg::tresult Add(Call call)
  {
    calls.push_back(std::move(call));
    return Steinberg::kResultOk;
  }
};

} // namespace quorvel::test
