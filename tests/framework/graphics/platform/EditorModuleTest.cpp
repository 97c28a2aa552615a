#include <windows.h>

#include <gtest/gtest.h>

namespace
{

TEST(EditorModule, WindowClassIsRegisteredWithTheModulesOwnInstance)
{
  HMODULE module = LoadLibraryW(L"EditorModule.dll");
  ASSERT_TRUE(module);
  auto init = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "InitDll")));
  auto exit = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "ExitDll")));
  auto open =
      reinterpret_cast<void* (*)(void*)>(reinterpret_cast<void*>(GetProcAddress(module, "OpenTestEditor")));
  auto close =
      reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "CloseTestEditor")));
  auto findsSvg = reinterpret_cast<bool (*)(const char*)>(
      reinterpret_cast<void*>(GetProcAddress(module, "TestEditorFindsSvg")));
  ASSERT_TRUE(init && exit && open && close && findsSvg);
  ASSERT_TRUE(init());

  HWND parent =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  auto editor = static_cast<HWND>(open(parent));
  ASSERT_TRUE(editor);
  WNDCLASSW wc{};
  EXPECT_TRUE(GetClassInfoW(module, L"IPlugWndClass", &wc));
  EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc));
  EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrW(editor, GWLP_HINSTANCE)), module);
  // The document lives in the module alone: the editor finds it only through the handle the start-up
  // step stored (a null handle would search this program).
  EXPECT_TRUE(findsSvg("mark.svg"));
  EXPECT_FALSE(findsSvg("absent.svg"));
  close();
  EXPECT_FALSE(GetClassInfoW(module, L"IPlugWndClass", &wc));
  DestroyWindow(parent);
  EXPECT_TRUE(exit());
  FreeLibrary(module);
}

} // namespace
