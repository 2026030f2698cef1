// How the documents are kept safe from the world outside the program: files other programs change or
// remove while they are open, and the recovery copies that let a crash, a forced end or a power
// cut lose nothing the user typed.
#include <algorithm>

#include "commands/CommandStrings.h"
#include "documents/DocumentsFeature.h"
#include "griditems/GridMessages.h"
#include "tabs/TabView.h"

namespace {

// Posted when the frame comes to the front: the check runs once the activation is over, and a
// burst of activations makes one check.
constexpr UINT kCheckFilesOnDisk = WM_APP + 0x51;
constexpr UINT_PTR kRecoveryTimer = 0x5257;
// Copies are brought up to date after every command, and at least this often.
constexpr UINT kRecoveryInterval = 30 * 1000;
// A command's copy is written this long after the last command, so that no key waits for the
// disk and a run of commands writes once.
constexpr UINT_PTR kRecoverySoonTimer = 0x5258;
constexpr UINT kRecoverySoonDelay = 500;

}  // namespace

bool DocumentsFeature::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_ACTIVATEAPP:
      if (m.wParam == 0) return false;
      [[fallthrough]];
    case WM_ACTIVATE:
      if (LOWORD(m.wParam) != WA_INACTIVE && !diskCheckPosted_) {
        diskCheckPosted_ = PostMessageW(frame_.FrameWindow(), kCheckFilesOnDisk, 0, 0) != 0;
      }
      return false;
    case kCheckFilesOnDisk:
      diskCheckPosted_ = false;
      CheckFilesOnDisk();
      m.result = 0;
      return true;
    case WM_TIMER:
      if (m.wParam == kRecoverySoonTimer) {
        KillTimer(frame_.FrameWindow(), kRecoverySoonTimer);
        SyncRecoveryCopies();
        m.result = 0;
        return true;
      }
      if (m.wParam != kRecoveryTimer) return false;
      // Now and then the copies go to the disk itself; after a command they are written to
      // the system's cache at once, which is enough for a crash or a killed process.
      SyncRecoveryCopies(true);
      m.result = 0;
      return true;
    case WM_COMMAND:
      recoveryDue_ = true;
      return false;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(m.lParam)->code == static_cast<UINT>(GRIDN_ITEMCHANGED))
        recoveryDue_ = true;
      return false;
    default:
      return false;
  }
}

DocumentsFeature::DocumentWatch& DocumentsFeature::WatchOf(const AmbientView& view) {
  auto [found, added] = watches_.try_emplace(&view);
  if (added) found->second.recoverySlot = nextRecoverySlot_++;
  return found->second;
}

int DocumentsFeature::PageOfView(const AmbientView* view) const {
  for (int page = 0; page < frame_.PageTabs().GetPageCount(); ++page) {
    if (frame_.PageTabs().GetPageData(page) == view) return page;
  }
  return -1;
}

std::wstring DocumentsFeature::TitleOf(const AmbientView& view) const {
  const int page = PageOfView(&view);
  const wchar_t* title = page == -1 ? nullptr : frame_.PageTabs().GetPageTitle(page);
  return title != nullptr ? title : std::wstring();
}

// ---- files changed by other programs ----

// Each page in turn; a question that is already up (or a check under way) makes this one wait
// for the next activation, which the question's own end brings.
void DocumentsFeature::CheckFilesOnDisk() {
  if (frame_.QuestionIsUp() || checkingDisk_) return;
  checkingDisk_ = true;
  for (int page = 0; page < frame_.PageTabs().GetPageCount(); ++page) {
    if (auto* view = static_cast<AmbientView*>(frame_.PageTabs().GetPageData(page))) {
      if (!CheckFileOfView(*view)) break;
    }
  }
  checkingDisk_ = false;
}

