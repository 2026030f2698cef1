#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "AmbientFileBytes.h"
#include "DocumentCommandModel.h"
#include "ambient/AmbientDocument.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

// A file of `count` entries whose names carry bytes behind their terminator, which the editor
// does not interpret and must write back wherever the entry goes.
std::vector<std::byte> FileOf(int count) {
  AmbientFileBytes file;
  file.Count(static_cast<std::int16_t>(count));
  for (int index = 0; index < count; ++index) {
    AmbientEntry entry = MakeEntry(index * 100, index * 100 + 50, static_cast<std::uint8_t>(index % 4),
                                   "s" + std::to_string(index) + ".wav", index);
    entry.audioFile[60] = static_cast<char>(0xA0 + index);
    file.Record(entry);
  }
  return file.bytes();
}

AmbientDocument Loaded(const std::vector<std::byte>& bytes) {
  AmbientDocument document;
  EXPECT_TRUE(document.LoadBytes(bytes, converter, true));
  return document;
}

std::vector<std::byte> Saved(const AmbientDocument& document) {
  AmbientEncoding encoding = document.Encode(converter);
  EXPECT_TRUE(encoding.result);
  return encoding.bytes;
}

class NoticeLog : public DocumentObserver {
 public:
  void OnEntriesChanged(const EntriesChanged& change) override { notices.push_back(change); }
  std::vector<EntriesChanged> notices;
};

}  // namespace

std::vector<std::byte> ReadSample(const std::string& name) {
  std::ifstream stream(std::string(SONARWICK_SAMPLES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(stream) << name;
  std::vector<std::byte> bytes;
  for (auto it = std::istreambuf_iterator<char>(stream); it != std::istreambuf_iterator<char>(); ++it)
    bytes.push_back(static_cast<std::byte>(*it));
  return bytes;
}

// Random commands, fills, replacements, undos and redos, each worked out on a plain list beside
// the document; undoing them all gives back the file's bytes and an unmodified document.
TEST(AmbientDocument, RandomCommandsMatchAPlainListAndUndoAllRestoresTheBytes) {
  std::vector<std::vector<std::byte>> files;
  for (const int count : {0, 1, 7, 12}) files.push_back(FileOf(count));
  for (const char* sample : {"bytes-behind-terminators.bad", "extreme-numbers.bad", "hundred-entries.bad",
                             "longest-names.bad", "game-forest.bad"})
    files.push_back(ReadSample(sample));
  unsigned seed = 0;
  for (const std::vector<std::byte>& original : files) {
    AmbientDocument document = Loaded(original);
    EXPECT_EQ(Saved(document), original) << "file " << seed;
    std::mt19937 random(++seed);
    DocumentCommandModel model(document, [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); });
    for (int step = 0; step < 800; ++step) ASSERT_TRUE(model.Step()) << "seed " << seed << " step " << step << ": " << model.fault;
    ASSERT_TRUE(model.UndoAll()) << model.fault;
    EXPECT_EQ(Saved(document), original) << "seed " << seed;
    EXPECT_FALSE(document.IsModified());
  }
}

TEST(AmbientDocument, TheModifiedFlagFollowsTheSavedPointAndAFileThatWentAway) {
  AmbientDocument fresh;
  EXPECT_FALSE(fresh.IsModified()) << "a new document holds nothing anyone typed";

  AmbientDocument document = Loaded(FileOf(3));
  AmbientEntryValues louder;
  louder.volume = 99;
  ASSERT_TRUE(document.EditCell(1, EntryField::Volume, louder));
  EXPECT_TRUE(document.IsModified());
  EXPECT_FALSE(document.EditCell(1, EntryField::Volume, louder)) << "the same value again is no step";
  document.Undo();
  EXPECT_FALSE(document.IsModified()) << "undone back to what the file holds";
  document.Redo();
  document.SavedAs(document.Encode(converter).image);
  EXPECT_FALSE(document.IsModified());
  document.Undo();
  EXPECT_TRUE(document.IsModified()) << "the file now holds the redone value";
  document.Redo();

  // Once the file went away no point of the history is on disk: undoing an edit made after
  // that must not make the document look saved, or closing it would lose it without asking.
  document.MarkModified();
  ASSERT_TRUE(document.EditCell(0, EntryField::Volume, louder));
  document.Undo();
  EXPECT_TRUE(document.IsModified());

  AmbientDocument recovered;
  ASSERT_TRUE(recovered.LoadBytes(FileOf(2), converter, false));
  EXPECT_TRUE(recovered.IsModified()) << "a recovery copy is not what the file holds";
  EXPECT_FALSE(recovered.CanUndo());
}

TEST(AmbientDocument, NamesAStoreCannotHoldAreRefusedWithTheirReason) {
  auto refusal = AmbientDocument::RefuseName(4, L"a\tb.wav", converter);
  ASSERT_TRUE(refusal);
  EXPECT_TRUE(refusal->controlCharacter);
  EXPECT_EQ(refusal->save.entryIndex, 4);

  refusal = AmbientDocument::RefuseName(2, L"Лес\\中.wav", converter);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->save.error, AmbientSaveError::TextNotConvertible);
  EXPECT_EQ(refusal->save.character, L"中");
  EXPECT_EQ(refusal->save.entryIndex, 2);

  refusal = AmbientDocument::RefuseName(0, std::wstring(103, L'я'), converter);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->save.error, AmbientSaveError::TextTooLong);
  EXPECT_FALSE(AmbientDocument::RefuseName(0, std::wstring(102, L'я'), converter));

  // Replacing: the first changed name that cannot be stored refuses all of them; a name left as
  // it was is no change, whatever it holds.
  AmbientDocument document = Loaded(FileOf(3));
  std::vector<std::wstring> names{L"s0.wav", L"x\ny.wav", L"中.wav"};
  refusal = document.RefuseNames(names, converter);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->save.entryIndex, 1);
  EXPECT_FALSE(document.ReplaceNames(names, converter));
  EXPECT_FALSE(document.CanUndo());
  names = {L"s0.wav", L"new.wav", L"s2.wav"};
  const auto chosen = document.ReplaceNames(names, converter);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->entries, std::vector<int>{1});
  EXPECT_EQ(document.At(1).values.audioFile, L"new.wav");
}

