#pragma once

#include <windows.h>

#include <string>

// WM_MENUSELECT: while a menu item is selected the status bar shows the item's prompt in its
// simple mode (an empty line for items without a prompt and for popups); when the menu
// closes it leaves simple mode, so its normal text ("Ready") shows again. The message is
// never consumed: the frame lets it go on. Nothing happens without a status bar.
void ShowMenuPrompt(HWND statusBar, WPARAM wParam, LPARAM lParam);

// A reason the user must read (a refused value): shown like a menu prompt, in the status bar's
// simple mode, until the next menu prompt replaces it or EndStatusReason gives the line back.
void ShowStatusReason(HWND statusBar, const std::wstring& text);
void EndStatusReason(HWND statusBar);
