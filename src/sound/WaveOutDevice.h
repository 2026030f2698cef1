#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <map>
#include <memory>

#include "sound/WaveOutput.h"

// The system's default wave output (WAVE_MAPPER), which converts the rate for the sound card. It
// keeps a WAVEHDR for each prepared buffer, so the headers the system writes to live as long as
// the preparation does, whatever the caller's buffers are.
class WaveOutDevice : public WaveOutput {
 public:
  ~WaveOutDevice() override;

  WaveResult Open(const WaveFormat& format, WaveSignal& bufferDone) override;
  WaveResult Prepare(WaveBuffer& buffer) override;
  WaveResult Write(WaveBuffer& buffer) override;
  bool Done(const WaveBuffer& buffer) const override;
  WaveResult Unprepare(WaveBuffer& buffer) override;
  void Reset() override;
  void Close() override;

 private:
  HWAVEOUT device_ = nullptr;
  std::map<const WaveBuffer*, std::unique_ptr<WAVEHDR>> headers_;
};
