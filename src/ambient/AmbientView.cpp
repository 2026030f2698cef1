#include "ambient/AmbientView.h"

#include <commctrl.h>

#include <algorithm>

#include "ambient/AmbientFileIo.h"
#include "ambient/AmbientFileMessages.h"
#include "ambient/TimeOfDay.h"
#include "ambient/Win32CodePageConverter.h"
#include "grid/AddRowItem.h"
#include "grid/EditItem.h"
#include "grid/LabelItem.h"
#include "grid/ListItem.h"
#include "win/ScopedVariant.h"

namespace {

struct Column {
  const wchar_t* caption;
  int width;
};

constexpr Column kColumns[] = {
    {L"№", 50},
    {L"Аудио-файл", 150},
    {L"Мин. время повтора, мс", 150},
    {L"Макс. время повтора, мс", 150},
    {L"Время суток", 150},
    {L"Громкость", 150},
};

constexpr int kAudioFileColumn = 1;
constexpr int kMinRepeatColumn = 2;
constexpr int kMaxRepeatColumn = 3;
constexpr int kTimeOfDayColumn = 4;
constexpr int kVolumeColumn = 5;

constexpr DWORD kLoadedDocumentFlags = GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT;
constexpr UINT kNumberLabelFormat =
    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;

// Posted to itself after an entry was added from inside the grid's own click or key handling,
// so that the new row is selected and edited once that handling is over.
constexpr UINT kSelectNewEntry = WM_APP + 1;

DocumentEntry FreshEntry() {
  DocumentEntry fresh;
  fresh.values.audioFile = std::wstring();
  return fresh;
}

const wchar_t* const kTimeOfDayOptions[] = {TimeOfDayCaptions[0], TimeOfDayCaptions[1], TimeOfDayCaptions[2],
                                            TimeOfDayCaptions[3], nullptr};

// The 32-bit number a cell holds; the number cells keep VT_I4, anything else is converted.
bool ReadNumber(const PropertyItem* item, std::int32_t& number) {
  ScopedVariant value;
  if (item == nullptr || !item->GetValue(value.get())) return false;
  if (value->vt != VT_I4 && FAILED(VariantChangeType(value.get(), value.get(), 0, VT_I4))) return false;
  number = value->lVal;
  return true;
}

// The text a cell holds; a null string is an empty text.
bool ReadText(const PropertyItem* item, std::optional<std::wstring>& text) {
  ScopedVariant value;
  if (item == nullptr || !item->GetValue(value.get())) return false;
  if (value->vt != VT_BSTR && FAILED(VariantChangeType(value.get(), value.get(), 0, VT_BSTR))) return false;
  text = std::wstring(value->bstrVal != nullptr ? value->bstrVal : L"");
  return true;
}

}  // namespace

bool AmbientView::HandleMessage(Message& m) {
  switch (m.msg) {
    case GRIDM_COMMITEDIT:
    case GRIDM_SETITEMVALUE:
      // Marked even when the value then turns out unchanged or refused; only a real change
      // becomes a step of the history.
      modified = true;
      PropertyGrid::HandleMessage(m);
      RecordCellEdits();
      return true;
    case REFLECT_BASE + WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(m.lParam)->code == static_cast<UINT>(GRIDN_ADDROW)) {
        OnAddRow();
        m.result = 0;
        return true;
      }
      break;
    case WM_CREATE:
      // The list view makes its header during its own creation, so the columns can only go
      // in once the grid's creation steps have run.
      PropertyGrid::HandleMessage(m);
      if (m.result != -1) OnCreate();
      return true;
    case kSelectNewEntry:
      OnSelectNewEntry(static_cast<int>(m.wParam));
      return true;
    default:
      break;
  }
  return PropertyGrid::HandleMessage(m);
}

void AmbientView::OnCreate() {
  for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumns[index].width;
    column.pszText = const_cast<wchar_t*>(kColumns[index].caption);
    column.iSubItem = index;
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }
  modified = true;
  path[0] = L'\0';
  history.Reset(document, false);
}

