// The platform's Win32 pieces on their own, under Wine: tick thread, GDI fonts, menus, native text field,
// services and drag and drop.
#include "framework/core/Utf16Conversion.h"
#include "framework/graphics/platform/DragAndDrop.h"
#include "framework/graphics/platform/GdiFonts.h"
#include "framework/graphics/platform/PlatformPopupMenu.h"
#include "framework/graphics/platform/PlatformServices.h"
#include "framework/graphics/platform/PlatformTextEntry.h"
#include "framework/graphics/platform/VBlankThread.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace iplug::igraphics
{
namespace
{

HWND MakeWindow(const wchar_t* cls = L"STATIC", HWND parent = nullptr, DWORD style = 0)
{
  return CreateWindowExW(0, cls, L"", style | (parent ? WS_CHILD : WS_POPUP), 0, 0, 300, 200, parent, nullptr,
                         nullptr, nullptr);
}

// The first path of an HDROP and how many it holds.
std::pair<UINT, std::wstring> FirstDropped(HDROP drop)
{
  wchar_t path[MAX_PATH] = {};
  DragQueryFileW(drop, 0, path, MAX_PATH);
  return {DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), path};
}

TEST(DragAndDrop, DataObjectOffersOnePathAsFileDropEvenAfterTheDrag)
{
  using namespace DragAndDropHelpers;
  FORMATETC format = FileDropFormat();
  auto* data = new DataObject(format, "C:\\m\xC3\xBAsica\\take.wav");
  format.cfFormat = 0; // the caller's record may change or go: the object keeps its own

  void* wrong = &format;
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &wrong), E_NOINTERFACE);
  EXPECT_EQ(wrong, nullptr);
  FORMATETC drop = FileDropFormat();
  FORMATETC text = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  // Braced lists run left to right: each vector below is a sequence of calls.
  EXPECT_EQ(
      std::vector<HRESULT>({data->QueryGetData(&drop), data->QueryGetData(&text), data->QueryGetData(nullptr),
                            data->GetData(&text, &medium), data->GetData(&drop, nullptr)}),
      std::vector<HRESULT>({S_OK, DV_E_FORMATETC, E_INVALIDARG, DV_E_FORMATETC, E_INVALIDARG}));
  ASSERT_EQ(data->GetData(&drop, &medium), S_OK);
  ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(FirstDropped(static_cast<HDROP>(medium.hGlobal)),
            std::make_pair(1u, std::wstring(L"C:\\m\u00FAsica\\take.wav")));
  ReleaseStgMedium(&medium);

  IEnumFORMATETC* formats = reinterpret_cast<IEnumFORMATETC*>(1);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
  EXPECT_EQ(formats, nullptr);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  EXPECT_EQ(data->Release(), 0u); // the enumerator outlives the data object

  FORMATETC got{};
  ULONG fetched[2] = {9, 9};
  IEnumFORMATETC* clone = nullptr;
  // The clone starts where the original was: past the end.
  EXPECT_EQ(
      std::vector<HRESULT>({formats->Next(1, &got, &fetched[0]), formats->Next(1, &got, &fetched[1]),
                            formats->Next(2, &got, nullptr), formats->Clone(&clone),
                            clone ? clone->Next(1, &got, nullptr) : E_POINTER, formats->Reset(),
                            formats->Skip(1), formats->Next(1, &got, nullptr), formats->Reset(),
                            formats->Skip(2)}),
      std::vector<HRESULT>({S_OK, S_FALSE, S_FALSE, S_OK, S_FALSE, S_OK, S_OK, S_FALSE, S_OK, S_FALSE}));
  EXPECT_EQ(std::make_pair(fetched[0], fetched[1]), std::make_pair(1ul, 0ul));
  EXPECT_EQ(got.cfFormat, CF_HDROP);
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->Release(), 0u);
  EXPECT_EQ(formats->Release(), 0u);

  auto* source = new DropSource();
  EXPECT_EQ(std::vector<HRESULT>(
                {source->QueryContinueDrag(TRUE, MK_LBUTTON), source->QueryContinueDrag(FALSE, 0),
                 source->QueryContinueDrag(FALSE, MK_LBUTTON), source->GiveFeedback(DROPEFFECT_COPY)}),
            std::vector<HRESULT>({DRAGDROP_S_CANCEL, DRAGDROP_S_DROP, S_OK, DRAGDROP_S_USEDEFAULTCURSORS}));
  EXPECT_EQ(source->Release(), 0u);
  // No button is down here: the drag ends at once, and OLE is left as it was found.
  EXPECT_TRUE(StartFileDrag("C:\\take.wav"));
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  OleUninitialize();
}

