#pragma once

// Module entry points that hosts call around everything else: InitDll when the
// module is loaded, ExitDll before it is unloaded. Loads nest (a host may load
// the module once per scanner and once per project), so only the first InitDll
// runs the module's start-up step and only the matching last ExitDll its
// shut-down step.

extern "C"
{
  bool InitDll();
  bool ExitDll();
}
