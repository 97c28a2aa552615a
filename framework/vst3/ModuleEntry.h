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

namespace iplug
{
// The module-init step: hands the module handle the DLL entry recorded to the framework, whose editor
// window registers its class and finds its resources with it.
bool InitModuleHook();
} // namespace iplug

// Supplied by the module that links this: its start-up and shut-down steps.
bool InitModule();
bool DeinitModule();

extern "C"
{
  bool InitDll();
  bool ExitDll();
}