std::atomic<bool> gPlatformFreed{false};

// Ticks without an adapter; the wait hangs until released.
class BlockingPlatform : public IVBlankPlatform
{
public:
  BlockingPlatform(HANDLE entered, HANDLE release) : mEntered(entered), mRelease(release) {}
  ~BlockingPlatform() override { gPlatformFreed = true; }
  bool HasAdapterFunctions() override { return true; }
  bool OpenAdapter(void*) override { return true; }
  bool WaitForVBlank() override { return SetEvent(mEntered) && WaitForSingleObject(mRelease, INFINITE) == 0; }
  void CloseAdapter() override {}
  uint32_t TickCountMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
  void PostTick(void* w, uint32_t counter) override
  {
    PostMessageW(HWND(w), kDisplayTickMessage, counter, 0);
  }

private:
  HANDLE mEntered, mRelease;
};

TEST(VBlankThread, AHangingWaitEndsTheStopAfterItsBoundAndTheThreadLaterExitsAlone)
{
  HWND window = MakeWindow();
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  VBlankThread thread;
  ASSERT_TRUE(thread.Start(window, std::make_unique<BlockingPlatform>(entered, release)));
  ASSERT_EQ(WaitForSingleObject(entered, 10000), WAIT_OBJECT_0); // the thread hangs in its wait now
  const DWORD before = GetTickCount();
  EXPECT_FALSE(thread.Stop(200));
  EXPECT_LT(GetTickCount() - before, 2000u);
  EXPECT_FALSE(gPlatformFreed);
  SetEvent(release);
  for (int i = 0; i < 200 && !gPlatformFreed; i++)
    Sleep(10);
  EXPECT_TRUE(gPlatformFreed); // the thread freed the shared block (and the platform) on its way out
  CloseHandle(release);
  CloseHandle(entered);
  DestroyWindow(window);
}

const char kRobotoPath[] = "Z:" QUORVEL_ROBOTO_PATH;

TEST(GdiFonts, RobotoFromAFileAndAResourceWithOneHandleCopyPerId)
{
  EXPECT_FALSE(CreateFontHandle("No Such Family Anywhere", 400, false, false, 0, true));
  EXPECT_FALSE(CreateFontHandle(std::string(40, 'A').c_str(), 400, false, false, 0, false));
  EXPECT_FALSE(CreateFontHandle(nullptr, 400, false, false, 0, false));

  AddFontCacheUsers();
  std::ifstream in(kRobotoPath, std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(file.size(), 10000u);
  // Another program holding the file open for reading does not stop the load.
  HANDLE held = CreateFileA(kRobotoPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadFontFileOrResource(kRobotoPath, nullptr), file);
  CloseHandle(held);
  EXPECT_EQ(ReadFontFileOrResource("Roboto-Regular.ttf", nullptr), file); // the embedded copy
  EXPECT_TRUE(ReadFontFileOrResource("missing.ttf", nullptr).empty());

  win32::UniqueFont font =
      LoadMemoryFont("roboto", file.data(), static_cast<int32_t>(file.size()), "Roboto", {});
  ASSERT_TRUE(font);
  EXPECT_EQ(ReadFontData(font.Get()), file);
  const std::vector<uint8_t> junk(256, 0);
  EXPECT_FALSE(LoadMemoryFont("junk", junk.data(), 256, "Roboto", {}));
  EXPECT_EQ(GetFontResourceCache().GetCount(), 1); // nothing of a failed load stays registered

  CacheFontHandleCopy("roboto", font.Get());
  CacheFontHandleCopy("roboto", font.Get());
  EXPECT_EQ(GetFontHandleCache().GetCount(), 1);
  auto* copy = static_cast<HFONT>(GetFontHandleCache().FindCacheEntry("roboto", 1.0));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy, font.Get());
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(CreateFontFromCache("roboto", 21).Get(), sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, 21);
  EXPECT_FALSE(CreateFontFromCache("unknown", 21));

  // The last editor out empties both caches and deletes the copied handle.
  RemoveFontCacheUsers();
  EXPECT_EQ(GetFontResourceCache().GetCount() + GetFontHandleCache().GetCount(), 0);
  EXPECT_EQ(GetObjectType(copy), 0u);
}

