#include "ambient/AmbientView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <optional>

#include "ambient/AmbientFileIo.h"
#include "ambient/AmbientFileMessages.h"
#include "ambient/TimeOfDay.h"
#include "ambient/EntryText.h"
#include "ambient/NamesCodePage.h"
#include "ambient/Win32CodePageConverter.h"
#include "griditems/AddRowItem.h"
#include "griditems/EditItem.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"
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

// Tab and Shift+Tab move between cells, as from an open editor.
constexpr DWORD kLoadedDocumentFlags =
    GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT | GRID_EX_TABCELLS;
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

// The cell's value put into the field of `values` that its column shows.
bool ReadCell(const PropertyItem* item, int col, AmbientEntryValues& values) {
  std::int32_t number = 0;
  switch (col) {
    case kAudioFileColumn:
      return ReadText(item, values.audioFile);
    case kMinRepeatColumn:
      return ReadNumber(item, values.minRepeatMs);
    case kMaxRepeatColumn:
      return ReadNumber(item, values.maxRepeatMs);
    case kTimeOfDayColumn:
      if (!ReadNumber(item, number)) return false;
      values.timeOfDay = static_cast<std::uint8_t>(number & 0xFF);
      return true;
    case kVolumeColumn:
      return ReadNumber(item, values.volume);
    default:
      return false;
  }
}

// What the rows show and a save writes: a time of day of 4 or more as Dawn, a name that could
// not be decoded as empty. The entries hold this, so that only real edits count as changes.
AmbientEntryValues AsShown(AmbientEntryValues values) {
  if (values.timeOfDay >= std::size(TimeOfDayCaptions)) values.timeOfDay = 0;
  if (!values.audioFile) values.audioFile = std::wstring();
  return values;
}

void SetNumber(PropertyItem* item, std::int32_t number) {
  if (item == nullptr) return;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  item->SetValue(value);
}

void SetText(PropertyItem* item, const std::optional<std::wstring>& text) {
  if (item == nullptr) return;
  ScopedVariant value;
  value.get()->vt = VT_BSTR;
  value.get()->bstrVal = SysAllocString(text ? text->c_str() : L"");
  item->SetValue(*value);
}

}  // namespace

bool AmbientView::HandleMessage(Message& m) {
  switch (m.msg) {
    case GRIDM_COMMITEDIT:
      return OnCommitEdit(m);
    case GRIDM_SETITEMVALUE:
      OnSetItemValue(m);
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
    case WM_NOTIFY:
      // The grid keeps a column's width while an editor holds a refused value; a new scale's
      // widths go through, and the editor is placed over its cell afterwards.
      if (applyingDpi && reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom == header)
        return Window::HandleMessage(m);
      break;
    case WM_SIZE: {
      const bool handled = PropertyGrid::HandleMessage(m);
      FitNameColumn();
      return handled;
    }
    default:
      break;
  }
  return PropertyGrid::HandleMessage(m);
}

void AmbientView::OnCreate() {
  // The widths are given for 96 DPI; the columns take them at the window's scale, in fonts
  // made for it, and widen where a caption needs more.
  columnDpi = WindowDpi(Handle());
  SetFontDpi(columnDpi);
  for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = DefaultColumnWidth(index);
    column.pszText = const_cast<wchar_t*>(kColumns[index].caption);
    column.iSubItem = index;
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }
  // The numbers are drawn from the row index, so rows going in, out or moving renumber nothing.
  drawInfo.exFlags |= GRID_EX_ROWNUMBERS;
  // A new document holds nothing anyone typed: closing it loses nothing, so nothing asks to
  // save it or keeps a recovery copy of it until it is changed, and undoing back to here
  // makes it unmodified again.
  modified = false;
  path.clear();
  history.Reset(true);
}

// A typed value goes to its entry once the grid has taken it. A name that a save could not
// store is refused here, while the editor still holds it, as a number with letters is.
bool AmbientView::OnCommitEdit(Message& m) {
  const int row = GetEditRow(), col = GetEditColumn();
  const auto editorWindow = reinterpret_cast<HWND>(m.lParam);
  // Taken before anything can refuse the value: a Ctrl+Enter that was refused asks nothing of
  // the plain Enter that later commits the mended text.
  const bool fill = TakeFillRequest();
  if (col == kAudioFileColumn && editorWindow == GetEditor() && IsWindow(editorWindow)) {
    std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(editorWindow)) + 1, L'\0');
    typed.resize(static_cast<size_t>(GetWindowTextW(editorWindow, typed.data(), static_cast<int>(typed.size()))));
    std::wstring reason = NameRefusal(row, typed);
    if (!reason.empty()) {
      RefuseEdit(GetCellItem(row, col), std::move(reason));
      m.result = 0;
      return true;
    }
  }
  PropertyGrid::HandleMessage(m);
  // A commit the grid took closed the editor; a refused one left it open, and nothing changed.
  if (fill && GetEditor() == nullptr && GetSelectedEntries().size() > 1) {
    FillSelection(row, col);
  } else {
    TakeCellValue(row, col);
  }
  return true;
}

