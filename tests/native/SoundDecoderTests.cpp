// The decoder against tones made by Debian's own encoders (sox, oggenc) at test time, and against
// those files cut short and damaged.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "sound/SoundDecoder.h"

namespace {

namespace fs = std::filesystem;

class SoundDecoderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = fs::temp_directory_path() / ("sonarwick-sound-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }

  // Makes a sine tone with sox; `options` are sox's output options (rate, bits, channels).
  static std::vector<std::byte> Tone(const std::string& name, const std::string& options, double seconds, int hertz) {
    const fs::path wav = folder_ / (name + ".wav");
    Run("sox -n " + options + " '" + wav.string() + "' synth " + std::to_string(seconds) + " sine " +
        std::to_string(hertz) + " vol 0.5");
    if (name.ends_with("ogg")) {
      const fs::path ogg = folder_ / (name + ".ogg");
      Run("oggenc -Q -q 4 -o '" + ogg.string() + "' '" + wav.string() + "'");
      return Read(ogg);
    }
    return Read(wav);
  }

  static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

  static std::vector<std::byte> Read(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::vector<char> chars{std::istreambuf_iterator<char>(stream), {}};
    std::vector<std::byte> bytes(chars.size());
    std::memcpy(bytes.data(), chars.data(), chars.size());
    return bytes;
  }

  // Sign changes in one channel: a sine of f hertz crosses zero 2f times a second.
  static int ZeroCrossings(const DecodedSound& sound, int channel) {
    int crossings = 0;
    bool positive = sound.samples[static_cast<std::size_t>(channel)] >= 0;
    for (std::size_t index = static_cast<std::size_t>(channel); index < sound.samples.size(); index += sound.channels) {
      const bool now = sound.samples[index] >= 0;
      crossings += now != positive;
      positive = now;
    }
    return crossings;
  }

  static inline fs::path folder_;
};

TEST_F(SoundDecoderTest, WaveTonesDecodeToTheirLengthRateAndFrequency) {
  const DecodedSound mono = DecodeSound(Tone("mono16", "-r 22050 -b 16 -c 1", 0.5, 440));
  ASSERT_TRUE(mono) << static_cast<int>(mono.refusal);
  EXPECT_EQ(mono.sampleRate, 22050u);
  EXPECT_EQ(mono.channels, 1);
  EXPECT_EQ(mono.FrameCount(), 11025u);
  EXPECT_EQ(mono.DurationMs(), 500u);
  EXPECT_NEAR(ZeroCrossings(mono, 0), 440, 2);

  const DecodedSound stereo = DecodeSound(Tone("stereo8", "-r 8000 -b 8 -e unsigned -c 2", 1.0, 300));
  ASSERT_TRUE(stereo) << static_cast<int>(stereo.refusal);
  EXPECT_EQ(stereo.sampleRate, 8000u);
  EXPECT_EQ(stereo.channels, 2);
  EXPECT_EQ(stereo.FrameCount(), 8000u);
  EXPECT_NEAR(ZeroCrossings(stereo, 0), 600, 2);
  EXPECT_NEAR(ZeroCrossings(stereo, 1), 600, 2);
}

TEST_F(SoundDecoderTest, VorbisToneDecodesToItsLengthRateAndFrequency) {
  const DecodedSound sound = DecodeSound(Tone("tone-ogg", "-r 44100 -b 16 -c 2", 1.0, 1000));
  ASSERT_TRUE(sound) << static_cast<int>(sound.refusal);
  EXPECT_EQ(sound.sampleRate, 44100u);
  EXPECT_EQ(sound.channels, 2);
  EXPECT_EQ(sound.FrameCount(), 44100u);
  EXPECT_NEAR(ZeroCrossings(sound, 0), 2000, 4);
}

TEST_F(SoundDecoderTest, CutShortFilesAreRefusedAsTruncated) {
  const auto wav = Tone("cut16", "-r 11025 -b 16 -c 1", 0.2, 500);
  const auto ogg = Tone("cut-ogg", "-r 22050 -b 16 -c 1", 0.5, 500);
  for (std::size_t length : {std::size_t{6}, std::size_t{30}, wav.size() / 2, wav.size() - 1}) {
    EXPECT_EQ(DecodeSound(std::span(wav).first(length)).refusal, SoundRefusal::Truncated) << length;
  }
  for (std::size_t length : {std::size_t{10}, std::size_t{60}, ogg.size() / 3, ogg.size() / 2, ogg.size() - 1}) {
    EXPECT_EQ(DecodeSound(std::span(ogg).first(length)).refusal, SoundRefusal::Truncated) << length;
  }
}

TEST_F(SoundDecoderTest, DamagedAndForeignFilesAreRefusedWithTheirReason) {
  auto ogg = Tone("damaged-ogg", "-r 22050 -b 16 -c 1", 0.5, 500);
  ogg[ogg.size() / 2] ^= std::byte{0x5A};
  EXPECT_EQ(DecodeSound(ogg).refusal, SoundRefusal::Corrupt);

  const auto wav = Tone("fields16", "-r 11025 -b 16 -c 1", 0.1, 500);
  // The "fmt " body sox writes starts at byte 20: tag, channels, rate, byte rate, block align, bits.
  const auto withField = [&](std::size_t offset, std::uint8_t value) {
    auto copy = wav;
    copy[offset] = std::byte{value};
    return DecodeSound(copy).refusal;
  };
  EXPECT_EQ(withField(20, 3), SoundRefusal::UnsupportedEncoding);  // floating point samples
  EXPECT_EQ(withField(22, 6), SoundRefusal::UnsupportedChannels);
  EXPECT_EQ(withField(22, 0), SoundRefusal::Corrupt);
  EXPECT_EQ(withField(34, 24), SoundRefusal::UnsupportedEncoding);
  EXPECT_EQ(withField(32, 7), SoundRefusal::Corrupt);  // block align that disagrees
  EXPECT_EQ(withField(25, 0x01), SoundRefusal::UnsupportedRate);  // 273 Hz
  EXPECT_EQ(withField(26, 0x10), SoundRefusal::UnsupportedRate);  // over a megahertz

  EXPECT_EQ(DecodeSound({}).refusal, SoundRefusal::UnknownFormat);
  const std::string text = "ID3\3 not a sound we play";
  EXPECT_EQ(DecodeSound(std::as_bytes(std::span(text))).refusal, SoundRefusal::UnknownFormat);
  // Longer than the caller allows: refused, not cut.
  EXPECT_EQ(DecodeSound(wav, {.maxSamples = 100}).refusal, SoundRefusal::TooLong);
  EXPECT_EQ(DecodeSound(Tone("long-ogg", "-r 8000 -b 16 -c 1", 1.0, 200), {.maxSamples = 4000}).refusal,
            SoundRefusal::TooLong);
}

}  // namespace

// A stop asked by the player ends a decode early (ten minutes of Vorbis take seconds), for
// either format; without one the same bytes decode.
TEST_F(SoundDecoderTest, AStopRequestEndsTheDecodeEarly) {
  std::atomic<bool> stop{true};
  SoundDecodeLimits limits;
  limits.stopRequested = &stop;
  for (const auto& bytes : {Tone("stop16", "-r 22050 -b 16 -c 1", 0.2, 440), Tone("stop-ogg", "-r 22050 -b 16 -c 1", 0.2, 440)}) {
    EXPECT_EQ(DecodeSound(bytes, limits).refusal, SoundRefusal::Stopped);
    stop = false;
    EXPECT_TRUE(DecodeSound(bytes, limits));
    stop = true;
  }
}