std::wstring ItemText(HMENU menu, int pos)
{
  wchar_t text[64] = {};
  GetMenuStringW(menu, pos, text, 64, MF_BYPOSITION);
  return text;
}

TEST(PlatformPopupMenu, MenuHandleHoldsLabelsFlagsAndSubmenus)
{
  IPopupMenu top(nullptr, {"A & B"});
  top.GetItem(0)->SetFlags(IMenuEntry::kChecked);
  top.AddItem(new IMenuEntry("Ω more", new IPopupMenu(nullptr, {"x", "y"})));
  top.AddItem("off", IMenuEntry::kDisabled);
  top.AddSeparator();
  int counter = 0;
  const win32::UniqueMenu menu = BuildMenuHandle(PlanMenu(top, counter));
  ASSERT_EQ(GetMenuItemCount(menu.Get()), 4);
  EXPECT_EQ(ItemText(menu.Get(), 0), L"A && B");
  EXPECT_EQ(ItemText(menu.Get(), 1), L"\u03A9 more");
  EXPECT_EQ(GetMenuItemID(GetSubMenu(menu.Get(), 1), 1), 5u);
  const UINT states[] = {MF_CHECKED, MF_POPUP, MF_GRAYED, MF_SEPARATOR};
  for (int i = 0; i < 4; i++)
    EXPECT_TRUE(GetMenuState(menu.Get(), i, MF_BYPOSITION) & states[i]) << i;
}

// Ends the modal menu from a timer after posting the command a user's choice would post (if any).
WPARAM gCommand = 0;
bool gPost = false;
HWND gWindow = nullptr;
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD)
{
  KillTimer(nullptr, id);
  if (gPost) PostMessageW(gWindow, WM_COMMAND, gCommand, 0);
  EndMenu();
}

IPopupMenu* Track(IPopupMenu& menu, bool post, WPARAM command)
{
  gPost = post;
  gCommand = command;
  SetTimer(nullptr, 0, 50, EndMenuSoon);
  return TrackPlatformPopupMenu(gWindow, menu, 10, 20);
}

TEST(PlatformPopupMenu, ChoicesReachTheMenuThatHoldsThemAndDismissalChoosesNothing)
{
  gWindow = MakeWindow(L"STATIC", nullptr, WS_VISIBLE);
  int topCalls = 0, subCalls = 0;
  IPopupMenu top(nullptr, {"one"}, [&](IPopupMenu*) { topCalls++; });
  auto* sub = new IPopupMenu(nullptr, {"a", "b"}, [&](IPopupMenu*) { subCalls++; });
  top.AddItem(new IMenuEntry("more", sub));
  top.AddItem("three");

  EXPECT_EQ(Track(top, true, 0), &top);
  EXPECT_EQ(top.GetChosenItemIdx(), 0);
  EXPECT_EQ(Track(top, true, 4), sub);
  EXPECT_EQ(sub->GetChosenItemIdx(), 1);
  EXPECT_EQ(std::make_pair(topCalls, subCalls), std::make_pair(1, 1));

  top.SetChosenItemIdx(-1);
  EXPECT_EQ(Track(top, false, 0), nullptr);
  EXPECT_EQ(Track(top, true, MAKEWPARAM(2, 1)), nullptr); // an accelerator or control notification
  EXPECT_EQ(top.GetChosenItemIdx(), -1);
  EXPECT_EQ(topCalls, 1);
  DestroyWindow(gWindow);
}

