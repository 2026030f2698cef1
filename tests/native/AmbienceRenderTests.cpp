// The export's file: a WAV that the decoder reads back as written, and the same bytes from the
// same request on every run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "AmbienceTestSounds.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/AmbienceSchedule.h"
#include "ambience/AmbienceStream.h"
#include "ambience/RenderAmbience.h"
#include "ambience/WavWriter.h"
#include "sound/SoundDecoder.h"

namespace {

using ambience_test::MemoryFiles;
using ambience_test::Sine;
using ambience_test::WaveFile;

std::uint32_t Read32(const std::vector<std::byte>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t index = 0; index < 4; ++index)
    value |= std::to_integer<std::uint32_t>(bytes[at + index]) << (8 * index);
  return value;
}

// The header any WAV reader expects for ten frames of 16-bit stereo at 44.1 kHz, written out by
// hand from the RIFF layout, and the samples after it little-endian.
TEST(WavWriter, WritesTheRiffLayoutByteForByte) {
  const std::vector<std::uint8_t> expected = {
      'R',  'I',  'F',  'F',  76,   0,    0,    0,     // the rest of the file: 36 + 40 bytes
      'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',   // a WAVE, its format block first
      16,   0,    0,    0,    1,    0,    2,    0,     // 16 bytes of it: PCM, two channels
      0x44, 0xAC, 0,    0,    0x10, 0xB1, 0x02, 0,     // 44,100 frames and 176,400 bytes a second
      4,    0,    16,   0,    'd',  'a',  't',  'a',   // 4 bytes a frame of 16-bit samples; the data
      40,   0,    0,    0,    0x01, 0x00, 0xFE, 0xFF,  // 40 bytes of it: 1, -2,
      0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F};             // 0x1234, -32768, 32767
  std::vector<std::int16_t> samples = {1, -2, 0x1234, -32768, 32767};
  samples.resize(20);
  const std::vector<std::byte> file = WavWriter::FileBytes(samples);
  ASSERT_EQ(file.size(), 44u + 40u);
  for (std::size_t at = 0; at < expected.size(); ++at)
    EXPECT_EQ(std::to_integer<std::uint8_t>(file[at]), expected[at]) << "byte " << at;
  EXPECT_TRUE(std::all_of(file.begin() + static_cast<std::ptrdiff_t>(expected.size()), file.end(),
                          [](std::byte b) { return b == std::byte{0}; }));
}

TEST(WavWriter, WritesAFileTheDecoderReadsBackAsWritten) {
  std::vector<std::int16_t> samples;
  for (int index = 0; index < 2001 * 2; ++index)
    samples.push_back(static_cast<std::int16_t>(index * 37 - 32768));
  const std::vector<std::byte> file = WavWriter::FileBytes(samples);
  ASSERT_EQ(file.size(), WavWriter::HeaderBytes + samples.size() * 2);
  EXPECT_EQ(Read32(file, 4), file.size() - 8);
  EXPECT_EQ(Read32(file, 40), samples.size() * 2);
  const DecodedSound decoded = DecodeWave(file);
  ASSERT_TRUE(decoded) << static_cast<int>(decoded.refusal);
  EXPECT_EQ(decoded.sampleRate, AmbienceRate);
  EXPECT_EQ(decoded.channels, 2);
  EXPECT_EQ(decoded.samples, samples);

  EXPECT_TRUE(WavWriter::Fits(0));
  EXPECT_TRUE(WavWriter::Fits(6LL * 3600 * AmbienceRate));
  EXPECT_FALSE(WavWriter::Fits(7LL * 3600 * AmbienceRate));
}

class RenderAmbienceTest : public testing::Test {
 protected:
  RenderAmbienceTest() {
    files_.files[L"C:\\game\\sounds\\owl.wav"].bytes = WaveFile(Sine(22050, 1, 0.8, 600, 0.6), 22050, 1);
    files_.files[L"C:\\game\\sounds\\wind.wav"].bytes = WaveFile(Sine(48000, 2, 2.5, 150, 0.5), 48000, 2);
    files_.files[L"C:\\game\\sounds\\lark.wav"].bytes = WaveFile(Sine(44100, 1, 0.3, 2500, 0.9), 44100, 1);
    const auto night = static_cast<std::uint8_t>(TimeOfDay::Night);
    entries_ = {{L"sounds/owl.wav", 1500, 4000, night, 80},
                {L"sounds\\wind.wav", 500, 1000, night, 100},
                {L"sounds\\lark.wav", 200, 300, static_cast<std::uint8_t>(TimeOfDay::Dawn), 100},
                {L"sounds\\gone.wav", 1000, 2000, night, 100}};
  }

  AmbienceRenderRequest Request(std::uint64_t seed) const {
    return {entries_, L"C:\\game", TimeOfDay::Night, 10 * AmbienceRate, seed, VolumeScale::Percent, {}};
  }

  MemoryFiles files_;
  std::vector<AmbientEntryValues> entries_;
};

