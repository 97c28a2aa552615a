// Windows entry of the module DLL: remembers the module handle for the start-up step.

#include "framework/vst3/ModuleInit.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason == DLL_PROCESS_ATTACH) Steinberg::moduleHandle = instance;
  return TRUE;
}
