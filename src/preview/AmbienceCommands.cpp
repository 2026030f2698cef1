#include "preview/AmbienceCommands.h"

#include <chrono>

#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"
#include "win/RefusalBeep.h"

namespace {

constexpr UINT kTimeCommands[] = {CMD_AMBIENCE_DAWN, CMD_AMBIENCE_DAY, CMD_AMBIENCE_SUNSET, CMD_AMBIENCE_NIGHT};

std::optional<VolumeScale> ScaleOfCommand(UINT id) {
  switch (id) {
    case CMD_AMBIENCE_SCALE_PERCENT: return VolumeScale::Percent;
    case CMD_AMBIENCE_SCALE_CENTIBELS: return VolumeScale::Centibels;
    case CMD_AMBIENCE_SCALE_BYTE: return VolumeScale::Byte;
    default: return std::nullopt;
  }
}

UINT CommandOfScale(const std::optional<VolumeScale>& scale) {
  if (!scale) return CMD_AMBIENCE_SCALE_AUTO;
  switch (*scale) {
    case VolumeScale::Centibels: return CMD_AMBIENCE_SCALE_CENTIBELS;
    case VolumeScale::Byte: return CMD_AMBIENCE_SCALE_BYTE;
    case VolumeScale::Percent: break;
  }
  return CMD_AMBIENCE_SCALE_PERCENT;
}

// A new seed each time, different from the last even within one clock tick.
std::uint64_t FreshSeed(std::uint64_t previous) {
  const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::uint64_t seed = (now ^ (previous * 0x9E3779B97F4A7C15ull)) & 0xFFFFFFFFull;
  return seed == previous ? seed + 1 : seed;
}

}  // namespace

AmbienceCommands::AmbienceCommands(AmbienceHost host) : host_(std::move(host)), sounds_(host_.owner) {}

std::wstring DescribeVolumeScale(const AmbienceChoice& choice, std::span<const std::int32_t> volumes) {
  const VolumeScale scale = choice.ScaleFor(volumes);
  const std::wstring name = LoadCommandString(STR_SCALE_NAME_FIRST + static_cast<UINT>(scale));
  return choice.scale ? name : FormatCommandStrings(STR_AMBIENCE_SCALE_GUESSED, {name});
}

std::wstring VolumeScalePane(const AmbienceChoice& choice, std::span<const std::int32_t> volumes) {
  const VolumeScale scale = choice.ScaleFor(volumes);
  const std::wstring name = LoadCommandString(STR_SCALE_SHORT_FIRST + static_cast<UINT>(scale));
  return FormatCommandStrings(choice.scale ? STR_AMBIENCE_VOLUME_PANE : STR_AMBIENCE_VOLUME_GUESSED_PANE, {name});
}

bool AmbienceCommands::OnCommand(UINT id) {
  for (UINT index = 0; index < std::size(kTimeCommands); ++index) {
    if (id != kTimeCommands[index]) continue;
    choice_.time = static_cast<TimeOfDay>(index);
    return true;
  }
  switch (id) {
    case CMD_AMBIENCE_RESHUFFLE:
      choice_.seed = FreshSeed(choice_.seed);
      host_.tell(FormatCommandStrings(STR_AMBIENCE_SEED, {std::to_wstring(choice_.seed)}));
      return true;
    case CMD_AMBIENCE_SCALE_AUTO:
    case CMD_AMBIENCE_SCALE_PERCENT:
    case CMD_AMBIENCE_SCALE_CENTIBELS:
    case CMD_AMBIENCE_SCALE_BYTE:
      choice_.scale = ScaleOfCommand(id);
      return true;
    case CMD_FILE_EXPORT_AMBIENCE:
      Export();
      return true;
    default:
      return false;
  }
}

void AmbienceCommands::UpdateStates(CommandStateMap& states, bool documentOpen) const {
  for (UINT index = 0; index < std::size(kTimeCommands); ++index)
    states.SetCommandCheck(kTimeCommands[index], static_cast<UINT>(choice_.time) == index ? 1 : 0);
  for (UINT id : {CMD_AMBIENCE_SCALE_AUTO, CMD_AMBIENCE_SCALE_PERCENT, CMD_AMBIENCE_SCALE_CENTIBELS,
                  CMD_AMBIENCE_SCALE_BYTE})
    states.SetCommandCheck(id, id == CommandOfScale(choice_.scale) ? 1 : 0);
  states.EnableCommand(CMD_FILE_EXPORT_AMBIENCE, documentOpen);
}

void AmbienceCommands::Export() {
  std::optional<AmbienceExportSource> source = host_.activeDocument();
  if (!source) {
    RefusalBeep();
    return;
  }
  source->choice = choice_;
  std::wstring outcome;
  host_.asQuestion([&] { outcome = ExportAmbience(host_.owner, *source, host_.openDocumentFiles()); });
  host_.tell(outcome);
}
