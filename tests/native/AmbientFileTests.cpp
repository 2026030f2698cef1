#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "AmbientFileBytes.h"
#include "format/AmbientFile.h"
#include "format/Windows1251Converter.h"

namespace {

const Windows1251Converter converter;

AmbientLoadResult Read(const AmbientFileBytes& file) { return ReadAmbientFile(file.bytes(), converter); }

// Loads and saves without edits, as a document opened and saved at once does.
std::vector<std::byte> ReadAndWrite(const std::vector<std::byte>& bytes) {
  const AmbientLoadResult loaded = ReadAmbientFile(bytes, converter);
  EXPECT_TRUE(loaded);
  const AmbientEncoding encoding = EncodeAmbientFile(loaded.image, loaded.entries, converter);
  EXPECT_TRUE(encoding.result);
  return encoding.bytes;
}

bool AllZero(const AmbientEntry& entry) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&entry);
  return std::all_of(bytes, bytes + sizeof(entry), [](unsigned char byte) { return byte == 0; });
}

}  // namespace

TEST(ReadAmbientFile, DecodesEveryFieldOfEveryRecord) {
  const AmbientLoadResult loaded = Read(AmbientFileBytes()
                                            .Count(2)
                                            .Record(MakeEntry(-5, INT_MAX, 3, "\xEB\xE5\xF1.wav", INT_MIN))
                                            .Record(MakeEntry(1000, 2000, 1, "b.wav", 77)));
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded.entries.size(), 2u);
  EXPECT_EQ(loaded.entries[0], (AmbientEntryValues{L"лес.wav", -5, INT_MAX, 3, INT_MIN}));
  EXPECT_EQ(loaded.entries[1], (AmbientEntryValues{L"b.wav", 1000, 2000, 1, 77}));
  EXPECT_EQ(loaded.image[1].volume, 77);
  EXPECT_TRUE(AllZero(loaded.image[2]));
}

TEST(ReadAmbientFile, EmptyZeroAndNegativeCountsGiveNoEntriesAndSaveAsTwoZeroBytes) {
  const std::vector<std::byte> twoZeroBytes = {std::byte{0}, std::byte{0}};
  for (const AmbientFileBytes& file :
       {AmbientFileBytes(), AmbientFileBytes().Count(0), AmbientFileBytes().Bytes({0xFF, 0xFF}),
        AmbientFileBytes().Count(SHRT_MIN).Record(MakeEntry(1, 2, 3, "x", 4))}) {
    const AmbientLoadResult loaded = Read(file);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded.entries.empty());
    EXPECT_TRUE(AllZero(loaded.image[0]));
    EXPECT_EQ(ReadAndWrite(file.bytes()), twoZeroBytes);
  }
}

TEST(ReadAmbientFile, MissingBytesOfATruncatedFileReadAsZero) {
  const AmbientEntry first = MakeEntry(11, 22, 2, "first.wav", 33);
  const AmbientEntry second = MakeEntry(44, 55, 3, "second.wav", 66);
  // Count 3 but only one and a half records: the second is cut inside its text.
  const AmbientLoadResult loaded =
      Read(AmbientFileBytes().Count(3).Record(first).Record(second).CutTo(2 + 116 + 12));
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded.entries.size(), 3u);
  EXPECT_EQ(loaded.entries[0], (AmbientEntryValues{L"first.wav", 11, 22, 2, 33}));
  EXPECT_EQ(loaded.entries[1], (AmbientEntryValues{L"sec", 44, 55, 3, 0}));
  EXPECT_EQ(loaded.entries[2], (AmbientEntryValues{L"", 0, 0, 0, 0}));
  EXPECT_TRUE(AllZero(loaded.image[2]));

  // A file of one byte holds only the low byte of the count.
  EXPECT_EQ(Read(AmbientFileBytes().Bytes({2})).entries.size(), 2u);
}

TEST(ReadAmbientFile, RefusesMoreThanAHundredEntries) {
  AmbientFileBytes hundred = AmbientFileBytes().Count(100);
  AmbientFileBytes hundredAndOne = AmbientFileBytes().Count(101);
  for (int index = 0; index < 101; ++index) {
    const AmbientEntry entry = MakeEntry(index, 0, 0, "a.wav", 0);
    if (index < 100) hundred.Record(entry);
    hundredAndOne.Record(entry);
  }
  EXPECT_EQ(Read(hundred).entries.size(), 100u);
  EXPECT_EQ(Read(hundredAndOne).error, AmbientLoadError::TooManyEntries);
  EXPECT_EQ(Read(AmbientFileBytes().Count(SHRT_MAX)).error, AmbientLoadError::TooManyEntries);
}

