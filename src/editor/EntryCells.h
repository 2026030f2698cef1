#pragma once

// The cells of an entry's row: which column shows which value, and the values as the grid's
// items hold them (numbers as VT_I4, the name as a string).

#include <optional>

#include "ambient/AmbientDocument.h"
#include "grid/PropertyGrid.h"
#include "griditems/PropertyItem.h"

struct EntryColumn {
  const wchar_t* caption;
  // Given for 96 DPI.
  int width;
};

// The number column, then one column per value of an entry.
inline constexpr EntryColumn kEntryColumns[] = {
    {L"№", 50},
    {L"Аудио-файл", 150},
    {L"Мин. время повтора, мс", 150},
    {L"Макс. время повтора, мс", 150},
    {L"Время суток", 150},
    {L"Громкость", 150},
};
inline constexpr int kEntryColumnCount = static_cast<int>(std::size(kEntryColumns));
inline constexpr int kAudioFileColumn = 1;
inline constexpr int kMinRepeatColumn = 2;
inline constexpr int kMaxRepeatColumn = 3;
inline constexpr int kTimeOfDayColumn = 4;
inline constexpr int kVolumeColumn = 5;

// The value a column shows; none for the number column.
std::optional<EntryField> ColumnField(int col);

// The cell's value put into the field of `values` that its column shows.
bool ReadCell(const PropertyItem* item, int col, AmbientEntryValues& values);

void SetCellNumber(PropertyItem* item, std::int32_t number);
void SetCellText(PropertyItem* item, const std::optional<std::wstring>& text);

// A row made from an entry's values before `row`, or the existing `row` made to show them.
void InsertEntryRow(PropertyGrid& grid, int row, const AmbientEntryValues& values);
void ShowEntryRow(PropertyGrid& grid, int row, const AmbientEntryValues& values);
