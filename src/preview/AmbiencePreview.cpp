#include "preview/AmbiencePreview.h"

#include <mmsystem.h>

#include "ambience/AmbienceFormat.h"
#include "commands/CommandStrings.h"
#include "preview/AmbienceCommands.h"
#include "resources/ResourceIds.h"
#include "win/RefusalBeep.h"

namespace {

std::vector<std::int32_t> VolumesOf(const std::vector<AmbientEntryValues>& entries) {
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : entries) volumes.push_back(entry.volume);
  return volumes;
}

AmbienceSoundLoader::Request RequestOf(const AmbienceExportSource& document, TimeOfDay time) {
  return {document.entries, document.soundFolder, time};
}

}  // namespace

AmbiencePreview::AmbiencePreview(Host host, const AmbienceChoice& choice, AmbienceSoundLoader& loader,
                                 AmbiencePlayer::OutputFactory makeOutput)
    : host_(std::move(host)), choice_(choice), loader_(loader), player_(std::move(makeOutput)) {}

bool AmbiencePreview::OnCommand(UINT id, const std::optional<AmbienceExportSource>& document) {
  if (id != CMD_AMBIENCE_PLAY) return false;
  if (IsPlaying()) {
    Stop();
  } else if (!document) {
    RefusalBeep();
  } else {
    Start(*document);
  }
  return true;
}

void AmbiencePreview::UpdateStates(CommandStateMap& states, bool documentOpen) const {
  states.EnableCommand(CMD_AMBIENCE_PLAY, documentOpen || IsPlaying());
  states.SetCommandCheck(CMD_AMBIENCE_PLAY, IsPlaying() ? 1 : 0);
}

void AmbiencePreview::Stop() {
  if (!IsPlaying()) return;
  waiting_ = false;
  player_.Stop();
  host_.tell(LoadCommandString(STR_AMBIENCE_STOPPED));
}

void AmbiencePreview::Start(const AmbienceExportSource& document) {
  host_.stopOtherSound();
  player_.Stop();
  waiting_ = true;
  choiceKey_ = ChoiceKey();
  StartWhenReady(document);
  // Sounds not yet decoded are a wait the user is told of; ones in hand start at once.
  if (waiting_) {
    const std::wstring time = LoadCommandString(STR_AMBIENCE_TIME_FIRST + static_cast<UINT>(choice_.time));
    host_.tell(FormatCommandStrings(STR_AMBIENCE_PREPARING, {time}));
  }
}

void AmbiencePreview::StartWhenReady(const AmbienceExportSource& document) {
  const std::optional<AmbienceSounds> sounds = loader_.Sounds(AmbienceSoundLoader::Slot::Preview,
                                                              RequestOf(document, choice_.time));
  if (!sounds) return;
  waiting_ = false;
  auto stream = std::make_unique<AmbienceStream>(choice_.time, choice_.ScaleFor(VolumesOf(document.entries)),
                                                 choice_.seed);
  stream->Update(document.entries, *sounds, document.identities);
  stream->KeepPlaysBefore(FramesOfMs(static_cast<std::int64_t>(choice_.spanSeconds) * 1000));
  if (!player_.Start(std::move(stream))) {
    const WaveResult error = player_.LastError();
    host_.tell(error == MMSYSERR_NODRIVER || error == MMSYSERR_BADDEVICEID
                   ? LoadCommandString(STR_SOUND_NO_DEVICE)
                   : FormatCommandStrings(STR_SOUND_DEVICE_ERROR, {std::to_wstring(error)}));
    return;
  }
  entriesKey_ = AmbienceEntriesKey(document);
  ++generation_;
  told_.clear();
  TellWhatPlays(document, *sounds);
}

