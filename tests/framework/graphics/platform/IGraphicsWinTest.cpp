#include "framework/graphics/platform/IGraphicsWin.h"
#include "framework/graphics/platform/Win32Handles.h"

#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/MissingGl.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace iplug::igraphics
{
namespace
{

using gfxtest::EventLog;
using gfxtest::LoggingControl;
using gfxtest::TestEditorDelegate;

// Records the values the shared logging control leaves out.
class ValueControl : public LoggingControl
{
public:
  using LoggingControl::LoggingControl;
  void OnMouseWheel(float x, float y, const IModifierState& mod, float delta) override
  {
    wheel.push_back(delta);
    LoggingControl::OnMouseWheel(x, y, mod, delta);
  }
  void OnDropPaths(const std::vector<std::string>& p) override { paths = p; }
  void Draw(IGraphics& g) override
  {
    if (throwsLeft > 0 && throwsLeft--) throw std::bad_alloc();
    LoggingControl::Draw(g);
  }
  int throwsLeft = 0;
  std::vector<float> wheel;
  std::vector<std::string> paths;
};

std::vector<UINT> gRootKeys;
LRESULT CALLBACK RootProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
  if (msg == WM_KEYDOWN) gRootKeys.push_back(static_cast<UINT>(wp));
  return DefWindowProcW(w, msg, wp, lp);
}

int CountThreads()
{
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{sizeof(entry)};
  int n = 0;
  for (BOOL ok = Thread32First(snap, &entry); ok; ok = Thread32Next(snap, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) n++;
  CloseHandle(snap);
  return n;
}

void Pump(int ms)
{
  for (const DWORD end = GetTickCount() + static_cast<DWORD>(ms); GetTickCount() < end; Sleep(1))
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
      TranslateMessage(&msg), DispatchMessageW(&msg);
}

// An HDROP as the shell hands it over, for the given UTF-16 paths dropped at (20, 20).
HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
  std::wstring list;
  for (const auto& p : paths)
    list += p + L'\0';
  HGLOBAL block =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  *files = {sizeof(DROPFILES), {20, 20}, FALSE, TRUE};
  std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

struct WindowFixture : ::testing::Test
{
  void SetUp() override
  {
    const WNDCLASSW wc{0, RootProc, 0, 0, GetModuleHandleW(nullptr), {}, {}, {}, {}, L"QuorvelTestRoot"};
    RegisterClassW(&wc);
    root = CreateWindowExW(0, L"QuorvelTestRoot", L"root", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(root);
    delegate.SetMakeGraphicsFunc(
        [this] { return graphics = new IGraphicsWin(&delegate, 200, 100, 30, 1.f, seams); });
    delegate.SetLayoutFunc(
        [this](IGraphics* g)
        {
          if (throwInLayout) throw std::runtime_error("layout");
          g->EnableTooltips(tooltips);
          // GDI objects that closing frees; NanoVG takes the font only into a GL context.
          const bool fontLoaded = g->LoadFontFile("Roboto", "Z:" QUORVEL_ROBOTO_PATH);
          if (g->GetDrawContext()) EXPECT_TRUE(fontLoaded);
          other = new LoggingControl({100.f, 10.f, 150.f, 40.f}, {}, log, "b", COLOR_BLUE);
          g->AddControl(other);
          control = new ValueControl({10.f, 10.f, 60.f, 40.f}, {0}, log, "a", COLOR_RED);
          control->SetTooltip("Drive \xCE\xA9");
          g->AddControl(control);
        });
    gRootKeys.clear();
  }
  void TearDown() override
  {
    delegate.CloseWindow();
    DestroyWindow(root);
  }
  HWND Open(HWND parent = nullptr)
  {
    auto window = static_cast<HWND>(delegate.OpenWindow(parent ? parent : root));
    Pump(50);
    log.clear();
    return window;
  }

  EventLog log;
  TestEditorDelegate delegate{2, log};
  IGraphicsWin::Seams seams = [] { // the timer ticks unless a test asks for the thread
    IGraphicsWin::Seams s = IGraphicsWin::SystemSeams();
    s.isWindows8OrLater = [] { return false; };
    return s;
  }();
  bool throwInLayout = false;
  bool tooltips = false;
  IGraphicsWin* graphics = nullptr;
  ValueControl* control = nullptr;
  LoggingControl* other = nullptr;
  HWND root = nullptr;
};

TEST_F(WindowFixture, OpensAndClosesManyTimesWithoutLeavingAnythingBehind)
{
  seams = IGraphicsWin::SystemSeams(); // the vertical-blank thread
  for (int i = 0; i < 3; i++)          // the system's own helper threads start with the first windows
  {
    ASSERT_TRUE(Open());
    EXPECT_TRUE(graphics->UsesVBlankThread());
    const int draws = control->draws;
    control->MarkDirty(false); // only a tick of the thread turns this into a paint
    Pump(150);
    EXPECT_GT(control->draws, draws);
    delegate.CloseWindow();
  }
  Pump(100);
  const int threads = CountThreads();
  const int gdiObjects = win32::gLiveGdiObjects;
  for (int i = 0; i < 50; i++)
  {
    HWND w = Open();
    ASSERT_TRUE(w) << i;
    // Opening again while open leaves one window at the same place.
    void* again = graphics->OpenEditorWindow(root);
    EXPECT_EQ(again, graphics->GetWindowHandle());
    EXPECT_EQ(IGraphicsWin::GetOpenWindowCount(), 1);
    EXPECT_EQ(GetWindow(root, GW_CHILD), graphics->GetWindowHandle());
    EXPECT_EQ(GetWindow(static_cast<HWND>(graphics->GetWindowHandle()), GW_HWNDNEXT), nullptr);
    delegate.CloseWindow();
  }
  Pump(100);
  EXPECT_EQ(CountThreads(), threads);
  EXPECT_EQ(win32::gLiveGdiObjects, gdiObjects);
  WNDCLASSW wc{};
  EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc));
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0x0401, 0x0401, PM_NOREMOVE));
}

