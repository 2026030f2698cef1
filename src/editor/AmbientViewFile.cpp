#include "editor/AmbientView.h"

#include <algorithm>

#include "editor/EntryCells.h"
#include "format/AmbientFileIo.h"
#include "format/AmbientFileMessages.h"
#include "format/NamesCodePage.h"
#include "griditems/AddRowItem.h"

// The view owns its document's file: the path, the stamp the file had, and why the last load or
// save failed. The document itself only takes and gives bytes and entries.

namespace {

// Tab and Shift+Tab move between cells, as from an open editor.
constexpr DWORD kLoadedDocumentFlags =
    GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT | GRID_EX_TABCELLS;

}  // namespace

void AmbientView::AddAppendRow() {
  if ((drawInfo.exFlags & GRID_EX_APPENDROW) != 0) return;
  InsertRow(GetRowCount(), new AddRowItem(L"", 0));
  drawInfo.exFlags = kLoadedDocumentFlags | GRID_EX_ROWNUMBERS;
  SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
}

void AmbientView::StartNew() { AddAppendRow(); }

BOOL AmbientView::Load(const wchar_t* newPath) {
  AddAppendRow();
  path = newPath != nullptr ? newPath : L"";
  return Reload();
}

// The entries of `loaded` replace whatever the document held.
void AmbientView::AdoptLoaded(const AmbientLoadResult& loaded) {
  CloseEditor();
  loadDamage = DescribeLoadDamage(loaded);
  document.Adopt(loaded, true);
}

BOOL AmbientView::Reload() {
  // The stamp of the bytes read, from the handle that read them: a write by another program
  // after the read is seen as a change, never taken for what the document holds.
  FileStamp stamp;
  AmbientLoadResult loaded = LoadAmbientFile(path, &stamp);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  const int selected = GetSelectedRow();
  const int column = std::max(GetSelectedColumn(), 0);
  AdoptLoaded(loaded);
  fileStamp = stamp;
  const int last = GetRowCount() - 1;
  if (selected >= 0 && last >= 0) SelectCell(std::min(selected, last), column);
  return TRUE;
}

BOOL AmbientView::LoadRecovered(std::span<const std::byte> bytes, const std::wstring& boundPath,
                                const FileStamp& stamp) {
  AddAppendRow();
  path = boundPath;
  CloseEditor();
  // A copy holds what a save writes: names in the code page the names are saved in.
  AmbientLoadResult loaded = document.LoadBytes(bytes, NamesConverter(), false);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  loadDamage = DescribeLoadDamage(loaded);
  fileStamp = stamp;
  return TRUE;
}

bool AmbientView::EncodeForSave(std::vector<std::byte>& bytes) const {
  AmbientEncoding encoding = document.Encode(NamesConverter());
  if (!encoding.result) return false;
  bytes = std::move(encoding.bytes);
  return true;
}

BOOL AmbientView::Save() {
  AmbientImage image = document.Image();
  FileStamp stamp;
  AmbientSaveResult saved = SaveAmbientFile(path, image, document.Values(), &stamp);
  lastSaveError = DescribeSaveFailure(saved, kEntryColumns[kAudioFileColumn].caption);
  if (!saved) return FALSE;
  document.SavedAs(image);
  fileStamp = stamp;
  return TRUE;
}

BOOL AmbientView::SaveAs(const wchar_t* newPath) {
  std::wstring oldPath = path;
  path = newPath != nullptr ? newPath : L"";
  if (Save()) return TRUE;
  path = oldPath;
  return FALSE;
}
