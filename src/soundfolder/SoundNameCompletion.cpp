#include "soundfolder/SoundNameCompletion.h"

// clang-format off
#include <windows.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <string_view>
#include <memory>
#include <utility>

#include "win/Window.h"

namespace {

bool IsSoundFileName(const wchar_t* name) {
  const std::size_t length = std::wcslen(name);
  if (length < 4) return false;
  const wchar_t* extension = name + length - 4;
  return CompareStringOrdinal(extension, 4, L".ogg", 4, TRUE) == CSTR_EQUAL ||
         CompareStringOrdinal(extension, 4, L".wav", 4, TRUE) == CSTR_EQUAL;
}

bool IsDotName(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

struct Walk {
  std::wstring root;
  std::size_t maxCount;
  int maxDepth;
  std::vector<std::wstring> found;
  // Everything looked at, sound or not: a tree of other files (a whole drive picked by mistake)
  // ends the walk as surely as many sounds do.
  std::size_t seen = 0;
  bool Full() const { return found.size() >= maxCount || seen >= maxCount * 10; }
};

// `relative` is empty for the folder itself, or ends with `\`.
void ListFolder(Walk& walk, const std::wstring& relative, int depth) {
  WIN32_FIND_DATAW data{};
  const std::wstring pattern = walk.root + relative + L"*";
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> folders;
  do {
    ++walk.seen;
    if (IsDotName(data.cFileName)) continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) folders.push_back(data.cFileName);
    } else if (IsSoundFileName(data.cFileName)) {
      walk.found.push_back(relative + data.cFileName);
    }
  } while (!walk.Full() && FindNextFileW(search, &data));
  FindClose(search);
  if (depth >= walk.maxDepth) return;
  for (const std::wstring& folder : folders) {
    if (walk.Full()) return;
    ListFolder(walk, relative + folder + L"\\", depth + 1);
  }
}

bool LessWithoutCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_LESS_THAN;
}

}  // namespace

std::vector<std::wstring> ListSoundFiles(const std::wstring& folder, std::size_t maxCount, int maxDepth) {
  Walk walk{folder, maxCount, maxDepth, {}};
  if (folder.empty() || maxCount == 0) return {};
  if (walk.root.back() != L'\\' && walk.root.back() != L'/') walk.root += L'\\';
  ListFolder(walk, L"", 0);
  std::sort(walk.found.begin(), walk.found.end(), LessWithoutCase);
  return std::move(walk.found);
}