// A view shows only what it is told: each command tells the rows it touched, a move the rows it
// passed over, and a load or another code page everything.
TEST(AmbientDocument, ObserversHearWhichRowsChanged) {
  AmbientDocument document;
  NoticeLog log;
  document.AddObserver(&log);
  ASSERT_TRUE(document.LoadBytes(FileOf(6), converter, true));
  document.Delete({{1, 4}, 1});
  document.Undo();
  document.Move({{2, 3}, 2}, 1);
  document.Paste({{}, 6}, {DocumentEntry{}, DocumentEntry{}});
  document.RereadNames(converter, converter);
  document.RemoveObserver(&log);
  document.Undo();
  const std::vector<EntriesChanged> expected{
      {0, 0, 6, true}, {1, 4, 2}, {1, 2, 4}, {2, 3, 3}, {6, 0, 2}, {0, 8, 8, true}};
  EXPECT_EQ(log.notices, expected);
}

// The bytes the editor does not interpret stay with their entry through moves, copies and saves;
// a stored time of day without a name shows as Dawn and choosing Dawn again changes nothing.
TEST(AmbientDocument, UninterpretedBytesTravelWithTheirEntry) {
  std::vector<std::byte> bytes = FileOf(3);
  AmbientEntry odd = MakeEntry(1, 2, 7, "odd.wav", 3);
  std::memcpy(bytes.data() + 2 + 2 * sizeof(AmbientEntry), &odd, sizeof(odd));
  AmbientDocument document = Loaded(bytes);
  EXPECT_EQ(document.At(2).values.timeOfDay, 0);
  AmbientEntryValues dawn;
  EXPECT_FALSE(document.EditCell(2, EntryField::TimeOfDay, dawn));

  document.Move({{0}, 0}, 1);
  document.Duplicate({{1}, 1});
  const std::vector<std::byte> saved = Saved(document);
  ASSERT_EQ(saved.size(), 2 + 4 * sizeof(AmbientEntry));
  const auto recordAt = [&](int index) {
    AmbientEntry entry;
    std::memcpy(&entry, saved.data() + 2 + static_cast<std::size_t>(index) * sizeof(AmbientEntry), sizeof(entry));
    return entry;
  };
  EXPECT_EQ(static_cast<unsigned char>(recordAt(1).audioFile[60]), 0xA0);
  EXPECT_EQ(static_cast<unsigned char>(recordAt(2).audioFile[60]), 0xA0) << "the copy keeps its original's bytes";
  EXPECT_EQ(static_cast<unsigned char>(recordAt(0).audioFile[60]), 0xA1);
}
