#include <gtest/gtest.h>

#include <climits>

#include "ambient/EntryRecords.h"
#include "format/EntryText.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

EntryTextParse Parse(std::wstring_view text, int room = MaxAmbientEntries) {
  return ParseEntryLines(text, converter, room);
}

void ExpectRefused(std::wstring_view text, EntryTextError error, int line, int room = MaxAmbientEntries) {
  const EntryTextParse parse = Parse(text, room);
  EXPECT_EQ(parse.error, error) << "for: " << std::string(text.begin(), text.end());
  EXPECT_EQ(parse.line, line);
  EXPECT_TRUE(parse.entries.empty() || !parse);
}

}  // namespace

TEST(EntryText, ReadsSpreadsheetLinesAndWhatItFormats) {
  const AmbientEntryValues first{L"лес\\дождь.wav", INT_MIN, INT_MAX, 3, -7};
  const std::wstring text = FormatEntryLine(first) + L"\r\n\r\n b.wav\t 1 \t+2\t0\t3\n";
  const EntryTextParse parse = Parse(text);
  ASSERT_TRUE(parse);
  ASSERT_EQ(parse.entries.size(), 2u);
  EXPECT_EQ(parse.entries[0], first);
  EXPECT_EQ(parse.entries[1], (AmbientEntryValues{L" b.wav", 1, 2, 0, 3}));
  EXPECT_EQ(FormatEntryLine(parse.entries[1]), L" b.wav\t1\t2\t0\t3");
}

TEST(EntryText, RefusesTheWholePasteAndNamesTheLine) {
  ExpectRefused(L"", EntryTextError::NoEntries, 0);
  ExpectRefused(L"\r\n  \n", EntryTextError::NoEntries, 0);
  ExpectRefused(L"a\t1\t2\t3\t4\nb\t1\t2\t3\n", EntryTextError::WrongFieldCount, 2);
  ExpectRefused(L"a\t1\t2\t3\t4\t5", EntryTextError::WrongFieldCount, 1);
  ExpectRefused(L"a\t1\tten\t3\t4", EntryTextError::NotANumber, 1);
  ExpectRefused(L"a\t1\t2\t3\t-", EntryTextError::NotANumber, 1);
  ExpectRefused(L"a\t1.5\t2\t3\t4", EntryTextError::NotANumber, 1);
  ExpectRefused(L"a\t2147483648\t2\t3\t4", EntryTextError::NumberOutOfRange, 1);
  ExpectRefused(L"a\t1\t2\t3\t-99999999999999999999", EntryTextError::NumberOutOfRange, 1);
  ExpectRefused(L"ok\t1\t2\t3\t4\na\t1\t2\t4\t4", EntryTextError::TimeOfDayOutOfRange, 2);
  ExpectRefused(L"a\t1\t2\t-1\t4", EntryTextError::TimeOfDayOutOfRange, 1);
  ExpectRefused(std::wstring(103, L'ж') + L"\t1\t2\t3\t4", EntryTextError::NameTooLong, 1);
  ExpectRefused(L"名前.wav\t1\t2\t3\t4", EntryTextError::NameNotConvertible, 1);
  ExpectRefused(L"a\t1\t2\t3\t4\nb\t1\t2\t3\t4\nc\t1\t2\t3\t4", EntryTextError::TooManyEntries, 3, 2);

  const EntryTextParse field = Parse(L"a\t1\t2\t3\tloud");
  EXPECT_EQ(field.field, 5);
  EXPECT_TRUE(Parse(std::wstring(102, L'ж') + L"\t1\t2\t3\t4"));
}

TEST(EntryText, ToleratesAByteOrderMarkAndATrailingTab) {
  const EntryTextParse parse = Parse(
      L"\xFEFF"
      L"a.wav\t1\t2\t3\t4\t\r\nb.wav\t5\t6\t0\t7\t \r\n");
  ASSERT_TRUE(parse);
  ASSERT_EQ(parse.entries.size(), 2u);
  EXPECT_EQ(parse.entries[0], (AmbientEntryValues{L"a.wav", 1, 2, 3, 4}));
  EXPECT_EQ(parse.entries[1].volume, 7);
}

// The check a typed name gets: the same reasons a paste gives, and a tab or line break, which
// would not survive a copy as text.
TEST(EntryText, ATypedNameIsCheckedAsAPastedOne) {
  EXPECT_EQ(CheckEntryName(L"лес.wav", converter), EntryTextError::None);
  EXPECT_EQ(CheckEntryName(std::wstring(103, L'ж'), converter), EntryTextError::NameTooLong);
  EXPECT_EQ(CheckEntryName(L"名前.wav", converter), EntryTextError::NameNotConvertible);
  EXPECT_EQ(CheckEntryName(L"a\xD800.wav", converter), EntryTextError::NameNotConvertible);
  for (const wchar_t* name : {L"a\tb", L"a\nb", L"a\rb"}) {
    EXPECT_EQ(CheckEntryName(name, converter), EntryTextError::NameHasControlCharacter);
  }
  EXPECT_EQ(CheckEntryName(std::wstring(L"a\0b", 3), converter), EntryTextError::NameHasControlCharacter);
}

