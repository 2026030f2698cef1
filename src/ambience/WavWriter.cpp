#include "ambience/WavWriter.h"

#include <array>
#include <cstring>
#include <limits>

#include "ambience/AmbienceFormat.h"

namespace {

constexpr std::uint32_t BytesPerFrame = AmbienceChannels * 2;

void Put(std::byte*& at, std::uint32_t value, int width) {
  for (int index = 0; index < width; ++index) *at++ = static_cast<std::byte>((value >> (8 * index)) & 0xFF);
}

void PutTag(std::byte*& at, const char (&tag)[5]) {
  std::memcpy(at, tag, 4);
  at += 4;
}

}  // namespace

bool WavWriter::Fits(std::int64_t frames) {
  return frames >= 0 &&
         static_cast<std::uint64_t>(frames) * BytesPerFrame <= std::numeric_limits<std::uint32_t>::max() - 36;
}

WavWriter::WavWriter(ByteSink sink, std::int64_t frames) : sink_(std::move(sink)), frames_(frames) {
  const auto dataBytes = static_cast<std::uint32_t>(frames * BytesPerFrame);
  std::array<std::byte, HeaderBytes> header{};
  std::byte* at = header.data();
  PutTag(at, "RIFF");
  Put(at, 36 + dataBytes, 4);
  PutTag(at, "WAVE");
  PutTag(at, "fmt ");
  Put(at, 16, 4);  // the plain PCM format block
  Put(at, 1, 2);   // PCM
  Put(at, AmbienceChannels, 2);
  Put(at, AmbienceRate, 4);
  Put(at, AmbienceRate * BytesPerFrame, 4);
  Put(at, BytesPerFrame, 2);
  Put(at, 16, 2);
  PutTag(at, "data");
  Put(at, dataBytes, 4);
  failed_ = !sink_(header);
}

void WavWriter::Append(std::span<const std::int16_t> samples) {
  if (failed_) return;
  // Byte by byte, so that the file is little-endian whatever the machine.
  buffer_.resize(samples.size() * 2);
  std::byte* at = buffer_.data();
  for (const std::int16_t sample : samples) Put(at, static_cast<std::uint16_t>(sample), 2);
  failed_ = !sink_(buffer_);
  written_ += static_cast<std::int64_t>(samples.size() / AmbienceChannels);
}

std::vector<std::byte> WavWriter::FileBytes(std::span<const std::int16_t> samples) {
  std::vector<std::byte> file;
  file.reserve(HeaderBytes + samples.size() * 2);
  WavWriter writer(
      [&file](std::span<const std::byte> bytes) {
        file.insert(file.end(), bytes.begin(), bytes.end());
        return true;
      },
      static_cast<std::int64_t>(samples.size() / AmbienceChannels));
  writer.Append(samples);
  return file;
}