struct EntryFixture : ::testing::Test
{
  void TearDown() override
  {
    entry.Destroy();
    DestroyWindow(parent);
  }
  bool Open(int32_t type, const char* text = "12", int maxLength = 300)
  {
    PlatformTextEntry::Options o;
    o.parent = parent;
    o.paramType = type;
    o.bounds = {10.f, 10.f, 110.f, 30.f};
    o.maxLength = maxLength;
    o.text = text;
    return entry.Create(o);
  }

  HWND parent = MakeWindow(L"STATIC", nullptr, WS_VISIBLE);
  PlatformTextEntry entry;
};

TEST_F(EntryFixture, FiltersTypedCharactersByParameterType)
{
  const std::tuple<int32_t, const wchar_t*, const char*> cases[] = {
      {2, L"1a.5\b7", "17"}, {4, L"-1.5x", "-1.5"}, {-1, L"\x03A9 dB", "\xCE\xA9 dB"}};
  for (const auto& [type, typed, kept] : cases)
  {
    ASSERT_TRUE(Open(type, ""));
    EXPECT_FALSE(Open(type)); // a second request while open is ignored
    EXPECT_EQ(GetWindowLongPtrW(entry.Window(), GWLP_USERDATA), PlatformTextEntry::kUserDataMarker);
    for (const wchar_t* ch = typed; *ch; ch++)
      SendMessageW(entry.Window(), WM_CHAR, *ch, 0);
    EXPECT_STREQ(entry.ReadText().Get(), kept);
    entry.Destroy();
  }
}

TEST_F(EntryFixture, KeysAndFocusOnlyChangeTheState)
{
  ASSERT_TRUE(Open(4));
  const std::tuple<UINT, WPARAM, int32_t> steps[] = {{WM_SETFOCUS, 0, kTextEntryFocused},
                                                     {WM_KEYDOWN, VK_ESCAPE, kTextEntryCancel},
                                                     {WM_KEYDOWN, VK_RETURN, kTextEntryCommit},
                                                     {WM_SETFOCUS, 0, kTextEntryFocused},
                                                     {WM_KILLFOCUS, 0, kTextEntryCommit},
                                                     {WM_SETFOCUS, 0, kTextEntryFocused},
                                                     {WM_COMMAND, MAKEWPARAM(0, 1), kTextEntryCommit}};
  for (const auto& [msg, w, state] : steps)
  {
    SendMessageW(entry.Window(), msg, w, 0);
    EXPECT_EQ(entry.State(), state) << msg << " " << w;
  }
  EXPECT_STREQ(entry.ReadText().Get(), "12"); // Enter and Escape never reach the text
}

TEST_F(EntryFixture, ReadsAtMost255UnitsAndDeletesItsFontWithTheField)
{
  AddFontCacheUsers();
  CacheFontHandleCopy("Roboto-Regular", static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  ASSERT_TRUE(Open(-1, std::string(300, '7').c_str(), 400));
  EXPECT_EQ(entry.ReadText().GetLength(), 255);
  auto font = reinterpret_cast<HFONT>(SendMessageW(entry.Window(), WM_GETFONT, 0, 0));
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  entry.Destroy();
  EXPECT_EQ(GetObjectType(font), 0u);
  RemoveFontCacheUsers();
}

TEST(PlatformServices, ClipboardCarriesTextAndPathsAndTheOwnerIsTheTopOfTheParentChain)
{
  HWND owner = MakeWindow();
  ASSERT_TRUE(WriteClipboardText(owner, "\xCE\xA9 1.5 dB"));
  TextBuffer text;
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "\xCE\xA9 1.5 dB");

  ASSERT_TRUE(WriteClipboardPath(owner, "C:\\b\xC3\xA4nder\\take.wav"));
  EXPECT_FALSE(ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "");
  ASSERT_TRUE(OpenClipboard(owner));
  auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
  const auto dropped = drop ? FirstDropped(drop) : std::make_pair(0u, std::wstring());
  CloseClipboard();
  EXPECT_EQ(dropped, std::make_pair(1u, std::wstring(L"C:\\b\u00E4nder\\take.wav")));
  EXPECT_TRUE(WriteClipboardText(owner, ""));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  DestroyWindow(owner);

  HWND top = MakeWindow(L"#32770");
  OwnerWindowFinder finder;
  EXPECT_EQ(finder.Find(MakeWindow(L"STATIC", top)), top);
  EXPECT_EQ(OwnerWindowFinder().Find(nullptr), nullptr); // no parent and no class remembered
  // A host that destroys and recreates its frame: the dead owner is found again by its class.
  DestroyWindow(top);
  HWND again = MakeWindow(L"#32770");
  EXPECT_EQ(finder.KnownOwner(nullptr), again);
  DestroyWindow(again);
}

