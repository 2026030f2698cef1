#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "commands/CommandStrings.h"
#include "editor/AmbientView.h"
#include "panes/TimelinePane.h"
#include "preview/AmbiencePreview.h"
#include "resources/ResourceIds.h"
#include "sound/WaveOutput.h"

namespace {

using AmbienceFrame = FrameTest;

TimelinePane* FindTimeline(HWND frame) {
  HWND pane = FindWindowExW(frame, nullptr, L"Sonarwick_TimelinePane", nullptr);
  return pane != nullptr ? dynamic_cast<TimelinePane*>(Window::FromHandle(pane)) : nullptr;
}

std::vector<int> LaneEntries(const TimelinePane& pane) {
  std::vector<int> entries;
  for (const TimelineLane& lane : pane.Model().lanes) entries.push_back(lane.entry);
  return entries;
}

// The preview's sounds are read on a thread of their own: the frame pumps until what they
// bring shows, or gives up after a few seconds.
bool PumpFrameUntil(const std::function<void()>& pump, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done() && std::chrono::steady_clock::now() < end) pump();
  return done();
}

// A sound card that takes the blocks and never plays them: the preview stays where its queue
// ends, 200 ms in, until it is stopped and every block comes back, or until it is given up on.
// One that keeps time has no speaker either, but hands each block back once the time it takes to
// play has passed, as a real card does, so the preview plays on for as long as a test needs.
class HeldOutput : public WaveOutput {
 public:
  explicit HeldOutput(bool keepsTime = false) : keepsTime_(keepsTime) {}
  WaveResult Open(const WaveFormat& format, WaveSignal& bufferDone) override {
    done_ = &bufferDone;
    samplesPerSecond_ = static_cast<double>(format.channels) * format.sampleRate;
    return WaveOk;
  }
  WaveResult Prepare(WaveBuffer&) override { return WaveOk; }
  WaveResult Write(WaveBuffer& buffer) override {
    if (!keepsTime_) return WaveOk;
    std::lock_guard lock(mutex_);
    const auto length = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(buffer.count) / samplesPerSecond_));
    queueEnd_ = std::max(queueEnd_, Clock::now()) + length;
    back_[buffer.samples] = queueEnd_;
    return WaveOk;
  }
  bool Done(const WaveBuffer& buffer) const override {
    std::lock_guard lock(mutex_);
    const auto found = back_.find(buffer.samples);
    return reset_ || (found != back_.end() && Clock::now() >= found->second);
  }
  WaveResult Unprepare(WaveBuffer&) override { return WaveOk; }
  void Reset() override {
    std::lock_guard lock(mutex_);
    reset_ = true;
    done_->Set();
  }
  void Close() override {}

 private:
  using Clock = std::chrono::steady_clock;
  // Before a reset only what has had its time comes back, if the card keeps time; after it, everything.
  mutable std::mutex mutex_;
  WaveSignal* done_ = nullptr;
  bool keepsTime_ = false;
  bool reset_ = false;
  double samplesPerSecond_ = 0;
  Clock::time_point queueEnd_{};
  std::map<const std::int16_t*, Clock::time_point> back_;
};