void AmbientView::OnSetItemValue(Message& m) {
  PropertyGrid::HandleMessage(m);
  int row = -1, col = -1;
  if (FindItem(reinterpret_cast<const PropertyItem*>(m.lParam), row, col)) TakeCellValue(row, col);
}

std::wstring AmbientView::NameRefusal(int row, const std::wstring& name) const {
  const CodePageConverter& converter = NamesConverter();
  if (CheckEntryName(name, converter) == EntryTextError::NameHasControlCharacter)
    return DescribeNameControlCharacter(row, kColumns[kAudioFileColumn].caption);
  AmbientEntryValues values;
  values.audioFile = name;
  AmbientEntry scratch{};
  AmbientSaveResult result;
  result.error = StoreEntryValues(scratch, values, converter);
  if (result.error == AmbientSaveError::None) return std::wstring();
  result.entryIndex = row;
  if (result.error == AmbientSaveError::TextNotConvertible)
    result.character = FirstUnencodableCharacter(name, converter);
  return DescribeSaveFailure(result, kColumns[kAudioFileColumn].caption);
}

// Only a real change is a step: choosing the same option again, or Escape in a list that
// keeps what it shows, leaves the document as it was.
void AmbientView::TakeCellValue(int row, int col) {
  if (row < 0 || row >= document.Count()) return;
  DocumentEntry edited = document.At(row);
  if (!ReadCell(GetCellItem(row, col), col, edited.values)) return;
  edited.values = AsShown(edited.values);
  if (edited.values == document.At(row).values) return;
  EntryChange change = EntryChange::Replacing(row, document.Slice(row, 1), {edited});
  change.selectBefore = change.selectAfter = {row};
  change.ApplyTo(document, true);
  history.Record(std::move(change));
  modified = !history.IsAtSaved();
}

std::wstring AmbientView::CellToolTipText(int row, int col) const {
  if (col == kAudioFileColumn && row >= 0 && row < document.Count() &&
      NameIsUndecodable(document.At(row), NamesConverter()))
    return CellText(row, col) + L"\n" + DescribeUndecodableName(NamesCodePageNumber());
  return PropertyGrid::CellToolTipText(row, col);
}

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

  AmbientLoadResult loaded = LoadAmbientFile(path);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  AdoptLoaded(loaded);
  fileStamp = TakeFileStamp(path);
  return TRUE;
}

// The entries of `loaded` replace whatever the document held.
void AmbientView::AdoptLoaded(const AmbientLoadResult& loaded) {
  CloseEditor();
  const int shownBefore = document.Count();
  loadDamage = DescribeLoadDamage(loaded);
  document = EntryList::FromLoad(loaded);
  for (int row = 0; row < document.Count(); ++row) document.SetValues(row, AsShown(document.At(row).values));
  ShowReplacedRows(0, shownBefore, document.Count());
  history.Reset(true);
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
  const int last = GetRowCount() - 1;
  if (selected >= 0 && last >= 0) SelectCell(std::min(selected, last), column);
  return TRUE;
}

BOOL AmbientView::LoadRecovered(std::span<const std::byte> bytes, const std::wstring& boundPath,
                                const FileStamp& stamp) {
  AddAppendRow();
  path = boundPath;
  AmbientLoadResult loaded = ReadAmbientFile(bytes, ProcessCodePageConverter());
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  AdoptLoaded(loaded);
  history.Reset(false);
  fileStamp = stamp;
  modified = true;
  return TRUE;
}

bool AmbientView::EncodeForSave(std::vector<std::byte>& bytes) const {
  std::vector<AmbientEntryValues> values;
  values.reserve(static_cast<size_t>(document.Count()));
  for (int index = 0; index < document.Count(); ++index) values.push_back(document.At(index).values);
  AmbientEncoding encoding = EncodeAmbientFile(document.Image(), values, ProcessCodePageConverter());
  if (!encoding.result) return false;
  bytes = std::move(encoding.bytes);
  return true;
}

