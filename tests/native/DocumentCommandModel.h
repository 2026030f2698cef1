#pragma once

// Drives a document with a stream of entry commands, fills, replacements, undos and redos, and
// keeps a plain list beside it that each command is worked out on by hand. The property test
// and the fuzzer share it: the one picks with a seeded generator, the other with its input.
// A mirror listens to the document's notices alone, as a view does, and must end up the same.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ambient/AmbientDocument.h"
#include "format/AmbientFile.h"
#include "format/Windows1251Converter.h"

// The values of the entries, kept up to date from the notices only.
class NoticeMirror : public DocumentObserver {
 public:
  explicit NoticeMirror(const AmbientDocument& document) : document_(document) {}
  void OnEntriesChanged(const EntriesChanged& change) override {
    if (change.first < 0 || change.before < 0 || change.after < 0 ||
        change.first + change.before > static_cast<int>(values.size())) {
      broken = true;
      return;
    }
    values.erase(values.begin() + change.first, values.begin() + change.first + change.before);
    for (int offset = 0; offset < change.after; ++offset) {
      if (change.first + offset >= document_.Count()) {
        broken = true;
        return;
      }
      values.insert(values.begin() + change.first + offset, document_.At(change.first + offset).values);
    }
  }
  std::vector<AmbientEntryValues> values;
  bool broken = false;

 private:
  const AmbientDocument& document_;
};

class DocumentCommandModel {
 public:
  // `pick(n)` gives a number from 0 to n - 1.
  using Pick = std::function<int(int)>;

  DocumentCommandModel(AmbientDocument& document, Pick pick)
      : document_(document), pick_(std::move(pick)), mirror_(document) {
    for (int index = 0; index < document.Count(); ++index) reference_.push_back(document.At(index).values);
    mirror_.values = reference_;
    document_.AddObserver(&mirror_);
  }
  ~DocumentCommandModel() { document_.RemoveObserver(&mirror_); }

  // One command; false, with `fault` saying what, when the document differs from the reference.
  bool Step() {
    const int command = pick_(12);
    const EntrySelection selection = RandomSelection();
    switch (command) {
      case 0: return InsertFresh(selection);
      case 1: return Paste(selection);
      case 2: return Duplicate(selection);
      case 3: return Delete(selection);
      case 4: return Move(selection, pick_(2) == 0 ? -1 : 1);
      case 5: return EditCell();
      case 6: return Fill(selection);
      case 7: return Replace();
      case 8: return ReplaceValues();
      case 9:
      case 10: return UndoOrRedo(true);
      default: return UndoOrRedo(false);
    }
  }

  // Undoes every step the model made; the entries must then be the first ones again.
  bool UndoAll() {
    while (!undo_.empty()) {
      if (!UndoOrRedo(true)) return false;
    }
    return Check("undo all");
  }

  const std::vector<AmbientEntryValues>& Reference() const { return reference_; }
  std::string fault;

 private:
  using Values = std::vector<AmbientEntryValues>;

  int Count() const { return static_cast<int>(reference_.size()); }

  AmbientEntryValues RandomValues() {
    AmbientEntryValues values;
    values.audioFile = RandomName(true);
    values.minRepeatMs = pick_(5) * 1000 - 1;
    values.maxRepeatMs = pick_(3) == 0 ? INT32_MAX : pick_(100000);
    values.timeOfDay = static_cast<std::uint8_t>(pick_(6));  // 4 and 5 are shown (and kept) as Dawn
    values.volume = pick_(4) == 0 ? -pick_(10) : pick_(101);
    return values;
  }

  // Names a typed one may be; with `storable` false also ones that are refused.
  std::wstring RandomName(bool storable) {
    static const wchar_t* const names[] = {L"", L"a.wav", L"Лес\\Птицы.ogg", L"b.wav", L"A.WAV"};
    if (!storable) {
      switch (pick_(4)) {
        case 0: return std::wstring(103, L'x');  // one byte too long for the field
        case 1: return L"tab\there.wav";
        case 2: return L"中.wav";  // not in the code page
        default: break;
      }
    }
    return names[pick_(static_cast<int>(std::size(names)))];
  }

  static bool Storable(const std::wstring& name) {
    return name.size() <= AmbientEntry::MaxAudioFileLength && name.find_first_of(L"\t中") == std::wstring::npos;
  }

  static AmbientEntryValues AsShown(AmbientEntryValues values) {
    if (values.timeOfDay > 3) values.timeOfDay = 0;
    if (!values.audioFile) values.audioFile = std::wstring();
    return values;
  }