void AppendInt(std::vector<char>& bytes, std::int32_t value, int size) {
  for (int index = 0; index < size; ++index) bytes.push_back(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// A list whose entries all repeat every 100 ms at `volume`, with the given names and times.
std::vector<char> ListBytes(const std::vector<std::pair<std::string, int>>& entries, int volume = 100) {
  std::vector<char> bytes;
  AppendInt(bytes, static_cast<std::int32_t>(entries.size()), 2);
  for (const auto& [name, time] : entries) {
    AppendInt(bytes, 100, 4);
    AppendInt(bytes, 100, 4);
    AppendInt(bytes, time, 1);
    std::vector<char> field(103, '\0');
    std::memcpy(field.data(), name.data(), name.size());
    bytes.insert(bytes.end(), field.begin(), field.end());
    AppendInt(bytes, volume, 4);
  }
  return bytes;
}

// A second of a 440 Hz tone, 16-bit mono at 22,050 Hz.
std::vector<char> ToneBytes() {
  constexpr int rate = 22050;
  std::vector<char> bytes = {'R', 'I', 'F', 'F'};
  AppendInt(bytes, 36 + rate * 2, 4);
  for (char c : std::string("WAVEfmt ")) bytes.push_back(c);
  AppendInt(bytes, 16, 4);
  AppendInt(bytes, 1, 2);
  AppendInt(bytes, 1, 2);
  AppendInt(bytes, rate, 4);
  AppendInt(bytes, rate * 2, 4);
  AppendInt(bytes, 2, 2);
  AppendInt(bytes, 16, 2);
  for (char c : std::string("data")) bytes.push_back(c);
  AppendInt(bytes, rate * 2, 4);
  for (int frame = 0; frame < rate; ++frame)
    AppendInt(bytes, static_cast<std::int32_t>(12000 * std::sin(frame * 2 * 3.14159265 * 440 / rate)), 2);
  return bytes;
}

// The sample holds one entry per time of day: dawn, day, sunset, night.
TEST_F(AmbienceFrame, TheTimelineShowsTheChosenTimeAndSelectsWhatIsClicked) {
  ASSERT_TRUE(frame->OpenDocument(CopyOfSample(L"four-times-of-day.bad")));
  EXPECT_EQ(FindTimeline(Hwnd()), nullptr) << "the pane is made only when first shown";
  Command(CMD_VIEW_TIMELINE);
  Pump();
  TimelinePane* pane = FindTimeline(Hwnd());
  ASSERT_NE(pane, nullptr);
  PumpFrameUntil([this] { Pump(); }, [pane] { return !pane->Model().lanes.empty(); });
  ASSERT_TRUE(IsWindowVisible(pane->Handle()));
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_TIMELINE));
  // The documents end above the pane; neither covers the other.
  EXPECT_LE(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).top);
  EXPECT_EQ(LaneEntries(*pane), std::vector<int>{1}) << "day is heard first";

  Command(CMD_AMBIENCE_NIGHT);
  PumpFrameUntil([this] { Pump(); }, [pane] { return LaneEntries(*pane) == std::vector<int>{3}; });
  EXPECT_EQ(LaneEntries(*pane), std::vector<int>{3});
  const std::vector<AmbiencePlay> before = pane->Model().plays;
  ASSERT_FALSE(before.empty());
  Command(CMD_AMBIENCE_RESHUFFLE);
  PumpFrameUntil([this] { Pump(); }, [&] { return pane->Model().plays != before; });
  EXPECT_NE(pane->Model().plays, before) << "a new seed draws new repeat times";

  // A click on a lane reaches the frame as its entry, which the document selects.
  NMTIMELINE notice{};
  notice.hdr = {pane->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(pane->Handle())), TIMELINEN_SELECTENTRY};
  notice.entry = 3;
  notice.play = -1;
  SendMessageW(Hwnd(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(frame->ActiveView()->GetSelectedEntry(), 3);

  Command(CMD_VIEW_TIMELINE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(pane->Handle()));
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_TIMELINE));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).bottom) << "the documents take its room";
}

