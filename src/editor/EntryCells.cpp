#include "editor/EntryCells.h"

#include <windows.h>

#include "format/TimeOfDay.h"
#include "griditems/EditItem.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "win/ScopedVariant.h"

namespace {

constexpr UINT kNumberLabelFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;

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

std::optional<EntryField> ColumnField(int col) {
  switch (col) {
    case kAudioFileColumn:
      return EntryField::AudioFile;
    case kMinRepeatColumn:
      return EntryField::MinRepeat;
    case kMaxRepeatColumn:
      return EntryField::MaxRepeat;
    case kTimeOfDayColumn:
      return EntryField::TimeOfDay;
    case kVolumeColumn:
      return EntryField::Volume;
    default:
      return std::nullopt;
  }
}

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

void SetCellNumber(PropertyItem* item, std::int32_t number) {
  if (item == nullptr) return;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  item->SetValue(value);
}

void SetCellText(PropertyItem* item, const std::optional<std::wstring>& text) {
  if (item == nullptr) return;
  ScopedVariant value;
  value.get()->vt = VT_BSTR;
  value.get()->bstrVal = SysAllocString(text ? text->c_str() : L"");
  item->SetValue(*value);
}

void InsertEntryRow(PropertyGrid& grid, int row, const AmbientEntryValues& values) {
  if (grid.InsertRow(row, new LabelItem(L"", 0, kNumberLabelFormat)) != row) return;
  const wchar_t* text = values.audioFile ? values.audioFile->c_str() : nullptr;
  grid.SetCell(row, kAudioFileColumn, CreateTextItem(L"", text, 0));
  grid.SetCell(row, kMinRepeatColumn, CreateNumberItem(L"", values.minRepeatMs, 0));
  grid.SetCell(row, kMaxRepeatColumn, CreateNumberItem(L"", values.maxRepeatMs, 0));
  auto* timeOfDay = new ListItem(L"", 0);
  timeOfDay->SetOptions(kTimeOfDayOptions);
  SetCellNumber(timeOfDay, values.timeOfDay);  // the list item turns a value of 4 or more into Dawn
  grid.SetCell(row, kTimeOfDayColumn, timeOfDay);
  grid.SetCell(row, kVolumeColumn, CreateNumberItem(L"", values.volume, 0));
}

void ShowEntryRow(PropertyGrid& grid, int row, const AmbientEntryValues& values) {
  SetCellText(grid.GetCellItem(row, kAudioFileColumn), values.audioFile);
  SetCellNumber(grid.GetCellItem(row, kMinRepeatColumn), values.minRepeatMs);
  SetCellNumber(grid.GetCellItem(row, kMaxRepeatColumn), values.maxRepeatMs);
  SetCellNumber(grid.GetCellItem(row, kTimeOfDayColumn), values.timeOfDay);
  SetCellNumber(grid.GetCellItem(row, kVolumeColumn), values.volume);
}