// An opening that fails closes what it had opened and gives null: no window, no class, no GDI object left.
TEST_F(WindowFixture, AFailedOpeningLeavesNothingOpen)
{
  ASSERT_TRUE(Open()); // fonts and caches of the first opening stay for the module's life
  delegate.CloseWindow();
  const int gdiObjects = win32::gLiveGdiObjects;
  auto check = [&](void* opened, const char* why)
  {
    WNDCLASSW wc{};
    EXPECT_EQ(opened, nullptr) << why;
    EXPECT_EQ(IGraphicsWin::GetOpenWindowCount(), 0) << why;
    EXPECT_EQ(GetWindow(root, GW_CHILD), nullptr) << why;
    EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc)) << why;
    EXPECT_EQ(win32::gLiveGdiObjects, gdiObjects) << why;
    delegate.CloseWindow();
  };
  check(IGraphicsWin(&delegate, 200, 100, 30, 1.f, seams).OpenEditorWindow(reinterpret_cast<void*>(0x12345)),
        "no window can be made");
  throwInLayout = true;
  check(delegate.OpenWindow(root), "the layout throws");
  throwInLayout = false;
  seams.windowScale = [](void*) -> float { throw std::runtime_error("scale"); };
  check(delegate.OpenWindow(root), "reading the scale throws");
}

// No thread can be started: the timer ticks instead.
TEST_F(WindowFixture, AFailedThreadFallsBackToTheTimer)
{
  static int attempts = 0;
  seams.isWindows8OrLater = [] { return true; };
  seams.createThread = [](unsigned long (*)(void*), void*) -> void* { return attempts++, nullptr; };
  ASSERT_TRUE(Open());
  EXPECT_EQ(attempts, 1);
  EXPECT_FALSE(graphics->UsesVBlankThread());
  const int draws = control->draws;
  control->MarkDirty(false); // only a tick turns this into a paint
  Pump(150);
  EXPECT_GT(control->draws, draws);
}