// Play Ambience at night: the toolbar button is pressed, the night's entries with a sound show
// the speaker mark and no other does, the status bar names the volume scale the list is heard
// in, and Play Ambience again takes the marks off and lets the button up.
TEST_F(AmbienceFrame, PlayAmbienceMarksTheEntriesHeardNow) {
  WriteFileBytes(TempFile(L"tone.wav"), ToneBytes());
  const std::wstring list = TempFile(L"marks.bad");
  WriteFileBytes(list, ListBytes({{"tone.wav", 3}, {"tone.wav", 0}, {"tone.wav", 3}, {"gone.wav", 3}}));
  Command(CMD_VIEW_SOUND_FOLDER_AUTO);
  ASSERT_TRUE(frame->OpenDocument(list));
  Pump();
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  wchar_t volume[256]{};
  SendMessageW(frame->StatusBarWindow(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(volume));
  EXPECT_EQ(std::wstring(volume), RussianInterface() ? L"Громкость: проценты (угадано)" : L"Volume: percent (guessed)");
  Command(CMD_AMBIENCE_SCALE_BYTE);
  SendMessageW(frame->StatusBarWindow(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(volume));
  EXPECT_EQ(std::wstring(volume), RussianInterface() ? L"Громкость: 0-255" : L"Volume: 0-255");

  frame->Preview().UseOutput([] { return std::make_unique<HeldOutput>(); });
  Command(CMD_AMBIENCE_NIGHT);
  Command(CMD_AMBIENCE_PLAY);
  EXPECT_TRUE(SendMessageW(frame->ToolbarWindow(), TB_ISBUTTONCHECKED, CMD_AMBIENCE_PLAY, 0)) << "pressed while it plays";
  EXPECT_TRUE(PumpFrameUntil([this] { Pump(); }, [view] { return !view->GetRowMarks().empty(); }));
  // Every night entry starts within its first 100 ms and sounds for a second.
  EXPECT_EQ(view->GetRowMarks(), (std::vector<int>{0, 2})) << "the night's entries that have a sound";
  EXPECT_TRUE(frame->Preview().IsPlaying());

  Command(CMD_AMBIENCE_PLAY);
  EXPECT_TRUE(PumpFrameUntil([this] { Pump(); }, [view] { return view->GetRowMarks().empty(); }));
  EXPECT_FALSE(SendMessageW(frame->ToolbarWindow(), TB_ISBUTTONCHECKED, CMD_AMBIENCE_PLAY, 0));
}

// The status bar names what plays now: after the playing tab closes, the list that takes its place
// and its own volume scale; a list whose sounds cannot be found says why it is silent.
TEST_F(AmbienceFrame, PlayAmbienceSaysWhatItPlaysNow) {
  const bool russian = RussianInterface();
  const std::wstring percent =
      russian ? L"Звучит атмосфера (ночь), громкость — проценты (по значениям списка): правки "
                L"слышны с очередного запуска каждой записи."
              : L"Playing the ambience at night, volumes in percent (guessed from the list): "
                L"edits are heard at each entry's next start.";
  const std::wstring bytes =
      russian ? L"Звучит атмосфера (ночь), громкость — от 0 до 255 (по значениям списка): правки "
                L"слышны с очередного запуска каждой записи."
              : L"Playing the ambience at night, volumes in 0 to 255 (guessed from the list): "
                L"edits are heard at each entry's next start.";
  const std::wstring noFolder =
      russian ? L"Атмосфера (ночь) беззвучна: папка звуков не известна. Выберите её в меню "
                L"Вид > Папка звуков."
              : L"The ambience at night is silent: no sound folder is known. Choose one with "
                L"View > Sound Folder.";
  WriteFileBytes(TempFile(L"tone.wav"), ToneBytes());
  const std::wstring quiet = TempFile(L"quiet.bad"), loud = TempFile(L"loud.bad");
  WriteFileBytes(quiet, ListBytes({{"tone.wav", 3}, {"tone.wav", 3}}, 80));
  WriteFileBytes(loud, ListBytes({{"tone.wav", 3}, {"tone.wav", 3}}, 200));
  Command(CMD_VIEW_SOUND_FOLDER_AUTO);
  frame->Preview().UseOutput([] { return std::make_unique<HeldOutput>(true); });
  ASSERT_TRUE(frame->OpenDocument(quiet));
  ASSERT_TRUE(frame->OpenDocument(loud));
  Pump();
  Command(CMD_AMBIENCE_NIGHT);
  Command(CMD_AMBIENCE_PLAY);
  EXPECT_TRUE(PumpFrameUntil([this] { Pump(); }, [&] { return StatusShows(bytes); })) << StatusText();
  Command(CMD_WINDOW_CLOSE);
  EXPECT_TRUE(PumpFrameUntil([this] { Pump(); }, [&] { return StatusShows(percent); })) << StatusText();
  EXPECT_TRUE(frame->Preview().IsPlaying());
  Command(CMD_AMBIENCE_PLAY);

  // Names nobody finds: the folder search finds no folder, and the preview plays silence.
  const std::wstring lost = TempFile(L"lost.bad");
  WriteFileBytes(lost, ListBytes({{"nowhere\\a.wav", 3}, {"nowhere\\b.wav", 3}}));
  ASSERT_TRUE(frame->OpenDocument(lost));
  Pump();
  Command(CMD_AMBIENCE_PLAY);
  EXPECT_TRUE(PumpFrameUntil([this] { Pump(); }, [&] { return StatusShows(noFolder); })) << StatusText();
  Command(CMD_AMBIENCE_PLAY);
}

// A sound that takes long to read holds neither the window nor Stop: Play Ambience returns at
// once and says it is reading the sounds, Stop ends the wait at once, and once the sounds are
// read the preview plays them by itself on the idle pass.
TEST_F(AmbienceFrame, PlayAmbienceWaitsForItsSoundsWithoutHoldingTheWindow) {
  const std::vector<char> tone = ToneBytes();
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SoundFileReader slow;
  slow.stamp = [size = tone.size()](const std::wstring&) { return std::optional(SoundFileStamp{size, 1}); };
  slow.read = [tone, release](const std::wstring&) {
    WaitForSingleObject(release, 10000);
    std::vector<std::byte> bytes(tone.size());
    std::memcpy(bytes.data(), tone.data(), tone.size());
    return std::optional(bytes);
  };
  auto loader = std::make_unique<AmbienceSoundLoader>(nullptr, slow);
  AmbienceChoice choice;
  choice.time = TimeOfDay::Night;
  std::vector<std::wstring> told;
  AmbiencePreview preview({Hwnd(), [&told](const std::wstring& text) { told.push_back(text); }, [] {}}, choice,
                          *loader, [] { return std::make_unique<HeldOutput>(); });
  AmbienceExportSource source;
  source.entries = {AmbientEntryValues{L"tone.wav", 100, 100, 3, 100}};
  source.soundFolder = L"C:\\sounds";
  const std::wstring reading =
      FormatCommandStrings(STR_AMBIENCE_PREPARING, {LoadCommandString(STR_AMBIENCE_TIME_FIRST + 3)});

  const auto asked = std::chrono::steady_clock::now();
  preview.OnCommand(CMD_AMBIENCE_PLAY, source);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2)) << "the read held the window";
  EXPECT_TRUE(preview.IsWaitingForSounds());
  EXPECT_TRUE(preview.IsPlaying()) << "Play Ambience is on while it waits";
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back(), reading);
  preview.Stop();
  EXPECT_FALSE(preview.IsPlaying());
  EXPECT_EQ(told.back(), LoadCommandString(STR_AMBIENCE_STOPPED));

  preview.OnCommand(CMD_AMBIENCE_PLAY, source);
  EXPECT_TRUE(preview.IsWaitingForSounds());
  SetEvent(release);
  EXPECT_TRUE(PumpFrameUntil([&] { preview.Follow(source); }, [&] { return !preview.IsWaitingForSounds(); }));
  EXPECT_NE(told.back(), reading);
  EXPECT_TRUE(PumpFrameUntil([] { Sleep(1); }, [&] { return preview.SoundingEntries() == std::vector<int>{0}; }));
  // This card hands nothing back until it is reset: after a bounded wait the preview gives up
  // on it and says so, once.
  EXPECT_TRUE(PumpFrameUntil([&] { preview.TellWhyItEnded(); }, [&] { return !preview.IsPlaying(); }));
  preview.TellWhyItEnded();
  EXPECT_EQ(told.back(), LoadCommandString(STR_AMBIENCE_DEVICE_STUCK));
  const std::size_t toldCount = told.size();
  preview.TellWhyItEnded();
  EXPECT_EQ(told.size(), toldCount);
  preview.Stop();
  CloseHandle(release);
}

