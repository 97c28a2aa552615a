#pragma once

// How the host sees one framework parameter: the SDK parameter object (which
// the edit controller's container owns) presenting an IParam that the plug-in
// owns. Display, parsing and value shaping all go through the IParam, so the
// host shows exactly what the editor shows.

#include "framework/core/IParam.h"

#include "public.sdk/source/vst/vstparameters.h"

namespace iplug
{

class IPlugVST3Parameter : public Steinberg::Vst::Parameter
{
public:
  // isBypass marks the parameter hosts show as their own bypass switch.
  IPlugVST3Parameter(IParam* param, bool isBypass, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

  void toString(Steinberg::Vst::ParamValue valueNormalized,
                Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
  // Host text, read up to 128 units. False, with the value untouched, for text the parameter cannot read.
  bool fromString(const Steinberg::Vst::TChar* string,
                  Steinberg::Vst::ParamValue& valueNormalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const SMTG_OVERRIDE;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const SMTG_OVERRIDE;

  IParam* GetIParam() const { return mParam; }

  OBJ_METHODS(IPlugVST3Parameter, Parameter)

private:
  IParam* mParam;
};

} // namespace iplug
