#include "ambient/AmbientDocument.h"

#include <algorithm>
#include <cstdlib>

#include "format/EntryText.h"
#include "format/TimeOfDay.h"

namespace {

// What a view shows and a save writes: a time of day of 4 or more as Dawn, a name that could not
// be decoded as empty. The entries hold this, so that only real edits count as changes.
AmbientEntryValues AsShown(AmbientEntryValues values) {
  if (values.timeOfDay >= std::size(TimeOfDayCaptions)) values.timeOfDay = 0;
  if (!values.audioFile) values.audioFile = std::wstring();
  return values;
}

void CopyField(EntryField field, const AmbientEntryValues& from, AmbientEntryValues& to) {
  switch (field) {
    case EntryField::AudioFile:
      to.audioFile = from.audioFile;
      break;
    case EntryField::MinRepeat:
      to.minRepeatMs = from.minRepeatMs;
      break;
    case EntryField::MaxRepeat:
      to.maxRepeatMs = from.maxRepeatMs;
      break;
    case EntryField::TimeOfDay:
      to.timeOfDay = from.timeOfDay;
      break;
    case EntryField::Volume:
      to.volume = from.volume;
      break;
  }
}

DocumentEntry FreshEntry() {
  DocumentEntry fresh;
  fresh.values.audioFile = std::wstring();
  return fresh;
}

// Chosen entries beyond the list are none of the document's: a view's row for adding one.
std::vector<int> ChosenEntries(const EntrySelection& selection, int count) {
  std::vector<int> chosen = selection.entries;
  std::erase_if(chosen, [&](int index) { return index < 0 || index >= count; });
  return chosen;
}

}  // namespace

AmbientDocument::AmbientDocument() {
  // A new document holds nothing anyone typed: closing it loses nothing, and undoing back to
  // here makes it unmodified again.
  history_.Reset(true);
}

void AmbientDocument::AddObserver(DocumentObserver* observer) { observers_.push_back(observer); }

void AmbientDocument::RemoveObserver(DocumentObserver* observer) { std::erase(observers_, observer); }

void AmbientDocument::Tell(const EntriesChanged& change) {
  // A copy: an observer may remove itself while it hears.
  const std::vector<DocumentObserver*> observers = observers_;
  for (DocumentObserver* observer : observers) observer->OnEntriesChanged(change);
}

void AmbientDocument::TellStep(const EntryChange& step, bool forward) {
  if (step.moveBy != 0) {
    // A move gives new values to the entries it passed over and those it landed on.
    const int rows = step.moveCount + std::abs(step.moveBy);
    Tell({std::min(step.first, step.first + step.moveBy), rows, rows});
    return;
  }
  const auto before = static_cast<int>((forward ? step.before : step.after).size());
  const auto after = static_cast<int>((forward ? step.after : step.before).size());
  Tell({step.first, before, after});
}

std::vector<AmbientEntryValues> AmbientDocument::Values() const {
  std::vector<AmbientEntryValues> values;
  values.reserve(static_cast<std::size_t>(Count()));
  for (int index = 0; index < Count(); ++index) values.push_back(At(index).values);
  return values;
}

// ---- the file ----

void AmbientDocument::Adopt(const AmbientLoadResult& loaded, bool matchesDisk) {
  const int before = Count();
  entries_ = EntryList::FromLoad(loaded);
  for (int index = 0; index < Count(); ++index) entries_.SetValues(index, AsShown(At(index).values));
  history_.Reset(matchesDisk);
  Tell({0, before, Count(), true});
}

AmbientLoadResult AmbientDocument::LoadBytes(std::span<const std::byte> bytes, const CodePageConverter& converter,
                                             bool matchesDisk) {
  AmbientLoadResult loaded = ReadAmbientFile(bytes, converter);
  if (loaded) Adopt(loaded, matchesDisk);
  return loaded;
}

AmbientEncoding AmbientDocument::Encode(const CodePageConverter& converter) const {
  return EncodeAmbientFile(Image(), Values(), converter);
}

void AmbientDocument::SavedAs(const AmbientImage& written) {
  entries_.AdoptImage(written);
  history_.MarkSaved();
}

// ---- the history ----

std::optional<EntrySelection> AmbientDocument::Undo() {
  const EntryChange* step = history_.Undo();
  if (step == nullptr) return std::nullopt;
  step->ApplyTo(entries_, false);
  TellStep(*step, false);
  return EntrySelection{step->selectBefore, step->selectBefore.empty() ? -1 : step->selectBefore.front()};
}

std::optional<EntrySelection> AmbientDocument::Redo() {
  const EntryChange* step = history_.Redo();
  if (step == nullptr) return std::nullopt;
  step->ApplyTo(entries_, true);
  TellStep(*step, true);
  return EntrySelection{step->selectAfter, step->selectAfter.empty() ? -1 : step->selectAfter.front()};
}

EntrySelection AmbientDocument::Apply(EntryChange change) {
  change.ApplyTo(entries_, true);
  EntrySelection chosen{change.selectAfter, change.selectAfter.empty() ? -1 : change.selectAfter.front()};
  TellStep(change, true);
  history_.Record(std::move(change));
  return chosen;
}

// ---- entry commands ----

EntryCommandOutcome AmbientDocument::Insert(int row, std::vector<DocumentEntry> entries) {
  if (!entries_.HasRoomFor(static_cast<int>(entries.size()))) return {true, std::nullopt};
  return {false, Apply(EntryChange::Inserting(std::clamp(row, 0, Count()), std::move(entries)))};
}

