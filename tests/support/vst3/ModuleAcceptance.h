#pragma once

// What a real host does with the module, as checks: scan the factory, create
// and initialise the effect, negotiate buses and set-ups, process from another
// thread in 32 and 64 bit with automation and flush calls, save and restore
// state, feed it bad input, restart it and let it go. The same checks run on the
// module linked into a test program and on the bundle's DLL loaded by the
// Windows acceptance host.

#include "pluginterfaces/base/ipluginbase.h"

namespace quorvel::test
{

struct ModuleEntryPoints
{
  Steinberg::IPluginFactory*(PLUGIN_API* getPluginFactory)() = nullptr;
  bool (*initDll)() = nullptr;
  bool (*exitDll)() = nullptr;
};

// The class ID as the module's platform lays it out (COM order on Windows).
void ExpectedClassId(Steinberg::TUID out);

void CheckFactoryAndClassInfo(const ModuleEntryPoints& module);
void CheckBusesAndArrangements(const ModuleEntryPoints& module);
void CheckSetupsAtManyRates(const ModuleEntryPoints& module);
// Audio against the engine run directly, within 1e-5, while every parameter is automated.
void CheckAudioAgainstEngine(const ModuleEntryPoints& module, bool doublePrecision);
void CheckStateAndBypassPersistence(const ModuleEntryPoints& module);
// The older XML state form is read through the same host call.
void CheckXmlStateForm(const ModuleEntryPoints& module);
void CheckBadInputIsRefused(const ModuleEntryPoints& module);
void CheckRestartOfTheSameInstance(const ModuleEntryPoints& module);
// A host whose threads trap invalid operations, division by zero and overflow: set-up, activation
// and processing of silence, audio, non-finite and huge input and of every parameter's range raise
// none of them, give finite output and leave each thread's control word as the host set it.
void CheckTrappingHostThreads(const ModuleEntryPoints& module, bool doublePrecision);
// Two instances live at once, each processed from its own thread, neither disturbing the other.
void CheckTwoInstancesAtOnce(const ModuleEntryPoints& module);

} // namespace quorvel::test
