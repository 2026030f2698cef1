#include "preview/AmbiencePreview.h"

#include "ambience/AmbienceFormat.h"
#include "ambience/AmbienceSounds.h"
#include "ambience/Win32SoundFileReader.h"
#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"
#include "win/RefusalBeep.h"

namespace {

std::vector<std::int32_t> VolumesOf(const std::vector<AmbientEntryValues>& entries) {
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : entries) volumes.push_back(entry.volume);
  return volumes;
}

// The scale the volumes are heard in, and whether the user chose it or the list's values did.
std::wstring ScaleDescription(const AmbienceChoice& choice, const std::vector<std::int32_t>& volumes) {
  const VolumeScale scale = choice.ScaleFor(volumes);
  const std::wstring name = LoadCommandString(STR_SCALE_NAME_FIRST + static_cast<UINT>(scale));
  return choice.scale ? name : FormatCommandStrings(STR_AMBIENCE_SCALE_GUESSED, {name});
}

}  // namespace

AmbiencePreview::AmbiencePreview(Host host, const AmbienceChoice& choice, AmbiencePlayer::OutputFactory makeOutput)
    : host_(std::move(host)), choice_(choice), player_(std::move(makeOutput)), sounds_(Win32SoundFileReader()) {}

bool AmbiencePreview::OnCommand(UINT id, const std::optional<AmbienceExportSource>& document) {
  if (id != CMD_AMBIENCE_PLAY) return false;
  if (player_.IsPlaying()) {
    Stop();
  } else if (!document) {
    RefusalBeep();
  } else {
    Start(*document);
  }
  return true;
}

void AmbiencePreview::UpdateStates(CommandStateMap& states, bool documentOpen) const {
  states.EnableCommand(CMD_AMBIENCE_PLAY, documentOpen || player_.IsPlaying());
  states.SetCommandCheck(CMD_AMBIENCE_PLAY, player_.IsPlaying() ? 1 : 0);
}

void AmbiencePreview::Stop() {
  if (!player_.IsPlaying()) return;
  player_.Stop();
  host_.tell(LoadCommandString(STR_AMBIENCE_STOPPED));
}

void AmbiencePreview::Start(const AmbienceExportSource& document) {
  host_.stopOtherSound();
  const AmbienceSounds sounds = LoadAmbienceSounds(document.entries, document.soundFolder, choice_.time, sounds_);
  auto stream = std::make_unique<AmbienceStream>(choice_.time, choice_.ScaleFor(VolumesOf(document.entries)),
                                                 choice_.seed);
  stream->Update(document.entries, sounds);
  if (!player_.Start(std::move(stream))) {
    const MMRESULT error = player_.LastError();
    host_.tell(error == MMSYSERR_NODRIVER || error == MMSYSERR_BADDEVICEID
                   ? LoadCommandString(STR_SOUND_NO_DEVICE)
                   : FormatCommandStrings(STR_SOUND_DEVICE_ERROR, {std::to_wstring(error)}));
    return;
  }
  entriesKey_ = AmbienceEntriesKey(document);
  choiceKey_ = ChoiceKey();
  const std::wstring time = LoadCommandString(STR_AMBIENCE_TIME_FIRST + static_cast<UINT>(choice_.time));
  host_.tell(FormatCommandStrings(STR_AMBIENCE_PLAYING, {time, ScaleDescription(choice_, VolumesOf(document.entries))}));
}

void AmbiencePreview::Follow(const std::optional<AmbienceExportSource>& document) {
  if (!player_.IsPlaying()) return;
  if (!document) {
    Stop();
    return;
  }
  if (ChoiceKey() != choiceKey_) {
    Start(*document);
    return;
  }
  const std::wstring key = AmbienceEntriesKey(*document);
  if (key == entriesKey_) return;
  entriesKey_ = key;
  const AmbienceSounds sounds = LoadAmbienceSounds(document->entries, document->soundFolder, choice_.time, sounds_);
  const VolumeScale scale = choice_.ScaleFor(VolumesOf(document->entries));
  player_.Change([&](AmbienceStream& stream) {
    stream.SetScale(scale);
    stream.Update(document->entries, sounds);
  });
}

std::int64_t AmbiencePreview::HeardMs() const {
  const std::int64_t frame = player_.IsPlaying() ? player_.HeardFrame() : -1;
  return frame < 0 ? -1 : frame * 1000 / AmbienceRate;
}

// Another time of day, seed or scale is another realization: the stream starts anew.
std::wstring AmbiencePreview::ChoiceKey() const {
  return std::to_wstring(static_cast<int>(choice_.time)) + L"|" + std::to_wstring(choice_.seed) + L"|" +
         std::to_wstring(choice_.scale ? static_cast<int>(*choice_.scale) : -1);
}
