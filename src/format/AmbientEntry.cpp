#include "format/AmbientEntry.h"

#include <cstring>

std::string_view AudioFileBytes(const AmbientEntry& entry) {
  const char* begin = entry.audioFile;
  const void* terminator = std::memchr(begin, '\0', AmbientEntry::AudioFileSize);
  if (terminator == nullptr) return {begin, AmbientEntry::AudioFileSize};
  return {begin, static_cast<std::size_t>(static_cast<const char*>(terminator) - begin)};
}

bool StoreAudioFileBytes(AmbientEntry& entry, std::string_view text) {
  if (text.size() > AmbientEntry::MaxAudioFileLength) return false;
  if (!text.empty()) std::memcpy(entry.audioFile, text.data(), text.size());
  entry.audioFile[text.size()] = '\0';
  return true;
}