struct Calls
{
  std::vector<std::string> boxes, launched;
  bool connected = true;
  int answer = IDYES;
} gCalls;

const ShellSeams kFakes{[] { return gCalls.connected; },
                        [](void*, const char* file, const char* params, const char* dir) -> intptr_t
                        {
                          gCalls.launched.push_back(std::string(file) + "|" + (params ? params : "") + "|" +
                                                    (dir ? dir : ""));
                          return 42;
                        },
                        [](void*, const char* text, const char*, unsigned)
                        {
                          gCalls.boxes.push_back(text);
                          return gCalls.answer;
                        }};

TEST(PlatformServices, AddressesOpenOnlyWhenConfirmedAndConnected)
{
  // Address, confirmation text, the answer given, connected, opened, message boxes shown.
  const std::tuple<const char*, const char*, int, bool, bool, size_t> cases[] = {
      {"https://example.com", "Open?", IDYES, true, true, 1},
      {"https://example.com", "Open?", IDNO, true, false, 1},
      {"https://example.com", nullptr, IDYES, false, false, 1}, // offline: the error text
      {"mailto:someone@example.com", nullptr, IDYES, false, true, 0},
      {"https://example.com", nullptr, IDYES, true, true, 0},
  };
  for (const auto& [url, confirm, answer, connected, opened, boxes] : cases)
  {
    gCalls = {{}, {}, connected, answer};
    EXPECT_EQ(OpenUrlWithSeams(nullptr, url, "Title", confirm, "Offline", kFakes), opened) << url;
    EXPECT_EQ(gCalls.launched.size(), opened ? 1u : 0u) << url;
    EXPECT_EQ(gCalls.boxes.size(), boxes) << url;
  }
  gCalls = {};
  EXPECT_TRUE(RevealPathWithSeams("C:\\a b\\c.wav", true, kFakes));
  ASSERT_EQ(gCalls.launched.size(), 1u);
  EXPECT_EQ(gCalls.launched[0].substr(0, 36), "explorer.exe|/select,\"C:\\a b\\c.wav\"|");
  EXPECT_EQ(gCalls.launched[0].back(), '\\');
  EXPECT_FALSE(RevealPathWithSeams("", true, kFakes));

  const std::pair<int, const wchar_t*> cursors[] = {{0, IDC_ARROW}, {1, IDC_IBEAM}, {7, IDC_SIZEWE},
                                                    {11, IDC_HAND}, {13, IDC_HELP}, {42, IDC_ARROW}};
  for (const auto& [kind, id] : cursors)
  {
    ShowSystemCursor(kind);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, id)) << kind;
  }
}

