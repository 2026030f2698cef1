// How fast a time of day renders: 60 seconds of 30 entries, against decoding the same 30 files
// alone, and as a multiple of real time. The files (Ogg Vorbis and WAV at the rates lists use)
// are made with sox and oggenc before the run and served from memory, so the disk is not timed.
// Times are the process's processor time, which other work on the machine does not inflate.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "sound/SoundDecoder.h"

namespace {

namespace fs = std::filesystem;

constexpr int EntryCount = 30;
constexpr int RenderSeconds = 60;

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

std::vector<std::byte> ReadFile(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::vector<char> chars{std::istreambuf_iterator<char>(stream), {}};
  std::vector<std::byte> bytes(chars.size());
  for (std::size_t index = 0; index < chars.size(); ++index)
    bytes[index] = static_cast<std::byte>(chars[index]);
  return bytes;
}

// The sound of entry `index`: two thirds Ogg Vorbis, a third WAV; 44.1 kHz stereo, 22.05 kHz
// mono and 48 kHz stereo in turn; two to six seconds long.
std::vector<std::byte> MakeSound(const fs::path& folder, int index) {
  static const char* const formats[] = {"-r 44100 -c 2", "-r 22050 -c 1", "-r 48000 -c 2"};
  const fs::path wav = folder / ("sound" + std::to_string(index) + ".wav");
  const std::string synth = "sox -n -b 16 " + std::string(formats[index % 3]) + " '" + wav.string() +
                            "' synth " + std::to_string(2 + index % 5) + " pinknoise sine " +
                            std::to_string(200 + 37 * index) + " vol 0.4";
  if (std::system(synth.c_str()) != 0) return {};
  if (index % 3 == 2) return ReadFile(wav);
  const fs::path ogg = folder / ("sound" + std::to_string(index) + ".ogg");
  if (std::system(("oggenc -Q -q 4 -o '" + ogg.string() + "' '" + wav.string() + "'").c_str()) != 0)
    return {};
  return ReadFile(ogg);
}

std::wstring NameOf(int index) { return L"sound" + std::to_wstring(index); }

}  // namespace

int main() {
  const fs::path folder =
      fs::temp_directory_path() / ("sonarwick-ambience-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::map<std::wstring, std::vector<std::byte>> files;
  std::vector<AmbientEntryValues> entries;
  for (int index = 0; index < EntryCount; ++index) {
    std::vector<std::byte> bytes = MakeSound(folder, index);
    if (bytes.empty()) {
      std::fprintf(stderr, "sox or oggenc failed\n");
      fs::remove_all(folder);
      return 1;
    }
    files[L"game\\" + NameOf(index)] = std::move(bytes);
    entries.push_back({NameOf(index), 1000 + 100 * index, 6000 - 50 * index,
                       static_cast<std::uint8_t>(TimeOfDay::Night), 40 + 2 * index});
  }
  fs::remove_all(folder);
  const SoundFileReader reader{[&files](const std::wstring& path) -> std::optional<SoundFileStamp> {
                                 const auto file = files.find(path);
                                 if (file == files.end()) return std::nullopt;
                                 return SoundFileStamp{file->second.size(), 1};
                               },
                               [&files](const std::wstring& path) -> std::optional<std::vector<std::byte>> {
                                 const auto file = files.find(path);
                                 if (file == files.end()) return std::nullopt;
                                 return file->second;
                               }};

  // Several rounds of each, so that the processor clock's coarse ticks do not matter.
  constexpr int Rounds = 5;
  double start = ProcessorSeconds();
  double decodedSeconds = 0;
  for (int round = 0; round < Rounds; ++round) {
    for (const auto& [path, bytes] : files) {
      const DecodedSound sound = DecodeSound(bytes);
      if (!sound) return std::fprintf(stderr, "refused: %d\n", static_cast<int>(sound.refusal)), 1;
      decodedSeconds += static_cast<double>(sound.FrameCount()) / sound.sampleRate;
    }
  }
  const double decode = (ProcessorSeconds() - start) / Rounds;

  const AmbienceRenderRequest request{entries,
                                      L"game",
                                      TimeOfDay::Night,
                                      RenderSeconds * std::int64_t{AmbienceRate},
                                      2026,
                                      VolumeScale::Percent,
                                      {}};
  std::size_t bytes = 0;
  start = ProcessorSeconds();
  for (int round = 0; round < Rounds; ++round) {
    SoundCache cache(reader);  // empty: every file decoded and converted, as on a first export
    const AmbienceRenderResult result = RenderAmbience(request, cache);
    if (!result || !result.problems.empty()) return std::fprintf(stderr, "render failed\n"), 1;
    bytes = result.wav.size();
  }
  const double cold = (ProcessorSeconds() - start) / Rounds;

  SoundCache warm(reader);
  RenderAmbience(request, warm);
  start = ProcessorSeconds();
  for (int round = 0; round < Rounds; ++round) RenderAmbience(request, warm);
  const double mixOnly = (ProcessorSeconds() - start) / Rounds;

  std::printf("%d files, %.0f s of sound: decoding alone %.3f s\n", EntryCount, decodedSeconds / Rounds,
              decode);
  std::printf(
      "rendering %d s of %d entries (%zu bytes of WAV), files not yet cached: %.3f s = %.2f x decoding "
      "alone\n",
      RenderSeconds, EntryCount, bytes, cold, cold / decode);
  std::printf("real-time factor: %.0f x with decoding, %.0f x with the files cached (goal: at least 50 x)\n",
              RenderSeconds / cold, RenderSeconds / mixOnly);
  return 0;
}
