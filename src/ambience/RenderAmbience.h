#pragma once

// A time of day of a list rendered to a WAV file, start to end: what the export and the command
// line write. The same request gives the same bytes, and the same plays the timeline shows.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ambience/AmbienceSounds.h"
#include "ambience/VolumeScale.h"
#include "ambience/WavWriter.h"
#include "format/AmbientFile.h"
#include "format/TimeOfDay.h"

struct AmbienceRenderRequest {
  std::span<const AmbientEntryValues> entries;
  std::wstring soundFolder;
  TimeOfDay time = TimeOfDay::Dawn;
  std::int64_t frames = 0;  // the span at the ambience rate
  std::uint64_t seed = 0;
  VolumeScale scale = VolumeScale::Percent;
  // Told the frames done after each block; answering false stops the render.
  std::function<bool(std::int64_t done, std::int64_t total)> progress;
};

enum class AmbienceRenderError {
  None,
  EmptySpan,    // nothing to render
  SpanTooLong,  // longer than a WAV file holds
  Cancelled,    // the progress callback said stop; what was written is incomplete
  SinkFailed,   // the sink refused bytes (its owner knows why); what was written is incomplete
  OutOfMemory,  // the render could not get the memory it needed (told by its caller)
  Failed,       // the render stopped for another reason (told by its caller)
};

struct AmbienceRenderResult {
  AmbienceRenderError error = AmbienceRenderError::None;
  std::vector<std::byte> wav;  // empty unless rendered to bytes and successful
  // Entries of the time that play silent because their sound could not be had.
  std::vector<AmbienceSoundProblem> problems;

  explicit operator bool() const { return error == AmbienceRenderError::None; }
};

// Renders to `sink` block by block, holding no more than a block whatever the span; the sink
// sees nothing when the request is refused before it starts.
AmbienceRenderResult RenderAmbienceTo(const AmbienceRenderRequest& request, SoundCache& cache,
                                      const ByteSink& sink);

// Renders to bytes in memory (the whole file at once: for short spans and tests); on any failure
// no bytes.
AmbienceRenderResult RenderAmbience(const AmbienceRenderRequest& request, SoundCache& cache);
