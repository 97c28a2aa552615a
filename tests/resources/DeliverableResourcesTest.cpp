// The VST3 module as a host loads it: its pictures, logo and font found as module resources from an empty
// working folder, and its version block, icon and manifest read back through the system.
#include "framework/core/ResourceLookup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

std::wstring Wide(std::string path)
{
  if (!path.empty() && path[0] == '/') path = "Z:" + path; // the build tree through Wine's drive Z:
  for (char& c : path)
    if (c == '/') c = '\\';
  return std::wstring(path.begin(), path.end());
}

class DeliverableResources : public ::testing::Test
{
protected:
  void SetUp() override
  {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    mFolder = std::wstring(temp) + L"quorvel-empty-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(mFolder.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, mPrevious);
    ASSERT_TRUE(SetCurrentDirectoryW(mFolder.c_str())); // nothing to find on disk here
    mModule = LoadLibraryExW(mPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(mModule, nullptr);
  }
  void TearDown() override
  {
    if (mModule) FreeLibrary(mModule);
    SetCurrentDirectoryW(mPrevious);
    RemoveDirectoryW(mFolder.c_str());
  }
  std::wstring mPath = Wide(QUORVEL_VST3_BUNDLE_FILE);
  std::wstring mFolder;
  wchar_t mPrevious[MAX_PATH] = {};
  HMODULE mModule = nullptr;
};

TEST_F(DeliverableResources, PicturesLogoAndFontAreModuleResources)
{
  const char* entries[][2] = {{"model_tube.png", "PNG"},      {"model_transformer.png", "PNG"},
                              {"model_tape.png", "PNG"},      {"model_germanium.png", "PNG"},
                              {"model_silicon.png", "PNG"},   {"model_diode.png", "PNG"},
                              {"keldrimax_logo.svg", "SVG"},  {"Roboto-Regular.ttf", "TTF"},
                              {"model_diode@2x.png", "PNG"}};
  for (const auto& e : entries)
  {
    iplug::TextBuffer stored;
    ASSERT_EQ(iplug::FindResourceByName(e[0], e[1], stored, mModule), iplug::kWinBinary) << e[0];
    int32_t size = 0;
    EXPECT_NE(iplug::LoadResourceBytes(stored.Get(), e[1], size, mModule), nullptr) << e[0];
    EXPECT_GT(size, 1000) << e[0];
  }
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* key)
{
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\080904B0\\") + key;
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return value;
}

TEST_F(DeliverableResources, VersionBlockIconAndManifest)
{
  const DWORD size = GetFileVersionInfoSizeW(mPath.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(mPath.c_str(), 0, size, block.data()));
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Quorvel");
  EXPECT_EQ(VersionString(block, L"CompanyName"), L"KELDRIMAX");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"0.2.0");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00000002u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);

  HRSRC icon = FindResourceW(mModule, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14)); // icon group
  ASSERT_NE(icon, nullptr);
  const auto* group = static_cast<const WORD*>(LockResource(LoadResource(mModule, icon)));
  EXPECT_EQ(group[2], 4); // 16, 32, 48 and 256

  HRSRC manifest = FindResourceW(mModule, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(mModule, manifest))),
                         SizeofResource(mModule, manifest));
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0"), std::string::npos);
  EXPECT_NE(text.find("asInvoker"), std::string::npos);
  EXPECT_NE(text.find("supportedOS"), std::string::npos);
  EXPECT_EQ(text.find("dpiAware"), std::string::npos); // set at run time; an entry makes that call fail
}

} // namespace
