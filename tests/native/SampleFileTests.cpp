#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "format/AmbientFile.h"
#include "format/Windows1251Converter.h"

namespace {

std::vector<std::byte> ReadSample(const char* name) {
  std::ifstream stream(std::string(SONARWICK_SAMPLES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(stream) << name;
  std::vector<std::byte> bytes;
  for (auto it = std::istreambuf_iterator<char>(stream); it != std::istreambuf_iterator<char>(); ++it) {
    bytes.push_back(static_cast<std::byte>(*it));
  }
  return bytes;
}

}  // namespace

TEST(SampleFiles, ReadAsGeneratedAndSaveByteForByte) {
  const Windows1251Converter converter;
  const struct {
    const char* name;
    std::size_t entries;
  } samples[] = {{"no-entries.bad", 0},        {"four-times-of-day.bad", 4},
                 {"extreme-numbers.bad", 4},   {"bytes-behind-terminators.bad", 3},
                 {"hundred-entries.bad", 100}, {"longest-names.bad", 2}};
  for (const auto& sample : samples) {
    const std::vector<std::byte> bytes = ReadSample(sample.name);
    const AmbientLoadResult loaded = ReadAmbientFile(bytes, converter);
    ASSERT_TRUE(loaded) << sample.name;
    EXPECT_EQ(loaded.entries.size(), sample.entries) << sample.name;
    EXPECT_EQ(EncodeAmbientFile(loaded.image, loaded.entries, converter).bytes, bytes) << sample.name;
  }
}

TEST(SampleFiles, HoldRussianNamesInCodePage1251) {
  const AmbientLoadResult loaded =
      ReadAmbientFile(ReadSample("four-times-of-day.bad"), Windows1251Converter());
  ASSERT_EQ(loaded.entries.size(), 4u);
  EXPECT_EQ(loaded.entries[2].audioFile, L"Болото\\Лягушки на закате.wav");
  EXPECT_EQ(loaded.entries[3].timeOfDay, 3);
  EXPECT_EQ(std::string_view(loaded.image[2].audioFile, 6), "\xC1\xEE\xEB\xEE\xF2\xEE");
}