void AmbientView::InsertEntryRow(int row, const AmbientEntryValues& values) {
  if (InsertRow(row, new LabelItem(L"", 0, kNumberLabelFormat)) != row) return;
  const wchar_t* text = values.audioFile ? values.audioFile->c_str() : nullptr;
  SetCell(row, kAudioFileColumn, CreateTextItem(L"", text, 0));
  SetCell(row, kMinRepeatColumn, CreateNumberItem(L"", values.minRepeatMs, 0));
  SetCell(row, kMaxRepeatColumn, CreateNumberItem(L"", values.maxRepeatMs, 0));
  auto* timeOfDay = new ListItem(L"", 0);
  timeOfDay->SetOptions(kTimeOfDayOptions);
  SetNumber(timeOfDay, values.timeOfDay);  // the list item turns a value of 4 or more into Dawn
  SetCell(row, kTimeOfDayColumn, timeOfDay);
  SetCell(row, kVolumeColumn, CreateNumberItem(L"", values.volume, 0));
}

void AmbientView::ShowEntryValues(int row, const AmbientEntryValues& values) {
  SetText(GetCellItem(row, kAudioFileColumn), values.audioFile);
  SetNumber(GetCellItem(row, kMinRepeatColumn), values.minRepeatMs);
  SetNumber(GetCellItem(row, kMaxRepeatColumn), values.maxRepeatMs);
  SetNumber(GetCellItem(row, kTimeOfDayColumn), values.timeOfDay);
  SetNumber(GetCellItem(row, kVolumeColumn), values.volume);
}

// Rows that stay are given their new values; only the difference is inserted or deleted, and
// the grid repaints from the first row that changed.
void AmbientView::ShowReplacedRows(int first, int shownBefore, int shownAfter) {
  const int kept = std::min(shownBefore, shownAfter);
  BeginUpdate();
  for (int offset = 0; offset < kept; ++offset) ShowEntryValues(first + offset, document.At(first + offset).values);
  for (int offset = kept; offset < shownBefore; ++offset) DeleteRow(first + kept);
  for (int offset = kept; offset < shownAfter; ++offset)
    InsertEntryRow(first + offset, document.At(first + offset).values);
  EndUpdate();
  if (kept > 0) RepaintRows(first, first + kept - 1);
}

void AmbientView::ShowChange(const EntryChange& change, bool forward) {
  if (change.moveBy != 0) {
    // A move shows new values in the rows it passed over and the rows it landed on.
    const int top = std::min(change.first, change.first + change.moveBy);
    const int rows = change.moveCount + std::abs(change.moveBy);
    ShowReplacedRows(top, rows, rows);
    return;
  }
  const auto before = static_cast<int>((forward ? change.before : change.after).size());
  const auto after = static_cast<int>((forward ? change.after : change.before).size());
  ShowReplacedRows(change.first, before, after);
}

// The entries a change touched are selected, the cursor on the first; one alone (or the row
// beyond the entries: the append row) is a plain selection.
void AmbientView::SelectEntries(const std::vector<int>& rows, int column) {
  if (rows.size() <= 1 || rows.back() >= document.Count()) {
    SelectEntryRow(rows.empty() ? 0 : rows.front(), column);
    return;
  }
  SelectRowSet(rows, rows.front(), std::max(column, 0));
}

// Every selected entry takes the committed cell's value in that field, as one step.
void AmbientView::FillSelection(int row, int col) {
  std::vector<int> touched = GetSelectedEntries();
  if (!std::binary_search(touched.begin(), touched.end(), row))
    touched.insert(std::upper_bound(touched.begin(), touched.end(), row), row);
  const PropertyItem* item = GetCellItem(row, col);
  std::optional<EntryChange> change = EntryChange::Editing(document, touched, [&](int, DocumentEntry& entry) {
    if (!ReadCell(item, col, entry.values)) return false;
    entry.values = AsShown(entry.values);
    return true;
  });
  if (!change) return;
  const int changed = change->ChangedEntries();
  Tell(DescribeFilledEntries(changed));
  if (changed == 0) return;
  change->ApplyTo(document, true);
  ShowChange(*change, true);
  history.Record(std::move(*change));
  modified = !history.IsAtSaved();
}

void AmbientView::Tell(std::wstring text) {
  statusText = std::move(text);
  NMHDR status{Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(Handle())), AMBIENTN_STATUS};
  SendMessageW(GetParent(Handle()), WM_NOTIFY, status.idFrom, reinterpret_cast<LPARAM>(&status));
}

