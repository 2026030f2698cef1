#include "sound/WaveOutDevice.h"

#include <algorithm>

WaveOutDevice::~WaveOutDevice() { Close(); }

MMRESULT WaveOutDevice::Open(const WAVEFORMATEX& format, HANDLE bufferDone) {
  Close();
  return waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0, CALLBACK_EVENT);
}

MMRESULT WaveOutDevice::Write(WAVEHDR& buffer) {
  if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
  // The player points a returned buffer at the next samples, so it is prepared anew each time.
  if (buffer.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &buffer, sizeof(buffer));
  if (const MMRESULT result = waveOutPrepareHeader(device_, &buffer, sizeof(buffer)); result != MMSYSERR_NOERROR)
    return result;
  if (std::find(prepared_.begin(), prepared_.end(), &buffer) == prepared_.end()) prepared_.push_back(&buffer);
  return waveOutWrite(device_, &buffer, sizeof(buffer));
}

void WaveOutDevice::Reset() {
  if (device_ != nullptr) waveOutReset(device_);
}

void WaveOutDevice::Close() {
  if (device_ == nullptr) return;
  for (WAVEHDR* buffer : prepared_) {
    if (buffer->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, buffer, sizeof(*buffer));
  }
  prepared_.clear();
  waveOutClose(device_);
  device_ = nullptr;
}
