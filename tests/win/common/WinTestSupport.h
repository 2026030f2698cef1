#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Real messages and real input for tests: nothing here fakes the platform.

// Dispatches every message waiting for this thread, then returns.
void PumpMessages();

// Offers every message PumpMessages takes to `filter` first, as the editor's loop offers them
// to the frame's filter; what the filter takes is not dispatched. Null for none.
void SetPumpFilter(std::function<bool(const MSG&)> filter);

// Pumps messages until `done` answers true or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// Makes `hwnd` the foreground, active and focused window so keyboard input reaches it.
void BringToFront(HWND hwnd);

// Screen position of a point given in `hwnd`'s client coordinates.
POINT ClientToScreenPoint(HWND hwnd, int x, int y);

// Mouse input through SetCursorPos and SendInput, pumped until the queue is empty.
void MoveMouseTo(POINT screen);
void MouseButton(POINT screen, bool down, bool right = false);
void ClickAt(POINT screen, bool right = false);
void DoubleClickAt(POINT screen);

// Keyboard input through SendInput: one key, a chord (modifiers held while the last key is
// pressed, as in {VK_CONTROL, VK_SHIFT, VK_TAB}), or text typed as Unicode characters.
// One key going down or up, as SendInput takes it (arrows and the editing keys are extended).
INPUT KeyInput(WORD vk, bool up);
void PressKey(WORD vk);
void PressChord(std::initializer_list<WORD> keys);
void TypeText(const wchar_t* text);

// The window's whole text (a control's content, a window's caption).
std::wstring WindowText(HWND hwnd);
// Whether the caption of a header control's `column`, measured in the header's own font, fits
// `width` pixels between the margins the header keeps on both sides of it.
bool HeaderCaptionFits(HWND header, int column, int width);

// Colour of a client pixel of `hwnd` as the screen shows it after the window repainted.
COLORREF ReadClientPixel(HWND hwnd, int x, int y);

// The client area as it stands on the screen, pixel by pixel, less its left two columns:
// there a list view draws its rows' image strip in a paint of its own choosing (a cursor
// moved up leaves it in the window's colour until the whole list is painted).
std::vector<DWORD> ClientPixels(HWND window);

// The whole content of a file, or nothing when it cannot be read.
std::vector<char> ReadFileBytes(const std::wstring& path);
// Replaces a file's content.
void WriteFileBytes(const std::wstring& path, const std::vector<char>& bytes);
