#pragma once

#include <string>
#include <vector>

namespace iplug
{

// What the standalone program's command line asks for.
struct ProgramCommandLine
{
  bool noIo = false;          // "--no-io": no audio and no MIDI devices
  std::string screenshotPath; // "--screenshot <path>": capture the main window there, then exit
};

// Reads the tokens after the program name. "--screenshot" takes the next token as its path (a
// path that is the last token is missing and ignored); unknown tokens are ignored.
ProgramCommandLine ParseProgramCommandLine(const std::vector<std::string>& tokens);

// The process's own command line split the way the system splits it (quotes keep blanks inside
// a path), as UTF-8 tokens without the program name. Windows only.
std::vector<std::string> ProcessCommandLineTokens();

} // namespace iplug