  // Chosen entries apart or not, sometimes one past the end (a view's append row) or none.
  EntrySelection RandomSelection() {
    EntrySelection selection;
    for (int index = 0; index < Count(); ++index) {
      if (pick_(4) == 0) selection.entries.push_back(index);
    }
    if (pick_(8) == 0) selection.entries.push_back(Count());
    selection.cursor = pick_(Count() + 2) - 1;
    return selection;
  }

  std::vector<int> Chosen(const EntrySelection& selection) const {
    std::vector<int> chosen;
    for (int index : selection.entries) {
      if (index >= 0 && index < Count()) chosen.push_back(index);
    }
    return chosen;
  }

  // A step the document made: the reference as it was goes on the undo list.
  void Made(const Values& before) {
    undo_.push_back(before);
    redo_.clear();
  }

  bool Check(const char* what) {
    Values actual;
    for (int index = 0; index < document_.Count(); ++index) actual.push_back(document_.At(index).values);
    if (actual != reference_) return Fail(what, "entries differ from the reference");
    if (mirror_.broken || mirror_.values != reference_) return Fail(what, "the notices tell another list");
    if (document_.CanUndo() != !undo_.empty() || document_.CanRedo() != !redo_.empty())
      return Fail(what, "the history disagrees");
    return true;
  }

  bool Fail(const char* what, const char* why) {
    fault = std::string(what) + ": " + why;
    return false;
  }

  bool ExpectChosen(const char* what, const EntryCommandOutcome& outcome, const std::vector<int>& expected) {
    if (!outcome.select || outcome.select->entries != expected) return Fail(what, "chose other entries");
    return Check(what);
  }

  bool Insert(const char* what, const EntryCommandOutcome& outcome, int row, const Values& added) {
    if (Count() + static_cast<int>(added.size()) > MaxAmbientEntries) {
      if (!outcome.refused || outcome.select) return Fail(what, "a full document took entries");
      return Check(what);
    }
    Made(reference_);
    reference_.insert(reference_.begin() + row, added.begin(), added.end());
    std::vector<int> block;
    for (int index = row; index < row + static_cast<int>(added.size()); ++index) block.push_back(index);
    return ExpectChosen(what, outcome, block);
  }

  bool InsertFresh(const EntrySelection& selection) {
    const int row = selection.cursor >= 0 && selection.cursor <= Count() ? selection.cursor : Count();
    return Insert("insert", document_.InsertFresh(selection), row, {AsShown({})});
  }

  bool Paste(const EntrySelection& selection) {
    std::vector<DocumentEntry> entries(static_cast<std::size_t>(1 + pick_(pick_(10) == 0 ? 40 : 3)));
    Values added;
    for (DocumentEntry& entry : entries) {
      entry.values = AsShown(RandomValues());
      added.push_back(entry.values);
    }
    const std::vector<int> chosen = Chosen(selection);
    int row = Count();
    if (!chosen.empty()) {
      row = chosen.front();
    } else if (selection.cursor >= 0 && selection.cursor <= Count()) {
      row = selection.cursor;
    }
    return Insert("paste", document_.Paste(selection, entries), row, added);
  }

  bool Duplicate(const EntrySelection& selection) {
    const std::vector<int> chosen = Chosen(selection);
    const EntryCommandOutcome outcome = document_.Duplicate(selection);
    if (chosen.empty()) return outcome.select ? Fail("duplicate", "copied nothing chosen") : Check("duplicate");
    Values copies;
    for (int index : chosen) copies.push_back(reference_[static_cast<std::size_t>(index)]);
    return Insert("duplicate", outcome, chosen.back() + 1, copies);
  }

  bool Delete(const EntrySelection& selection) {
    const std::vector<int> chosen = Chosen(selection);
    const EntryCommandOutcome outcome = document_.Delete(selection);
    if (chosen.empty()) return outcome.select ? Fail("delete", "deleted nothing chosen") : Check("delete");
    Made(reference_);
    for (auto index = chosen.rbegin(); index != chosen.rend(); ++index) reference_.erase(reference_.begin() + *index);
    return ExpectChosen("delete", outcome, {std::max(0, std::min(chosen.front(), Count() - 1))});
  }

  bool Move(const EntrySelection& selection, int delta) {
    const std::vector<int> chosen = Chosen(selection);
    const EntryCommandOutcome outcome = document_.Move(selection, delta);
    if (chosen.empty() || chosen.front() + delta < 0 || chosen.back() + delta >= Count())
      return outcome.select ? Fail("move", "moved past an edge") : Check("move");
    Made(reference_);
    // Each chosen entry swaps with its neighbour, the one nearest the edge first.
    if (delta < 0) {
      for (int index : chosen) std::swap(reference_[index], reference_[index - 1]);
    } else {
      for (auto index = chosen.rbegin(); index != chosen.rend(); ++index)
        std::swap(reference_[*index], reference_[*index + 1]);
    }
    std::vector<int> moved = chosen;
    for (int& index : moved) index += delta;
    return ExpectChosen("move", outcome, moved);
  }

