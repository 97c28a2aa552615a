#include "framework/app/ProgramCommandLine.h"
#include "framework/core/Win32Utf8.h"

#include <windows.h>

#include <shellapi.h>

namespace iplug
{

std::vector<std::string> ProcessCommandLineTokens()
{
  std::vector<std::string> tokens;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return tokens;
  // Element 0 is the program itself.
  for (int i = 1; i < count; i++)
  {
    tokens.emplace_back(WideToUtf8(args[i]).Get());
  }
  LocalFree(args);
  return tokens;
}

} // namespace iplug
