#pragma once

// The reasons a ".bad" file could not be saved or opened, worded for the user in the interface
// language. Each is the line under the message box's first line ("Не могу сохранить файл!" or
// "Не могу открыть файл!") and says the cause once: the entry and field for a content problem,
// the system's own text for a file-system error, the count and the limit for too many entries.

#include <windows.h>

#include <string>

#include "format/AmbientFile.h"

// The program's string table holds the wordings under these ids, in English and Russian.
inline constexpr UINT kReasonTooManyToSave = 0x6100;
inline constexpr UINT kReasonNameTooLong = 0x6101;
inline constexpr UINT kReasonNameCharacter = 0x6102;
inline constexpr UINT kReasonNameNotConvertible = 0x6103;
inline constexpr UINT kReasonValueUnreadable = 0x6104;
inline constexpr UINT kReasonDataKept = 0x6105;
inline constexpr UINT kReasonSystemError = 0x6106;
inline constexpr UINT kReasonTooManyToOpen = 0x6107;
inline constexpr UINT kReasonRecordsBehindCount = 0x6108;
inline constexpr UINT kReasonLastRecordCut = 0x6109;
inline constexpr UINT kReasonBytesAfterRecords = 0x610A;
inline constexpr UINT kReasonNameUndecodable = 0x610B;
inline constexpr UINT kQuestionSaveOverDamaged = 0x610C;
inline constexpr UINT kReasonNameControl = 0x610D;
inline constexpr UINT kStatusFilledEntries = 0x610E;
inline constexpr UINT kReasonCountCut = 0x610F;

// Why a save failed; a text problem is shown in the field captioned `textField`. Empty on success.
std::wstring DescribeSaveFailure(const AmbientSaveResult& result, const wchar_t* textField);

// Why a load failed; empty on success.
std::wstring DescribeLoadFailure(const AmbientLoadResult& result);

// What a file's length says beyond its declared records (AmbientFileDamage), told once after it
// opened; empty for a whole file.
std::wstring DescribeLoadDamage(const AmbientLoadResult& result);

// The question before the first save over a damaged file: its title and what saving drops.
std::wstring AskSaveOverDamaged(const std::wstring& title, const std::wstring& damage);

// The tooltip of a name whose stored bytes are not valid in the code page `codePage`.
std::wstring DescribeUndecodableName(UINT codePage);

// Why a typed name was refused: it holds a tab, a line break or a NUL, which would not survive
// a copy to another program and back.
std::wstring DescribeNameControlCharacter(int entryIndex, const wchar_t* textField);

// How many entries a value set in every selected entry changed.
std::wstring DescribeFilledEntries(int count);

// A grid cell of entry `entryIndex`, captioned `field`, whose value could not be read for saving.
std::wstring DescribeUnreadableValue(int entryIndex, const wchar_t* field);

// The system's message for an error code, without the line break it ends with.
std::wstring SystemErrorText(DWORD error);
