#include "app/SoundNameCompletion.h"

// clang-format off
#include <windows.h>
#include <shldisp.h>
#include <shlguid.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

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

SoundNameEnumerator::SoundNameEnumerator(SoundNameList names, ULONG position)
    : names_(std::move(names)), position_(position) {
  ++liveObjects_;
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
  const std::vector<std::wstring>& all = *names_;
  ULONG given = 0;
  while (given < count && position_ < all.size()) {
    const std::wstring& name = all[position_];
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
  const auto size = static_cast<ULONG>(names_->size());
  const bool whole = count <= size - std::min(position_, size);
  position_ = whole ? position_ + count : size;
  return whole ? S_OK : S_FALSE;
}

HRESULT SoundNameEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT SoundNameEnumerator::Clone(IEnumString** copy) {
  if (copy == nullptr) return E_POINTER;
  *copy = new (std::nothrow) SoundNameEnumerator(names_, position_);
  return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool AttachNameCompletion(HWND edit, SoundNameList names) {
  if (!IsWindow(edit) || names == nullptr) return false;
  IAutoComplete2* completion = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AutoComplete, nullptr, CLSCTX_INPROC_SERVER, IID_IAutoComplete2,
                              reinterpret_cast<void**>(&completion))))
    return false;
  auto* enumerator = new (std::nothrow) SoundNameEnumerator(std::move(names));
  HRESULT result = E_OUTOFMEMORY;
  if (enumerator != nullptr) {
    result = completion->Init(edit, enumerator, nullptr, nullptr);
    if (SUCCEEDED(result)) completion->SetOptions(ACO_AUTOSUGGEST | ACO_AUTOAPPEND);
    // The system keeps its own references while the text box lives and lets go with it.
    enumerator->Release();
  }
  completion->Release();
  return SUCCEEDED(result);
}
