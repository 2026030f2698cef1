// How fast Vorbis decodes: seconds of sound decoded per second of processor time, for the file
// named on the command line (the test run makes a tone with oggenc).

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "sound/SoundDecoder.h"

namespace {

double ProcessorSeconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_decode_bench FILE.ogg\n");
    return 2;
  }
  std::ifstream stream(argv[1], std::ios::binary);
  std::vector<char> chars{std::istreambuf_iterator<char>(stream), {}};
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(chars.data()), chars.size());
  double decoded = 0;
  const double start = ProcessorSeconds();
  // Enough rounds that the processor clock's coarse ticks do not matter.
  while (ProcessorSeconds() - start < 2.0) {
    const DecodedSound sound = DecodeSound(bytes);
    if (!sound) {
      std::fprintf(stderr, "refused: %d\n", static_cast<int>(sound.refusal));
      return 1;
    }
    decoded += static_cast<double>(sound.FrameCount()) / sound.sampleRate;
  }
  const double used = ProcessorSeconds() - start;
  std::printf("Vorbis: %.1f s of sound decoded in %.2f s of processor time: %.0f s per processor second\n", decoded,
              used, decoded / used);
  return 0;
}