namespace {

EntryRecordsDecode Decode(std::span<const std::byte> bytes, int room = MaxAmbientEntries) {
  return DecodeEntryRecords(bytes, converter, room);
}

void ExpectRecordsRefused(const std::vector<DocumentEntry>& entries, EntryTextError error, int entry) {
  const EntryRecordsDecode decode = Decode(EncodeEntryRecords(entries));
  EXPECT_EQ(decode.error, error);
  EXPECT_EQ(decode.entry, entry);
  EXPECT_TRUE(decode.entries.empty());
}

}  // namespace

TEST(EntryRecords, KeepEveryByteAndRefuseDamagedData) {
  std::vector<DocumentEntry> entries(2);
  entries[0].values = {L"гр.wav", 1, 2, 3, 4};
  entries[0].record.audioFile[90] = 'Z';
  entries[1].values = {L"", -1, -2, 0, INT_MIN};
  const std::vector<std::byte> bytes = EncodeEntryRecords(entries);
  EXPECT_EQ(Decode(bytes).entries, entries);

  const std::vector<std::byte> cut(bytes.begin(), bytes.end() - 1);
  EXPECT_EQ(Decode(cut).error, EntryTextError::RecordsDamaged);
  std::vector<std::byte> padded = bytes;
  padded.resize(bytes.size() + 16);
  EXPECT_EQ(Decode(padded).entries, entries);
  EXPECT_EQ(Decode(bytes, 1).error, EntryTextError::TooManyEntries);
  EXPECT_EQ(Decode(bytes, 1).entry, 2);
}

// Any program may put this format on the clipboard: every block a text paste would refuse is
// refused whole, and sizes the block cannot hold allocate nothing.
TEST(EntryRecords, HostileBlocksAreRefusedWithTheTextPastesReasons) {
  std::vector<DocumentEntry> entries(2);
  entries[0].values = {L"ok.wav", 1, 2, 3, 4};
  entries[1].values = entries[0].values;

  entries[1].values.audioFile = std::wstring(1000000, L'a');
  ExpectRecordsRefused(entries, EntryTextError::NameTooLong, 2);
  entries[1].values.audioFile = std::wstring(L"a\0b.wav", 7);
  ExpectRecordsRefused(entries, EntryTextError::NameHasControlCharacter, 2);
  entries[1].values.audioFile = L"a\xDC00.wav";
  ExpectRecordsRefused(entries, EntryTextError::NameNotConvertible, 2);
  entries[1].values.audioFile = L"名前.wav";
  ExpectRecordsRefused(entries, EntryTextError::NameNotConvertible, 2);
  entries[1].values = {L"ok.wav", 1, 2, 4, 4};
  ExpectRecordsRefused(entries, EntryTextError::TimeOfDayOutOfRange, 2);
  ExpectRecordsRefused({}, EntryTextError::NoEntries, 0);

  // A count of more entries than the block can hold, and a name longer than what follows it.
  std::vector<std::byte> block = EncodeEntryRecords({entries.data(), 1});
  block[0] = std::byte{50};
  EXPECT_EQ(Decode(block).error, EntryTextError::RecordsDamaged);
  block = EncodeEntryRecords({entries.data(), 1});
  block[4 + sizeof(AmbientEntry) + 13] = std::byte{90};
  EXPECT_EQ(Decode(block).error, EntryTextError::RecordsDamaged);
  const std::byte hugeCount[] = {std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}, std::byte{0x7F}};
  EXPECT_EQ(Decode(hugeCount).error, EntryTextError::TooManyEntries);

  // A name its code page cannot hold passes when it is the record's own stored name, shown as
  // stored: a save writes those bytes back.
  class AsciiConverter final : public CodePageConverter {
   public:
    std::optional<std::wstring> ToUtf16(std::string_view bytes) const override {
      if (bytes.find_first_of("\x80\xFF") != std::string_view::npos) return std::nullopt;
      return std::wstring(bytes.begin(), bytes.end());
    }
    std::optional<std::string> FromUtf16(std::wstring_view text) const override {
      if (text.find(L'\xFFFD') != std::wstring_view::npos) return std::nullopt;
      return std::string(text.begin(), text.end());
    }
  };
  DocumentEntry stored;
  StoreAudioFileBytes(stored.record, "a\xFF.wav");
  stored.values = {L"a\xFFFD.wav", 1, 2, 3, 4};
  EXPECT_TRUE(DecodeEntryRecords(EncodeEntryRecords({&stored, 1}), AsciiConverter(), MaxAmbientEntries));
  stored.values.audioFile = L"b\xFFFD.wav";
  EXPECT_EQ(DecodeEntryRecords(EncodeEntryRecords({&stored, 1}), AsciiConverter(), MaxAmbientEntries).error,
            EntryTextError::NameNotConvertible);
}