// The cursor stays in the column it was in before the rows changed under it.
void AmbientView::SelectEntryRow(int row, int column) {
  const int last = GetRowCount() - 1;
  if (last >= 0) SelectCell(std::clamp(row, 0, last), std::max(column, 0));
}

BOOL AmbientView::Save() {
  std::vector<AmbientEntryValues> values;
  values.reserve(static_cast<size_t>(document.Count()));
  for (int index = 0; index < document.Count(); ++index) values.push_back(document.At(index).values);
  AmbientImage image = document.Image();
  AmbientSaveResult saved = SaveAmbientFile(path, image, values);
  lastSaveError = DescribeSaveFailure(saved, kColumns[kAudioFileColumn].caption);
  if (!saved) return FALSE;
  document.AdoptImage(image);
  history.MarkSaved();
  modified = false;
  fileStamp = TakeFileStamp(path);
  return TRUE;
}

BOOL AmbientView::SaveAs(const wchar_t* newPath) {
  std::wstring oldPath = path;
  path = newPath != nullptr ? newPath : L"";
  if (Save()) return TRUE;
  path = oldPath;
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

std::vector<int> AmbientView::GetSelectedEntries() const {
  std::vector<int> entries = GetSelectedRows();
  std::erase_if(entries, [&](int row) { return row >= document.Count(); });
  return entries;
}

int AmbientView::InsertionRow() const {
  const std::vector<int> selected = GetSelectedEntries();
  if (!selected.empty()) return selected.front();
  const int row = GetSelectedRow();
  return row >= 0 && row <= document.Count() ? row : document.Count();
}

// The selected entries need not be next to each other.
void AmbientView::DeleteEntry() {
  CloseEditor();
  const std::vector<int> selected = GetSelectedEntries();
  if (selected.empty()) return;
  ApplyChange(EntryChange::Deleting(document, selected));
}

bool AmbientView::InsertEntry() {
  CloseEditor();
  const int row = GetSelectedRow() >= 0 && GetSelectedRow() <= document.Count() ? GetSelectedRow()
                                                                               : document.Count();
  if (!InsertEntries(row, {FreshEntry()})) return false;
  PostMessageW(Handle(), kSelectNewEntry, row, 0);
  return true;
}

bool AmbientView::DuplicateEntry() {
  CloseEditor();
  const std::vector<int> selected = GetSelectedEntries();
  if (selected.empty()) return true;
  if (!document.HasRoomFor(static_cast<int>(selected.size()))) return false;
  return ApplyChange(EntryChange::Duplicating(document, selected));
}

// The entries that moved stay selected, apart as they were.
void AmbientView::MoveEntry(int delta) {
  CloseEditor();
  std::optional<EntryChange> change = EntryChange::MovingSelected(document, GetSelectedEntries(), delta);
  if (change) ApplyChange(std::move(*change));
}

bool AmbientView::PasteEntries(const std::vector<DocumentEntry>& entries) {
  CloseEditor();
  return InsertEntries(InsertionRow(), entries);
}

bool AmbientView::InsertEntries(int row, const std::vector<DocumentEntry>& entries) {
  if (!document.HasRoomFor(static_cast<int>(entries.size()))) return false;
  return ApplyChange(EntryChange::Inserting(row, entries));
}

bool AmbientView::ApplyChange(EntryChange change) {
  const int column = GetSelectedColumn();
  change.ApplyTo(document, true);
  const std::vector<int> select = change.selectAfter;
  ShowChange(change, true);
  history.Record(std::move(change));
  modified = !history.IsAtSaved();
  SelectEntries(select, column);
  return true;
}

// A pending cell edit is committed first and so becomes the step this takes back.
void AmbientView::Undo() {
  CloseEditor();
  const EntryChange* step = history.Undo();
  if (step == nullptr) return;
  const int column = GetSelectedColumn();
  step->ApplyTo(document, false);
  ShowChange(*step, false);
  modified = !history.IsAtSaved();
  SelectEntries(step->selectBefore, column);
}

void AmbientView::Redo() {
  CloseEditor();
  const EntryChange* step = history.Redo();
  if (step == nullptr) return;
  const int column = GetSelectedColumn();
  step->ApplyTo(document, true);
  ShowChange(*step, true);
  modified = !history.IsAtSaved();
  SelectEntries(step->selectAfter, column);
}

// Nothing becomes modified: the stored bytes are what they were, only read another way. The
// steps of the history are read again too, so undo brings back names in the new code page.
void AmbientView::RereadNames(const CodePageConverter& from, const CodePageConverter& to) {
  CloseEditor();
  const int row = GetSelectedRow(), column = GetSelectedColumn();
  history.ChangeEveryEntry([&](DocumentEntry& entry) { RereadName(entry, from, to); });
  for (int index = 0; index < document.Count(); ++index) {
    DocumentEntry entry = document.At(index);
    RereadName(entry, from, to);
    document.SetValues(index, entry.values);
  }
  ShowReplacedRows(0, document.Count(), document.Count());
  if (row >= 0) SelectEntryRow(row, column);
}

// ---- column widths at the display scale ----

std::vector<int> AmbientView::GetColumnWidths96() const {
  std::vector<int> widths;
  for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
    const auto width = static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
    widths.push_back(MulDiv(width, static_cast<int>(kBaseDpi), static_cast<int>(columnDpi)));
  }
  return widths;
}