TEST_F(WindowFixture, MouseKeysAndDropsReachControlsOrTheRootWindow)
{
  HWND w = Open();
  ASSERT_TRUE(w);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20)); // no movement: no drag
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 22));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(25, 22));
  SendMessageW(w, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20));
  SendMessageW(w, WM_MBUTTONUP, 0, MAKELPARAM(20, 20));
  const std::vector<std::string> expected = {"begin 0", "down a", "drag a", "up a", "end 0",
                                             "begin 0", "down a", "up a",   "end 0"};
  std::vector<std::string> got;
  for (const auto& e : log)
    if (e.find("over") == std::string::npos) got.push_back(e);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(GetCapture(), nullptr);

  RECT r{};
  GetWindowRect(w, &r);
  SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), MAKELPARAM(r.left + 20, r.top + 20));
  SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(r.left + 20, r.top + 20));
  EXPECT_EQ(control->wheel, (std::vector<float>{0.f, -2.f}));

  // No message box has found an owner yet: the editor window owns what goes on the clipboard.
  ASSERT_TRUE(graphics->SetClipboardText("\xCE\xA9 1.5 dB"));
  TextBuffer text;
  ASSERT_TRUE(graphics->GetClipboardText(text));
  EXPECT_STREQ(text.Get(), "\xCE\xA9 1.5 dB");

  // Keys go to the control under the cursor, else to the root window.
  POINT inside{20, 20};
  ClientToScreen(w, &inside);
  SetCursorPos(inside.x, inside.y);
  SendMessageW(w, WM_KEYDOWN, 'A', 0x001E0001);
  EXPECT_EQ(log.back(), "key a");
  EXPECT_TRUE(gRootKeys.empty());
  control->keyHandled = false;
  SendMessageW(w, WM_KEYDOWN, VK_F5, 0x003F0001);
  EXPECT_EQ(gRootKeys, (std::vector<UINT>{VK_F5}));

  // Dropped paths arrive whole and as UTF-8.
  SendMessageW(w, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\b\u00E4nder\\take.wav"})), 0);
  EXPECT_EQ(log.back(), "drop:C:\\b\xC3\xA4nder\\take.wav a");

  const std::wstring longPath = L"C:\\" + std::wstring(1100, L'x') + L".wav";
  SendMessageW(w, WM_DROPFILES,
               reinterpret_cast<WPARAM>(MakeDrop({L"C:\\one.wav", L"C:\\\u03A9.aif", longPath})), 0);
  ASSERT_EQ(control->paths.size(), 3u);
  EXPECT_EQ(control->paths[1], "C:\\\xCE\xA9.aif");
  EXPECT_EQ(control->paths[2].size(), longPath.size());
}

// The window's current frame as WM_PRINTCLIENT paints it: the colours at the two controls' centres.
std::pair<COLORREF, COLORREF> PrintedColours(HWND w)
{
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const std::pair<COLORREF, COLORREF> colours{GetPixel(memory, 30, 25), GetPixel(memory, 120, 25)};
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colours;
}

TEST_F(WindowFixture, APartialInvalidationRepaintsOnlyWhatIsDirtyAsThePrintedFrameShows)
{
  HWND w = Open();
  ASSERT_TRUE(w);
  EXPECT_FALSE(graphics->UsesVBlankThread()); // the timer ticks here
  Pump(200);
  QUORVEL_REQUIRE_GL(graphics->GetDrawContext());
  auto [a, b] = PrintedColours(w);
  EXPECT_EQ(a, RGB(255, 0, 0));
  EXPECT_EQ(b, RGB(0, 0, 255));

  // Both change colour, only one is marked dirty: the other keeps its old pixels.
  control->colour = COLOR_GREEN;
  other->colour = COLOR_GREEN;
  const int drawsOfOther = other->draws;
  control->MarkDirty(false);
  Pump(200);
  EXPECT_EQ(other->draws, drawsOfOther);
  std::tie(a, b) = PrintedColours(w);
  EXPECT_EQ(GetGValue(a), 255);
  EXPECT_EQ(GetRValue(a), 0);
  EXPECT_EQ(b, RGB(0, 0, 255));
}