  static void SetField(EntryField field, const AmbientEntryValues& from, AmbientEntryValues& to) {
    if (field == EntryField::AudioFile) to.audioFile = from.audioFile;
    if (field == EntryField::MinRepeat) to.minRepeatMs = from.minRepeatMs;
    if (field == EntryField::MaxRepeat) to.maxRepeatMs = from.maxRepeatMs;
    if (field == EntryField::TimeOfDay) to.timeOfDay = from.timeOfDay;
    if (field == EntryField::Volume) to.volume = from.volume;
  }

  // The entries of `touched` take `field` of `source`; a step only when one changed.
  bool SetFields(const char* what, const std::vector<int>& touched, EntryField field,
                 const AmbientEntryValues& source, int told) {
    Values after = reference_;
    int changed = 0;
    for (int index : touched) {
      AmbientEntryValues& values = after[static_cast<std::size_t>(index)];
      const AmbientEntryValues was = values;
      SetField(field, source, values);
      values = AsShown(values);
      if (!(values == was)) ++changed;
    }
    if (told != changed) return Fail(what, "told another count of changed entries");
    if (changed > 0) {
      Made(reference_);
      reference_ = std::move(after);
    }
    return Check(what);
  }

  bool EditCell() {
    if (Count() == 0) return Check("edit");
    const int entry = pick_(Count());
    const auto field = static_cast<EntryField>(pick_(5));
    const AmbientEntryValues source = RandomValues();
    const bool changed = document_.EditCell(entry, field, source);
    return SetFields("edit", {entry}, field, source, changed ? 1 : 0);
  }

  // A quick fix: every value of one entry at once, one step that selects it.
  bool ReplaceValues() {
    if (Count() == 0) return Check("fix");
    const int entry = pick_(Count());
    const AmbientEntryValues values = RandomValues();
    const bool same = values == reference_[static_cast<std::size_t>(entry)];
    if (document_.ReplaceValues(entry, values) == same)
      return Fail("fix", same ? "made a step of no change" : "changed nothing");
    if (same) return Check("fix");
    Made(reference_);
    reference_[static_cast<std::size_t>(entry)] = values;
    return Check("fix");
  }

  bool Fill(const EntrySelection& selection) {
    const std::vector<int> chosen = Chosen(selection);
    const auto field = static_cast<EntryField>(pick_(5));
    const AmbientEntryValues source = RandomValues();
    return SetFields("fill", chosen, field, source, document_.Fill(selection.entries, field, source));
  }

  bool Replace() {
    std::vector<std::wstring> names;
    for (const AmbientEntryValues& values : reference_)
      names.push_back(pick_(3) == 0 ? RandomName(pick_(4) != 0) : values.audioFile.value_or(L""));
    bool refused = false;
    std::vector<int> renamed;
    for (int index = 0; index < Count(); ++index) {
      const std::wstring& name = names[static_cast<std::size_t>(index)];
      if (name == reference_[static_cast<std::size_t>(index)].audioFile) continue;
      refused = refused || !Storable(name);
      renamed.push_back(index);
    }
    if (document_.RefuseNames(names, converter_).has_value() != refused)
      return Fail("replace", "refused another set of names");
    const std::optional<EntrySelection> chosen = document_.ReplaceNames(names, converter_);
    if (refused || renamed.empty()) return chosen ? Fail("replace", "changed names it refused") : Check("replace");
    Made(reference_);
    for (int index : renamed) reference_[static_cast<std::size_t>(index)].audioFile = names[static_cast<std::size_t>(index)];
    if (!chosen || chosen->entries != renamed) return Fail("replace", "chose other entries");
    return Check("replace");
  }

  bool UndoOrRedo(bool undo) {
    std::vector<Values>& from = undo ? undo_ : redo_;
    std::vector<Values>& to = undo ? redo_ : undo_;
    const bool done = (undo ? document_.Undo() : document_.Redo()).has_value();
    if (done != !from.empty()) return Fail(undo ? "undo" : "redo", "the history disagrees");
    if (done) {
      to.push_back(reference_);
      reference_ = from.back();
      from.pop_back();
    }
    return Check(undo ? "undo" : "redo");
  }

  AmbientDocument& document_;
  Pick pick_;
  NoticeMirror mirror_;
  Windows1251Converter converter_;
  Values reference_;
  std::vector<Values> undo_;
  std::vector<Values> redo_;
};