void AmbientView::SetPath(const wchar_t* newPath) { lstrcpynW(path, newPath, MAX_PATH); }

void AmbientView::AddAppendRow() {
  if ((drawInfo.exFlags & GRID_EX_APPENDROW) != 0) return;
  int appendRow = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
  InsertRow(appendRow, new AddRowItem(L"", 0));
  drawInfo.exFlags = kLoadedDocumentFlags;
  SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
}

void AmbientView::StartNew() { AddAppendRow(); }

BOOL AmbientView::Load(const wchar_t* newPath) {
  AddAppendRow();
  SetPath(newPath);

  AmbientLoadResult loaded = LoadAmbientFile(path);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  AdoptLoaded(loaded);
  fileStamp = TakeFileStamp(path);
  return TRUE;
}

// The entries of `loaded` replace whatever rows the grid holds.
void AmbientView::AdoptLoaded(const AmbientLoadResult& loaded) {
  CloseEditor();
  for (int row = GetDataRowCount(); row > 0; --row) SendMessageW(Handle(), LVM_DELETEITEM, 0, 0);
  document = EntryList::FromLoad(loaded);
  for (int row = 0; row < document.Count(); ++row) InsertEntryRow(row, document.At(row).values);
  // The entries hold what the grid shows and a save writes (a time of day of 4 or more as
  // Dawn, an undecodable name as empty), so that only real edits count as changes.
  for (int row = 0; row < document.Count(); ++row) {
    AmbientEntryValues shown;
    if (ReadRowValues(row, shown) == -1) document.SetValues(row, shown);
  }
  history.Reset(document, true);
  modified = false;
}

BOOL AmbientView::Reload() {
  AmbientLoadResult loaded = LoadAmbientFile(path);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  const int selected = GetSelectedRow();
  const int column = std::max(GetSelectedColumn(), 0);
  AdoptLoaded(loaded);
  fileStamp = TakeFileStamp(path);
  const int last = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) - 1;
  if (selected >= 0 && last >= 0) SelectCell(std::min(selected, last), column);
  InvalidateRect(Handle(), nullptr, TRUE);
  return TRUE;
}

BOOL AmbientView::LoadRecovered(std::span<const std::byte> bytes, const std::wstring& boundPath,
                                const FileStamp& stamp) {
  AddAppendRow();
  SetPath(boundPath.c_str());
  AmbientLoadResult loaded = ReadAmbientFile(bytes, ProcessCodePageConverter());
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  AdoptLoaded(loaded);
  history.Reset(document, false);
  fileStamp = stamp;
  modified = true;
  return TRUE;
}

bool AmbientView::EncodeForSave(std::vector<std::byte>& bytes) const {
  std::vector<AmbientEntryValues> rows;
  int failedRow = 0;
  int failedColumn = 0;
  if (!ReadAllRows(rows, failedRow, failedColumn)) return false;
  AmbientEncoding encoding = EncodeAmbientFile(document.Image(), rows, ProcessCodePageConverter());
  if (!encoding.result) return false;
  bytes = std::move(encoding.bytes);
  return true;
}

bool AmbientView::InsertEntryRow(int row, const AmbientEntryValues& values) {
  auto* number = new LabelItem(L"", 0, kNumberLabelFormat);
  VARIANT position;
  VariantInit(&position);
  position.vt = VT_I4;
  position.lVal = row;
  number->SetValue(position);
  if (InsertRow(row, number) != row) return false;

  const wchar_t* text = values.audioFile ? values.audioFile->c_str() : nullptr;
  SetCell(row, kAudioFileColumn, CreateTextItem(L"", text, 0));
  SetCell(row, kMinRepeatColumn, CreateNumberItem(L"", values.minRepeatMs, 0));
  SetCell(row, kMaxRepeatColumn, CreateNumberItem(L"", values.maxRepeatMs, 0));
  auto* timeOfDay = new ListItem(L"", 0);
  timeOfDay->SetOptions(kTimeOfDayOptions);
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = values.timeOfDay;  // the list item turns a value of 4 or more into Dawn
  timeOfDay->SetValue(index);
  SetCell(row, kTimeOfDayColumn, timeOfDay);
  SetCell(row, kVolumeColumn, CreateNumberItem(L"", values.volume, 0));
  return true;
}