// A paint inside a host that has its own GL context current, also one that a control leaves by throwing:
// the host's context is current afterwards, the window is validated and the next paint draws.
TEST_F(WindowFixture, PaintingLeavesAHostsOwnContextCurrentAlsoWhenAControlThrows)
{
  HWND w = Open();
  ASSERT_TRUE(w);
  QUORVEL_REQUIRE_GL(graphics->GetDrawContext());
  HWND hostWindow = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, root, nullptr,
                                    nullptr, nullptr);
  HDC hostDC = GetDC(hostWindow);
  PIXELFORMATDESCRIPTOR pfd{sizeof(pfd), 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER};
  pfd.cColorBits = 32;
  SetPixelFormat(hostDC, ChoosePixelFormat(hostDC, &pfd), &pfd);
  HGLRC host = wglCreateContext(hostDC);
  ASSERT_TRUE(host && wglMakeCurrent(hostDC, host));
  for (const int throws : {0, 1})
  {
    control->throwsLeft = throws;
    control->colour = throws ? COLOR_GREEN : COLOR_RED;
    control->MarkDirty(false);
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(control->throwsLeft, 0) << "painted";
    EXPECT_EQ(wglGetCurrentContext(), host) << throws;
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << throws << ": validated";
    EXPECT_FALSE(graphics->IsInFrame()) << throws;
    // Nested use (an upload inside a paint): the outermost release puts the host's back.
    EXPECT_TRUE(graphics->MakeGLContextCurrent());
    EXPECT_TRUE(graphics->MakeGLContextCurrent());
    EXPECT_TRUE(graphics->ReleaseGLContext());
    EXPECT_TRUE(graphics->ReleaseGLContext());
    EXPECT_FALSE(graphics->ReleaseGLContext());
    EXPECT_EQ(wglGetCurrentContext(), host);
  }
  control->MarkDirty(false);
  Pump(200);
  EXPECT_EQ(PrintedColours(w).first, RGB(0, 255, 0)) << "the paint after the throw draws";
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(host);
  ReleaseDC(hostWindow, hostDC);
  DestroyWindow(hostWindow);
}

// A platform field that cannot open, or that is open for another control, leaves the target alone:
// no control waits for text that never comes, and the open field commits to its own control.
TEST_F(WindowFixture, ADeclinedPlatformTextEntryLeavesTheTargetAsItWas)
{
  ASSERT_TRUE(Open());
  IGraphicsWin closed(&delegate, 200, 100, 30, 1.f, seams); // never opened: no window
  auto* alone = new LoggingControl({10.f, 10.f, 60.f, 40.f}, {0}, log, "c", COLOR_RED);
  closed.AddControl(alone);
  struct Case
  {
    const char* what;
    IGraphicsWin* g;
    IControl* first; // a field opened for it before the request, or none
    IControl* asking;
    IControl* expected;
  };
  const Case cases[] = {{"no window", &closed, nullptr, alone, nullptr},
                        {"a field already open", graphics, control, other, control}};
  for (const Case& c : cases)
  {
    if (c.first) c.g->ShowTextEntry(c.first, ITextStyle(), c.first->GetBounds(), "3.5", 0);
    c.g->ShowTextEntry(c.asking, ITextStyle(), c.asking->GetBounds(), "1", 0);
    EXPECT_EQ(c.g->GetTextEntryTarget(), c.expected) << c.what;
  }
}

