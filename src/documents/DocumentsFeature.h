#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/AmbientView.h"
#include "commands/FrameFeature.h"
#include "commands/FrameServices.h"
#include "documents/RecoveryStore.h"
#include "resources/ResourceIds.h"

// The documents and their files: New, Open, Save, Save As, closing pages with the save prompt,
// files other programs change or remove while they are open (the disk watch), the recovery
// copies that let a crash lose nothing, the code page names are read in, and files whose
// length does not match their count. It owns the document views; the tabs show them.
class DocumentsFeature : public FrameFeature {
 public:
  static constexpr UINT kCommands[] = {CMD_FILE_NEW,     CMD_FILE_OPEN,        CMD_FILE_SAVE,
                                       CMD_FILE_SAVE_AS, CMD_WINDOW_CLOSE,     CMD_WINDOW_CLOSE_ALL,
                                       CMD_VIEW_NAMES_SYSTEM, CMD_VIEW_NAMES_1251};
  // What the documents need of the user's session and of the other features.
  struct Host {
    // A file was opened or saved: the recent files put it first.
    std::function<void(const std::wstring& path)> noteRecentFile;
    // The column widths the user left, for a new view.
    std::function<void(AmbientView& view)> restoreColumnWidths;
    // The file the user last opened or saved (empty when none).
    std::function<std::wstring()> lastFile;
    // A view was made, or views whose windows are gone are about to be released.
    std::function<void(AmbientView& view)> viewCreated;
    std::function<void()> viewsClosing;
  };

  DocumentsFeature(FrameServices& frame, CommandStateMap& states, Host host);
  ~DocumentsFeature() override;
  DocumentsFeature(const DocumentsFeature&) = delete;
  DocumentsFeature& operator=(const DocumentsFeature&) = delete;

  bool OnCommand(UINT id) override;
  // The idle pass: Save's state, and the recovery copies a command made due.
  void UpdateStates(CommandStateMap& states) override;
  // Activation (the disk check), the recovery timers, and edits that make copies due.
  bool HandleMessage(Message& m) override;

  // Opens the file at the full path `path` in a new page; see MainFrame::OpenDocument.
  bool OpenDocument(const std::wstring& path, bool nameTheFile = false);
  // The save prompt of one page, or of every page in tab order. False when the user (or a
  // refused cell value, or a failed save) stops the closing.
  bool ConfirmClosePage(int index);
  bool ConfirmCloseAll();
  // Takes the page away after its prompt said yes, and releases its view.
  void ClosePage(int index);
  // A new document nobody has put anything into has nothing to lose.
  static bool HoldsNothingToLose(const AmbientView& view);
  size_t ViewCount() const { return views_.size(); }
  void ApplyDpi(UINT dpi);
  // The tab container destroys a page's window but never the view behind it.
  void ReleaseClosedViews();

  // ---- the world outside (DiskWatchAndRecovery.cpp) ----
  void KeepRecoveryCopies(const std::wstring& folder);
  int OfferRecovery();
  void CheckFilesOnDisk();
  void SyncRecoveryCopies(bool durable = false);
  void ScheduleRecoveryCopies();
  void NoteChanged() { recoveryDue_ = true; }
  // The frame is going down normally: a crash from now on has nothing of the user's to keep.
  void StopCopyingOnCrash();

 private:
  void OnFileNew();
  void OnFileOpen();
  void OnWindowClose();
  void OnWindowCloseAll();
  bool SaveDocument(AmbientView& view);
  bool SaveDocumentAs(AmbientView& view);
  std::wstring DialogFolder(const AmbientView* view) const;
  int FindPageOfFile(const std::wstring& path) const;
  AmbientView* CreateView();
  void ShowSaveError(const AmbientView& view);

  // What the feature knows of each document beyond the view itself.
  struct DocumentWatch {
    int recoverySlot = 0;
    // The state of the file the user last answered about, so each change is asked about once.
    bool asked = false;
    FileStamp askedAbout;
    // The state of the file the user chose to put the document over (No to its reload, Yes to
    // overwriting it): a save over any other state asks first.
    bool keepChosen = false;
    FileStamp keptOver;
    bool copyKept = false;
    bool failureReported = false;
  };
  DocumentWatch& WatchOf(const AmbientView& view);
  int PageOfView(const AmbientView* view) const;
  std::wstring TitleOf(const AmbientView& view) const;
  bool CheckFileOfView(AmbientView& view);
  void NoteAnswered(const AmbientView& view, const FileStamp& now, bool keep);
  bool ConfirmOverwriteChanged(AmbientView& view);
  void DocumentSaved(const AmbientView& view);
  void WriteRecoveryCopy(const AmbientView& view, DocumentWatch& watch, bool durable);
  void ForgetClosedViews();
  bool RestoreCopy(const RecoveryCopy& copy, int slot);
  bool FrameIsGone() const { return frame_.FrameWindow() == nullptr; }

  // ---- names kept as stored, damaged files (NamesAndDamage.cpp) ----
  void LoadNamesCodePage();
  void OnViewNamesCodePage(UINT id);
  void ShowNamesCodePage();
  void TellLoadDamage(const AmbientView& view, const std::wstring& path);
  bool ConfirmSaveOverDamaged(const AmbientView& view);
  void ForgetLoadDamage(const AmbientView& view);

  FrameServices& frame_;
  CommandStateMap& states_;
  Host host_;
  std::vector<std::unique_ptr<AmbientView>> views_;
  // Views of files whose length did not match their count, until a save wrote them whole: the
  // first save over such a file asks first.
  std::set<const AmbientView*> damagedViews_;
  bool diskCheckPosted_ = false;
  bool checkingDisk_ = false;
  bool recoveryDue_ = false;
  int nextRecoverySlot_ = 1;
  std::map<const AmbientView*, DocumentWatch> watches_;
  std::unique_ptr<RecoveryStore> recovery_;
};
