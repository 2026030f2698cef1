#include "ambience/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>

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
    const double sinc =
        index == 0 ? 1.0 : std::sin(std::numbers::pi * argument) / (std::numbers::pi * argument);
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
      phases_(AmbienceRate / std::gcd(AmbienceRate, inputRate)),
      step_(inputRate / std::gcd(AmbienceRate, inputRate)),
      scale_(std::min(1.0, static_cast<double>(AmbienceRate) / inputRate)),
      reach_(static_cast<int>(std::ceil(ZeroCrossings / scale_))),
      taps_((2 * reach_ + 3) / 4 * 4) {
  // The usual rates (8, 11.025, 16, 22.05, 32, 48, 96 kHz) need at most 441 phases.
  constexpr std::size_t LargestBank = std::size_t{1} << 20;
  if (inputRate_ == AmbienceRate || std::size_t{phases_} * static_cast<std::size_t>(taps_) > LargestBank)
    return;
  bank_.resize(std::size_t{phases_} * static_cast<std::size_t>(taps_));
  for (std::uint32_t phase = 0; phase < phases_; ++phase) {
    WeightsOfPhase(phase, std::span(bank_).subspan(std::size_t{phase} * static_cast<std::size_t>(taps_),
                                                   static_cast<std::size_t>(taps_)));
  }
}

std::int64_t Resampler::OutputFrames(std::int64_t inputFrames) const {
  return (inputFrames * AmbienceRate + inputRate_ - 1) / inputRate_;
}

void Resampler::WeightsOfPhase(std::uint32_t phase, std::span<float> weights) const {
  // Weight t applies to the input frame reach_ - 1 - t frames before the output's position
  // (negative: after it); the weights past 2 * reach_ pad to a multiple of 4 and stay zero.
  const KernelTable& table = Kernel();
  const double fraction = static_cast<double>(phase) / phases_;
  for (int tap = 0; tap < taps_; ++tap) {
    const double distance = (reach_ - 1 - tap + fraction) * scale_;
    weights[static_cast<std::size_t>(tap)] =
        tap < 2 * reach_ ? static_cast<float>(scale_ * KernelAt(table, distance)) : 0.0f;
  }
}

std::vector<float> Resampler::ToAmbience(std::span<const std::int16_t> samples, int channels) const {
  const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
  const auto outputFrames = static_cast<std::size_t>(OutputFrames(static_cast<std::int64_t>(frames)));
  std::vector<float> output(outputFrames * AmbienceChannels);
  // One channel at a time, with silence around it so that the kernel never needs a bounds check.
  const auto pad = static_cast<std::size_t>(taps_);
  std::vector<float> padded(pad + frames + pad, 0.0f);
  std::vector<float> converted(outputFrames);
  for (int index = 0; index < channels; ++index) {
    for (std::size_t frame = 0; frame < frames; ++frame) {
      padded[pad + frame] =
          samples[frame * static_cast<std::size_t>(channels) + static_cast<std::size_t>(index)] / 32768.0f;
    }
    ConvertChannel(padded, converted);
    for (std::size_t frame = 0; frame < outputFrames; ++frame) {
      output[frame * 2 + static_cast<std::size_t>(index)] = converted[frame];
      if (channels == 1) output[frame * 2 + 1] = converted[frame];
    }
  }
  return output;
}

void Resampler::ConvertChannel(std::span<const float> padded, std::span<float> output) const {
  const auto pad = static_cast<std::size_t>(taps_);
  if (inputRate_ == AmbienceRate) {
    std::copy_n(padded.begin() + static_cast<std::ptrdiff_t>(pad), output.size(), output.begin());
    return;
  }
  std::vector<float> own(bank_.empty() ? static_cast<std::size_t>(taps_) : 0);
  for (std::size_t frame = 0; frame < output.size(); ++frame) {
    // The output frame's place on the input's time axis, exactly: a whole frame and a phase.
    const std::uint64_t position = static_cast<std::uint64_t>(frame) * step_;
    const auto base = static_cast<std::size_t>(position / phases_);
    const auto phase = static_cast<std::uint32_t>(position % phases_);
    const float* weights = bank_.data() + std::size_t{phase} * static_cast<std::size_t>(taps_);
    if (bank_.empty()) {
      WeightsOfPhase(phase, own);
      weights = own.data();
    }
    const float* input = padded.data() + pad + base - static_cast<std::size_t>(reach_ - 1);
    // Four running sums: independent chains the processor overlaps, in a fixed order, so the
    // result is the same on every run.
    float sums[4] = {0, 0, 0, 0};
    for (int tap = 0; tap < taps_; tap += 4) {
      for (int lane = 0; lane < 4; ++lane) sums[lane] += weights[tap + lane] * input[tap + lane];
    }
    output[frame] = (sums[0] + sums[1]) + (sums[2] + sums[3]);
  }
}
