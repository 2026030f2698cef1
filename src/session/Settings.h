#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

// The user's settings: the values under one registry key (HKEY_CURRENT_USER\Software\Sonarwick
// for the editor), read once at start and written through when they change. A value that is
// missing, of another type or damaged reads as absent, and every caller falls back to its
// default without a message: settings are a convenience, never a reason to stop.
class Settings {
 public:
  // Values the editor and its command-line tools both read.
  static constexpr const wchar_t* SoundFolderName = L"SoundFolder";
  static constexpr const wchar_t* NamesCodePageName = L"NamesCodePage";

  // The editor's own key. Tests pass a key of their own so they never touch the user's.
  static constexpr const wchar_t* DefaultKey = L"Software\\Sonarwick";

  explicit Settings(std::wstring subKey = DefaultKey);

  // The one instance the program uses; loaded on first use.
  static Settings& Instance();

  // Reads every value of the key into memory, replacing what was read before.
  void Load();

  std::optional<std::wstring> GetString(const std::wstring& name) const;
  std::optional<DWORD> GetNumber(const std::wstring& name) const;
  std::optional<std::vector<BYTE>> GetBytes(const std::wstring& name) const;
  // A list kept as one REG_MULTI_SZ value; empty strings are not kept.
  std::vector<std::wstring> GetStringList(const std::wstring& name) const;

  // Each writes only when the value differs from what is held. False when the registry refused;
  // the value is then still held for this run.
  bool SetString(const std::wstring& name, const std::wstring& value);
  bool SetNumber(const std::wstring& name, DWORD value);
  bool SetBytes(const std::wstring& name, const std::vector<BYTE>& value);
  bool SetStringList(const std::wstring& name, const std::vector<std::wstring>& values);
  bool Remove(const std::wstring& name);

 private:
  struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
  };

  bool Store(const std::wstring& name, Value value);
  const Value* Find(const std::wstring& name, DWORD type) const;

  std::wstring subKey_;
  std::map<std::wstring, Value> values_;
  bool loaded_ = false;
};