// Dialogs are ended from a hook as soon as they are made; the title is noted first. With an accepting step
// set, the step runs and the dialog is confirmed, else it is cancelled.
HHOOK gHook = nullptr;
std::wstring gTitle;
void (*gAccept)(HWND dialog) = nullptr;
std::wstring gChoice; // the name typed into a file chooser, the folder selected in a folder chooser
void CALLBACK NoteTitleAndEnd(HWND dialog, UINT, UINT_PTR id, DWORD)
{
  KillTimer(dialog, id);
  wchar_t title[128] = {};
  GetWindowTextW(dialog, title, 128);
  gTitle = title;
  if (gAccept) gAccept(dialog);
  PostMessageW(dialog, WM_COMMAND, gAccept ? IDOK : IDCANCEL, 0);
}
LRESULT CALLBACK EndDialogs(int code, WPARAM wParam, LPARAM lParam)
{
  if (code == HCBT_ACTIVATE) SetTimer(reinterpret_cast<HWND>(wParam), 77, 20, NoteTitleAndEnd);
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST(PlatformServices, DialogsKeepOutputsOnCancelAndGiveTheChoiceOnConfirmation)
{
  HWND owner = MakeWindow();
  gHook = SetWindowsHookExW(WH_CBT, EndDialogs, nullptr, GetCurrentThreadId());
  IArgb colour{255, 10, 20, 30};
  EXPECT_FALSE(ChooseColour(owner, colour, "Pick a colour"));
  EXPECT_EQ(gTitle, L"Pick a colour");
  EXPECT_EQ(colour.R, 10);
  EXPECT_FALSE(ChooseColour(nullptr, colour, "x"));

  TextBuffer file("old.wav");
  TextBuffer path("C:\\");
  EXPECT_FALSE(ChooseFile(owner, file, path, true, "wav aif"));
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(path.Get(), "C:\\");
  EXPECT_STREQ(ChooseFolder(owner).Get(), "");

  // Confirmed: a colour chooser titled with the prompt gives the colour shown, alpha kept.
  gAccept = [](HWND dialog)
  {
    for (int i = 0; i < 3; i++) // the red, green and blue fields
      SetDlgItemInt(dialog, 706 + i, 40 + 10 * i, FALSE);
  };
  gTitle.clear();
  EXPECT_TRUE(ChooseColour(owner, colour, "Drive colour \xCE\xA9"));
  EXPECT_EQ(gTitle, L"Drive colour \u03A9");
  EXPECT_EQ(std::make_tuple(colour.A, colour.R, colour.G, colour.B), std::make_tuple(255, 40, 50, 60));

  // A folder the test made on the desktop, picked in the tree, comes back with one trailing backslash.
  // (Under Wine 8 neither BFFM_SETSELECTIONW nor the edit field changed the choice: the tree does.)
  auto utf8 = [](const std::wstring& w) { return std::string(WideToUtf8((const char16_t*)w.c_str()).Get()); };
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  gChoice = std::wstring(desktop) + L"\\Quorvel \u03A9";
  CreateDirectoryW(gChoice.c_str(), nullptr);
  gAccept = [](HWND dialog)
  {
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    auto next = [tree](WPARAM how, LPARAM item) { return SendMessageW(tree, TVM_GETNEXTITEM, how, item); };
    for (LPARAM item = next(TVGN_CHILD, next(TVGN_ROOT, 0)); item; item = next(TVGN_NEXT, item))
    {
      wchar_t text[64] = {};
      TVITEMW tv{TVIF_TEXT, reinterpret_cast<HTREEITEM>(item), 0, 0, text, 64};
      SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
      if (std::wstring(text) == L"Quorvel \u03A9") SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, item);
    }
  };
  EXPECT_EQ(ChooseFolder(owner).Get(), utf8(gChoice) + "\\");
  RemoveDirectoryW(gChoice.c_str());

  // A saved name comes back as the full path, its folder with the trailing backslash.
  gChoice = std::wstring(desktop) + L"\\take.wav";
  // The name field is edt1 in the old dialog, the combo box cmb13 in the explorer-style one.
  gAccept = [](HWND dialog)
  {
    if (!SetDlgItemTextW(dialog, 0x480, gChoice.c_str())) SetDlgItemTextW(dialog, 0x47C, gChoice.c_str());
  };
  ASSERT_TRUE(ChooseFile(owner, file, path, true, "wav aif"));
  gAccept = nullptr;
  EXPECT_EQ(file.Get(), utf8(gChoice));
  EXPECT_EQ(path.Get(), utf8(desktop) + "\\");
  UnhookWindowsHookEx(gHook);
  DestroyWindow(owner);
}

} // namespace
} // namespace iplug::igraphics
