#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/WaveSignal.h"

// The output device the players feed, narrowed to what they use and free of the system's types,
// so that the feeding code builds and is tested on any system against a stand-in that keeps the
// device's rules. It follows waveOut: a buffer is prepared once for its memory, written, handed
// back (Done) with the signal given to Open set, written again, and unprepared before its memory
// goes; Reset hands every queued buffer back; Close comes once every buffer is back.

// waveOut's results: zero is success, anything else is the system's MMRESULT code.
using WaveResult = std::uint32_t;
inline constexpr WaveResult WaveOk = 0;

// Always 16-bit PCM, interleaved.
struct WaveFormat {
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
};

// One buffer of samples as the player sees it. The device keeps its own record of it (on
// Windows, the WAVEHDR) from Prepare to Unprepare, found by the buffer's address: the buffer must
// stay where it is, untouched while queued, until it is unprepared.
struct WaveBuffer {
  std::int16_t* samples = nullptr;
  std::size_t count = 0;
};

class WaveOutput {
 public:
  virtual ~WaveOutput() = default;
  // WaveOk, or why the device cannot play the format (no device at all included).
  virtual WaveResult Open(const WaveFormat& format, WaveSignal& bufferDone) = 0;
  virtual WaveResult Prepare(WaveBuffer& buffer) = 0;
  // Queues a prepared buffer that is not queued; it must stay untouched until it is Done.
  virtual WaveResult Write(WaveBuffer& buffer) = 0;
  // Whether a written buffer has come back.
  virtual bool Done(const WaveBuffer& buffer) const = 0;
  // Only for a buffer that is not queued.
  virtual WaveResult Unprepare(WaveBuffer& buffer) = 0;
  // Stops at once and hands every queued buffer back.
  virtual void Reset() = 0;
  // Releases the device; only once every buffer is back and unprepared.
  virtual void Close() = 0;
};
