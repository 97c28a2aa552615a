#include "framework/graphics/platform/DragAndDrop.h"

#include "framework/core/Utf16Conversion.h"
#include "framework/graphics/platform/Win32Handles.h"

#include <shlobj.h>

#include <cstring>
#include <new>

namespace iplug::igraphics::DragAndDropHelpers
{

namespace
{
template <typename T> HRESULT Answer(T* self, REFIID iid, REFIID own, void** object)
{
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, own))
  {
    self->AddRef();
    *object = self;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG Answered(LONG left)
{
  return static_cast<ULONG>(left < 0 ? 0 : left);
}
} // namespace

FORMATETC FileDropFormat()
{
  return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

DataObject::DataObject(const FORMATETC& format, const char* path) : mFormat(format), mPath(path ? path : "")
{
  mFormat.ptd = nullptr; // a target-device record would not be ours to keep
}

HRESULT DataObject::QueryInterface(REFIID iid, void** object)
{
  return Answer(this, iid, IID_IDataObject, object);
}

ULONG DataObject::AddRef()
{
  return static_cast<ULONG>(++mRefs);
}

ULONG DataObject::Release()
{
  const LONG left = --mRefs;
  if (left <= 0) delete this;
  return Answered(left);
}

bool DataObject::Offers(const FORMATETC& f) const
{
  return (f.tymed & TYMED_HGLOBAL) && (f.dwAspect & DVASPECT_CONTENT) && f.cfFormat == mFormat.cfFormat;
}

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
  if (!format || !medium) return E_INVALIDARG;
  if (!Offers(*format)) return DV_E_FORMATETC;
  std::memset(medium, 0, sizeof(*medium));
  try
  {
    const HeapBuffer wide = Utf8ToWide(mPath.c_str());
    const size_t pathBytes = (wcslen(wide.GetAs<const wchar_t>()) + 1) * sizeof(wchar_t);
    win32::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + pathBytes + 4));
    if (!block) return E_OUTOFMEMORY;
    {
      win32::ScopedGlobalLock lock(block.Get());
      if (!lock.Get()) return E_OUTOFMEMORY;
      auto* files = static_cast<DROPFILES*>(lock.Get());
      files->pFiles = sizeof(DROPFILES);
      files->fNC = FALSE;
      files->fWide = TRUE;
      std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), wide.GetData(), pathBytes);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block.Release();
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  catch (...)
  {
    return E_OUTOFMEMORY;
  }
}

HRESULT DataObject::QueryGetData(FORMATETC* format)
{
  if (!format) return E_INVALIDARG;
  return Offers(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out)
{
  if (!out) return E_POINTER;
  *out = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  *out = new (std::nothrow) EnumFORMATETC(mFormat, 0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DropSource::QueryInterface(REFIID iid, void** object)
{
  return Answer(this, iid, IID_IDropSource, object);
}

ULONG DropSource::AddRef()
{
  return static_cast<ULONG>(++mRefs);
}

ULONG DropSource::Release()
{
  const LONG left = --mRefs;
  if (left <= 0) delete this;
  return Answered(left);
}

HRESULT DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

EnumFORMATETC::EnumFORMATETC(const FORMATETC& format, LONG index) : mFormat(format), mIndex(index)
{
  mFormat.ptd = nullptr;
}

HRESULT EnumFORMATETC::QueryInterface(REFIID iid, void** object)
{
  return Answer(this, iid, IID_IEnumFORMATETC, object);
}

ULONG EnumFORMATETC::AddRef()
{
  return static_cast<ULONG>(++mRefs);
}

ULONG EnumFORMATETC::Release()
{
  const LONG left = --mRefs;
  if (left <= 0) delete this;
  return Answered(left);
}

HRESULT EnumFORMATETC::Next(ULONG count, FORMATETC* out, ULONG* fetched)
{
  if (fetched) *fetched = 0;
  if (!fetched && count != 1) return S_FALSE;
  if (mIndex != 0 || count == 0 || !out) return S_FALSE;
  out[0] = mFormat;
  mIndex = 1;
  if (fetched) *fetched = 1;
  return S_OK;
}

HRESULT EnumFORMATETC::Skip(ULONG count)
{
  // Skips what is left of the one format; S_OK only when all count elements were there to skip.
  const ULONG left = mIndex == 0 ? 1 : 0;
  mIndex = count >= left ? 1 : mIndex;
  return count <= left ? S_OK : S_FALSE;
}

HRESULT EnumFORMATETC::Reset()
{
  mIndex = 0;
  return S_OK;
}

HRESULT EnumFORMATETC::Clone(IEnumFORMATETC** out)
{
  if (!out) return E_POINTER;
  *out = new (std::nothrow) EnumFORMATETC(mFormat, mIndex);
  return *out ? S_OK : E_OUTOFMEMORY;
}

bool StartFileDrag(const char* path)
{
  win32::ScopedOle ole;
  win32::ComRef<DataObject> data(new (std::nothrow) DataObject(FileDropFormat(), path));
  win32::ComRef<DropSource> source(new (std::nothrow) DropSource());
  if (!data.Get() || !source.Get()) return false;
  DWORD effect = DROPEFFECT_NONE;
  return SUCCEEDED(DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect));
}

} // namespace iplug::igraphics::DragAndDropHelpers