// The column whose value cannot be read, or -1 when the whole row was read.
int AmbientView::ReadRowValues(int row, AmbientEntryValues& values) const {
  std::int32_t timeOfDay = 0;
  if (!ReadText(GetCellItem(row, kAudioFileColumn), values.audioFile)) return kAudioFileColumn;
  if (!ReadNumber(GetCellItem(row, kMinRepeatColumn), values.minRepeatMs)) return kMinRepeatColumn;
  if (!ReadNumber(GetCellItem(row, kMaxRepeatColumn), values.maxRepeatMs)) return kMaxRepeatColumn;
  if (!ReadNumber(GetCellItem(row, kTimeOfDayColumn), timeOfDay)) return kTimeOfDayColumn;
  if (!ReadNumber(GetCellItem(row, kVolumeColumn), values.volume)) return kVolumeColumn;
  values.timeOfDay = static_cast<std::uint8_t>(timeOfDay & 0xFF);
  return -1;
}

bool AmbientView::ReadAllRows(std::vector<AmbientEntryValues>& rows, int& failedRow, int& failedColumn) const {
  rows.assign(static_cast<size_t>(GetDataRowCount()), {});
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const int unreadable = ReadRowValues(row, rows[row]);
    if (unreadable != -1) {
      failedRow = row;
      failedColumn = unreadable;
      return false;
    }
  }
  return true;
}

BOOL AmbientView::Save() {
  std::vector<AmbientEntryValues> rows;
  int failedRow = 0;
  int failedColumn = 0;
  if (!ReadAllRows(rows, failedRow, failedColumn)) {
    lastSaveError = DescribeUnreadableValue(failedRow, kColumns[failedColumn].caption);
    return FALSE;
  }
  AmbientImage image = document.Image();
  AmbientSaveResult saved = SaveAmbientFile(path, image, rows);
  lastSaveError = DescribeSaveFailure(saved, kColumns[kAudioFileColumn].caption);
  if (!saved) return FALSE;
  document.AdoptImage(image);
  history.ReplaceCurrent(document);
  history.MarkSaved();
  modified = false;
  fileStamp = TakeFileStamp(path);
  return TRUE;
}

BOOL AmbientView::SaveAs(const wchar_t* newPath) {
  std::wstring oldPath = path;
  SetPath(newPath);
  if (Save()) return TRUE;
  SetPath(oldPath.c_str());
  return FALSE;
}

void AmbientView::OnAddRow() {
  // A document made with New has no append row until StartNew, and so never asks.
  if ((drawInfo.exFlags & GRID_EX_APPENDROW) == 0) return;
  const int row = document.Count();
  if (!InsertEntries(row, {FreshEntry()})) {
    NMHDR full{Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(Handle())), AMBIENTN_DOCUMENTFULL};
    SendMessageW(GetParent(Handle()), WM_NOTIFY, full.idFrom, reinterpret_cast<LPARAM>(&full));
    return;
  }
  PostMessageW(Handle(), kSelectNewEntry, row, 0);
}

void AmbientView::OnSelectNewEntry(int row) {
  if (row >= GetDataRowCount()) return;
  SelectCell(row, kAudioFileColumn);
  PropertyItem* item = GetCellItem(row, kAudioFileColumn);
  if (item != nullptr && OpenEditor(item, row, kAudioFileColumn)) item->Activate(ITEMACT_EDITOPENED, 0);
}

int AmbientView::GetSelectedEntry() const {
  const int row = GetSelectedRow();
  return row >= 0 && row < document.Count() ? row : -1;
}

