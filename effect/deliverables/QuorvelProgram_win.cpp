// The standalone program Quorvel: the effect on the standalone host, in a main window of its own.

#include "effect/deliverables/Quorvel.h"
#include "effect/plugin/MakerInfo.h"
#include "framework/app/StandaloneProgram_win.h"

#include <cstdio>

namespace
{

std::string AboutText(iplug::IAppPlugin& plugin)
{
  const int32_t version = plugin.GetAppVersion();
  char text[512];
  std::snprintf(text, sizeof(text), "Quorvel %d.%d.%d by %s\n%s\n%s", (version >> 16) & 0xFFFF,
                (version >> 8) & 0xFF, version & 0xFF, quorvel::kMakerName, quorvel::kMakerWebAddress,
                quorvel::kMakerSupportEmail);
  return text;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
  iplug::StandaloneProgram program;
  program.name = "Quorvel";
  program.aboutText = &AboutText;
  program.createPlugin = [](iplug::StandaloneHost& host) -> iplug::IAppPlugin*
  { return quorvel::CreatePluginInstance(iplug::InstanceInfo{&host}); };
  return iplug::RunStandaloneProgram(instance, program);
}
