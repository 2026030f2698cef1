#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's folder picker (the common item dialog in folder mode), opened in `initial` when
// it is set. The chosen folder's file-system path, or nothing on cancel or failure.
std::optional<std::wstring> PickSoundFolder(HWND owner, const std::wstring& title, const std::wstring& initial);