TEST_F(RenderAmbienceTest, TheSameRequestGivesTheSameBytes) {
  SoundCache cache(files_.Reader()), fresh(files_.Reader());
  const AmbienceRenderResult first = RenderAmbience(Request(42), cache);
  ASSERT_TRUE(first);
  EXPECT_EQ(first.wav.size(), WavWriter::HeaderBytes + 10u * AmbienceRate * 4);
  EXPECT_EQ(first.problems,
            (std::vector<AmbienceSoundProblem>{{3, SoundCacheRefusal::CannotRead, SoundRefusal::None}}));
  EXPECT_EQ(RenderAmbience(Request(42), fresh).wav, first.wav);
  EXPECT_EQ(RenderAmbience(Request(42), cache).wav, first.wav);
  EXPECT_NE(RenderAmbience(Request(43), cache).wav, first.wav);

  // It begins where the timeline's first bar does, with the night's sounds only (no 2.5 kHz lark).
  const std::vector<std::int64_t> lengths = {AmbienceRate * 8 / 10, AmbienceRate * 5 / 2, 0, 0};
  const std::vector<AmbiencePlay> plays = AmbienceSchedule::List(entries_, lengths, TimeOfDay::Night,
                                                                 VolumeScale::Percent, 42, 10 * AmbienceRate);
  ASSERT_FALSE(plays.empty());
  const DecodedSound decoded = DecodeWave(first.wav);
  ASSERT_TRUE(decoded);
  const auto firstSound =
      std::find_if(decoded.samples.begin(), decoded.samples.end(), [](std::int16_t s) { return s != 0; });
  const auto firstFrame = (firstSound - decoded.samples.begin()) / 2;
  EXPECT_GE(firstFrame, plays[0].start);
  EXPECT_LE(firstFrame, plays[0].start + 1) << "a sine begins at zero";
  EXPECT_TRUE(std::none_of(plays.begin(), plays.end(), [](const AmbiencePlay& p) { return p.entry == 2; }));
}

TEST_F(RenderAmbienceTest, ThePreviewStreamPlaysWhatTheExportWrites) {
  SoundCache cache(files_.Reader());
  const AmbienceRenderResult exported = RenderAmbience(Request(9), cache);
  ASSERT_TRUE(exported);
  const DecodedSound written = DecodeWave(exported.wav);
  ASSERT_TRUE(written);

  // Blocks of the sizes an output device asks for, a different size now and then.
  AmbienceStream stream(TimeOfDay::Night, VolumeScale::Percent, 9);
  stream.Update(entries_, LoadAmbienceSounds(entries_, L"C:\\game", TimeOfDay::Night, cache));
  stream.EndAt(10 * AmbienceRate);
  std::vector<std::int16_t> played, block;
  for (std::size_t size = 4410; played.size() < written.samples.size(); size = size == 4410 ? 1234 : 4410) {
    block.resize(std::min(size * 2, written.samples.size() - played.size()));
    stream.Render(block);
    played.insert(played.end(), block.begin(), block.end());
  }
  EXPECT_EQ(played, written.samples);
}

TEST_F(RenderAmbienceTest, RefusesAnEmptySpanAndStopsWhenCancelled) {
  SoundCache cache(files_.Reader());
  AmbienceRenderRequest request = Request(1);
  request.frames = 0;
  EXPECT_EQ(RenderAmbience(request, cache).error, AmbienceRenderError::EmptySpan);
  request.frames = 8LL * 3600 * AmbienceRate;
  EXPECT_EQ(RenderAmbience(request, cache).error, AmbienceRenderError::SpanTooLong);

  request.frames = 20 * AmbienceRate;
  std::int64_t reported = 0;
  request.progress = [&reported](std::int64_t done, std::int64_t total) {
    reported = done;
    return done < total / 2;
  };
  const AmbienceRenderResult cancelled = RenderAmbience(request, cache);
  EXPECT_EQ(cancelled.error, AmbienceRenderError::Cancelled);
  EXPECT_TRUE(cancelled.wav.empty());
  EXPECT_GE(reported, 10 * AmbienceRate);
  EXPECT_LT(reported, 11 * AmbienceRate);
}

// However long the span, the sink gets the file a block at a time, so nothing on the way holds
// more than a block; a sink that cannot keep bytes (a full disk) ends the render at once.
TEST_F(RenderAmbienceTest, StreamsToTheSinkAndStopsWhenItRefuses) {
  SoundCache cache(files_.Reader());
  AmbienceRenderRequest request = Request(5);
  request.frames = 120 * AmbienceRate;
  std::size_t largest = 0, total = 0, calls = 0;
  const AmbienceRenderResult streamed =
      RenderAmbienceTo(request, cache, [&](std::span<const std::byte> bytes) {
        largest = std::max(largest, bytes.size());
        total += bytes.size();
        ++calls;
        return true;
      });
  ASSERT_TRUE(streamed);
  EXPECT_EQ(total, WavWriter::HeaderBytes + 120u * AmbienceRate * 4);
  EXPECT_LE(largest, std::size_t{64} << 10);

  calls = 0;
  const AmbienceRenderResult refused = RenderAmbienceTo(request, cache, [&](std::span<const std::byte>) {
    ++calls;
    return calls < 3;
  });
  EXPECT_EQ(refused.error, AmbienceRenderError::SinkFailed);
  EXPECT_EQ(calls, 3u) << "bytes went on after the sink refused";
}

}  // namespace