// False when the frame went away while the question was up. What was asked is recorded only
// once the user has answered: a reload that fails leaves the document unchosen over the change.
bool DocumentsFeature::CheckFileOfView(AmbientView& view) {
  if (view.GetPath()[0] == L'\0') return true;
  FileStamp now;
  const DiskChange change = CompareWithDisk(view.GetFileStamp(), view.GetPath(), now);
  if (change == DiskChange::None) {
    DocumentWatch& watch = WatchOf(view);
    watch.asked = false;
    watch.keepChosen = false;
    return true;
  }
  if (WatchOf(view).asked && WatchOf(view).askedAbout == now) return true;
  const std::wstring title = TitleOf(view);
  if (change == DiskChange::Gone) {
    NoteAnswered(view, now, false);
    // Modified, the document is what Save writes back and what a recovery copy keeps.
    view.MarkModified();
    recoveryDue_ = true;
    frame_.Ask(FormatCommandString(STR_DISK_FILE_GONE, title), MB_OK | MB_ICONINFORMATION);
    return !FrameIsGone();
  }
  const UINT question = view.IsModified() ? STR_DISK_CHANGED_RELOAD_MODIFIED : STR_DISK_CHANGED_RELOAD;
  const UINT buttons = MB_YESNO | MB_ICONQUESTION | (view.IsModified() ? MB_DEFBUTTON2 : 0);
  const int answer = frame_.Ask(FormatCommandString(question, title), buttons);
  if (FrameIsGone() || PageOfView(&view) == -1) return !FrameIsGone();
  NoteAnswered(view, now, answer != IDYES);
  if (answer != IDYES) return true;
  if (!view.Reload()) {
    std::wstring text = FormatCommandString(STR_CANNOT_RELOAD, title);
    if (!view.GetLastLoadError().empty()) text += L"\n" + view.GetLastLoadError();
    frame_.ShowError(text);
    return !FrameIsGone();
  }
  WatchOf(view).asked = false;
  WatchOf(view).keepChosen = false;
  recoveryDue_ = true;
  return true;
}

// The change at `now` needs no reload question any more; `keep`: the user chose the document
// over it, so a save may write over it unasked.
void DocumentsFeature::NoteAnswered(const AmbientView& view, const FileStamp& now, bool keep) {
  DocumentWatch& watch = WatchOf(view);
  watch.asked = true;
  watch.askedAbout = now;
  if (!keep) return;
  watch.keepChosen = true;
  watch.keptOver = now;
}