TEST(ReadAmbientFile, TrailingBytesAreDroppedAndTimeOfDayIsKeptAsStored) {
  const AmbientFileBytes file =
      AmbientFileBytes().Count(1).Record(MakeEntry(1, 2, 7, "n.wav", 3)).Bytes({0xDE, 0xAD, 0xBE, 0xEF});
  const AmbientLoadResult loaded = Read(file);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries[0].timeOfDay, 7);
  EXPECT_EQ(ReadAndWrite(file.bytes()),
            AmbientFileBytes().Count(1).Record(MakeEntry(1, 2, 7, "n.wav", 3)).bytes());
}

TEST(EncodeAmbientFile, WritesTheValuesOverTheImageKeepingBytesBehindTerminators) {
  const AmbientEntry old = MakeEntry(1, 2, 3, std::string_view("a_long_old_name.wav\0tail", 24), 4);
  const AmbientLoadResult loaded = Read(AmbientFileBytes().Count(1).Record(old));
  const std::vector<AmbientEntryValues> edited = {{L"new.wav", -7, 8, 0, 9}};

  const AmbientEncoding encoding = EncodeAmbientFile(loaded.image, edited, converter);

  ASSERT_TRUE(encoding.result);
  const AmbientEntry expected = MakeEntry(-7, 8, 0, std::string_view("new.wav\0ld_name.wav\0tail", 24), 9);
  EXPECT_EQ(encoding.bytes, AmbientFileBytes().Count(1).Record(expected).bytes());
  EXPECT_EQ(std::memcmp(&encoding.image[0], &expected, sizeof(expected)), 0);
  EXPECT_EQ(std::memcmp(&loaded.image[0], &old, sizeof(old)), 0);
}

TEST(EncodeAmbientFile, NullTextIsWrittenAsEmptyAndTextStopsAtAnEmbeddedNul) {
  const std::vector<AmbientEntryValues> entries = {{std::nullopt, 1, 1, 1, 1},
                                                   {std::wstring(L"cut\0off", 7), 2, 2, 2, 2}};
  const AmbientEncoding encoding = EncodeAmbientFile({}, entries, converter);
  ASSERT_TRUE(encoding.result);
  EXPECT_EQ(encoding.bytes, AmbientFileBytes()
                                .Count(2)
                                .Record(MakeEntry(1, 1, 1, "", 1))
                                .Record(MakeEntry(2, 2, 2, "cut", 2))
                                .bytes());
}

TEST(EncodeAmbientFile, RefusesTextsLongerThanTheFieldAndNamesTheEntry) {
  std::vector<AmbientEntryValues> entries(3, AmbientEntryValues{L"ok.wav", 1, 2, 3, 4});
  entries[1].audioFile = std::wstring(102, L'Ж');
  entries[2].audioFile = std::wstring(103, L'Ж');

  const AmbientEncoding encoding = EncodeAmbientFile({}, entries, converter);

  EXPECT_EQ(encoding.result.error, AmbientSaveError::TextTooLong);
  EXPECT_EQ(encoding.result.entryIndex, 2);
  EXPECT_TRUE(encoding.bytes.empty());
}

TEST(EncodeAmbientFile, AFieldWithoutTerminatorLoadsWholeButMustBeShortenedToSave) {
  AmbientEntry full = MakeEntry(1, 2, 3, "", 4);
  std::memset(full.audioFile, 'q', sizeof(full.audioFile));
  AmbientLoadResult loaded = Read(AmbientFileBytes().Count(1).Record(full));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries[0].audioFile, std::wstring(103, L'q'));
  EXPECT_EQ(loaded.entries[0].volume, 4);

  EXPECT_EQ(EncodeAmbientFile(loaded.image, loaded.entries, converter).result.error,
            AmbientSaveError::TextTooLong);
  loaded.entries[0].audioFile->pop_back();
  EXPECT_TRUE(EncodeAmbientFile(loaded.image, loaded.entries, converter).result);
}

