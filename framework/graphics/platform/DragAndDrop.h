#pragma once
// The COM objects of a file drag out of the editor (Windows only): a data object offering one path as
// CF_HDROP, a drop source that follows the left button and Escape, and the format enumerator. Each keeps
// its own copy of the format, because drop targets may hold the objects after the drag has ended.

#include <ole2.h>
#include <windows.h>

#include <atomic>
#include <string>

namespace iplug::igraphics::DragAndDropHelpers
{

// The one format offered: CF_HDROP content in global memory.
FORMATETC FileDropFormat();

class DataObject final : public IDataObject
{
public:
  DataObject(const FORMATETC& format, const char* path);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
  ~DataObject() = default;
  bool Offers(const FORMATETC& format) const;

  std::atomic<LONG> mRefs{1};
  FORMATETC mFormat;
  std::string mPath;
};

class DropSource final : public IDropSource
{
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
  ~DropSource() = default;
  std::atomic<LONG> mRefs{1};
};

class EnumFORMATETC final : public IEnumFORMATETC
{
public:
  EnumFORMATETC(const FORMATETC& format, LONG index);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
  ~EnumFORMATETC() = default;
  std::atomic<LONG> mRefs{1};
  FORMATETC mFormat;
  LONG mIndex;
};

// Runs a modal OLE drag of the path; true when the drag ran (whatever the target did with it).
bool StartFileDrag(const char* path);

} // namespace iplug::igraphics::DragAndDropHelpers
