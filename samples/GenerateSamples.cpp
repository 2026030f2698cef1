// Writes the sample ".bad" files of this folder, or with --check verifies that they are current.
// Usage: generate_samples [--check] <folder>
// Texts are encoded in Windows-1251, the code page of the game's Russian file names.

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "format/AmbientFile.h"
#include "format/Windows1251Converter.h"

namespace {

struct Sample {
  const char* name;
  std::vector<std::byte> bytes;
};

std::vector<std::byte> Encode(const AmbientImage& image, const std::vector<AmbientEntryValues>& entries) {
  const AmbientEncoding encoding = EncodeAmbientFile(image, entries, Windows1251Converter());
  if (!encoding.result) {
    std::fprintf(stderr, "sample entry %d does not fit\n", encoding.result.entryIndex);
    return {};
  }
  return encoding.bytes;
}

Sample FourTimesOfDay() {
  const std::vector<AmbientEntryValues> entries = {
      {L"лес\\птицы_рассвет.wav", 2000, 8000, 0, 80},
      {L"лес\\кукушка.wav", 15000, 30000, 1, 60},
      {L"Болото\\Лягушки на закате.wav", 500, 1500, 2, 100},
      {L"ночь\\сверчки_№3.wav", 1000, 1000, 3, 45},
  };
  return {"four-times-of-day.bad", Encode({}, entries)};
}

Sample ExtremeNumbers() {
  const std::vector<AmbientEntryValues> entries = {
      {L"min.wav", INT_MIN, INT_MAX, 3, -1},
      {L"отрицательные.wav", -250, -1000, 2, INT_MIN},
      {L"", 0, 0, 0, 0},
      {L"big.ogg", 2147483000, 123456789, 1, INT_MAX},
  };
  return {"extreme-numbers.bad", Encode({}, entries)};
}

// Text fields that hold older, longer names behind the current ones' terminators.
Sample BytesBehindTerminators() {
  AmbientImage image{};
  const char* olderNames[] = {"\xE3\xF0\xEE\xEC.wav", "wind_long_old_name.wav",
                              "\xC4\xEE\xE6\xE4\xFC_old.wav"};
  for (std::size_t slot = 0; slot < std::size(olderNames); ++slot) {
    StoreAudioFileBytes(image[slot], olderNames[slot]);
    for (std::size_t offset = 60; offset < AmbientEntry::AudioFileSize; ++offset) {
      image[slot].audioFile[offset] = static_cast<char>(offset * 7 + slot);
    }
  }
  const std::vector<AmbientEntryValues> entries = {
      {L"гр.wav", 100, 200, 1, 10},
      {L"wind.wav", 300, 400, 2, 20},
      {L"", 500, 600, 3, 30},
  };
  return {"bytes-behind-terminators.bad", Encode(image, entries)};
}

Sample HundredEntries() {
  std::vector<AmbientEntryValues> entries;
  for (int index = 0; index < MaxAmbientEntries; ++index) {
    const std::wstring name = L"ветер\\порыв_" + std::to_wstring(index) + L".wav";
    entries.push_back({name, index * 100, index * 250, static_cast<std::uint8_t>(index % 4), 100 - index});
  }
  return {"hundred-entries.bad", Encode({}, entries)};
}

// Names that fill the whole field: 102 bytes and the terminator.
Sample LongestNames() {
  const std::wstring cyrillic(AmbientEntry::MaxAudioFileLength, L'Ж');
  const std::wstring latin = L"music\\" + std::wstring(AmbientEntry::MaxAudioFileLength - 10, L'x') + L".ogg";
  const std::vector<AmbientEntryValues> entries = {{cyrillic, 1, 2, 1, 3}, {latin, 4, 5, 2, 6}};
  return {"longest-names.bad", Encode({}, entries)};
}

// The list of the sample game folder that the editor opens on its first run: the sounds it
// names are made beside it by scripts/make-sample-game.sh, all but the bell, so that the missing-file
// marks show too. Volumes in percent; every time of day has sounds.
Sample GameForest() {
  const std::vector<AmbientEntryValues> entries = {
      {L"ambient\\dawn\\birds.ogg", 2500, 7000, 0, 80},
      {L"ambient\\dawn\\rooster.wav", 20000, 40000, 0, 60},
      {L"ambient\\day\\wind.ogg", 4000, 9000, 1, 50},
      {L"ambient\\day\\bees.wav", 2000, 6000, 1, 35},
      {L"ambient\\day\\cart.wav", 30000, 60000, 1, 70},
      {L"ambient\\sunset\\frogs.ogg", 1500, 4000, 2, 70},
      {L"ambient\\sunset\\bell.wav", 30000, 60000, 2, 50},
      {L"ambient\\night\\crickets.ogg", 1000, 2500, 3, 55},
      {L"ambient\\night\\owl.wav", 8000, 20000, 3, 75},
  };
  return {"game-forest.bad", Encode({}, entries)};
}

// The other lists of the sample game, two levels of it: a storm in the forest and a swamp by
// day and by night. They share sounds with the forest, name one of them in other letters and
// with `/` (the game takes it for the same file) and leave some of the game's sounds unused.
Sample GameForestStorm() {
  const std::vector<AmbientEntryValues> entries = {
      {L"AMBIENT/Day/Wind.ogg", 4000, 8000, 1, 90},
      {L"ambient\\day\\rain.ogg", 2000, 3000, 1, 80},
      {L"ambient\\night\\owl.wav", 12000, 30000, 3, 60},
  };
  return {"game-forest-storm.bad", Encode({}, entries)};
}

Sample GameSwampDay() {
  const std::vector<AmbientEntryValues> entries = {
      {L"ambient\\sunset\\frogs.ogg", 1000, 3000, 1, 60},
      {L"ambient\\day\\bees.wav", 3000, 8000, 1, 30},
      {L"ambient\\day\\rain.ogg", 5000, 9000, 2, 40},
  };
  return {"game-swamp-day.bad", Encode({}, entries)};
}

Sample GameSwampNight() {
  const std::vector<AmbientEntryValues> entries = {
      {L"ambient\\night\\crickets.ogg", 1000, 2500, 3, 65},
      {L"ambient\\sunset\\frogs.ogg", 1200, 3500, 3, 75},
      {L"ambient\\night\\owl.wav", 9000, 25000, 3, 50},
  };
  return {"game-swamp-night.bad", Encode({}, entries)};
}

std::vector<Sample> Samples() {
  return {{"no-entries.bad", Encode({}, {})}, FourTimesOfDay(), ExtremeNumbers(),
          BytesBehindTerminators(),           HundredEntries(), LongestNames(),
          GameForest(),                      GameForestStorm(), GameSwampDay(), GameSwampNight()};
}

std::vector<std::byte> ReadFile(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  for (std::size_t index = 0; index < chars.size(); ++index)
    bytes[index] = static_cast<std::byte>(chars[index]);
  return bytes;
}

bool WriteFile(const std::string& path, const std::vector<std::byte>& bytes) {
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  stream.close();
  return static_cast<bool>(stream);
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: %s [--check] <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[argc - 1];
  int status = 0;
  for (const Sample& sample : Samples()) {
    const std::string path = folder + "/" + sample.name;
    if (sample.bytes.empty()) {
      status = 1;
    } else if (check && ReadFile(path) != sample.bytes) {
      std::fprintf(stderr, "%s is not what the generator makes; run generate_samples %s\n", path.c_str(),
                   folder.c_str());
      status = 1;
    } else if (!check && !WriteFile(path, sample.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      status = 1;
    }
  }
  return status;
}