TEST(EncodeAmbientFile, RefusesMoreThanAHundredEntries) {
  const std::vector<AmbientEntryValues> entries(101);
  const AmbientEncoding encoding = EncodeAmbientFile({}, entries, converter);
  EXPECT_EQ(encoding.result.error, AmbientSaveError::TooManyEntries);
  EXPECT_EQ(encoding.result.entryIndex, 100);
  EXPECT_EQ(encoding.result.entryCount, 101);
}

// What the code page lacks is refused rather than stored as '?', and the first such character
// is named, a character beyond U+FFFF as a whole.
TEST(EncodeAmbientFile, RefusesTextsWithCharactersTheCodePageLacksAndNamesTheFirst) {
  const std::vector<AmbientEntryValues> entries = {
      {L"лес.ogg", 0, 0, 0, 0}, {L"naïve_日本.ogg", 0, 0, 0, 0}, {L"x\xD83D\xDE00ï", 0, 0, 0, 0}};
  const AmbientEncoding encoding = EncodeAmbientFile({}, entries, converter);
  EXPECT_EQ(encoding.result.error, AmbientSaveError::TextNotConvertible);
  EXPECT_EQ(encoding.result.entryIndex, 1);
  EXPECT_EQ(encoding.result.character, L"ï");
  EXPECT_TRUE(encoding.bytes.empty());
  EXPECT_EQ(FirstUnencodableCharacter(*entries[2].audioFile, converter), L"\xD83D\xDE00");
  EXPECT_EQ(FirstUnencodableCharacter(L"лес", converter), L"");
}

TEST(EncodeAmbientFile, ReportsATextTheCodePageCannotHold) {
  class RefusingConverter final : public CodePageConverter {
   public:
    std::optional<std::wstring> ToUtf16(std::string_view) const override { return std::nullopt; }
    std::optional<std::string> FromUtf16(std::wstring_view text) const override {
      if (text == L"bad") return std::nullopt;
      return std::string(text.begin(), text.end());
    }
  };
  const RefusingConverter refusing;
  const std::vector<AmbientEntryValues> entries = {{L"good", 0, 0, 0, 0}, {L"bad", 0, 0, 0, 0}};
  EXPECT_EQ(EncodeAmbientFile({}, entries, refusing).result.error, AmbientSaveError::TextNotConvertible);
  EXPECT_EQ(EncodeAmbientFile({}, entries, refusing).result.entryIndex, 1);

  // A text that cannot be decoded shows as U+FFFD, one for each byte, and a save writes its
  // bytes back as they were; only an edited name is encoded (and refused here).
  AmbientLoadResult loaded =
      ReadAmbientFile(AmbientFileBytes().Count(1).Record(MakeEntry(5, 6, 1, "xy", 7)).bytes(), refusing);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries[0], (AmbientEntryValues{L"\xFFFD\xFFFD", 5, 6, 1, 7}));
  loaded.entries[0].volume = 8;
  EXPECT_EQ(EncodeAmbientFile(loaded.image, loaded.entries, refusing).bytes,
            AmbientFileBytes().Count(1).Record(MakeEntry(5, 6, 1, "xy", 8)).bytes());
  loaded.entries[0].audioFile = L"bad";
  EXPECT_EQ(EncodeAmbientFile(loaded.image, loaded.entries, refusing).result.error,
            AmbientSaveError::TextNotConvertible);
}

// A converter whose code page has a two-byte character 0x81 0x40 and no meaning for a lone 0x81,
// as the double-byte code pages do: valid pieces of a name still show, each byte that starts
// nothing shows as U+FFFD.
TEST(DecodeName, ShowsTheValidPiecesOfANameTheCodePageCannotDecode) {
  class DoubleByteConverter final : public CodePageConverter {
   public:
    std::optional<std::wstring> ToUtf16(std::string_view bytes) const override {
      std::wstring text;
      for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (bytes[index] != '\x81') {
          text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[index])));
        } else if (index + 1 < bytes.size() && bytes[index + 1] == '\x40') {
          text.push_back(L'\x3000');
          ++index;
        } else {
          return std::nullopt;
        }
      }
      return text;
    }
    std::optional<std::string> FromUtf16(std::wstring_view) const override { return std::nullopt; }
  };
  const DoubleByteConverter converter;
  EXPECT_EQ(DecodeName("a\x81\x40"
                       "b",
                       converter),
            L"a\x3000"
            L"b");
  EXPECT_EQ(DecodeName("a\x81"
                       "b\x81\x40\x81",
                       converter),
            L"a\xFFFD"
            L"b\x3000\xFFFD");
  EXPECT_EQ(DecodeName("", converter), L"");
}

