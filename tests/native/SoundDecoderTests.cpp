// The decoder against tones made by Debian's own encoders (sox, oggenc) at test time, and against
// those files cut short and damaged.

#include <gtest/gtest.h>

#include <algorithm>
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

// The sanitizer runtime's allocation hooks (its allocator interface; the compiler ships no header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

namespace fs = std::filesystem;

// The largest single allocation while `measuring` is set, seen through the sanitizer's hooks.
std::atomic<bool> measuring{false};
std::atomic<std::size_t> largestAllocation{0};

void NoteAllocation(const volatile void*, std::size_t size) {
  if (!measuring) return;
  std::size_t seen = largestAllocation;
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
}

void NoteFree(const volatile void*) {}

// The test's own Ogg page writer: CRC-32 (polynomial 0x04C11DB7) bit by bit, and packets laced
// into pages of at most 255 segments.
std::uint32_t PageChecksum(const std::vector<std::byte>& page) {
  std::uint32_t crc = 0;
  for (const std::byte b : page) {
    crc ^= std::to_integer<std::uint32_t>(b) << 24;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

void AppendPages(std::vector<std::byte>& out, const std::vector<std::byte>& packet, std::uint32_t serial,
                 std::uint32_t& sequence) {
  std::vector<std::size_t> lacing(packet.size() / 255, 255);
  lacing.push_back(packet.size() % 255);
  std::size_t offset = 0;
  for (std::size_t first = 0; first < lacing.size(); first += 255) {
    const std::size_t count = std::min<std::size_t>(255, lacing.size() - first);
    std::vector<std::byte> page = {std::byte{'O'}, std::byte{'g'}, std::byte{'g'}, std::byte{'S'}, std::byte{0},
                                   std::byte{first > 0 ? std::uint8_t{1} : std::uint8_t{0}}};
    const auto put = [&page](std::uint64_t value, int width) {
      for (int index = 0; index < width; ++index) page.push_back(static_cast<std::byte>(value >> (8 * index)));
    };
    put(first + count == lacing.size() ? 0 : ~std::uint64_t{0}, 8), put(serial, 4), put(sequence++, 4), put(0, 4);
    page.push_back(static_cast<std::byte>(count));
    std::size_t bodySize = 0;
    for (std::size_t index = first; index < first + count; ++index) {
      page.push_back(static_cast<std::byte>(lacing[index]));
      bodySize += lacing[index];
    }
    page.insert(page.end(), packet.begin() + static_cast<std::ptrdiff_t>(offset),
                packet.begin() + static_cast<std::ptrdiff_t>(offset + bodySize));
    offset += bodySize;
    const std::uint32_t crc = PageChecksum(page);
    for (int index = 0; index < 4; ++index) page[22 + index] = static_cast<std::byte>(crc >> (8 * index));
    out.insert(out.end(), page.begin(), page.end());
  }
}

// An encoder's stream with its comment header replaced by `comments`: the first page and the
// audio pages as the encoder wrote them, the comment and setup headers laid out anew.
std::vector<std::byte> WithComments(const std::vector<std::byte>& file, const std::vector<std::byte>& comments) {
  std::vector<std::vector<std::byte>> packets(1);
  std::size_t position = 0, audio = 0;
  while (audio == 0) {
    const auto segments = std::to_integer<std::size_t>(file[position + 26]);
    std::size_t body = position + 27 + segments;
    for (std::size_t index = 0; index < segments; ++index) {
      const auto length = std::to_integer<std::size_t>(file[position + 27 + index]);
      packets.back().insert(packets.back().end(), file.begin() + static_cast<std::ptrdiff_t>(body),
                            file.begin() + static_cast<std::ptrdiff_t>(body + length));
      body += length;
      if (length < 255) packets.emplace_back();
    }
    position = body;
    if (packets.size() > 3) audio = position;  // the encoder starts the audio on a page of its own
  }
  const std::size_t firstPageEnd = 27 + 1 + std::to_integer<std::size_t>(file[27]);
  std::vector<std::byte> out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(firstPageEnd));
  std::uint32_t serial = 0;
  std::memcpy(&serial, file.data() + 14, 4);
  std::uint32_t sequence = 1;
  AppendPages(out, comments, serial, sequence);
  AppendPages(out, packets[2], serial, sequence);
  out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(audio), file.end());
  return out;
}

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

// The decoder keeps the texts of a file's comments, which the file may make as large as it likes:
// a stream with 4 MB of comments decodes as the encoder's own, and no allocation on the way
// grows with them (it used to be four times their size, cleared, on every probe).
TEST_F(SoundDecoderTest, HugeCommentsNeitherChangeTheSoundNorGrowTheDecodersMemory) {
  static const bool hooked = __sanitizer_install_malloc_and_free_hooks(NoteAllocation, NoteFree) != 0;
  ASSERT_TRUE(hooked);
  const auto ogg = Tone("comments-ogg", "-r 22050 -b 16 -c 1", 0.5, 500);
  const DecodedSound plain = DecodeSound(ogg);
  ASSERT_TRUE(plain);

  constexpr std::uint32_t TextBytes = 4u << 20;
  std::vector<std::byte> comments = {std::byte{3}};
  const auto put = [&comments](std::uint32_t value) {
    for (int index = 0; index < 4; ++index) comments.push_back(static_cast<std::byte>(value >> (8 * index)));
  };
  for (const char c : std::string("vorbis")) comments.push_back(static_cast<std::byte>(c));
  put(0), put(2), put(TextBytes), comments.resize(comments.size() + TextBytes, std::byte{'a'}), put(3);
  for (const char c : std::string("x=y")) comments.push_back(static_cast<std::byte>(c));
  comments.push_back(std::byte{1});
  const std::vector<std::byte> crafted = WithComments(ogg, comments);
  ASSERT_GT(crafted.size(), std::size_t{TextBytes});

  largestAllocation = 0;
  measuring = true;
  const DecodedSound decoded = DecodeSound(crafted);
  measuring = false;
  ASSERT_TRUE(decoded) << static_cast<int>(decoded.refusal);
  EXPECT_EQ(decoded.samples, plain.samples);
  EXPECT_LT(largestAllocation.load(), std::size_t{3} << 20);

  // A text length that runs past the header is refused, wherever the header's pages split.
  std::vector<std::byte> overlong = comments;
  overlong[18] = std::byte{0x7F};
  EXPECT_EQ(DecodeSound(WithComments(ogg, overlong)).refusal, SoundRefusal::Corrupt);
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
