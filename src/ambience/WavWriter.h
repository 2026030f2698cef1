#pragma once

// Writes the ambience as a RIFF WAVE file: 16-bit PCM, 44.1 kHz, stereo, the format every player
// and every game tool reads. The length is given up front so the header is written first and the
// samples can follow as they are rendered, to any sink, without going back: a file of any length
// needs no more memory than one block.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Takes the next bytes of the file; false when they could not be kept (a full disk), which ends
// the writing.
using ByteSink = std::function<bool(std::span<const std::byte>)>;

class WavWriter {
 public:
  static constexpr std::size_t HeaderBytes = 44;

  // Whether `frames` fit: RIFF sizes are 32-bit, which allows about six and a half hours.
  static bool Fits(std::int64_t frames);

  // Writes the header for `frames` frames (which must fit) to `sink`.
  WavWriter(ByteSink sink, std::int64_t frames);

  // Writes interleaved stereo samples; over all calls, exactly the frames announced. Once the
  // sink has refused bytes, nothing more goes to it and Failed() tells.
  void Append(std::span<const std::int16_t> samples);
  bool Complete() const { return !failed_ && written_ == frames_; }
  bool Failed() const { return failed_; }

  // The whole file for `samples` (interleaved stereo).
  static std::vector<std::byte> FileBytes(std::span<const std::int16_t> samples);

 private:
  ByteSink sink_;
  std::int64_t frames_;
  std::int64_t written_ = 0;
  bool failed_ = false;
  std::vector<std::byte> buffer_;
};