std::uint32_t Little32(const std::vector<char>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t index = 0; index < 4; ++index)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + index])) << (8 * index);
  return value;
}

std::vector<std::wstring> FolderContents(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// The export never writes over an open list, under any spelling; it writes the file whole beside
// its target, leaving nothing else; and the status says what became of every attempt.
TEST_F(AmbienceFrame, ExportNeverWritesOverAnOpenListAndSaysWhatBecameOfIt) {
  const std::wstring list = CopyOfSample(L"four-times-of-day.bad");
  const std::wstring other = CopyOfSample(L"extreme-numbers.bad");
  const std::vector<char> listBytes = ReadFileBytes(list);
  OpenFile(list);
  OpenFile(other);

  // The list behind the front one, in capitals: Yes to the platform's "replace?" is refused.
  std::wstring shouted = list;
  CharUpperW(shouted.data());
  ModalScript overList;
  std::wstring refusal;
  AnswerFileDialog(overList, shouted);
  auto confirm = std::make_shared<HWND>(nullptr);
  overList.Then(
      [confirm] { return (*confirm = FindThreadDialog()) != nullptr && GetDlgItem(*confirm, IDYES); },
      [confirm] { PostMessageW(*confirm, WM_COMMAND, IDYES, 0); });
  ReadAndCloseMessageBox(overList, refusal);
  CommandWithScript(CMD_FILE_EXPORT_AMBIENCE, overList);
  EXPECT_NE(refusal.find(LoadCommandString(STR_EXPORT_OVER_DOCUMENT)), std::wstring::npos) << refusal;
  EXPECT_EQ(ReadFileBytes(list), listBytes);
  EXPECT_EQ(StatusText(), LoadCommandString(STR_EXPORT_NOT_DONE));

  // A minute of 16-bit stereo at 44.1 kHz, as any WAV reader finds it, and no temporary left.
  const std::wstring sound = TempFile(L"night.wav");
  ModalScript exported;
  AnswerFileDialog(exported, sound);
  CommandWithScript(CMD_FILE_EXPORT_AMBIENCE, exported);
  const std::vector<char> wav = ReadFileBytes(sound);
  ASSERT_EQ(wav.size(), 44u + 60u * 44100u * 4u);
  EXPECT_EQ(std::string(wav.data(), 4) + std::string(wav.data() + 8, 8), "RIFFWAVEfmt ");
  EXPECT_EQ(Little32(wav, 4), wav.size() - 8);
  EXPECT_EQ(Little32(wav, 20), 1u | (2u << 16)) << "PCM, two channels";
  EXPECT_EQ(Little32(wav, 24), 44100u);
  EXPECT_EQ(Little32(wav, 32), 4u | (16u << 16)) << "4 bytes a frame, 16 bits";
  EXPECT_EQ(Little32(wav, 40), wav.size() - 44);
  EXPECT_EQ(FolderContents(folder),
            (std::vector<std::wstring>{L"extreme-numbers.bad", L"four-times-of-day.bad", L"night.wav"}));
  EXPECT_EQ(StatusText().find(L"night.wav") != std::wstring::npos, true) << StatusText();

  // A cancel leaves no "Exported" behind it.
  ModalScript cancelled;
  auto dialog = std::make_shared<HWND>(nullptr);
  cancelled.Then([dialog] { return (*dialog = FindThreadDialog()) != nullptr; },
                 [dialog] { PostMessageW(*dialog, WM_COMMAND, IDCANCEL, 0); });
  CommandWithScript(CMD_FILE_EXPORT_AMBIENCE, cancelled);
  EXPECT_EQ(StatusText(), LoadCommandString(STR_EXPORT_CANCELLED));

  // A time at which nothing plays would be a file of silence: asked first, and No writes nothing.
  Command(CMD_FILE_NEW);
  Command(CMD_AMBIENCE_NIGHT);
  ModalScript silence;
  std::wstring question;
  ReadAndCloseMessageBox(silence, question, IDNO);
  CommandWithScript(CMD_FILE_EXPORT_AMBIENCE, silence);
  EXPECT_EQ(question,
            FormatCommandStrings(STR_EXPORT_NO_ENTRIES, {LoadCommandString(STR_AMBIENCE_TIME_FIRST + 3)}));
  EXPECT_EQ(StatusText(), LoadCommandString(STR_EXPORT_CANCELLED));
  EXPECT_EQ(FolderContents(folder).size(), 3u);
}

}  // namespace
