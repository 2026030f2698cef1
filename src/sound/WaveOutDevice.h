#pragma once

#include <vector>

#include "sound/WaveOutput.h"

// The system's default wave output (WAVE_MAPPER), which converts the rate for the sound card.
class WaveOutDevice : public WaveOutput {
 public:
  ~WaveOutDevice() override;

  MMRESULT Open(const WAVEFORMATEX& format, HANDLE bufferDone) override;
  MMRESULT Write(WAVEHDR& buffer) override;
  void Reset() override;
  void Close() override;

 private:
  HWAVEOUT device_ = nullptr;
  // Every buffer prepared on the device, unprepared before it closes.
  std::vector<WAVEHDR*> prepared_;
};
