#include <gtest/gtest.h>

#include <string>

#include "AmbientFileBytes.h"
#include "format/AmbientEntry.h"
#include "format/TimeOfDay.h"

TEST(AmbientEntryText, StopsAtTheFirstNulAndNeverLeavesTheField) {
  const AmbientEntry terminated = MakeEntry(0, 0, 0, std::string_view("abc\0def", 7), 0);
  EXPECT_EQ(AudioFileBytes(terminated), "abc");

  AmbientEntry unterminated = MakeEntry(0, 0, 0, "", 0x7F7F7F7F);
  std::memset(unterminated.audioFile, 'z', AmbientEntry::AudioFileSize);
  EXPECT_EQ(AudioFileBytes(unterminated), std::string(103, 'z'));
}

TEST(AmbientEntryText, StoringKeepsTheBytesBehindTheNewTerminator) {
  AmbientEntry entry = MakeEntry(0, 0, 0, std::string_view("abcdef\0XYZ", 10), 0);
  ASSERT_TRUE(StoreAudioFileBytes(entry, "ab"));
  EXPECT_EQ(std::string_view(entry.audioFile, 11), std::string_view("ab\0def\0XYZ\0", 11));
}

TEST(AmbientEntryText, StoresUpTo102BytesAndRefusesLongerWithoutTouchingTheEntry) {
  AmbientEntry entry = MakeEntry(1, 2, 3, "old", 4);
  const AmbientEntry before = entry;
  EXPECT_FALSE(StoreAudioFileBytes(entry, std::string(103, 'x')));
  EXPECT_EQ(std::memcmp(&entry, &before, sizeof(entry)), 0);

  ASSERT_TRUE(StoreAudioFileBytes(entry, std::string(102, 'x')));
  EXPECT_EQ(AudioFileBytes(entry), std::string(102, 'x'));
  EXPECT_EQ(entry.audioFile[102], '\0');
  EXPECT_EQ(entry.volume, 4);
}

TEST(TimeOfDay, NamesTheFourValuesAndTakesOtherBytesAsDawn) {
  EXPECT_EQ(TimeOfDayFromByte(0), TimeOfDay::Dawn);
  EXPECT_EQ(TimeOfDayFromByte(1), TimeOfDay::Day);
  EXPECT_EQ(TimeOfDayFromByte(2), TimeOfDay::Sunset);
  EXPECT_EQ(TimeOfDayFromByte(3), TimeOfDay::Night);
  for (int stored = 4; stored < 256; ++stored)
    EXPECT_EQ(TimeOfDayFromByte(static_cast<std::uint8_t>(stored)), TimeOfDay::Dawn);
  EXPECT_EQ(std::wstring(TimeOfDayCaptions[static_cast<int>(TimeOfDay::Sunset)]), L"Закат");
}
