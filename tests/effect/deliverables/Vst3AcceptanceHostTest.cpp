// The Windows acceptance host: loads the bundle's DLL as a host does (by path, through
// LoadLibrary and the exported entry points only) and runs the module checks on it, then opens the
// editor view in a real host window.

#include "framework/vst3/KeyCodes.h"
#include "tests/support/graphics/PngFiles.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/ModuleAcceptance.h"
#include "tests/support/vst3/RecordingContextMenu.h"
#include "tests/support/vst3/RecordingPlugFrame.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <tuple>

using namespace quorvel::test;

namespace
{
// The build passes the bundle's path as the build machine writes it; under Wine a Unix path is
// reached through drive Z:.
std::wstring BundleModulePath()
{
  std::string path = QUORVEL_VST3_BUNDLE_FILE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return std::wstring(path.begin(), path.end());
}

class LoadedBundle
{
public:
  LoadedBundle() : mModule(LoadLibraryW(BundleModulePath().c_str()))
  {
    if (!mModule) return;
    entry.getPluginFactory = reinterpret_cast<decltype(entry.getPluginFactory)>(
        reinterpret_cast<void*>(GetProcAddress(mModule, "GetPluginFactory")));
    entry.initDll = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(mModule, "InitDll")));
    entry.exitDll = reinterpret_cast<bool (*)()>(reinterpret_cast<void*>(GetProcAddress(mModule, "ExitDll")));
  }
  ~LoadedBundle()
  {
    if (mModule) FreeLibrary(mModule);
  }
  bool Ready() const { return mModule && entry.getPluginFactory && entry.initDll && entry.exitDll; }

  ModuleEntryPoints entry;

private:
  HMODULE mModule;
};
} // namespace

TEST(Vst3AcceptanceHost, LoadsTheBundleAndFindsExactlyTheEntryPoints)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready()) << "cannot load " << QUORVEL_VST3_BUNDLE_FILE;
  HMODULE module = GetModuleHandleW(BundleModulePath().c_str());
  ASSERT_NE(module, nullptr);
  // Exports by ordinal: ExitDll 1, GetPluginFactory 2, InitDll 3.
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))),
            reinterpret_cast<void*>(bundle.entry.getPluginFactory));
  EXPECT_EQ(GetProcAddress(module, "CreateVst3Instance"), nullptr) << "nothing else is exported";
  EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr);
}

TEST(Vst3AcceptanceHost, ScansFactoryAndClass)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckFactoryAndClassInfo(bundle.entry);
}

TEST(Vst3AcceptanceHost, NegotiatesMonoAndStereo)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckBusesAndArrangements(bundle.entry);
}

TEST(Vst3AcceptanceHost, ProcessesAtCommonAndExtremeRates)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckSetupsAtManyRates(bundle.entry);
}

TEST(Vst3AcceptanceHost, SoundsLikeTheEngineWhileAutomatedIn32And64Bit)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckAudioAgainstEngine(bundle.entry, false);
  CheckAudioAgainstEngine(bundle.entry, true);
}

TEST(Vst3AcceptanceHost, RunsOnTrappingHostThreadsIn32And64Bit)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckTrappingHostThreads(bundle.entry, false);
  CheckTrappingHostThreads(bundle.entry, true);
}

TEST(Vst3AcceptanceHost, SavesAndRestoresStateWithBypass)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckStateAndBypassPersistence(bundle.entry);
}

TEST(Vst3AcceptanceHost, RefusesBadInput)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckBadInputIsRefused(bundle.entry);
}

TEST(Vst3AcceptanceHost, RestartsTheSameInstanceAndUnloads)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckRestartOfTheSameInstance(bundle.entry);
}

TEST(Vst3AcceptanceHost, ReadsTheXmlStateForm)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckXmlStateForm(bundle.entry);
}

TEST(Vst3AcceptanceHost, RunsTwoInstancesAtOnce)
{
  LoadedBundle bundle;
  ASSERT_TRUE(bundle.Ready());
  CheckTwoInstancesAtOnce(bundle.entry);
}

namespace
{
using namespace Steinberg;
using iplug::igraphics::gfxtest::Pixels;

constexpr Vst::ParamID kDriveId = 0x05B6998A;

void Pump(DWORD ms)
{
  const DWORD end = GetTickCount() + ms;
  MSG m;
  do
  {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&m);
    Sleep(5);
  } while (GetTickCount() < end);
}

