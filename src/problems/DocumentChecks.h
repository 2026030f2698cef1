#pragma once

// Every problem of one list, and the problems a document keeps up to date as it is edited.
// Entry rules are cheap and run synchronously; sound rules only read verdicts that a
// SoundProbeWorker (or, on the command line, a probe that may wait) supplies.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ambience/VolumeScale.h"
#include "format/CodePageConverter.h"
#include "ambient/EntryList.h"
#include "problems/Problem.h"
#include "problems/SoundProbe.h"

// What a list is checked against besides its entries.
struct CheckSetup {
  std::wstring soundFolder;                      // empty: none known, and the sound rules stay silent
  // The code page the names are read in. Compared by address: pass the same object while the
  // code page stays, or every update checks every entry again.
  const CodePageConverter* converter = nullptr;
  VolumeScale volumeScale = VolumeScale::Percent;

  bool operator==(const CheckSetup&) const = default;
};

// The verdict on a sound file by its full path: Pending while it is not known.
using SoundLookup = std::function<SoundProbe(const std::wstring& path)>;

// The file an entry's sound is looked for in; empty when no sound rule applies: no folder is
// known, the name is empty, or it leads outside the folder (BAD006 says so already).
std::wstring SoundPathOf(const DocumentEntry& entry, const std::wstring& soundFolder);

// The entry rules on one entry.
std::vector<Problem> CheckEntry(const DocumentEntry& entry, int index, const CheckSetup& setup);
// The sound rules on one entry.
std::vector<Problem> CheckEntrySound(const DocumentEntry& entry, int index, const CheckSetup& setup,
                                     const SoundLookup& sounds);

// All problems of a list, sorted by entry, then column, then rule.
std::vector<Problem> CheckDocument(std::span<const DocumentEntry> entries, const CheckSetup& setup,
                                   const SoundLookup& sounds);

// The scale a list's volumes read in when nobody chose one: guessed from the volumes themselves.
VolumeScale GuessListVolumeScale(std::span<const DocumentEntry> entries);

// One document's problems, kept for its idle pass. Each update runs the entry rules only on the
// entries that differ from what was last checked at their place (on all after the setup
// changed); the sound rules and the list rule read known verdicts and so cost no disk access.
class DocumentProblems {
 public:
  // True when the problems differ from before.
  bool Update(std::span<const DocumentEntry> entries, const CheckSetup& setup, const SoundLookup& sounds);

  const std::vector<Problem>& Problems() const { return problems_; }
  int ErrorCount() const;
  int WarningCount() const;
  // How many entries the last update ran the entry rules on.
  int EntriesRechecked() const { return rechecked_; }

 private:
  std::vector<std::optional<DocumentEntry>> checked_;
  std::vector<std::vector<Problem>> entryProblems_;
  CheckSetup setup_;
  bool hasSetup_ = false;
  std::vector<Problem> problems_;
  int rechecked_ = 0;
};
