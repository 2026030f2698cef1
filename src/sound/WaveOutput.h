#pragma once

#include <windows.h>
#include <mmsystem.h>

// The output device the player feeds, narrowed to what it uses so that tests can stand in for
// the sound card. Buffers come back by setting WHDR_DONE in their flags and signalling the
// event given to Open, as waveOut does with CALLBACK_EVENT.
class WaveOutput {
 public:
  virtual ~WaveOutput() = default;
  // MMSYSERR_NOERROR, or why the device cannot play the format (no device at all included).
  virtual MMRESULT Open(const WAVEFORMATEX& format, HANDLE bufferDone) = 0;
  // Queues one buffer; it must stay untouched until it comes back.
  virtual MMRESULT Write(WAVEHDR& buffer) = 0;
  // Stops at once and hands every queued buffer back.
  virtual void Reset() = 0;
  // Releases the device; only called once every written buffer has come back.
  virtual void Close() = 0;
};
