#pragma once
// The calls of the editor's services that reach outside the process: the connection test, launching a
// program or document, and message boxes. Tests replace them; the real ones are SystemShellSeams().

#include <cstdint>

namespace iplug::igraphics
{

struct ShellSeams
{
  bool (*isConnected)() = nullptr;
  // ShellExecuteW with UTF-8 texts; the launch result (above 32 is success).
  intptr_t (*launch)(void* window, const char* file, const char* parameters, const char* directory) = nullptr;
  int (*messageBox)(void* window, const char* text, const char* caption, unsigned type) = nullptr;
};
} // namespace iplug::igraphics
