#include "framework/graphics/platform/DragAndDrop.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

namespace iplug::igraphics::DragAndDropHelpers
{
namespace
{

TEST(DragAndDrop, DataObjectOffersOnePathAsFileDropEvenAfterTheDrag)
{
  FORMATETC format = FileDropFormat();
  auto* data = new DataObject(format, "C:\\m\xC3\xBAsica\\take.wav");
  format.cfFormat = 0; // the caller's record may change or go: the object keeps its own

  void* wrong = &format;
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &wrong), E_NOINTERFACE);
  EXPECT_EQ(wrong, nullptr);

  FORMATETC drop = FileDropFormat();
  FORMATETC text = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(data->QueryGetData(&drop), S_OK);
  EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
  EXPECT_EQ(data->QueryGetData(nullptr), E_INVALIDARG);
  STGMEDIUM medium{};
  EXPECT_EQ(data->GetData(&text, &medium), DV_E_FORMATETC);
  EXPECT_EQ(data->GetData(&drop, nullptr), E_INVALIDARG);
  ASSERT_EQ(data->GetData(&drop, &medium), S_OK);
  ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  wchar_t path[MAX_PATH] = {};
  auto drops = static_cast<HDROP>(medium.hGlobal);
  EXPECT_EQ(DragQueryFileW(drops, 0xFFFFFFFF, nullptr, 0), 1u);
  DragQueryFileW(drops, 0, path, MAX_PATH);
  EXPECT_STREQ(path, L"C:\\m\u00FAsica\\take.wav");
  ReleaseStgMedium(&medium);

  IEnumFORMATETC* formats = reinterpret_cast<IEnumFORMATETC*>(1);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
  EXPECT_EQ(formats, nullptr);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  EXPECT_EQ(data->Release(), 0u); // the enumerator outlives the data object

  FORMATETC got{};
  ULONG fetched = 9;
  EXPECT_EQ(formats->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(got.cfFormat, CF_HDROP);
  EXPECT_EQ(formats->Next(1, &got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(formats->Next(2, &got, nullptr), S_FALSE);
  IEnumFORMATETC* clone = nullptr;
  ASSERT_EQ(formats->Clone(&clone), S_OK);
  EXPECT_EQ(clone->Next(1, &got, nullptr), S_FALSE); // the clone starts where the original was
  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(1), S_OK);
  EXPECT_EQ(formats->Next(1, &got, nullptr), S_FALSE);
  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(2), S_FALSE);
  EXPECT_EQ(clone->Release(), 0u);
  EXPECT_EQ(formats->Release(), 0u);
}

TEST(DragAndDrop, DropSourceFollowsEscapeAndTheLeftButton)
{
  auto* source = new DropSource();
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_EQ(source->Release(), 0u);
  // No button is down here: the drag ends at once, and OLE is left as it was found.
  EXPECT_TRUE(StartFileDrag("C:\\take.wav"));
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  OleUninitialize();
}

} // namespace
} // namespace iplug::igraphics::DragAndDropHelpers