int ThreadsOfThisProcess()
{
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 t{};
  t.dwSize = sizeof(t);
  int n = 0;
  for (BOOL more = Thread32First(snapshot, &t); more; more = Thread32Next(snapshot, &t))
    n += t.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return n;
}

std::pair<int, int> ClientSize(HWND w)
{
  RECT r{};
  GetClientRect(w, &r);
  return {r.right, r.bottom};
}

// The window's current frame as WM_PRINTCLIENT paints it, as RGBA.
Pixels Printed(HWND w)
{
  const auto [width, height] = ClientSize(w);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  GdiFlush();
  Pixels p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < p.rgba.size(); i += 4)
    std::tie(p.rgba[i], p.rgba[i + 1], p.rgba[i + 2], p.rgba[i + 3]) =
        std::make_tuple(bgra[i + 2], bgra[i + 1], bgra[i], uint8_t{255});
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return p;
}

// Pixels further than 3 from the reference in any colour channel, as the editor's own golden test counts.
size_t Outliers(const Pixels& a, const Pixels& b)
{
  size_t n = 0;
  for (size_t i = 0; i < a.rgba.size(); i += 4)
    n += std::abs(a.rgba[i] - b.rgba[i]) > 3 || std::abs(a.rgba[i + 1] - b.rgba[i + 1]) > 3 ||
         std::abs(a.rgba[i + 2] - b.rgba[i + 2]) > 3;
  return n;
}

