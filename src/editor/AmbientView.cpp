#include "editor/AmbientView.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/EntryCells.h"
#include "format/AmbientFileMessages.h"
#include "format/NamesCodePage.h"
#include "win/Dpi.h"

namespace {

// Posted to itself after an entry was added from inside the grid's own click or key handling,
// so that the new row is selected and edited once that handling is over.
constexpr UINT kSelectNewEntry = WM_APP + 1;

std::wstring DescribeNameRefusal(const NameRefusal& refusal) {
  const wchar_t* field = kEntryColumns[kAudioFileColumn].caption;
  if (refusal.controlCharacter) return DescribeNameControlCharacter(refusal.save.entryIndex, field);
  return DescribeSaveFailure(refusal.save, field);
}

}  // namespace

AmbientView::AmbientView() { document.AddObserver(this); }

AmbientView::~AmbientView() { document.RemoveObserver(this); }

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
  for (int index = 0; index < kEntryColumnCount; ++index) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = DefaultColumnWidth(index);
    column.pszText = const_cast<wchar_t*>(kEntryColumns[index].caption);
    column.iSubItem = index;
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }
  // The numbers are drawn from the row index, so rows going in, out or moving renumber nothing.
  drawInfo.exFlags |= GRID_EX_ROWNUMBERS;
  path.clear();
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
    std::wstring reason = NameRefusalText(row, typed);
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

std::wstring AmbientView::NameRefusalText(int row, const std::wstring& name) const {
  const std::optional<NameRefusal> refusal = AmbientDocument::RefuseName(row, name, NamesConverter());
  return refusal ? DescribeNameRefusal(*refusal) : std::wstring();
}

void AmbientView::TakeCellValue(int row, int col) {
  const std::optional<EntryField> field = ColumnField(col);
  if (!field || row < 0 || row >= document.Count()) return;
  AmbientEntryValues values = document.At(row).values;
  if (ReadCell(GetCellItem(row, col), col, values)) document.EditCell(row, *field, values);
}

std::wstring AmbientView::CellToolTipText(int row, int col) const {
  if (col == kAudioFileColumn && row >= 0 && row < document.Count() &&
      NameIsUndecodable(document.At(row), NamesConverter()))
    return CellText(row, col) + L"\n" + DescribeUndecodableName(NamesCodePageNumber());
  return PropertyGrid::CellToolTipText(row, col);
}

void AmbientView::OnEntriesChanged(const EntriesChanged& change) {
  ShowReplacedRows(change.first, change.before, change.after);
}

// Rows that stay are given their new values; only the difference is inserted or deleted, and
// the grid repaints from the first row that changed.
void AmbientView::ShowReplacedRows(int first, int shownBefore, int shownAfter) {
  const int kept = std::min(shownBefore, shownAfter);
  BeginUpdate();
  for (int offset = 0; offset < kept; ++offset) ShowEntryRow(*this, first + offset, document.At(first + offset).values);
  for (int offset = kept; offset < shownBefore; ++offset) DeleteRow(first + kept);
  for (int offset = kept; offset < shownAfter; ++offset)
    InsertEntryRow(*this, first + offset, document.At(first + offset).values);
  EndUpdate();
  if (kept > 0) RepaintRows(first, first + kept - 1);
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
  const std::optional<EntryField> field = ColumnField(col);
  AmbientEntryValues values;
  if (!field || !ReadCell(GetCellItem(row, col), col, values)) return;
  std::vector<int> touched = GetSelectedEntries();
  touched.push_back(row);
  Tell(DescribeFilledEntries(document.Fill(touched, *field, values)));
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

void AmbientView::OnAddRow() {
  // A document made with New has no append row until StartNew, and so never asks.
  if ((drawInfo.exFlags & GRID_EX_APPENDROW) == 0) return;
  const int row = document.Count();
  if (Choose([&] { return document.InsertFresh({{}, row}); }).refused) {
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

EntrySelection AmbientView::GetSelection() const { return {GetSelectedEntries(), GetSelectedRow()}; }

EntryCommandOutcome AmbientView::Choose(const std::function<EntryCommandOutcome()>& command) {
  const int column = GetSelectedColumn();
  EntryCommandOutcome outcome = command();
  if (outcome.select) SelectEntries(outcome.select->entries, column);
  return outcome;
}

void AmbientView::DeleteEntry() {
  CloseEditor();
  Choose([&] { return document.Delete(GetSelection()); });
}

bool AmbientView::InsertEntry() {
  CloseEditor();
  const EntryCommandOutcome outcome = Choose([&] { return document.InsertFresh(GetSelection()); });
  if (outcome.refused) return false;
  PostMessageW(Handle(), kSelectNewEntry, outcome.select->cursor, 0);
  return true;
}

bool AmbientView::DuplicateEntry() {
  CloseEditor();
  return !Choose([&] { return document.Duplicate(GetSelection()); }).refused;
}

// The entries that moved stay selected, apart as they were.
void AmbientView::MoveEntry(int delta) {
  CloseEditor();
  Choose([&] { return document.Move(GetSelection(), delta); });
}

bool AmbientView::PasteEntries(const std::vector<DocumentEntry>& entries) {
  CloseEditor();
  return !Choose([&] { return document.Paste(GetSelection(), entries); }).refused;
}

// A pending cell edit is committed first and so becomes the step this takes back.
void AmbientView::Undo() {
  CloseEditor();
  const int column = GetSelectedColumn();
  if (const std::optional<EntrySelection> chosen = document.Undo()) SelectEntries(chosen->entries, column);
}

void AmbientView::Redo() {
  CloseEditor();
  const int column = GetSelectedColumn();
  if (const std::optional<EntrySelection> chosen = document.Redo()) SelectEntries(chosen->entries, column);
}

void AmbientView::RereadNames(const CodePageConverter& from, const CodePageConverter& to) {
  CloseEditor();
  const int row = GetSelectedRow(), column = GetSelectedColumn();
  document.RereadNames(from, to);
  if (row >= 0) SelectEntryRow(row, column);
}

std::wstring AmbientView::ReplaceNames(const std::vector<std::wstring>& names, bool apply) {
  CloseEditor();
  if (const std::optional<NameRefusal> refusal = document.RefuseNames(names, NamesConverter()))
    return DescribeNameRefusal(*refusal);
  const int column = GetSelectedColumn();
  if (apply) {
    if (const std::optional<EntrySelection> chosen = document.ReplaceNames(names, NamesConverter()))
      SelectEntries(chosen->entries, column);
  }
  return std::wstring();
}

bool AmbientView::ReplaceEntryValues(int index, const AmbientEntryValues& values) {
  CloseEditor();
  if (index < 0 || index >= document.Count()) return false;
  const bool renamed = values.audioFile != document.At(index).values.audioFile;
  if (renamed && !NameRefusalText(index, values.audioFile.value_or(L"")).empty()) return false;
  const int column = GetSelectedColumn();
  if (!document.ReplaceValues(index, values)) return false;
  SelectEntries({index}, column);
  return true;
}
