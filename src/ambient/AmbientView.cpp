#include "ambient/AmbientView.h"

#include <commctrl.h>

#include "ambient/AmbientFileIo.h"
#include "ambient/AmbientFileMessages.h"
#include "ambient/TimeOfDay.h"
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
constexpr UINT kNumberFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;

// Posted to itself after an entry was added from inside the grid's own click or key handling,
// so that the new row is selected and edited once that handling is over.
constexpr UINT kSelectNewEntry = WM_APP + 1;

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
      modified = true;
      break;
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
}

void AmbientView::SetPath(const wchar_t* newPath) { lstrcpynW(path, newPath, MAX_PATH); }

BOOL AmbientView::Load(const wchar_t* newPath) {
  int appendRow = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
  InsertRow(appendRow, new AddRowItem(L"", 0));
  drawInfo.exFlags = kLoadedDocumentFlags;
  SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
  SetPath(newPath);
  entries = AmbientImage{};

  AmbientLoadResult loaded = LoadAmbientFile(path);
  lastLoadError = DescribeLoadFailure(loaded);
  if (!loaded) return FALSE;
  entries = loaded.image;
  for (int row = 0; row < static_cast<int>(loaded.entries.size()); ++row) {
    InsertEntryRow(row, loaded.entries[row]);
  }
  modified = false;
  return TRUE;
}

bool AmbientView::InsertEntryRow(int row, const AmbientEntryValues& values) {
  auto* number = new LabelItem(L"", 0, kNumberFormat);
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

BOOL AmbientView::Save() {
  std::vector<AmbientEntryValues> rows(static_cast<size_t>(GetDataRowCount()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const int unreadable = ReadRowValues(row, rows[row]);
    if (unreadable != -1) {
      lastSaveError = DescribeUnreadableValue(row, kColumns[unreadable].caption);
      return FALSE;
    }
  }
  AmbientSaveResult saved = SaveAmbientFile(path, entries, rows);
  lastSaveError = DescribeSaveFailure(saved, kColumns[kAudioFileColumn].caption);
  if (!saved) return FALSE;
  modified = false;
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
  // A document made with New has no append row and so never asks.
  if ((drawInfo.exFlags & GRID_EX_APPENDROW) == 0) return;
  int row = GetDataRowCount();
  if (row >= MaxAmbientEntries) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  entries[row] = AmbientEntry{};
  AmbientEntryValues fresh;
  fresh.audioFile = std::wstring();
  if (!InsertEntryRow(row, fresh)) return;
  modified = true;
  PostMessageW(Handle(), kSelectNewEntry, row, 0);
}

void AmbientView::OnSelectNewEntry(int row) {
  if (row >= GetDataRowCount()) return;
  SelectCell(row, kAudioFileColumn);
  PropertyItem* item = GetCellItem(row, kAudioFileColumn);
  if (item != nullptr && OpenEditor(item, row, kAudioFileColumn)) item->Activate(ITEMACT_EDITOPENED, 0);
}
