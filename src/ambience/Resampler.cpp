#include "ambience/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "ambience/AmbienceFormat.h"

namespace {

// Half the kernel's length, in periods of the slower of the two rates. 32 with the window below
// gives a transition band of about 8% of that rate and a stop band beyond 80 dB down.
constexpr int ZeroCrossings = 32;
constexpr int TableSteps = 512;  // kernel values per period; read with linear interpolation
// The cutoff as a fraction of the slower rate: the transition band ends at its Nyquist frequency.
constexpr double Cutoff = 0.456;
constexpr double KaiserBeta = 8.6;

// The zeroth-order modified Bessel function of the first kind, by its power series.
double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 50; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

using KernelTable = std::array<float, ZeroCrossings * TableSteps + 2>;

KernelTable MakeKernel() {
  KernelTable table{};
  const double windowNorm = BesselI0(KaiserBeta);
  for (std::size_t index = 0; index < table.size(); ++index) {
    const double distance = static_cast<double>(index) / TableSteps;
    const double ratio = std::min(distance / ZeroCrossings, 1.0);
    const double window = BesselI0(KaiserBeta * std::sqrt(1 - ratio * ratio)) / windowNorm;
    const double argument = 2 * Cutoff * distance;
    const double sinc = index == 0 ? 1.0 : std::sin(std::numbers::pi * argument) / (std::numbers::pi * argument);
    table[index] = static_cast<float>(2 * Cutoff * sinc * window);
  }
  table.back() = 0;
  return table;
}

const KernelTable& Kernel() {
  static const KernelTable table = MakeKernel();
  return table;
}

float KernelAt(const KernelTable& table, double distance) {
  const double position = std::abs(distance) * TableSteps;
  const auto index = static_cast<std::size_t>(position);
  if (index >= table.size() - 1) return 0;
  const auto fraction = static_cast<float>(position - static_cast<double>(index));
  return table[index] + fraction * (table[index + 1] - table[index]);
}

}  // namespace

Resampler::Resampler(std::uint32_t inputRate)
    : inputRate_(inputRate),
      scale_(std::min(1.0, static_cast<double>(AmbienceRate) / inputRate)),
      reach_(static_cast<int>(std::ceil(ZeroCrossings / scale_))) {}

std::int64_t Resampler::OutputFrames(std::int64_t inputFrames) const {
  return (inputFrames * AmbienceRate + inputRate_ - 1) / inputRate_;
}

std::vector<float> Resampler::ToAmbience(std::span<const std::int16_t> samples, int channels) const {
  const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
  const auto outputFrames = static_cast<std::size_t>(OutputFrames(static_cast<std::int64_t>(frames)));
  std::vector<float> output(outputFrames * AmbienceChannels);
  std::vector<float> channel(frames);
  for (int index = 0; index < channels; ++index) {
    for (std::size_t frame = 0; frame < frames; ++frame) {
      channel[frame] = samples[frame * static_cast<std::size_t>(channels) + static_cast<std::size_t>(index)] / 32768.0f;
    }
    ConvertChannel(channel, std::span(output).subspan(static_cast<std::size_t>(index)), AmbienceChannels);
  }
  if (channels == 1) {
    for (std::size_t frame = 0; frame < outputFrames; ++frame) output[frame * 2 + 1] = output[frame * 2];
  }
  return output;
}

void Resampler::ConvertChannel(std::span<const float> input, std::span<float> output, int outputStride) const {
  const auto stride = static_cast<std::size_t>(outputStride);
  const std::size_t outputFrames = (output.size() + stride - 1) / stride;
  if (inputRate_ == AmbienceRate) {
    for (std::size_t frame = 0; frame < outputFrames; ++frame) output[frame * stride] = input[frame];
    return;
  }
  const KernelTable& table = Kernel();
  const auto last = static_cast<std::int64_t>(input.size()) - 1;
  for (std::size_t frame = 0; frame < outputFrames; ++frame) {
    // The output frame's place on the input's time axis, exactly: a whole frame and a fraction.
    const std::uint64_t numerator = static_cast<std::uint64_t>(frame) * inputRate_;
    const auto base = static_cast<std::int64_t>(numerator / AmbienceRate);
    const double fraction = static_cast<double>(numerator % AmbienceRate) / AmbienceRate;
    const std::int64_t from = std::max<std::int64_t>(base - reach_ + 1, 0);
    const std::int64_t to = std::min<std::int64_t>(base + reach_, last);
    double sum = 0;
    for (std::int64_t tap = from; tap <= to; ++tap) {
      const double distance = (static_cast<double>(base - tap) + fraction) * scale_;
      sum += KernelAt(table, distance) * input[static_cast<std::size_t>(tap)];
    }
    output[frame * stride] = static_cast<float>(sum * scale_);
  }
}
