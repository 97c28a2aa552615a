#include "framework/vst3/IPlugVST3Parameter.h"

#include "framework/core/TextBuffer.h"
#include "framework/vst3/Vst3Strings.h"

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

IPlugVST3Parameter::IPlugVST3Parameter(IParam* param, bool isBypass, ParamID id, UnitID unitId)
    : mParam(param)
{
  info.id = id;
  WidenAscii(param->GetName(), info.title, 128);
  info.shortTitle[0] = 0;
  WidenAscii(param->DisplayLabel(), info.units, 128);
  info.stepCount = param->Type() == kTypeDouble ? 0 : static_cast<int32>(param->GetMax() - param->GetMin());
  info.defaultNormalizedValue = param->ToNormalized(param->GetDefault());
  info.unitId = unitId;
  info.flags = 0;
  if (!(param->GetFlags() & kFlagCannotAutomate)) info.flags |= ParameterInfo::kCanAutomate;
  if (param->Type() == kTypeEnum) info.flags |= ParameterInfo::kIsList;
  if (isBypass) info.flags |= ParameterInfo::kIsBypass;
  valueNormalized = info.defaultNormalizedValue;
  precision = param->GetPrecision();
}

void IPlugVST3Parameter::toString(ParamValue normalized, String128 string) const
{
  TextBuffer display;
  mParam->FormatDisplay(normalized, true, display, true);
  WidenAscii(display.Get(), string, 128);
}

bool IPlugVST3Parameter::fromString(const TChar* string, ParamValue& normalized) const
{
  const std::string text = Utf16ToUtf8(string, 128);
  double value = 0.0;
  if (!mParam->TryTextToValue(text.c_str(), value)) return false;
  normalized = mParam->ToNormalized(value);
  return true;
}

ParamValue IPlugVST3Parameter::toPlain(ParamValue normalized) const
{
  return mParam->FromNormalized(normalized);
}

ParamValue IPlugVST3Parameter::toNormalized(ParamValue plain) const
{
  return mParam->ToNormalized(plain);
}

} // namespace iplug