// What plays now, or why nothing is heard; told again whenever that changes (another tab's list,
// another guessed scale, the last playable sound gone), and only then.
void AmbiencePreview::TellWhatPlays(const AmbienceExportSource& document, const AmbienceSounds& sounds) {
  const std::wstring time = LoadCommandString(STR_AMBIENCE_TIME_FIRST + static_cast<UINT>(choice_.time));
  int atThisTime = 0;
  for (const AmbientEntryValues& entry : document.entries)
    atThisTime += TimeOfDayFromByte(entry.timeOfDay) == choice_.time;
  std::wstring text;
  if (atThisTime == 0) {
    text = FormatCommandStrings(STR_AMBIENCE_SILENT_NO_ENTRIES, {time});
  } else if (document.soundFolder.empty()) {
    text = FormatCommandStrings(STR_AMBIENCE_SILENT_NO_FOLDER, {time});
  } else if (static_cast<int>(sounds.problems.size()) >= atThisTime) {
    text = FormatCommandStrings(STR_AMBIENCE_SILENT_UNPLAYABLE, {time, std::to_wstring(atThisTime)});
  } else {
    text = FormatCommandStrings(STR_AMBIENCE_PLAYING,
                                {time, DescribeVolumeScale(choice_, VolumesOf(document.entries))});
  }
  if (text == told_) return;
  told_ = text;
  host_.tell(text);
}

// A device that failed or kept its buffers has ended the preview on its own: say why, once.
void AmbiencePreview::TellWhyItEnded() {
  const std::optional<AmbiencePlayer::Fault> fault = player_.TakeFault();
  if (!fault) return;
  host_.tell(fault->ending == WaveFeed::Ending::DeviceStuck
                 ? LoadCommandString(STR_AMBIENCE_DEVICE_STUCK)
                 : FormatCommandStrings(STR_AMBIENCE_DEVICE_FAILED, {std::to_wstring(fault->error)}));
}

void AmbiencePreview::Follow(const std::optional<AmbienceExportSource>& document) {
  if (!IsPlaying()) return;
  if (!document) {
    Stop();
    return;
  }
  if (ChoiceKey() != choiceKey_) {
    Start(*document);
    return;
  }
  if (waiting_) {
    StartWhenReady(*document);
    return;
  }
  const std::wstring key = AmbienceEntriesKey(*document);
  if (key == entriesKey_) return;
  // A newly named file is decoded on the loader's thread; the edit is taken on the idle pass
  // after it is done, and until then the stream plays what it had.
  const std::optional<AmbienceSounds> sounds = loader_.Sounds(AmbienceSoundLoader::Slot::Preview,
                                                              RequestOf(*document, choice_.time));
  if (!sounds) return;
  entriesKey_ = key;
  const VolumeScale scale = choice_.ScaleFor(VolumesOf(document->entries));
  player_.Change([&](AmbienceStream& stream) {
    stream.SetScale(scale);
    stream.Update(document->entries, *sounds, document->identities);
  });
  ++generation_;
  TellWhatPlays(*document, *sounds);
}

std::optional<std::vector<AmbiencePlay>> AmbiencePreview::HeardRealization(
    const AmbienceExportSource& document, std::int64_t spanMs) {
  if (!player_.IsPlaying() || waiting_ || AmbienceEntriesKey(document) != entriesKey_) return std::nullopt;
  std::vector<AmbiencePlay> plays;
  player_.Change([&](AmbienceStream& stream) {
    stream.KeepPlaysBefore(FramesOfMs(spanMs));
    plays = stream.Realization(FramesOfMs(spanMs));
  });
  return plays;
}

std::int64_t AmbiencePreview::HeardMs() const {
  const std::int64_t frame = player_.IsPlaying() ? player_.HeardFrame() : -1;
  return frame < 0 ? -1 : frame * 1000 / AmbienceRate;
}

void AmbiencePreview::MarkSounding(PropertyGrid* grid) {
  const HWND handle = grid != nullptr ? grid->Handle() : nullptr;
  if (markedGrid_ != nullptr && markedGrid_ != handle && IsWindow(markedGrid_)) {
    if (auto* before = dynamic_cast<PropertyGrid*>(Window::FromHandle(markedGrid_))) before->SetRowMarks({});
  }
  markedGrid_ = handle;
  if (grid != nullptr) grid->SetRowMarks(player_.IsPlaying() ? player_.SoundingEntries() : std::vector<int>{});
}

// Another time of day, seed or scale is another realization: the stream starts anew.
std::wstring AmbiencePreview::ChoiceKey() const {
  return std::to_wstring(static_cast<int>(choice_.time)) + L"|" + std::to_wstring(choice_.seed) + L"|" +
         std::to_wstring(choice_.scale ? static_cast<int>(*choice_.scale) : -1);
}
