// How fast a time of day renders: 60 seconds of 30 entries, against decoding the same 30 files
// alone, and as a multiple of real time. The files (Ogg Vorbis and WAV at the rates lists use)
// are made with sox and oggenc before the run and served from memory, so the disk is not timed.
// Times are the process's processor time, which other work on the machine does not inflate.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "ambience/AmbienceConcurrency.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "sound/SoundDecoder.h"

namespace {

namespace fs = std::filesystem;

constexpr int FileCount = 30;
constexpr int RenderSeconds = 60;
constexpr int Rounds = 5;

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

using MemoryFiles = std::map<std::wstring, std::vector<std::byte>>;

// The 30 files under "game\", and a list of `entries` night entries that name them in turn.
bool MakeFiles(MemoryFiles& files) {
  const fs::path folder =
      fs::temp_directory_path() / ("sonarwick-ambience-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  for (int index = 0; index < FileCount; ++index) {
    std::vector<std::byte> bytes = MakeSound(folder, index);
    if (bytes.empty()) break;
    files[L"game\\" + NameOf(index)] = std::move(bytes);
  }
  fs::remove_all(folder);
  return files.size() == FileCount;
}

std::vector<AmbientEntryValues> NightEntries(int count) {
  std::vector<AmbientEntryValues> entries;
  for (int index = 0; index < count; ++index) {
    entries.push_back({NameOf(index % FileCount), 1000 + 100 * index, 6000 - 50 * index,
                       static_cast<std::uint8_t>(TimeOfDay::Night), 40 + index % 60});
  }
  return entries;
}

SoundFileReader ReaderOf(const MemoryFiles& files) {
  return {[&files](const std::wstring& path) -> std::optional<SoundFileStamp> {
            const auto file = files.find(path);
            if (file == files.end()) return std::nullopt;
            return SoundFileStamp{file->second.size(), 1};
          },
          [&files](const std::wstring& path) -> std::optional<std::vector<std::byte>> {
            const auto file = files.find(path);
            if (file == files.end()) return std::nullopt;
            return file->second;
          }};
}

// Processor seconds per call of `work`, over several rounds so that the clock's coarse ticks do
// not matter.
template <typename Work>
double SecondsPerRound(int rounds, Work&& work) {
  const double start = ProcessorSeconds();
  for (int round = 0; round < rounds; ++round) work();
  return (ProcessorSeconds() - start) / rounds;
}

}  // namespace

int main() {
  MemoryFiles files;
  if (!MakeFiles(files)) return std::fprintf(stderr, "sox or oggenc failed\n"), 1;
  const SoundFileReader reader = ReaderOf(files);
  const std::vector<AmbientEntryValues> entries = NightEntries(FileCount);

  double decodedSeconds = 0;
  const double decode = SecondsPerRound(Rounds, [&] {
    for (const auto& [path, bytes] : files) {
      const DecodedSound sound = DecodeSound(bytes);
      decodedSeconds += static_cast<double>(sound.FrameCount()) / std::max(sound.sampleRate, 1u) / Rounds;
    }
  });

  const AmbienceRenderRequest request{entries,
                                      L"game",
                                      TimeOfDay::Night,
                                      RenderSeconds * std::int64_t{AmbienceRate},
                                      2026,
                                      VolumeScale::Percent,
                                      {}};
  bool rendered = true;
  std::size_t bytes = 0;
  const double cold = SecondsPerRound(Rounds, [&] {
    SoundCache cache(reader);  // empty: every file decoded and converted, as on a first export
    const AmbienceRenderResult result = RenderAmbience(request, cache);
    rendered = rendered && result && result.problems.empty();
    bytes = result.wav.size();
  });
  SoundCache warm(reader);
  RenderAmbience(request, warm);
  const double mixOnly = SecondsPerRound(Rounds, [&] { RenderAmbience(request, warm); });
  if (!rendered) return std::fprintf(stderr, "render failed\n"), 1;

  // What the timeline computes on each edit: the plays of 100 entries over 10 minutes, the curve
  // of how many play at once, and its value for each of 1,000 pixel columns.
  const std::vector<AmbientEntryValues> hundred = NightEntries(100);
  const std::vector<std::int64_t> lengths(hundred.size(), 3 * std::int64_t{AmbienceRate});
  const std::int64_t tenMinutes = 600 * std::int64_t{AmbienceRate};
  std::size_t plays = 0;
  const double timeline = SecondsPerRound(20, [&] {
    const auto listed =
        AmbienceSchedule::List(hundred, lengths, TimeOfDay::Night, VolumeScale::Percent, 2026, tenMinutes);
    const auto curve = ConcurrencyCurve(listed);
    for (std::int64_t column = 0; column < 1000; ++column) {
      MostAtOnce(curve, column * tenMinutes / 1000, (column + 1) * tenMinutes / 1000);
    }
    plays = listed.size();
  });

  std::printf("%d files, %.0f s of sound: decoding alone %.3f s\n", FileCount, decodedSeconds, decode);
  std::printf(
      "rendering %d s of %d entries (%zu bytes of WAV), files not yet cached: %.3f s = %.2f x decoding "
      "alone\n",
      RenderSeconds, FileCount, bytes, cold, cold / decode);
  std::printf("real-time factor: %.0f x with decoding, %.0f x with the files cached (goal: at least 50 x)\n",
              RenderSeconds / cold, RenderSeconds / mixOnly);
  std::printf("timeline of 100 entries over 10 minutes (%zu plays, curve for 1000 columns): %.2f ms\n", plays,
              timeline * 1000);
  return 0;
}
