#include "framework/app/ProgramCommandLine.h"

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
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, args[i], -1, nullptr, 0, nullptr, nullptr);
    std::string token(bytes > 0 ? static_cast<size_t>(bytes) : 1u, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, args[i], -1, token.data(), bytes, nullptr, nullptr);
    token.resize(bytes > 0 ? static_cast<size_t>(bytes) - 1 : 0u);
    tokens.push_back(std::move(token));
  }
  LocalFree(args);
  return tokens;
}

} // namespace iplug
