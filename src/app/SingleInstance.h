#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One editor window per user session: the first instance holds a named mutex and marks its
// frame; a later start hands its files to that frame with WM_COPYDATA and ends, so the same
// file is never edited in two windows that would overwrite each other's work.

// The window property that marks a frame that takes handed-over files.
constexpr const wchar_t* kFrameProperty = L"Sonarwick.Frame";
// WM_COPYDATA's dwData for a list of files to open (the text "SWKF").
constexpr ULONG_PTR kOpenFilesData = 0x464B5753;

class SingleInstance {
 public:
  // Takes (or finds taken) the mutex of this user's session.
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another instance of this user's session was there first.
  bool AnotherIsRunning() const { return anotherRunning_; }

 private:
  HANDLE mutex_ = nullptr;
  bool anotherRunning_ = false;
};

// Gives `files` (full paths; none just brings the frame forward) to the running instance's
// frame. False when no frame answered, for example because the first instance is closing:
// the caller then opens its own window rather than drop the files.
bool HandToRunningInstance(const std::vector<std::wstring>& files);

// The list as WM_COPYDATA carries it (each path ended by a zero) and back. Unpacking takes
// only whole, non-empty paths from data of any shape.
std::vector<BYTE> PackFileList(const std::vector<std::wstring>& files);
std::vector<std::wstring> UnpackFileList(const void* data, size_t size);
