// The VST3 module as a host loads it, from an empty working folder: pictures, logo and font found as
// module resources, and its version block and manifest read back through the system.
#include "framework/core/ResourceLookup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

TEST(DeliverableResources, FoundInTheModuleWithVersionAndManifest)
{
  std::string path = QUORVEL_VST3_BUNDLE_FILE;
  if (path[0] == '/') path = "Z:" + path; // the build tree through Wine's drive Z:
  const std::wstring file(path.begin(), path.end());
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring empty = std::wstring(temp) + L"quorvel-empty-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(empty.c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryW(empty.c_str())); // nothing to find on disk here
  HMODULE module =
      LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);

  const char* entries[][2] = {{"model_tube.png", "PNG"},     {"model_transformer.png", "PNG"},
                              {"model_tape.png", "PNG"},     {"model_germanium.png", "PNG"},
                              {"model_silicon.png", "PNG"},  {"model_diode.png", "PNG"},
                              {"keldrimax_logo.svg", "SVG"}, {"Roboto-Regular.ttf", "TTF"}};
  for (const auto& e : entries)
  {
    iplug::TextBuffer stored;
    int32_t size = 0;
    ASSERT_EQ(iplug::FindResourceByName(e[0], e[1], stored, module), iplug::kWinBinary) << e[0];
    EXPECT_NE(iplug::LoadResourceBytes(stored.Get(), e[1], size, module), nullptr) << e[0];
  }

  std::vector<char> block(GetFileVersionInfoSizeW(file.c_str(), nullptr));
  ASSERT_TRUE(!block.empty() && GetFileVersionInfoW(file.c_str(), 0, block.size(), block.data()));
  for (auto [key, expected] :
       {std::pair{L"ProductName", L"Quorvel"}, {L"CompanyName", L"KELDRIMAX"}, {L"ProductVersion", L"0.2.0"}})
  {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080904B0\\") + key;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(std::wstring(value), expected);
  }

  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                         SizeofResource(module, manifest));
  for (const char* part :
       {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0", "asInvoker", "supportedOS"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
  EXPECT_EQ(text.find("dpiAware"), std::string::npos); // set at run time; an entry makes that call fail
  FreeLibrary(module);
}

} // namespace
