#pragma once
// The instance handle of the module the framework is linked into: the program stores its own at entry,
// the plug-in module's start-up step copies the one its DLL entry recorded. The editor window registers
// its class, creates its child windows and finds resources with it.

namespace iplug
{
void SetFrameworkModuleInstance(void* instance);
void* GetFrameworkModuleInstance();
} // namespace iplug
