#include <gtest/gtest.h>

#include <climits>

#include "ambient/EntryRecords.h"
#include "ambient/EntryText.h"
#include "ambient/Windows1251Converter.h"

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

TEST(EntryRecords, KeepEveryByteAndRefuseDamagedData) {
  std::vector<DocumentEntry> entries(2);
  entries[0].values = {L"гр.wav", 1, 2, 3, 4};
  entries[0].record.audioFile[90] = 'Z';
  entries[1].values = {L"", -1, -2, 0, INT_MIN};
  const std::vector<std::byte> bytes = EncodeEntryRecords(entries);
  EXPECT_EQ(DecodeEntryRecords(bytes), entries);

  const std::vector<std::byte> cut(bytes.begin(), bytes.end() - 1);
  EXPECT_FALSE(DecodeEntryRecords(cut));
  std::vector<std::byte> padded = bytes;
  padded.resize(bytes.size() + 16);
  EXPECT_EQ(DecodeEntryRecords(padded), entries);
  const std::byte hugeCount[] = {std::byte{0xFF}, std::byte{0xFF}, std::byte{0xFF}, std::byte{0x7F}};
  EXPECT_FALSE(DecodeEntryRecords(hugeCount));
}
