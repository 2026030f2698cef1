#include "ambience/RenderAmbience.h"

#include <algorithm>

#include "ambience/AmbienceStream.h"

namespace {

// About 93 ms per block: the progress moves smoothly and the buffers stay small.
constexpr std::int64_t BlockFrames = 4096;

}  // namespace

AmbienceRenderResult RenderAmbienceTo(const AmbienceRenderRequest& request, SoundCache& cache,
                                      const ByteSink& sink) {
  AmbienceRenderResult result;
  if (request.frames <= 0) {
    result.error = AmbienceRenderError::EmptySpan;
    return result;
  }
  if (!WavWriter::Fits(request.frames)) {
    result.error = AmbienceRenderError::SpanTooLong;
    return result;
  }
  AmbienceSounds sounds = LoadAmbienceSounds(request.entries, request.soundFolder, request.time, cache);
  AmbienceStream stream(request.time, request.scale, request.seed);
  stream.Update(request.entries, sounds);
  stream.EndAt(request.frames);
  result.problems = std::move(sounds.problems);
  WavWriter writer(sink, request.frames);
  std::vector<std::int16_t> block(static_cast<std::size_t>(BlockFrames) * 2);
  for (std::int64_t done = 0; done < request.frames;) {
    const std::int64_t frames = std::min(BlockFrames, request.frames - done);
    const std::span<std::int16_t> samples(block.data(), static_cast<std::size_t>(frames) * 2);
    stream.Render(samples);
    writer.Append(samples);
    if (writer.Failed()) {
      result.error = AmbienceRenderError::SinkFailed;
      return result;
    }
    done += frames;
    if (request.progress && !request.progress(done, request.frames)) {
      result.error = AmbienceRenderError::Cancelled;
      return result;
    }
  }
  return result;
}

AmbienceRenderResult RenderAmbience(const AmbienceRenderRequest& request, SoundCache& cache) {
  std::vector<std::byte> wav;
  AmbienceRenderResult result = RenderAmbienceTo(request, cache, [&wav](std::span<const std::byte> bytes) {
    wav.insert(wav.end(), bytes.begin(), bytes.end());
    return true;
  });
  if (result) result.wav = std::move(wav);
  return result;
}