// A host that destroys its frame (and with it the editor window) and makes a new one: the editor forgets
// the dead window, closing deletes nothing through it, and the clipboard finds the new frame as owner.
TEST_F(WindowFixture, AHostThatDestroysItsFrameFirstLeavesNothingDeadBehind)
{
  const WNDCLASSW wc{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), {}, {}, {}, {}, L"QuorvelTestFrame"};
  RegisterClassW(&wc);
  auto makeFrame = []
  {
    return CreateWindowExW(0, L"QuorvelTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  };
  seams.shell.messageBox = [](void*, const char*, const char*, unsigned) { return IDOK; };
  HWND frame = makeFrame();
  ASSERT_TRUE(Open(frame));
  graphics->ShowMessageBox("found", "owner", MB_OK); // finds the frame as owner
  DestroyWindow(frame);
  EXPECT_EQ(graphics->GetWindowHandle(), nullptr);
  EXPECT_EQ(IGraphicsWin::GetOpenWindowCount(), 0);
  HWND again = makeFrame();
  EXPECT_TRUE(graphics->SetClipboardText("after")) << "the new frame owns the clipboard";
  delegate.CloseWindow();
  DestroyWindow(again);
}

// The record size of every tool message the editor sends, and the tooltip window it sends them to.
std::vector<UINT> gToolInfoSizes;
HWND gTooltipWindow = nullptr;
LRESULT CALLBACK NoteToolMessages(int code, WPARAM wParam, LPARAM lParam)
{
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (call->message == TTM_ADDTOOLW || call->message == TTM_UPDATETIPTEXTW)
  {
    gToolInfoSizes.push_back(reinterpret_cast<const TOOLINFOW*>(call->lParam)->cbSize);
    gTooltipWindow = call->hwnd;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WindowFixture, AHoveredControlsTooltipReachesOneToolInTheVersion2Record)
{
  tooltips = true;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NoteToolMessages, nullptr, GetCurrentThreadId());
  HWND w = Open();
  ASSERT_TRUE(w);
  SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  SendMessageW(w, WM_MOUSEHOVER, 0, MAKELPARAM(20, 20));
  UnhookWindowsHookEx(hook);
  ASSERT_TRUE(gTooltipWindow);
  EXPECT_EQ(GetWindow(gTooltipWindow, GW_OWNER), root); // an owner is always a top-level window
  EXPECT_EQ(gToolInfoSizes, std::vector<UINT>(2, TTTOOLINFOW_V2_SIZE)); // added, then given the text
  EXPECT_EQ(SendMessageW(gTooltipWindow, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[80] = {};
  TOOLINFOW info{TTTOOLINFOW_V2_SIZE, 0, w, reinterpret_cast<UINT_PTR>(w)};
  info.lpszText = text;
  SendMessageW(gTooltipWindow, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(text, L"Drive \u03A9");
}

// The editor in two nested child windows: a size change reaches both unless the host already resized them.
TEST_F(WindowFixture, AResizeReachesTheTwoEnclosingChildWindowsUnlessTheHostResizedThem)
{
  HWND outer = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 350, 250, root, nullptr,
                               nullptr, nullptr);
  HWND inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, outer, nullptr,
                               nullptr, nullptr);
  HWND w = Open(inner);
  ASSERT_TRUE(w);
  auto size = [](HWND h)
  {
    RECT r{};
    GetWindowRect(h, &r);
    return std::make_pair(r.right - r.left, r.bottom - r.top);
  };
  const auto rootSize = size(root);
  using Size = std::pair<long, long>;
  // Whether the host resized the parents itself, the new editor size, then the sizes of the three windows.
  const std::tuple<bool, int, int, Size, Size, Size> cases[] = {
      {false, 220, 110, {220, 110}, {320, 210}, {370, 260}},
      {true, 240, 130, {240, 130}, {320, 210}, {370, 260}}};
  for (const auto& [hostResized, width, height, editor, parent, grandparent] : cases)
  {
    delegate.resizeAnswer = hostResized;
    graphics->Resize(width, height, 1.f, true);
    EXPECT_EQ(size(w), editor) << hostResized;
    EXPECT_EQ(size(inner), parent) << hostResized;
    EXPECT_EQ(size(outer), grandparent) << hostResized;
  }
  EXPECT_EQ(size(root), rootSize);
}

// What the DPI seam reports for every window.
float gWindowScale = 1.f;

TEST_F(WindowFixture, FollowsA150PercentDisplayOnTheNextTickButNotWhileTheMouseIsCaptured)
{
  seams.windowScale = [](void*) { return gWindowScale; };
  gWindowScale = 1.5f;
  HWND w = Open();
  ASSERT_TRUE(w);
  auto state = [&]
  {
    RECT r{};
    GetClientRect(w, &r);
    return std::make_tuple(graphics->GetDisplayScale(), r.right, r.bottom);
  };
  // Opened at the whole scale below (1), then the tick takes the display's own.
  Pump(150);
  EXPECT_EQ(state(), std::make_tuple(1.5f, 300L, 150L));
  SetCapture(w); // a drag in progress: the scale must not change under it
  gWindowScale = 1.f;
  Pump(150);
  EXPECT_EQ(state(), std::make_tuple(1.5f, 300L, 150L));
  ReleaseCapture();
  Pump(150);
  EXPECT_EQ(state(), std::make_tuple(1.f, 200L, 100L));
  gWindowScale = 1.f;
}

int CursorCount()
{
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

TEST_F(WindowFixture, HiddenCursorIsCountedOnceAndALockedDragKeepsItInPlace)
{
  HWND w = Open();
  ASSERT_TRUE(w);
  const int shown = CursorCount();
  graphics->HideMouseCursor(true, false);
  graphics->HideMouseCursor(true, false);
  EXPECT_EQ(CursorCount(), shown - 1);
  graphics->HideMouseCursor(false);
  EXPECT_EQ(CursorCount(), shown);

  POINT start{20, 20};
  ClientToScreen(w, &start);
  SetCursorPos(start.x, start.y);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  graphics->HideMouseCursor(true, true);
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 32));
  POINT now{};
  GetCursorPos(&now);
  EXPECT_EQ(std::make_pair(now.x, now.y), std::make_pair(start.x, start.y));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  graphics->HideMouseCursor(false);
  EXPECT_EQ(CursorCount(), shown);
}

TEST_F(WindowFixture, PlatformTextEntryEndsOnTheTickAfterEnterEscapeClicksOrTheWheel)
{
  delegate.GetParam(0)->ConfigureDouble("Drive", 3.5, 0.0, 10.0, 0.1, "dB");
  // A hidden root gets no focus events from the X server, which would reach the field late and in any
  // order: here the states are driven by messages alone.
  ShowWindow(root, SW_HIDE);
  HWND w = Open();
  ASSERT_TRUE(w);
  using Act = void (*)(HWND window, HWND edit);
  const std::pair<Act, bool> cases[] = {
      {[](HWND, HWND e) { SendMessageW(e, WM_KEYDOWN, VK_RETURN, 0); }, true},
      {[](HWND, HWND e) { SendMessageW(e, WM_KEYDOWN, VK_ESCAPE, 0); }, false},
      {[](HWND w, HWND e) // a click while the field has the focus
       {
         SendMessageW(e, WM_SETFOCUS, 0, 0);
         SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 20));
       },
       false},
      {[](HWND w, HWND) { SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 20)); }, true},
      {[](HWND w, HWND) { SendMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); }, false}};
  for (int i = 0; i < 5; i++)
  {
    log.clear();
    graphics->ShowTextEntry(control, ITextStyle(), control->GetBounds(), "3.5", 0);
    ASSERT_TRUE(graphics->HasPlatformTextEntry());
    HWND edit = GetWindow(w, GW_CHILD);
    // A new value each time: a commit of the value already set would change nothing.
    SetWindowTextW(edit, std::to_wstring(i + 1).c_str());
    cases[i].first(w, edit);
    Pump(250);
    EXPECT_FALSE(graphics->HasPlatformTextEntry()) << i;
    EXPECT_EQ(graphics->GetTextEntryTarget(), nullptr) << i;
    const std::string set = "set 0 0." + std::to_string(i + 1);
    EXPECT_EQ(std::find(log.begin(), log.end(), set) != log.end(), cases[i].second) << i;
  }
}

} // namespace
} // namespace iplug::igraphics
