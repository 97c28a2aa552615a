#pragma once

#include "pluginterfaces/base/funknown.h"

namespace iplug
{

// Runs a host entry; anything thrown becomes `failure` instead of crossing into the host.
template <class Body> Steinberg::tresult Guarded(Steinberg::tresult failure, Body&& body)
{
  try
  {
    return body();
  }
  catch (...)
  {
    return failure;
  }
}

} // namespace iplug