// The effect opened from the bundle with a host window, a frame and a menu-offering handler.
struct ViewHost
{
  ViewHost()
  {
    if (!bundle.Ready() || !bundle.entry.initDll()) return;
    factory = bundle.entry.getPluginFactory();
    TUID cid;
    ExpectedClassId(cid);
    void* obj = nullptr;
    factory->createInstance(reinterpret_cast<FIDString>(cid), Vst::IComponent::iid, &obj);
    component = static_cast<Vst::IComponent*>(obj);
    if (!component || component->initialize(&host) != kResultOk ||
        component->queryInterface(Vst::IEditController::iid, reinterpret_cast<void**>(&controller)) !=
            kResultOk)
      return;
    controller->setComponentHandler(&handler);
    parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             1600, 1100, nullptr, nullptr, nullptr, nullptr);
  }
  ~ViewHost()
  {
    if (parent) DestroyWindow(parent);
    if (controller) controller->release();
    if (component) component->terminate(), component->release();
    if (factory) factory->release(), bundle.entry.exitDll();
  }
  bool Ready() const { return parent && controller; }
  IPlugView* Open()
  {
    IPlugView* view = controller->createView(Vst::ViewType::kEditor);
    return view && view->setFrame(&frame) == kResultTrue ? view : nullptr;
  }
  HWND Child() const { return GetWindow(parent, GW_CHILD); }
  int Children() const
  {
    int n = 0;
    for (HWND w = Child(); w; w = GetWindow(w, GW_HWNDNEXT))
      ++n;
    return n;
  }
  // A right-click at a point of the editor window, in its pixels.
  void RightClick(int x, int y) const
  {
    SendMessageW(Child(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    SendMessageW(Child(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
  }

  LoadedBundle bundle;
  HostApplication host{u"Acceptance Host"};
  RecordingPlugFrame frame;
  ContextMenuHandler handler;
  IPluginFactory* factory = nullptr;
  Vst::IComponent* component = nullptr;
  Vst::IEditController* controller = nullptr;
  HWND parent = nullptr;
};
} // namespace

TEST(Vst3AcceptanceHost, EditorViewInAHostWindowDrawsScalesTakesKeysAndShowsTheHostMenu)
{
  ViewHost h;
  ASSERT_TRUE(h.Ready());
  IPlugView* view = h.Open();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->attached(h.parent, kPlatformTypeHWND), kResultTrue);
  ASSERT_EQ(std::make_pair(h.Children(), GetParent(h.Child())), std::make_pair(1, h.parent));
  EXPECT_EQ(ClientSize(h.Child()), std::make_pair(980, 650));
  Pump(300);
  const Pixels frame = Printed(h.Child());
  const std::string golden = std::string(QUORVEL_EDITOR_GOLDEN_DIR) + "/fresh_1.0.png";
  const Pixels expected = iplug::igraphics::gfxtest::ReadPng(golden);
  ASSERT_EQ(std::make_pair(expected.width, expected.height), std::make_pair(980, 650)) << golden;
  const size_t outliers = Outliers(frame, expected);
  if (outliers > 637) iplug::igraphics::gfxtest::WritePng(QUORVEL_EDITOR_FAILED_FILE, frame);
  EXPECT_LE(outliers, 637u) << "as the fresh-start reference, within 0.1 % (left in "
                            << QUORVEL_EDITOR_FAILED_FILE << ")";

  // Keys go to the control under the cursor: Up moves DRIVE one step; a key nothing uses is the host's.
  const double drive = h.controller->getParamNormalized(kDriveId);
  POINT overDrive{148, 402};
  ClientToScreen(h.Child(), &overDrive);
  ASSERT_TRUE(SetCursorPos(overDrive.x, overDrive.y));
  EXPECT_EQ(view->onKeyDown(0, KEY_UP, 0), kResultTrue);
  EXPECT_NEAR(h.controller->getParamNormalized(kDriveId), drive + 0.01, 1e-9);
  EXPECT_EQ(view->onKeyDown(0, KEY_F1, 0), kResultFalse);

  // The host's menu for DRIVE, shown at the click in the window's pixels, at both scales.
  const uint32 handlerRefs = h.handler.refs;
  h.RightClick(148, 402);
  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
            kResultTrue);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
  scaling->release();
  ASSERT_FALSE(h.frame.requests.empty()) << "the frame is asked for the scaled size at once";
  EXPECT_EQ(std::make_pair(h.frame.requests.back().size.getWidth(), h.frame.requests.back().size.getHeight()),
            std::make_pair(1470, 975));
  ViewRect large{0, 0, 1470, 975};
  ASSERT_EQ(view->onSize(&large), kResultTrue);
  EXPECT_EQ(ClientSize(h.Child()), std::make_pair(1470, 975));
  h.RightClick(222, 603); // DRIVE only if the editor now draws at 1.5
  EXPECT_EQ(h.handler.requests,
            (std::vector<std::pair<IPlugView*, Vst::ParamID>>{{view, kDriveId}, {view, kDriveId}}));
  EXPECT_EQ(h.handler.menu.popups, (decltype(h.handler.menu.popups){{148, 402}, {222, 603}}));
  EXPECT_TRUE(h.handler.menu.items.empty()) << "no items of the effect's own";
  h.handler.offersMenus = false;
  h.RightClick(222, 603);
  std::tie(h.handler.offersMenus, h.handler.returnsMenu) = std::make_tuple(true, false);
  h.RightClick(222, 603);
  EXPECT_EQ(h.handler.menu.popups.size(), 2u);
  EXPECT_EQ(h.handler.Count("begin") + h.handler.Count("end"), 0);
  EXPECT_EQ(std::make_pair(h.handler.refs.load(), h.handler.menu.refs.load()),
            std::make_pair(handlerRefs, 1u));

  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(h.Children(), 0);
  view->release();
}

TEST(Vst3AcceptanceHost, EditorWindowsComeAndGoWithoutLeavingThreadsOrWindows)
{
  ViewHost h;
  ASSERT_TRUE(h.Ready());
  IPlugView* view = h.Open();
  ASSERT_NE(view, nullptr);
  view->attached(h.parent, kPlatformTypeHWND);
  view->removed();
  const int threads = ThreadsOfThisProcess();
  for (int i = 0; i < 50; ++i)
  {
    ASSERT_EQ(view->attached(h.parent, kPlatformTypeHWND), kResultTrue);
    Pump(i % 10 ? 0 : 50);
    view->removed();
  }
  Pump(100);
  EXPECT_EQ(std::make_pair(ThreadsOfThisProcess(), h.Children()), std::make_pair(threads, 0));

  // Attached again without removed: one window. Released while attached: none.
  view->attached(h.parent, kPlatformTypeHWND);
  ASSERT_EQ(view->attached(h.parent, kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(h.Children(), 1);
  view->release();
  EXPECT_EQ(h.Children(), 0);
  Pump(50);
}
