#pragma once

// What a VST3 module offers its host: the factory's description, its one audio class and the function
// that creates an instance of it. The module entry (ModuleFactory.cpp) is generic; the deliverable that
// links it supplies these three, once per module.

#include "pluginterfaces/base/ipluginbase.h"

namespace iplug
{

const Steinberg::PFactoryInfo& ModuleFactoryInfo();
const Steinberg::PClassInfo2& ModuleClassInfo();

// Creates one plug-in object and returns its audio processor interface with the one reference it was
// created with; null when it could not be created. The context is not used.
Steinberg::FUnknown* CreateVst3Instance(void* context);

} // namespace iplug
