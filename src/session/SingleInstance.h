#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One editor window per user session: the first instance holds a named mutex and marks its
// frame; a later start hands its files to that frame with WM_COPYDATA and ends, so the same
// file is never edited in two windows that would overwrite each other's work.

// The window property that marks a frame that takes handed-over files.
constexpr const wchar_t* kFrameProperty = L"Sonarwick.Frame";
// WM_COPYDATA's dwData for a hand-over (the text "SWKH"): the name of the second start's
// ticket, then the files to open.
constexpr ULONG_PTR kOpenFilesData = 0x484B5753;

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

// The second start's side of a hand-over. The running editor must take the ticket before it
// accepts the files; the second start, once it gives up waiting for the answer, takes it back.
// Whoever takes it first decides, so the files open in exactly one window even when the
// running editor handles the message after the second start stopped waiting.
class HandOverTicket {
 public:
  HandOverTicket();
  ~HandOverTicket();
  HandOverTicket(const HandOverTicket&) = delete;
  HandOverTicket& operator=(const HandOverTicket&) = delete;

  bool Valid() const { return semaphore_ != nullptr; }
  const std::wstring& Name() const { return name_; }
  // True when the running editor had not taken the hand-over (and now never will).
  bool TakeBack();

 private:
  std::wstring name_;
  HANDLE semaphore_ = nullptr;
};

// The running editor's side: true when the hand-over of the ticket named `ticket` is still on
// offer, and is now this process's to carry out.
bool TakeHandOver(const std::wstring& ticket);

// Gives `files` (full paths; none just brings the frame forward) to the running instance's
// frame. False when no frame took them, for example because the first instance is closing or
// did not answer in time: the caller then opens its own window rather than drop the files.
bool HandToRunningInstance(const std::vector<std::wstring>& files);

// The list as WM_COPYDATA carries it (each path ended by a zero) and back. Unpacking takes
// only whole, non-empty paths from data of any shape.
std::vector<BYTE> PackFileList(const std::vector<std::wstring>& files);
std::vector<std::wstring> UnpackFileList(const void* data, size_t size);