// A file whose length does not match its count opens, and says what was found.
TEST(ReadAmbientFile, ReportsWhatTheFileHoldsBeyondItsCount) {
  const AmbientEntry record = MakeEntry(1, 2, 3, "a.wav", 4);
  const AmbientLoadResult whole = Read(AmbientFileBytes().Count(2).Record(record).Record(record));
  EXPECT_EQ(whole.damage, AmbientFileDamage::None);

  const AmbientLoadResult negative =
      Read(AmbientFileBytes().Count(-1).Record(record).Record(record).Record(record).Record(record));
  ASSERT_TRUE(negative);
  EXPECT_TRUE(negative.entries.empty());
  EXPECT_EQ(negative.damage, AmbientFileDamage::RecordsBehindCount);
  EXPECT_EQ(negative.extraRecords, 4u);

  std::vector<std::byte> cut = AmbientFileBytes().Count(2).Record(record).Record(record).bytes();
  cut.resize(cut.size() - 10);
  const AmbientLoadResult shortFile = ReadAmbientFile(cut, converter);
  ASSERT_EQ(shortFile.entries.size(), 2u);
  EXPECT_EQ(shortFile.damage, AmbientFileDamage::LastRecordCut);
  EXPECT_EQ(shortFile.missingBytes, 10u);

  std::vector<std::byte> trailing = AmbientFileBytes().Count(1).Record(record).bytes();
  trailing.resize(trailing.size() + 7);
  EXPECT_EQ(ReadAmbientFile(trailing, converter).damage, AmbientFileDamage::BytesAfterRecords);
  EXPECT_EQ(ReadAmbientFile(trailing, converter).extraBytes, 7u);
  // Only the file's start was read: its whole length comes separately.
  EXPECT_EQ(
      ReadAmbientFile(AmbientFileBytes().Count(1).Record(record).bytes(), converter, 2 + 116 + 3).extraBytes,
      3u);

  // Not even the count: an empty file opens as an empty list yet is as damaged as the others.
  for (const std::vector<std::byte>& stub : {std::vector<std::byte>{}, std::vector<std::byte>{std::byte{0}}}) {
    const AmbientLoadResult countCut = ReadAmbientFile(stub, converter);
    ASSERT_TRUE(countCut);
    EXPECT_TRUE(countCut.entries.empty());
    EXPECT_EQ(countCut.damage, AmbientFileDamage::CountCut) << stub.size();
    EXPECT_EQ(countCut.missingBytes, 2 - stub.size());
  }
  EXPECT_EQ(ReadAmbientFile(AmbientFileBytes().Count(0).bytes(), converter).damage, AmbientFileDamage::None);
}

// Well-formed files of every size, with any bytes behind the terminators, are written back as read.
TEST(AmbientFileRoundTrip, ManyGeneratedWellFormedFilesComeBackByteForByte) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::uniform_int_distribution<int> textByte(1, 255);
  std::uniform_int_distribution<std::int32_t> anyNumber(INT_MIN, INT_MAX);
  for (int file = 0; file < 300; ++file) {
    const int count = file < 101 ? file : std::uniform_int_distribution<int>(0, MaxAmbientEntries)(random);
    AmbientFileBytes bytes;
    bytes.Count(static_cast<std::int16_t>(count));
    for (int index = 0; index < count; ++index) {
      AmbientEntry entry = MakeEntry(anyNumber(random), anyNumber(random),
                                     static_cast<std::uint8_t>(anyByte(random)), "", anyNumber(random));
      const int length = std::uniform_int_distribution<int>(0, 102)(random);
      for (int offset = 0; offset < 103; ++offset) {
        entry.audioFile[offset] = static_cast<char>(offset < length ? textByte(random) : anyByte(random));
      }
      entry.audioFile[length] = '\0';
      bytes.Record(entry);
    }
    ASSERT_EQ(ReadAndWrite(bytes.bytes()), bytes.bytes())
        << "file " << file << " with " << count << " entries";
  }
}
