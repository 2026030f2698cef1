#include "sound/WaveOutDevice.h"

WaveOutDevice::~WaveOutDevice() { Close(); }

WaveResult WaveOutDevice::Open(const WaveFormat& format, WaveSignal& bufferDone) {
  Close();
  WAVEFORMATEX system{};
  system.wFormatTag = WAVE_FORMAT_PCM;
  system.nChannels = format.channels;
  system.nSamplesPerSec = format.sampleRate;
  system.wBitsPerSample = 16;
  system.nBlockAlign = static_cast<WORD>(format.channels * 2);
  system.nAvgBytesPerSec = format.sampleRate * system.nBlockAlign;
  const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &system,
                                      reinterpret_cast<DWORD_PTR>(bufferDone.Event()), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) device_ = nullptr;
  return result;
}

WaveResult WaveOutDevice::Prepare(WaveBuffer& buffer) {
  if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
  if (headers_.contains(&buffer)) return WAVERR_STILLPLAYING;  // unprepare first: its memory may differ
  auto header = std::make_unique<WAVEHDR>();
  header->lpData = reinterpret_cast<LPSTR>(buffer.samples);
  header->dwBufferLength = static_cast<DWORD>(buffer.count * sizeof(std::int16_t));
  if (const MMRESULT result = waveOutPrepareHeader(device_, header.get(), sizeof(WAVEHDR));
      result != MMSYSERR_NOERROR)
    return result;
  headers_.emplace(&buffer, std::move(header));
  return MMSYSERR_NOERROR;
}

WaveResult WaveOutDevice::Write(WaveBuffer& buffer) {
  const auto found = headers_.find(&buffer);
  if (device_ == nullptr || found == headers_.end()) return WAVERR_UNPREPARED;
  return waveOutWrite(device_, found->second.get(), sizeof(WAVEHDR));
}

bool WaveOutDevice::Done(const WaveBuffer& buffer) const {
  const auto found = headers_.find(&buffer);
  if (found == headers_.end()) return true;
  // The system sets the flag from its own thread.
  return (static_cast<const volatile DWORD&>(found->second->dwFlags) & WHDR_DONE) != 0;
}

WaveResult WaveOutDevice::Unprepare(WaveBuffer& buffer) {
  const auto found = headers_.find(&buffer);
  if (device_ == nullptr || found == headers_.end()) return MMSYSERR_NOERROR;
  const MMRESULT result = waveOutUnprepareHeader(device_, found->second.get(), sizeof(WAVEHDR));
  if (result == MMSYSERR_NOERROR) headers_.erase(found);
  return result;
}

void WaveOutDevice::Reset() {
  if (device_ != nullptr) waveOutReset(device_);
}

// The feed unprepares every buffer before it closes; headers still prepared then (a feed that
// failed half-way) are unprepared here, since the system refuses to close over them.
void WaveOutDevice::Close() {
  if (device_ == nullptr) return;
  for (auto& [buffer, header] : headers_) waveOutUnprepareHeader(device_, header.get(), sizeof(WAVEHDR));
  headers_.clear();
  waveOutClose(device_);
  device_ = nullptr;
}