void AmbientView::SetColumnWidths96(const std::vector<int>& widths) {
  if (widths.size() != std::size(kColumns)) return;
  for (size_t index = 0; index < widths.size(); ++index) {
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, index, MAKELPARAM(ScaleForDpi(widths[index], columnDpi), 0));
  }
  FitNameColumn();
}

// An open editor stays open with what was typed; it takes the new font and its cell's place.
void AmbientView::ApplyDpi(UINT dpi) {
  if (dpi == 0 || dpi == columnDpi) return;
  const std::vector<int> widths = GetColumnWidths96();
  std::vector<bool> atDefault;
  for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
    const auto width =
        static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
    atDefault.push_back(width == DefaultColumnWidth(index));
  }
  columnDpi = dpi;
  SetFontDpi(dpi);
  applyingDpi = true;
  for (size_t index = 0; index < widths.size(); ++index) {
    const int width =
        atDefault[index] ? DefaultColumnWidth(static_cast<int>(index)) : ScaleForDpi(widths[index], dpi);
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0));
  }
  FitNameColumn();
  applyingDpi = false;
  PlaceEditor();
}

int AmbientView::DefaultColumnWidth(int index) const {
  return std::max(ScaleForDpi(kColumns[index].width, columnDpi), CaptionWidth(index));
}

// The header draws a caption between margins on both sides and cuts what does not fit.
int AmbientView::CaptionWidth(int index) const {
  const wchar_t* caption = kColumns[index].caption;
  auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
  WindowDcScope dc(header);
  if (dc.dc() == nullptr) return 0;
  SelectionScope selection(dc.dc(), font);
  SIZE text{};
  if (!GetTextExtentPoint32W(dc.dc(), caption, static_cast<int>(wcslen(caption)), &text)) return 0;
  const int margin = std::max(static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0)),
                              3 * SystemMetricForDpi(SM_CXEDGE, columnDpi));
  return text.cx + 2 * margin;
}

// The name column takes whatever room the others leave, never less than its own width, so the
// last column ends at the edge however wide the window grows.
void AmbientView::FitNameColumn() {
  if (fittingNameColumn || Handle() == nullptr) return;
  fittingNameColumn = true;
  RECT client{};
  GetClientRect(Handle(), &client);
  int others = 0;
  for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
    if (index != kAudioFileColumn)
      others += static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
  }
  const int room = client.right - client.left - others;
  const int least = ScaleForDpi(kColumns[kAudioFileColumn].width, columnDpi);
  SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, kAudioFileColumn, MAKELPARAM(std::max(room, least), 0));
  fittingNameColumn = false;
}

// ---- find and replace ----

// Every changed name passes the check a typed one does, before anything changes.
std::wstring AmbientView::ReplaceNames(const std::vector<std::wstring>& names, bool apply) {
  CloseEditor();
  const int count = std::min(document.Count(), static_cast<int>(names.size()));
  std::vector<int> renamed;
  for (int index = 0; index < count; ++index) {
    if (names[static_cast<size_t>(index)] == document.At(index).values.audioFile.value_or(L"")) continue;
    std::wstring reason = NameRefusal(index, names[static_cast<size_t>(index)]);
    if (!reason.empty()) return reason;
    renamed.push_back(index);
  }
  if (renamed.empty() || !apply) return std::wstring();
  std::optional<EntryChange> change = EntryChange::Editing(document, renamed, [&](int index, DocumentEntry& entry) {
    entry.values.audioFile = names[static_cast<size_t>(index)];
    return true;
  });
  ApplyChange(std::move(*change));
  return std::wstring();
}
