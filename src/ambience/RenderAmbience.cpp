#include "ambience/RenderAmbience.h"

#include <algorithm>

#include "ambience/AmbienceMixer.h"
#include "ambience/AmbienceSchedule.h"

namespace {

// About 93 ms per block: the progress moves smoothly and the buffers stay small.
constexpr std::int64_t BlockFrames = 4096;

}  // namespace

AmbienceRenderResult RenderAmbienceTo(const AmbienceRenderRequest& request, SoundCache& cache, const ByteSink& sink) {
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
  result.problems = std::move(sounds.problems);
  AmbienceSchedule schedule(request.time, request.scale, request.seed);
  schedule.Update(request.entries, sounds.lengths);
  AmbienceMixer mixer;
  WavWriter writer(sink, request.frames);
  std::vector<AmbiencePlay> plays;
  std::vector<std::int16_t> block(static_cast<std::size_t>(BlockFrames) * 2);
  for (std::int64_t done = 0; done < request.frames;) {
    const std::int64_t frames = std::min(BlockFrames, request.frames - done);
    plays.clear();
    // Plays that start past the span are never heard.
    schedule.TakePlaysBefore(std::min(done + frames + AmbienceMixer::Lookahead, request.frames), plays);
    for (const AmbiencePlay& play : plays) mixer.Add(play, sounds.sounds[static_cast<std::size_t>(play.entry)]);
    const std::span<std::int16_t> samples(block.data(), static_cast<std::size_t>(frames) * 2);
    mixer.Render(samples);
    writer.Append(samples);
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
  });
  if (result) result.wav = std::move(wav);
  return result;
}
