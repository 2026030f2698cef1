#pragma once

// A stand-in for the system's wave output that keeps waveOut's documented rules and says when
// they are broken: a header is prepared before it is written and not written again while
// queued; its memory stays as prepared until it is unprepared, which only a buffer that is not
// queued may be; every buffer is back before the device closes; nothing touches the device
// after it is closed. It reads every buffer it is given (on write, on its return, and at close
// for the headers still prepared), so the sanitizers see a buffer that is gone. It plays one
// buffer every few milliseconds on a thread of its own, and can fail a write or keep its
// buffers forever, as a broken driver does.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sound/WaveOutput.h"

namespace strict_wave {

// waveOut's codes.
constexpr WaveResult Error = 1, NoMemory = 7, Unprepared = 34, StillPlaying = 33;

// What the device saw; the player owns the device, the test keeps this.
struct Log {
  std::mutex mutex;
  int failWrite = 0;                // this write (counted from 1) fails; 0: none
  bool keepBuffers = false;         // never hands a buffer back, not even on reset
  std::vector<std::string> broken;  // every rule the caller broke
  int opens = 0, prepares = 0, unprepares = 0, writes = 0, returned = 0, resets = 0, closes = 0;
  std::size_t samplesPlayed = 0;
  bool destroyed = false;

  void Break(std::string rule) { broken.push_back(std::move(rule)); }
};

class Device : public WaveOutput {
 public:
  explicit Device(std::shared_ptr<Log> log) : log_(std::move(log)) {}
  ~Device() override {
    {
      std::lock_guard lock(log_->mutex);
      log_->destroyed = true;
      if (!closed_ && open_) log_->Break("destroyed while open");
      quit_ = true;
    }
    tick_.notify_all();
    if (player_.joinable()) player_.join();
  }

  WaveResult Open(const WaveFormat& format, WaveSignal& bufferDone) override {
    std::lock_guard lock(log_->mutex);
    if (open_ || closed_) log_->Break("opened twice");
    if (format.channels < 1 || format.channels > 2 || format.sampleRate == 0) log_->Break("odd format");
    ++log_->opens;
    open_ = true;
    signal_ = &bufferDone;
    player_ = std::thread([this] { Play(); });
    return WaveOk;
  }

  WaveResult Prepare(WaveBuffer& buffer) override {
    std::lock_guard lock(log_->mutex);
    if (!Usable("prepare")) return Error;
    auto [header, fresh] = headers_.try_emplace(&buffer, Header{buffer.samples, buffer.count});
    if (!fresh && (header->second.samples != buffer.samples || header->second.count != buffer.count))
      log_->Break("prepared again for other memory without unprepare");
    ++log_->prepares;
    return WaveOk;
  }

  WaveResult Write(WaveBuffer& buffer) override {
    std::lock_guard lock(log_->mutex);
    if (!Usable("write")) return Error;
    const auto header = headers_.find(&buffer);
    if (header == headers_.end()) {
      log_->Break("written unprepared");
      return Unprepared;
    }
    if (header->second.queued) log_->Break("written twice while queued");
    if (header->second.samples != buffer.samples || header->second.count != buffer.count)
      log_->Break("changed after prepare");
    if (++log_->writes == log_->failWrite) return NoMemory;
    Read(buffer);
    header->second.queued = true;
    header->second.done = false;
    queue_.push_back(&buffer);
    return WaveOk;
  }

  bool Done(const WaveBuffer& buffer) const override {
    std::lock_guard lock(log_->mutex);
    const auto header = headers_.find(&buffer);
    if (closed_) log_->Break("asked after close");
    if (header == headers_.end()) {
      log_->Break("asked about an unprepared buffer");
      return true;
    }
    return header->second.done;
  }

  WaveResult Unprepare(WaveBuffer& buffer) override {
    std::lock_guard lock(log_->mutex);
    if (!Usable("unprepare")) return Error;
    const auto header = headers_.find(&buffer);
    if (header == headers_.end()) return WaveOk;  // the system does nothing then
    if (header->second.queued) {
      log_->Break("unprepared while queued");
      return StillPlaying;
    }
    Read(buffer);
    headers_.erase(header);
    ++log_->unprepares;
    return WaveOk;
  }

  void Reset() override {
    std::lock_guard lock(log_->mutex);
    if (!Usable("reset")) return;
    ++log_->resets;
    if (log_->keepBuffers) return;
    while (!queue_.empty()) ReturnFirst();
  }

  void Close() override {
    {
      std::lock_guard lock(log_->mutex);
      if (!Usable("close")) return;
      for (const auto& [buffer, header] : headers_) {
        if (header.queued) log_->Break("closed with a buffer out");
        // The system would refuse and the caller's header is touched here: a header that lived
        // on a stack that has since returned shows as such.
        if (buffer->samples != header.samples) log_->Break("header changed while prepared");
      }
      if (!headers_.empty()) log_->Break("closed with headers still prepared");
      ++log_->closes;
      closed_ = true;
      quit_ = true;
    }
    tick_.notify_all();
    player_.join();
  }

 private:
  struct Header {
    const std::int16_t* samples;
    std::size_t count;
    bool queued = false;  // written and not yet handed back
    bool done = false;
  };

  bool Usable(const char* what) {
    if (closed_) log_->Break(std::string(what) + " after close");
    if (!open_) log_->Break(std::string(what) + " before open");
    return open_ && !closed_;
  }

  // Reads every sample, as the card does.
  void Read(const WaveBuffer& buffer) {
    std::int64_t sum = 0;
    for (std::size_t index = 0; index < buffer.count; ++index) sum += buffer.samples[index];
    checksum_ += sum;
  }

  void ReturnFirst() {
    WaveBuffer* buffer = queue_.front();
    queue_.pop_front();
    Read(*buffer);
    Header& header = headers_.at(buffer);
    header.done = true;
    header.queued = false;
    ++log_->returned;
    log_->samplesPlayed += buffer->count;
    signal_->Set();
  }

  // Hands the oldest queued buffer back every few milliseconds, unless told to keep them.
  void Play() {
    std::unique_lock lock(log_->mutex);
    while (!quit_) {
      tick_.wait_for(lock, std::chrono::milliseconds(3));
      if (!quit_ && !log_->keepBuffers && !queue_.empty()) ReturnFirst();
    }
  }

  std::shared_ptr<Log> log_;
  std::map<const WaveBuffer*, Header> headers_;
  std::deque<WaveBuffer*> queue_;
  WaveSignal* signal_ = nullptr;
  std::condition_variable tick_;
  std::thread player_;
  std::int64_t checksum_ = 0;
  bool open_ = false, closed_ = false, quit_ = false;
};

}  // namespace strict_wave
