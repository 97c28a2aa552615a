#pragma once
// One owner per Win32 handle: small holders that give back what they hold on every path. Windows code
// only (this header includes <windows.h>); portable code sees handles as void*.

#include <windows.h>
#include <ole2.h>
// <windows.h> renames LoadBitmap to LoadBitmapW, which would rename the graphics context's own function.
#undef LoadBitmap

#include <atomic>
#include <type_traits>
#include <utility>

namespace iplug::igraphics::win32
{

// GDI objects made into an owner below and not yet deleted through one: a leak count of our own, as the
// system's (GetGuiResources) is not answered everywhere. A handle given out with Release() stays
// counted until DeleteFontHandle, DeleteRegion or DeleteMemoryDC deletes it.
inline std::atomic<int> gLiveGdiObjects{0};

inline void CloseKernelHandle(HANDLE h)
{
  CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h)
{
  DeleteObject(h);
}
inline void DeleteFontHandle(HFONT h)
{
  if (DeleteObject(h)) gLiveGdiObjects--;
}
inline void DeleteRegion(HRGN h)
{
  if (DeleteObject(h)) gLiveGdiObjects--;
}
inline void DeleteMemoryDC(HDC h)
{
  if (DeleteDC(h)) gLiveGdiObjects--;
}
inline void DestroyMenuHandle(HMENU h)
{
  DestroyMenu(h);
}
inline void ReleaseModule(HMODULE h)
{
  FreeLibrary(h);
}
inline void FreeGlobal(HGLOBAL h)
{
  GlobalFree(h);
}
inline void DestroyWindowHandle(HWND h)
{
  DestroyWindow(h);
}
inline void UnmapView(const void* p)
{
  UnmapViewOfFile(p);
}
inline void FreeTaskMemory(void* p)
{
  CoTaskMemFree(p);
}

// A handle with a release function; moves, never copies.
template <typename T, auto ReleaseFn, auto NullValue = nullptr> class UniqueHandle
{
public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : mValue(value) { Count(value); }
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : mValue(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept
  {
    if (this != &other)
    {
      Reset();
      mValue = other.Release(); // still counted once: it only changes owner
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T Get() const { return mValue; }
  explicit operator bool() const { return mValue != T(NullValue); }
  T Release() { return std::exchange(mValue, T(NullValue)); }
  void Reset(T value = T(NullValue))
  {
    if (mValue != T(NullValue)) ReleaseFn(mValue);
    mValue = value;
    Count(value);
  }

private:
  static void Count(T value)
  {
    if constexpr (std::is_same_v<T, HFONT> || std::is_same_v<T, HRGN> || std::is_same_v<T, HDC>)
      if (value) gLiveGdiObjects++;
  }

  T mValue = T(NullValue);
};

using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueFileHandle = UniqueHandle<HANDLE, CloseKernelHandle, -1>;
using UniqueFont = UniqueHandle<HFONT, DeleteFontHandle>;
using UniqueRegion = UniqueHandle<HRGN, DeleteRegion>;
using UniqueMemoryDC = UniqueHandle<HDC, DeleteMemoryDC>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;
using UniqueModule = UniqueHandle<HMODULE, ReleaseModule>;
using UniqueGlobal = UniqueHandle<HGLOBAL, FreeGlobal>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueView = UniqueHandle<const void*, UnmapView>;
using UniqueTaskMemory = UniqueHandle<void*, FreeTaskMemory>;

// BeginPaint and EndPaint around a paint.
class ScopedPaint
{
public:
  explicit ScopedPaint(HWND window) : mWindow(window) { BeginPaint(window, &mPaint); }
  ~ScopedPaint() { EndPaint(mWindow, &mPaint); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;

private:
  HWND mWindow;
  PAINTSTRUCT mPaint{};
};

// Validates the whole window when the scope ends.
class ScopedValidate
{
public:
  explicit ScopedValidate(HWND window) : mWindow(window) {}
  ~ScopedValidate() { ValidateRect(mWindow, nullptr); }
  ScopedValidate(const ScopedValidate&) = delete;
  ScopedValidate& operator=(const ScopedValidate&) = delete;

private:
  HWND mWindow;
};

// A window's (or the screen's, for a null window) device context from GetDC.
class ScopedWindowDC
{
public:
  explicit ScopedWindowDC(HWND window) : mWindow(window), mDC(GetDC(window)) {}
  ~ScopedWindowDC()
  {
    if (mDC) ReleaseDC(mWindow, mDC);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC Get() const { return mDC; }

private:
  HWND mWindow;
  HDC mDC;
};

// Selects an object into a device context and selects the previous one back.
class ScopedSelect
{
public:
  ScopedSelect(HDC dc, HGDIOBJ object) : mDC(dc), mOld(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect()
  {
    if (mOld) SelectObject(mDC, mOld);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
  HDC mDC;
  HGDIOBJ mOld;
};

class ScopedGlobalLock
{
public:
  explicit ScopedGlobalLock(HGLOBAL memory) : mMemory(memory), mData(memory ? GlobalLock(memory) : nullptr) {}
  ~ScopedGlobalLock()
  {
    if (mData) GlobalUnlock(mMemory);
  }
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
  void* Get() const { return mData; }

private:
  HGLOBAL mMemory;
  void* mData;
};

// Open while it lives; IsOpen tells whether OpenClipboard succeeded.
class ScopedClipboard
{
public:
  explicit ScopedClipboard(HWND owner) : mOpen(OpenClipboard(owner) != FALSE) {}
  ~ScopedClipboard()
  {
    if (mOpen) CloseClipboard();
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;
  bool IsOpen() const { return mOpen; }

private:
  bool mOpen;
};

// OLE for a scope; uninitialised only when this initialisation counted (S_OK or S_FALSE).
class ScopedOle
{
public:
  ScopedOle() : mResult(OleInitialize(nullptr)) {}
  ~ScopedOle()
  {
    if (mResult == S_OK || mResult == S_FALSE) OleUninitialize();
  }
  ScopedOle(const ScopedOle&) = delete;
  ScopedOle& operator=(const ScopedOle&) = delete;
  HRESULT Result() const { return mResult; }

private:
  HRESULT mResult;
};

// Holds one COM reference.
template <typename T> class ComRef
{
public:
  ComRef() = default;
  explicit ComRef(T* p) : mPtr(p) {}
  ~ComRef()
  {
    if (mPtr) mPtr->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* Get() const { return mPtr; }
  T* operator->() const { return mPtr; }
  T** Out() { return &mPtr; }

private:
  T* mPtr = nullptr;
};

} // namespace iplug::igraphics::win32