// True when the save may go ahead: the file is as it was read, gone (the save writes it back),
// or the user says (now or in the reload question) to put the document over another program's
// change. No asks again at the next save.
bool DocumentsFeature::ConfirmOverwriteChanged(AmbientView& view) {
  FileStamp now;
  if (CompareWithDisk(view.GetFileStamp(), view.GetPath(), now) != DiskChange::Changed) return true;
  if (WatchOf(view).keepChosen && WatchOf(view).keptOver == now) return true;
  const bool overwrite = frame_.Ask(FormatCommandString(STR_DISK_CHANGED_OVERWRITE, TitleOf(view)),
                                 MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  // Seen here, the change needs no reload question afterwards.
  if (!FrameIsGone() && PageOfView(&view) != -1) NoteAnswered(view, now, overwrite);
  return overwrite;
}

void DocumentsFeature::DocumentSaved(const AmbientView& view) {
  WatchOf(view).asked = false;
  WatchOf(view).keepChosen = false;
  SyncRecoveryCopies();
}

// ---- recovery copies ----

void DocumentsFeature::KeepRecoveryCopies(const std::wstring& folder) {
  if (folder.empty()) return;
  recovery_ = std::make_unique<RecoveryStore>(folder);
  WriteRecoveryCopiesOnCrash(recovery_.get());
  SetTimer(frame_.FrameWindow(), kRecoveryTimer, kRecoveryInterval, nullptr);
}

void DocumentsFeature::ScheduleRecoveryCopies() {
  recoveryDue_ = false;
  if (recovery_) SetTimer(frame_.FrameWindow(), kRecoverySoonTimer, kRecoverySoonDelay, nullptr);
}

void DocumentsFeature::SyncRecoveryCopies(bool durable) {
  recoveryDue_ = false;
  if (!recovery_) return;
  for (const std::unique_ptr<AmbientView>& view : views_) {
    if (view->Handle() == nullptr) continue;
    DocumentWatch& watch = WatchOf(*view);
    // A copy is kept exactly where closing would ask to save: what closing may lose.
    if (!HoldsNothingToLose(*view)) {
      WriteRecoveryCopy(*view, watch, durable);
    } else if (watch.copyKept) {
      recovery_->Remove(watch.recoverySlot);
      watch.copyKept = false;
    }
  }
}

// A copy that cannot be written is said once in the status bar, until one is written again.
void DocumentsFeature::WriteRecoveryCopy(const AmbientView& view, DocumentWatch& watch, bool durable) {
  RecoveryCopy copy;
  copy.path = view.GetPath();
  copy.title = TitleOf(view);
  copy.stamp = view.GetFileStamp();
  // A document a save would refuse keeps the copy of its last storable state, and the user
  // hears that the newest edits have none.
  if (view.EncodeForSave(copy.bytes) && recovery_->Write(watch.recoverySlot, copy, durable)) {
    watch.copyKept = true;
    watch.failureReported = false;
    return;
  }
  if (watch.failureReported) return;
  watch.failureReported = true;
  frame_.ShowStatusReason(FormatCommandString(STR_RECOVERY_NOT_WRITTEN, copy.title));
}

// A document closed without saving leaves no copy behind.
void DocumentsFeature::ForgetClosedViews() {
  for (auto watch = watches_.begin(); watch != watches_.end();) {
    const bool open =
        std::any_of(views_.begin(), views_.end(), [&](const std::unique_ptr<AmbientView>& view) {
          return view.get() == watch->first && view->Handle() != nullptr;
        });
    if (open) {
      ++watch;
      continue;
    }
    if (recovery_ && watch->second.copyKept) recovery_->Remove(watch->second.recoverySlot);
    watch = watches_.erase(watch);
  }
}

int DocumentsFeature::OfferRecovery() {
  if (!recovery_) return 0;
  const std::vector<std::wstring> orphans = recovery_->FindOrphans();
  if (orphans.empty()) return 0;
  const int answer = frame_.Ask(FormatCommandString(STR_RECOVERY_OFFER, std::to_wstring(orphans.size())),
                             MB_YESNO | MB_ICONQUESTION);
  int restored = 0;
  for (const std::wstring& orphan : orphans) {
    if (answer != IDYES) {
      recovery_->DiscardOrphan(orphan);
      continue;
    }
    // The claimed copy stays the restored document's until that has a copy of its own.
    const int slot = nextRecoverySlot_++;
    RecoveryCopy copy;
    if (!recovery_->ClaimOrphan(orphan, slot, copy)) continue;
    if (RestoreCopy(copy, slot)) {
      ++restored;
    } else {
      const std::wstring title = copy.title.empty() ? LoadCommandString(RES_MAIN) : copy.title;
      frame_.ShowError(FormatCommandString(STR_RECOVERY_NOT_RESTORED, title));
    }
  }
  // The restored documents are this process's to keep safe from now on, on the disk itself
  // before the claimed copies they came from are gone.
  SyncRecoveryCopies(true);
  return restored;
}

// Bound to its file again unless that file is open in another page already (two pages of one
// file would let one save undo the other's); then it comes back as a new document.
bool DocumentsFeature::RestoreCopy(const RecoveryCopy& copy, int slot) {
  const bool bind = !copy.path.empty() && FindPageOfFile(copy.path) == -1;
  AmbientView* view = CreateView();
  if (view == nullptr) return false;
  const std::wstring title = copy.title.empty() ? LoadCommandString(RES_MAIN) : copy.title;
  if (!view->LoadRecovered(copy.bytes, bind ? copy.path : std::wstring(), bind ? copy.stamp : FileStamp{}) ||
      !frame_.PageTabs().AddPage(view->Handle(), title.c_str(), -1, view)) {
    DestroyWindow(view->Handle());
    ReleaseClosedViews();
    return false;
  }
  // The claimed file is this document's copy until its own first one replaces it.
  DocumentWatch& watch = watches_[view];
  watch.recoverySlot = slot;
  watch.copyKept = true;
  return true;
}
