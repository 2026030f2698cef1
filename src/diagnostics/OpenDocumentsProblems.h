#pragma once

// The problems of every open document, brought up to date on the frame's idle pass. The entry
// rules run there and then; sound files are probed on a thread of their own, whose verdicts are
// kept by path, size and write time, so that typing never waits for a disk or a decoder. A
// verdict that arrives wakes the frame's loop, and the next idle pass takes it in.

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ambience/VolumeScale.h"
#include "editor/AmbientView.h"
#include "panes/ProblemsPaneRows.h"
#include "problems/DocumentChecks.h"
#include "problems/QuickFix.h"
#include "problems/SoundProbeWorker.h"
#include "problems/Win32ProbeFileSystem.h"

// An open document as the checks see it.
struct OpenDocument {
  AmbientView* view = nullptr;
  std::wstring title;        // as its tab shows it
  std::wstring soundFolder;  // empty: none known
};

class OpenDocumentsProblems {
 public:
  // `verdictArrived` runs on the probe's thread.
  explicit OpenDocumentsProblems(std::function<void()> verdictArrived);

  // Checks each document as it is now (only what changed since the last time costs anything)
  // and forgets the documents no longer open. `chosenScale`: the volume scale the user chose;
  // nothing: each list's guessed from its own volumes.
  void Update(const std::vector<OpenDocument>& documents, std::optional<VolumeScale> chosenScale);

  // The problems of `view` as of the last update; null for a document not checked.
  const DocumentProblems* Find(const AmbientView* view) const;
  // Every problem of every document, documents in the order given, each with the fix that can
  // be offered for it as things stand.
  std::vector<PaneProblem> Rows(const std::vector<OpenDocument>& documents) const;
  // The fix that can be offered for `problem` of `document` as of the last update, on what the
  // probe already knows: cheap enough for every idle pass.
  std::optional<QuickFix> FixOffered(const OpenDocument& document, const Problem& problem) const;
  // The fix for `problem` of `document` as its entries are now, proved against the disk itself.
  std::optional<QuickFix> FixNow(const OpenDocument& document, const Problem& problem) const;

  // Files may have come, gone or changed while another program had the foreground.
  void RecheckFiles() { worker_.RecheckAll(); }
  // For tests: waits until every queued sound was probed.
  void WaitForProbes() { worker_.WaitUntilIdle(); }

 private:
  struct Checked {
    std::vector<DocumentEntry> entries;  // as of the last update
    DocumentProblems problems;
  };
  // Whether a file is known to be at `path`, without waiting: unknown files are queued.
  bool KnownToExist(const std::wstring& path) const;

  Win32ProbeFileSystem files_;
  mutable SoundProbeWorker worker_;
  std::map<const AmbientView*, Checked> checked_;
};

// The entries of `view`, copied.
std::vector<DocumentEntry> EntriesOf(const AmbientView& view);