EntryCommandOutcome AmbientDocument::InsertFresh(const EntrySelection& selection) {
  const int cursor = selection.cursor;
  return Insert(cursor >= 0 && cursor <= Count() ? cursor : Count(), {FreshEntry()});
}

EntryCommandOutcome AmbientDocument::Paste(const EntrySelection& selection, std::vector<DocumentEntry> entries) {
  const std::vector<int> chosen = ChosenEntries(selection, Count());
  int row = Count();
  if (!chosen.empty()) {
    row = chosen.front();
  } else if (selection.cursor >= 0 && selection.cursor <= Count()) {
    row = selection.cursor;
  }
  return Insert(row, std::move(entries));
}

EntryCommandOutcome AmbientDocument::Duplicate(const EntrySelection& selection) {
  const std::vector<int> chosen = ChosenEntries(selection, Count());
  if (chosen.empty()) return {};
  if (!entries_.HasRoomFor(static_cast<int>(chosen.size()))) return {true, std::nullopt};
  return {false, Apply(EntryChange::Duplicating(entries_, chosen))};
}

EntryCommandOutcome AmbientDocument::Delete(const EntrySelection& selection) {
  const std::vector<int> chosen = ChosenEntries(selection, Count());
  if (chosen.empty()) return {};
  return {false, Apply(EntryChange::Deleting(entries_, chosen))};
}

EntryCommandOutcome AmbientDocument::Move(const EntrySelection& selection, int delta) {
  std::optional<EntryChange> change =
      EntryChange::MovingSelected(entries_, ChosenEntries(selection, Count()), delta);
  if (!change) return {};
  return {false, Apply(std::move(*change))};
}

// Only a real change is a step: choosing the same option again leaves the document as it was.
bool AmbientDocument::EditCell(int entry, EntryField field, const AmbientEntryValues& source) {
  if (entry < 0 || entry >= Count()) return false;
  DocumentEntry edited = At(entry);
  CopyField(field, source, edited.values);
  edited.values = AsShown(edited.values);
  if (edited.values == At(entry).values) return false;
  EntryChange change = EntryChange::Replacing(entry, entries_.Slice(entry, 1), {edited});
  change.selectBefore = change.selectAfter = {entry};
  Apply(std::move(change));
  return true;
}

int AmbientDocument::Fill(const std::vector<int>& entries, EntryField field, const AmbientEntryValues& source) {
  std::vector<int> touched = entries;
  std::sort(touched.begin(), touched.end());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
  std::erase_if(touched, [&](int index) { return index < 0 || index >= Count(); });
  std::optional<EntryChange> change = EntryChange::Editing(entries_, touched, [&](int, DocumentEntry& entry) {
    CopyField(field, source, entry.values);
    entry.values = AsShown(entry.values);
    return true;
  });
  if (!change) return 0;
  const int changed = change->ChangedEntries();
  if (changed > 0) Apply(std::move(*change));
  return changed;
}

// ---- names ----

std::optional<NameRefusal> AmbientDocument::RefuseName(int entry, const std::wstring& name,
                                                       const CodePageConverter& converter) {
  NameRefusal refusal;
  refusal.save.entryIndex = entry;
  if (CheckEntryName(name, converter) == EntryTextError::NameHasControlCharacter) {
    refusal.controlCharacter = true;
    return refusal;
  }
  AmbientEntryValues values;
  values.audioFile = name;
  AmbientEntry scratch{};
  refusal.save.error = StoreEntryValues(scratch, values, converter);
  if (refusal.save.error == AmbientSaveError::None) return std::nullopt;
  if (refusal.save.error == AmbientSaveError::TextNotConvertible)
    refusal.save.character = FirstUnencodableCharacter(name, converter);
  return refusal;
}

// Every changed name passes the check a typed one does, before anything changes.
std::optional<NameRefusal> AmbientDocument::RefuseNames(const std::vector<std::wstring>& names,
                                                        const CodePageConverter& converter) const {
  const int count = std::min(Count(), static_cast<int>(names.size()));
  for (int index = 0; index < count; ++index) {
    const std::wstring& name = names[static_cast<std::size_t>(index)];
    if (name == At(index).values.audioFile.value_or(L"")) continue;
    if (std::optional<NameRefusal> refusal = RefuseName(index, name, converter)) return refusal;
  }
  return std::nullopt;
}

std::optional<EntrySelection> AmbientDocument::ReplaceNames(const std::vector<std::wstring>& names,
                                                            const CodePageConverter& converter) {
  if (RefuseNames(names, converter)) return std::nullopt;
  const int count = std::min(Count(), static_cast<int>(names.size()));
  std::vector<int> renamed;
  for (int index = 0; index < count; ++index) {
    if (names[static_cast<std::size_t>(index)] != At(index).values.audioFile.value_or(L"")) renamed.push_back(index);
  }
  std::optional<EntryChange> change = EntryChange::Editing(entries_, renamed, [&](int index, DocumentEntry& entry) {
    entry.values.audioFile = names[static_cast<std::size_t>(index)];
    return true;
  });
  if (!change) return std::nullopt;
  return Apply(std::move(*change));
}

// The stored bytes are what they were, only read another way; the steps of the history are read
// again too, so that undo brings back names in the new code page.
void AmbientDocument::RereadNames(const CodePageConverter& from, const CodePageConverter& to) {
  history_.ChangeEveryEntry([&](DocumentEntry& entry) { RereadName(entry, from, to); });
  for (int index = 0; index < Count(); ++index) {
    DocumentEntry entry = At(index);
    RereadName(entry, from, to);
    entries_.SetValues(index, entry.values);
  }
  Tell({0, Count(), Count(), true});
}
