#pragma once

// Module entry points that hosts call around everything else: InitDll when the
// module is loaded, ExitDll before it is unloaded. Loads nest (a host may load
// the module once per scanner and once per project), so only the first InitDll
// runs the module's start-up step and only the matching last ExitDll its
// shut-down step.

namespace Steinberg
{
// Set by the platform's module entry (the instance handle on Windows); null elsewhere.
extern void* moduleHandle;
} // namespace Steinberg

// The module's start-up and shut-down steps (ModuleFactory.cpp; tests supply their own).
bool InitModule();
bool DeinitModule();

namespace iplug
{
// The module-init step InitModule runs on the first load. Nothing to do yet: the module handle that
// the editor window will register its class with is kept in Steinberg::moduleHandle by DllMain.
bool InitModuleHook();
} // namespace iplug

extern "C"
{
  bool InitDll();
  bool ExitDll();
}
