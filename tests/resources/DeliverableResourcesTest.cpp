// Both deliverables as the system loads them, from an empty working folder: pictures, logo and font
// found as module resources, and the version block, manifest, program dialogs, menu and accelerators
// read back through the system, all in British English (2057).
#include "framework/core/ResourceLookup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace
{
constexpr WORD kBritishEnglish = 2057;

std::wstring WinePath(std::string path)
{
  if (path[0] == '/') path = "Z:" + path; // the build tree through Wine's drive Z:
  return std::wstring(path.begin(), path.end());
}

struct Deliverable
{
  std::wstring file;
  HMODULE module;
};

// Both deliverables loaded for their resources only, with nothing to find on disk.
std::vector<Deliverable> LoadDeliverables()
{
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring empty = std::wstring(temp) + L"quorvel-empty-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(empty.c_str(), nullptr);
  EXPECT_TRUE(SetCurrentDirectoryW(empty.c_str()));
  std::vector<Deliverable> loaded;
  for (const char* path : {QUORVEL_PROGRAM_FILE, QUORVEL_VST3_BUNDLE_FILE})
  {
    const std::wstring file = WinePath(path);
    loaded.push_back({file, LoadLibraryExW(file.c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)});
    EXPECT_NE(loaded.back().module, nullptr) << path;
  }
  return loaded;
}

std::vector<WORD> Languages(HMODULE module, const char* type, const char* name)
{
  std::vector<WORD> found;
  EnumResourceLanguagesA(
      module, type, name,
      [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
      {
        reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&found));
  return found;
}

const std::vector<WORD> kOnlyBritish{kBritishEnglish};

TEST(DeliverableResources, BothDeliverablesCarryPicturesLogoFontVersionAndManifest)
{
  struct Entry
  {
    std::string name, type, start;
    uint32_t width = 0, height = 0; // pictures only
  };
  std::vector<Entry> entries{{"keldrimax_logo.svg", "SVG", "<svg"},
                             {"Roboto-Regular.ttf", "TTF", {"\0\1\0\0", 4}}};
  for (const char* model : {"tube", "transformer", "tape", "germanium", "silicon", "diode"})
    for (uint32_t scale : {1u, 2u})
      entries.push_back({std::string("model_") + model + (scale == 2 ? "@2x.png" : ".png"), "PNG", "\x89PNG",
                         240 * scale, 134 * scale});
  const std::pair<WORD, WORD> systemEntries[] = {// type (version, manifest, icon, dialog, menu, keys) and id
                                                 {16, 1},    {24, 1},    {14, 101}, {5, 40001},
                                                 {5, 40002}, {4, 40004}, {9, 40000}};

  for (const auto& [file, module] : LoadDeliverables())
  {
    SCOPED_TRACE(std::string(file.begin(), file.end()));
    ASSERT_NE(module, nullptr);
    for (const auto& e : entries)
    {
      iplug::TextBuffer stored;
      int32_t size = 0;
      ASSERT_EQ(iplug::FindResourceByName(e.name.c_str(), e.type.c_str(), stored, module), iplug::kWinBinary)
          << e.name;
      const auto* bytes = static_cast<const unsigned char*>(
          iplug::LoadResourceBytes(stored.Get(), e.type.c_str(), size, module));
      ASSERT_TRUE(bytes && size > 32) << e.name;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), e.start.size()), e.start) << e.name;
      auto bigEndian = [bytes](int at) {
        return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | bytes[at + 2] << 8 | bytes[at + 3];
      };
      if (e.width) // the header chunk: size, then RGBA (colour type 6)
      {
        EXPECT_EQ(std::make_tuple(bigEndian(16), bigEndian(20), int(bytes[25])),
                  std::make_tuple(e.width, e.height, 6))
            << e.name;
      }
      EXPECT_EQ(Languages(module, e.type.c_str(), stored.Get()), kOnlyBritish) << e.name;
    }
    for (const auto& [type, name] : systemEntries)
      EXPECT_EQ(Languages(module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(name)), kOnlyBritish)
          << type << " " << name;
    HRSRC icon = FindResourceW(module, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(static_cast<const WORD*>(LockResource(LoadResource(module, icon)))[2], 4); // 16, 32, 48, 256

    std::vector<char> block(GetFileVersionInfoSizeW(file.c_str(), nullptr));
    ASSERT_TRUE(!block.empty() && GetFileVersionInfoW(file.c_str(), 0, block.size(), block.data()));
    for (auto [key, expected] : {std::pair{L"ProductName", L"Quorvel"},
                                 {L"CompanyName", L"KELDRIMAX"},
                                 {L"ProductVersion", L"0.2.0"},
                                 {L"FileVersion", L"0.2.0"}})
    {
      wchar_t* value = nullptr;
      UINT length = 0;
      const std::wstring query = std::wstring(L"\\StringFileInfo\\080904B0\\") + key;
      ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
          << key;
      EXPECT_EQ(std::wstring(value), expected);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(std::make_tuple(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS),
              std::make_tuple(DWORD(2), DWORD(0), DWORD(2)));
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(std::make_pair(translation[0], translation[1]), std::make_pair(kBritishEnglish, WORD(1200)));

    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    for (const char* part : {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0", "level=\"asInvoker\"",
                             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
      EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_EQ(text.find("dpiAware"), std::string::npos); // set at run time; an entry makes that call fail
    // The system must accept it as well: a manifest it cannot parse stops the program from starting.
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = file.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE activation = CreateActCtxW(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE);
    if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
    FreeLibrary(module);
  }
}

// Just enough of an extended dialog template to list what the program's dialogs hold.
struct DialogItem
{
  int32_t id;
  WORD kind; // the class ordinal: 0x80 button, 0x82 static, 0x85 combo box
  DWORD style;
  std::wstring text;
  short x, y, width, height;
  auto Tuple() const { return std::make_tuple(id, kind, style & 0xF, text, x, y, width, height); }
};

struct Dialog
{
  DWORD style;
  short width, height;
  int menu;
  std::wstring title, font;
  WORD points;
  std::vector<DialogItem> items;
};

Dialog ReadDialog(HMODULE module, int id)
{
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
  EXPECT_NE(found, nullptr) << id;
  const auto* start = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
  Dialog dialog{};
  if (!start) return dialog;
  const BYTE* at = start;
  auto take = [&at](auto& value)
  {
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
  };
  auto word = [&take]
  {
    WORD w;
    take(w);
    return w;
  };
  auto text = [&word]
  {
    std::wstring s;
    for (WORD c = word(); c; c = word())
      s += wchar_t(c);
    return s;
  };
  auto ordinal = [&] { // a number after 0xFFFF, or a name (none is used here), or nothing
    WORD first;
    std::memcpy(&first, at, 2);
    if (first == 0xFFFF) return (at += 2, int(word()));
    return text().empty() ? 0 : -1;
  };
  DWORD skip;
  WORD version = word(), signature = word(), count;
  EXPECT_EQ(std::make_pair(version, signature), std::make_pair(WORD(1), WORD(0xFFFF))) << id;
  take(skip), take(skip), take(dialog.style), take(count);
  short x, y;
  take(x), take(y), take(dialog.width), take(dialog.height);
  dialog.menu = ordinal();
  ordinal(); // class
  dialog.title = text();
  if (dialog.style & DS_SETFONT) dialog.points = word(), word(), word(), dialog.font = text();
  for (WORD i = 0; i < count; ++i)
  {
    at = start + (at - start + 3) / 4 * 4;
    DialogItem item{};
    take(skip), take(skip), take(item.style), take(item.x), take(item.y), take(item.width), take(item.height),
        take(item.id);
    item.kind = WORD(ordinal());
    item.text = text(); // no item here has an ordinal title
    WORD extra = word();
    at += extra;
    dialog.items.push_back(item);
  }
  return dialog;
}

TEST(DeliverableResources, ProgramDialogsMenuAndAcceleratorsAsTabled)
{
  auto loaded = LoadDeliverables();
  HMODULE program = loaded[0].module;
  ASSERT_NE(program, nullptr);

  const DWORD frame = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  Dialog main = ReadDialog(program, 40001), preferences = ReadDialog(program, 40002);
  EXPECT_EQ(
      std::make_tuple(main.title, main.width, main.height, main.style, main.menu, main.font, main.points),
      std::make_tuple(std::wstring(L"Quorvel"), short(300), short(300), frame | WS_MINIMIZEBOX, 40004,
                      std::wstring(L"MS Sans Serif"), WORD(8)));
  EXPECT_TRUE(main.items.empty());
  EXPECT_EQ(std::make_tuple(preferences.title, preferences.width, preferences.height,
                            preferences.style & frame, preferences.font, preferences.points),
            std::make_tuple(std::wstring(L"Preferences"), short(223), short(309), frame,
                            std::wstring(L"MS Sans Serif"), WORD(8)));

  enum : WORD
  {
    kButton = 0x80,
    kStatic = 0x82,
    kCombo = 0x85
  };
  const DWORD dropDown = CBS_DROPDOWNLIST;
  const std::tuple<int32_t, WORD, DWORD, const wchar_t*, short, short, short, short> controls[] = {
      {1, kButton, BS_DEFPUSHBUTTON, L"OK", 110, 285, 50, 14},
      {40024, kButton, BS_PUSHBUTTON, L"Apply", 54, 285, 50, 14},
      {2, kButton, BS_PUSHBUTTON, L"Cancel", 166, 285, 50, 14},
      {-1, kButton, BS_GROUPBOX, L"Audio Device Settings", 5, 10, 210, 170},
      {40009, kCombo, dropDown, L"Driver Type", 20, 35, 100, 100},
      {40010, kCombo, dropDown, L"Input Device", 20, 65, 100, 200},
      {40011, kCombo, dropDown, L"Output Device", 20, 95, 100, 200},
      {40012, kCombo, dropDown, L"Buffer Size", 135, 35, 65, 100},
      {40013, kCombo, dropDown, L"Sampling Rate", 135, 95, 65, 200},
      {40022, kButton, BS_PUSHBUTTON, L"Config...", 135, 155, 65, 14},
      {40014, kCombo, dropDown, L"Input 1 (L)", 20, 125, 40, 200},
      {40015, kCombo, dropDown, L"Input 2 (R)", 65, 126, 40, 200},
      {40017, kCombo, dropDown, L"Output 1 (L)", 20, 155, 40, 200},
      {40016, kCombo, dropDown, L"Output 2 (R)", 65, 155, 40, 200},
      {-1, kButton, BS_GROUPBOX, L"MIDI Device Settings", 5, 190, 210, 85},
      {40018, kCombo, dropDown, L"Input Device", 15, 220, 100, 200},
      {40019, kCombo, dropDown, L"Output Device", 15, 250, 100, 200},
      {40020, kCombo, dropDown, L"Input Channel", 125, 220, 50, 200},
      {40021, kCombo, dropDown, L"Output Channel", 125, 250, 50, 200}};
  auto find = [&preferences](auto matches)
  {
    for (const auto& item : preferences.items)
      if (matches(item)) return item.Tuple();
    return DialogItem{}.Tuple();
  };
  size_t expectedCount = 0;
  for (const auto& [id, kind, style, text, x, y, width, height] : controls)
  {
    const std::wstring label = text;
    if (kind != kCombo)
      EXPECT_EQ(find([&](const DialogItem& i) { return i.id == id && i.text == label; }),
                std::make_tuple(id, kind, style, label, x, y, width, height));
    else // a combo box without text, and its label a static text 10 units above it
    {
      EXPECT_EQ(find([&](const DialogItem& i) { return i.id == id; }),
                std::make_tuple(id, kind, style, std::wstring(), x, y, width, height));
      EXPECT_EQ(
          std::get<4>(find([&](const DialogItem& i)
                           { return i.kind == kStatic && i.text == label && i.y == y - 10 && i.x == x; })),
          x)
          << "label " << id;
    }
    expectedCount += kind == kCombo ? 2 : 1;
  }
  EXPECT_EQ(preferences.items.size(), expectedCount); // nothing else in the dialog

  using MenuRow = std::tuple<std::wstring, std::wstring, UINT>;
  const std::vector<MenuRow> menuTable{{L"&File", L"&Preferences...\tCtrl+,", 40006},
                                       {L"&File", L"&Quit", 40007},
                                       {L"&Debug", L"&Live Edit Mode\tCtrl+E", 40025},
                                       {L"&Debug", L"&Show Control Bounds\tCtrl+B", 40028},
                                       {L"&Debug", L"&Show Drawn Area\tCtrl+D", 40026},
                                       {L"&Debug", L"&Show FPS\tCtrl+F", 40027},
                                       {L"&Debug", L"separator", 0},
                                       {L"&Debug", L"&Save Screenshot\tCtrl+Shift+S", 40029},
                                       {L"&Help", L"&About", 40005},
                                       {L"&Help", L"&Read Manual", 40008}};
  HMENU menu = LoadMenuW(program, MAKEINTRESOURCEW(40004));
  ASSERT_NE(menu, nullptr);
  std::vector<MenuRow> menuFound;
  wchar_t text[128];
  for (int top = 0; top < GetMenuItemCount(menu); ++top)
  {
    GetMenuStringW(menu, top, text, 128, MF_BYPOSITION);
    const std::wstring title = text;
    HMENU sub = GetSubMenu(menu, top);
    for (int i = 0; sub && i < GetMenuItemCount(sub); ++i)
    {
      const bool separator = GetMenuState(sub, i, MF_BYPOSITION) & MF_SEPARATOR;
      GetMenuStringW(sub, i, text, 128, MF_BYPOSITION);
      menuFound.emplace_back(title, separator ? L"separator" : text, separator ? 0 : GetMenuItemID(sub, i));
    }
  }
  DestroyMenu(menu);
  EXPECT_EQ(menuFound, menuTable);

  using Key = std::tuple<WORD, BYTE, WORD>; // virtual key, modifiers, command
  const std::vector<Key> keyTable{
      {VK_OEM_COMMA, FVIRTKEY | FCONTROL, 40006}, {'B', FVIRTKEY | FCONTROL, 40028},
      {'D', FVIRTKEY | FCONTROL, 40026},          {'F', FVIRTKEY | FCONTROL, 40027},
      {'E', FVIRTKEY | FCONTROL, 40025},          {'S', FVIRTKEY | FCONTROL | FSHIFT, 40029}};
  HACCEL accelerators = LoadAcceleratorsW(program, MAKEINTRESOURCEW(40000));
  ASSERT_NE(accelerators, nullptr);
  std::vector<ACCEL> copied(CopyAcceleratorTableW(accelerators, nullptr, 0));
  CopyAcceleratorTableW(accelerators, copied.data(), int(copied.size()));
  std::vector<Key> keysFound;
  for (const ACCEL& a : copied)
    keysFound.emplace_back(a.key, a.fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), a.cmd);
  EXPECT_EQ(keysFound, keyTable);
  DestroyAcceleratorTable(accelerators);
  for (const auto& [file, module] : loaded)
    FreeLibrary(module);
}

} // namespace
