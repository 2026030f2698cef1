#pragma once

#include <windows.h>

#include <string>
#include <vector>

class AmbientView;
class TabView;

// What the features may ask of the frame that owns them: the window, the tabs and the active
// document, the status bar, and the questions it asks. Features reach the frame only through
// this, never through its members.
class FrameServices {
 public:
  // The frame's own window: the owner of every dialog and message box.
  virtual HWND FrameWindow() const = 0;
  virtual TabView& PageTabs() = 0;
  // The document view of the active page, or null when no page is open.
  virtual AmbientView* ActiveView() const = 0;
  // The frame's keyboard table, for dialogs that answer some of its keys too.
  virtual const std::vector<ACCEL>& AcceleratorEntries() const = 0;

  // Shows in the status bar why a command or a typed value was refused, until the next edit,
  // menu prompt or another document coming to the front.
  virtual void ShowStatusReason(const std::wstring& reason) = 0;
  virtual void EndStatusReason() = 0;
  // Says why, and beeps: a command that could not be carried out.
  virtual void RefuseCommand(const std::wstring& reason) = 0;
  // The status bar's main text and its two sound panes (count of missing sounds, the folder).
  virtual void ShowStatusText(const std::wstring& text) = 0;
  virtual void SetSoundPanes(const std::wstring& count, const std::wstring& folder) = 0;
  virtual void ShowError(const std::wstring& text) = 0;

  // Every question (a message box, a file dialog, a dialog the frame waits for) is counted
  // while it is up: nothing may close or reload under it. `Ask` counts its own.
  virtual int Ask(const std::wstring& text, UINT type) = 0;
  virtual void QuestionOpened() = 0;
  virtual void QuestionClosed() = 0;
  virtual bool QuestionIsUp() const = 0;

  // The documents changed in a way the recovery copies must follow soon.
  virtual void NoteDocumentsChanged() = 0;
  // The frame's children are placed again (a pane came or went).
  virtual void Relayout() = 0;

 protected:
  ~FrameServices() = default;
};

// Counts a question up for as long as it lives.
class QuestionUp {
 public:
  explicit QuestionUp(FrameServices& frame) : frame_(frame) { frame_.QuestionOpened(); }
  ~QuestionUp() { frame_.QuestionClosed(); }
  QuestionUp(const QuestionUp&) = delete;
  QuestionUp& operator=(const QuestionUp&) = delete;

 private:
  FrameServices& frame_;
};