namespace {

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view start) {
  return start.size() <= text.size() &&
         (start.empty() || CompareStringOrdinal(text.data(), static_cast<int>(start.size()), start.data(),
                                                static_cast<int>(start.size()), TRUE) == CSTR_EQUAL);
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

bool NameMatchesTyped(const std::wstring& typed, const std::wstring& name) {
  std::size_t typedPart = 0, namePart = 0;
  for (;;) {
    std::size_t typedEnd = typedPart, nameEnd = namePart;
    while (typedEnd < typed.size() && !IsPathSeparator(typed[typedEnd])) ++typedEnd;
    while (nameEnd < name.size() && !IsPathSeparator(name[nameEnd])) ++nameEnd;
    if (!StartsWithNoCase(std::wstring_view(name).substr(namePart, nameEnd - namePart),
                          std::wstring_view(typed).substr(typedPart, typedEnd - typedPart)))
      return false;
    if (typedEnd == typed.size()) return true;
    // The typed text goes on into a folder the name does not have.
    if (nameEnd == name.size()) return false;
    typedPart = typedEnd + 1;
    namePart = nameEnd + 1;
  }
}

SoundNameEnumerator::SoundNameEnumerator(SoundNameList names, ULONG position, HWND edit)
    : names_(std::move(names)), edit_(edit), position_(position) {
  ++liveObjects_;
  TakeMatches();
}

void SoundNameEnumerator::TakeMatches() {
  const std::wstring typed = edit_ != nullptr && IsWindow(edit_) ? TextOf(edit_) : std::wstring();
  shown_.clear();
  for (const std::wstring& name : *names_) {
    if (StartsWithNoCase(name, typed)) shown_.push_back(&name);
  }
  // The names the text only abbreviates come after those it begins, which the box completes.
  for (const std::wstring& name : *names_) {
    if (!StartsWithNoCase(name, typed) && NameMatchesTyped(typed, name)) shown_.push_back(&name);
  }
}

SoundNameEnumerator::~SoundNameEnumerator() { --liveObjects_; }

HRESULT SoundNameEnumerator::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumString)) {
    *object = static_cast<IEnumString*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG SoundNameEnumerator::AddRef() { return ++references_; }

ULONG SoundNameEnumerator::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT SoundNameEnumerator::Next(ULONG count, LPOLESTR* names, ULONG* fetched) {
  if (names == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
  ULONG given = 0;
  while (given < count && position_ < shown_.size()) {
    const std::wstring& name = *shown_[position_];
    const std::size_t bytes = (name.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (copy == nullptr) {
      // The caller owns only what it was told it got: nothing, then.
      while (given > 0) CoTaskMemFree(names[--given]);
      if (fetched != nullptr) *fetched = 0;
      return E_OUTOFMEMORY;
    }
    std::memcpy(copy, name.c_str(), bytes);
    names[given++] = copy;
    ++position_;
  }
  if (fetched != nullptr) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

HRESULT SoundNameEnumerator::Skip(ULONG count) {
  const auto size = static_cast<ULONG>(shown_.size());
  const bool whole = count <= size - std::min(position_, size);
  position_ = whole ? position_ + count : size;
  return whole ? S_OK : S_FALSE;
}

HRESULT SoundNameEnumerator::Reset() {
  position_ = 0;
  TakeMatches();
  return S_OK;
}

HRESULT SoundNameEnumerator::Clone(IEnumString** copy) {
  if (copy == nullptr) return E_POINTER;
  auto* clone = new (std::nothrow) SoundNameEnumerator(names_, 0, edit_);
  if (clone != nullptr) clone->position_ = std::min<ULONG>(position_, static_cast<ULONG>(clone->shown_.size()));
  *copy = clone;
  return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
}

namespace {

// Keeps the system's completion on the text box's text as it changes. The system filters the
// names by their beginning and reads them once; a text that begins no name is let through
// unfiltered (the enumerator then offers the names it abbreviates), and every change of the
// text has the names read again. It sits below the completion's own hook, so the completion
// sees the new text and the names for it as it works on the keystroke.
struct TypingFollower {
  IAutoComplete2* completion = nullptr;
  IAutoCompleteDropDown* dropDown = nullptr;
  SoundNameList names;
  std::wstring text;
  bool busy = false;
};

constexpr UINT_PTR kFollowTypingId = 1;

void FollowText(TypingFollower& follower, const std::wstring& text) {
  const bool begun =
      std::any_of(follower.names->begin(), follower.names->end(),
                  [&](const std::wstring& name) { return StartsWithNoCase(name, text); });
  follower.completion->SetOptions(ACO_AUTOSUGGEST | ACO_AUTOAPPEND | (begun ? 0 : ACO_NOPREFIXFILTERING));
  follower.dropDown->ResetEnumerator();
}

LRESULT CALLBACK FollowTyping(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* follower = reinterpret_cast<TypingFollower*>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(edit, FollowTyping, kFollowTypingId);
    follower->dropDown->Release();
    follower->completion->Release();
    delete follower;
    return DefSubclassProc(edit, msg, wParam, lParam);
  }
  const LRESULT result = DefSubclassProc(edit, msg, wParam, lParam);
  // What the user types or deletes; the completion's own changes of the text are its business.
  if ((msg == WM_CHAR || msg == WM_KEYDOWN || msg == WM_PASTE || msg == WM_CUT) && !follower->busy) {
    follower->busy = true;
    Window::Guard(edit, msg, false, [&] {
      std::wstring text = TextOf(edit);
      if (text != follower->text) FollowText(*follower, follower->text = std::move(text));
      return true;
    });
    follower->busy = false;
  }
  return result;
}

}  // namespace

bool AttachNameCompletion(HWND edit, SoundNameList names) {
  if (!IsWindow(edit) || names == nullptr) return false;
  auto follower = std::make_unique<TypingFollower>();
  follower->names = names;
  if (FAILED(CoCreateInstance(CLSID_AutoComplete, nullptr, CLSCTX_INPROC_SERVER, IID_IAutoComplete2,
                              reinterpret_cast<void**>(&follower->completion))))
    return false;
  if (FAILED(follower->completion->QueryInterface(IID_IAutoCompleteDropDown,
                                                  reinterpret_cast<void**>(&follower->dropDown)))) {
    follower->completion->Release();
    return false;
  }
  // Below the completion's own hook, which Init puts on top.
  if (!SetWindowSubclass(edit, FollowTyping, kFollowTypingId, reinterpret_cast<DWORD_PTR>(follower.get()))) {
    follower->dropDown->Release();
    follower->completion->Release();
    return false;
  }
  TypingFollower* kept = follower.release();
  auto* enumerator = new (std::nothrow) SoundNameEnumerator(std::move(names), 0, edit);
  HRESULT result = E_OUTOFMEMORY;
  if (enumerator != nullptr) {
    result = kept->completion->Init(edit, enumerator, nullptr, nullptr);
    if (SUCCEEDED(result)) FollowText(*kept, kept->text = TextOf(edit));
    // The system keeps its own references while the text box lives and lets go with it.
    enumerator->Release();
  }
  // The follower lets go of the completion when the text box goes.
  return SUCCEEDED(result);
}
