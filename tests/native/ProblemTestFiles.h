#pragma once

// What the problem tests share: entries as a file would hold them, WAV bytes made by code, and a
// file system kept in memory that counts what the probe asks of it.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ambient/EntryList.h"
#include "format/Windows1251Converter.h"
#include "problems/ProbeFileSystem.h"

// An entry whose record stores `name` as its bytes, as one read from a file.
inline DocumentEntry MakeEntry(const std::wstring& name, std::int32_t minMs, std::int32_t maxMs,
                               std::uint8_t timeOfDay = 0, std::int32_t volume = 50) {
  DocumentEntry entry;
  entry.values = {name, minMs, maxMs, timeOfDay, volume};
  const std::optional<std::string> bytes = Windows1251Converter().FromUtf16(name);
  if (bytes) StoreAudioFileBytes(entry.record, *bytes);
  return entry;
}

// A 16-bit mono PCM WAV of `durationMs` at 8 kHz, silent.
inline std::vector<std::byte> MakeWave(std::uint32_t durationMs) {
  const std::uint32_t rate = 8000;
  const std::uint32_t dataBytes = rate * durationMs / 1000 * 2;
  std::vector<std::byte> bytes;
  const auto text = [&](const char* four) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::byte>(four[i]));
  };
  const auto number = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
  };
  text("RIFF"), number(36 + dataBytes, 4), text("WAVE");
  text("fmt "), number(16, 4), number(1, 2), number(1, 2), number(rate, 4), number(rate * 2, 4), number(2, 2),
      number(16, 2);
  text("data"), number(dataBytes, 4);
  bytes.resize(bytes.size() + dataBytes);
  return bytes;
}

class MemoryFiles final : public ProbeFileSystem {
 public:
  void Put(const std::wstring& path, std::vector<std::byte> bytes, std::int64_t writeTime = 1) {
    std::lock_guard lock(mutex_);
    files_[path] = {std::move(bytes), writeTime};
  }
  // The path cannot be examined: Stat fails with the system's `error`, as for a file that a
  // program holds without sharing or that the user may not see.
  void Deny(const std::wstring& path, std::uint32_t error) {
    std::lock_guard lock(mutex_);
    denied_[path] = error;
  }
  void Touch(const std::wstring& path, std::int64_t writeTime) {
    std::lock_guard lock(mutex_);
    files_[path].writeTime = writeTime;
  }

  FileStat Stat(const std::wstring& path) const override {
    std::lock_guard lock(mutex_);
    ++stats;
    if (const auto denied = denied_.find(path); denied != denied_.end()) return {false, 0, 0, denied->second};
    const auto found = files_.find(path);
    if (found == files_.end()) return {};
    return {true, found->second.bytes.size(), found->second.writeTime};
  }
  std::optional<std::vector<std::byte>> Read(const std::wstring& path, std::uint32_t& error) const override {
    ++reads;
    error = 0;
    std::optional<std::vector<std::byte>> bytes;
    {
      std::lock_guard lock(mutex_);
      const auto found = files_.find(path);
      if (found != files_.end()) bytes = found->second.bytes;
    }
    if (onRead) onRead(path);
    return bytes;
  }
  std::wstring DescribeError(std::uint32_t error) const override { return L"system error " + std::to_wstring(error); }

  mutable std::atomic<int> stats = 0;
  mutable std::atomic<int> reads = 0;
  // Runs in each read, once the bytes are taken and outside the lock: a test holds the worker
  // there, with what it read already read, or makes it throw.
  std::function<void(const std::wstring&)> onRead;

 private:
  struct File {
    std::vector<std::byte> bytes;
    std::int64_t writeTime = 0;
  };
  mutable std::mutex mutex_;
  std::map<std::wstring, File> files_;
  std::map<std::wstring, std::uint32_t> denied_;
};