int AmbientView::InsertionRow() const {
  const int row = GetSelectedRow();
  return row >= 0 && row <= document.Count() ? row : document.Count();
}

void AmbientView::DeleteEntry() {
  CloseEditor();
  const int row = GetSelectedEntry();
  if (row < 0) return;
  EntryList changed = document;
  changed.Erase(row);
  const int next = std::min(row, changed.Count() - 1);
  ApplyChange(std::move(changed), row, next);
}

bool AmbientView::InsertEntry() {
  CloseEditor();
  const int row = InsertionRow();
  if (!InsertEntries(row, {FreshEntry()})) return false;
  PostMessageW(Handle(), kSelectNewEntry, row, 0);
  return true;
}

bool AmbientView::DuplicateEntry() {
  CloseEditor();
  const int row = GetSelectedEntry();
  if (row < 0) return true;
  EntryList changed = document;
  if (!changed.Insert(row + 1, {&document.At(row), 1})) return false;
  ApplyChange(std::move(changed), row, row + 1);
  return true;
}

void AmbientView::MoveEntry(int delta) {
  CloseEditor();
  const int row = GetSelectedEntry();
  EntryList changed = document;
  if (row < 0 || !changed.Move(row, delta)) return;
  ApplyChange(std::move(changed), row, row + delta);
}

bool AmbientView::PasteEntries(const std::vector<DocumentEntry>& entries) {
  CloseEditor();
  return InsertEntries(InsertionRow(), entries);
}

bool AmbientView::InsertEntries(int row, const std::vector<DocumentEntry>& entries) {
  EntryList changed = document;
  if (!changed.Insert(row, entries)) return false;
  ApplyChange(std::move(changed), row, row);
  return true;
}

// A pending cell edit is committed first and so becomes the step this takes back.
void AmbientView::Undo() {
  CloseEditor();
  if (!history.CanUndo()) return;
  ShowHistoryState(history.Undo());
}

void AmbientView::Redo() {
  CloseEditor();
  if (!history.CanRedo()) return;
  ShowHistoryState(history.Redo());
}

void AmbientView::ShowHistoryState(int selectRow) {
  document = history.Current();
  modified = !history.IsAtSaved();
  ShowDocument(selectRow);
}

void AmbientView::ApplyChange(EntryList changed, int rowBefore, int rowAfter) {
  document = std::move(changed);
  history.Record(document, rowBefore, rowAfter);
  modified = true;
  ShowDocument(rowAfter);
}

// Cell edits change the grid first; the entries and the history follow here.
void AmbientView::RecordCellEdits() {
  EntryList changed = document;
  int firstChanged = -1;
  const int rows = std::min(GetDataRowCount(), document.Count());
  for (int row = 0; row < rows; ++row) {
    AmbientEntryValues shown;
    if (ReadRowValues(row, shown) != -1 || shown == document.At(row).values) continue;
    changed.SetValues(row, shown);
    if (firstChanged < 0) firstChanged = row;
  }
  if (firstChanged < 0) return;
  document = changed;
  history.Record(std::move(changed), firstChanged, firstChanged);
}

// Rebuilds the rows from the entries, so that the numbers in the first column always run from
// zero, and selects `selectRow` (the append row when it lies beyond the entries).
void AmbientView::ShowDocument(int selectRow) {
  CloseEditor();
  const int column = std::max(GetSelectedColumn(), 0);
  // With no row selected the selection below always reaches the grid as a change.
  LVITEMW unselected{};
  unselected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&unselected));
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  for (int row = GetDataRowCount(); row > 0; --row) SendMessageW(Handle(), LVM_DELETEITEM, 0, 0);
  for (int row = 0; row < document.Count(); ++row) InsertEntryRow(row, document.At(row).values);
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
  const int last = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) - 1;
  if (last >= 0) SelectCell(std::clamp(selectRow, 0, last), column);
}
