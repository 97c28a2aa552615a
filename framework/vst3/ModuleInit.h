#pragma once

// The module's start-up and shut-down steps, and the instance handle the start-up step hands on.
// The entry points (ModuleEntry.cpp) run the steps; the module (ModuleFactory.cpp, or a test module)
// defines them.

namespace Steinberg
{
// Set by the platform's module entry (the instance handle on Windows) before any step runs; null
// elsewhere.
extern void* moduleHandle;
} // namespace Steinberg

bool InitModule();
bool DeinitModule();

namespace iplug
{
// What InitModule does on the first load: hands the module handle the DLL entry recorded to the
// framework, whose editor window registers its class and finds its resources with it.
bool InitModuleHook();
} // namespace iplug
