#include "framework/app/ProgramCommandLine.h"

namespace iplug
{

ProgramCommandLine ParseProgramCommandLine(const std::vector<std::string>& tokens)
{
  ProgramCommandLine result;
  for (size_t i = 0; i < tokens.size(); i++)
  {
    if (tokens[i] == "--no-io")
      result.noIo = true;
    else if (tokens[i] == "--screenshot" && i + 1 < tokens.size())
      result.screenshotPath = tokens[++i];
  }
  return result;
}

} // namespace iplug
