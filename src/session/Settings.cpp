#include "session/Settings.h"

#include <cstring>

namespace {

// Registry values larger than this are not settings of ours; they are left unread.
constexpr DWORD kLargestValue = 64 * 1024;

class RegistryKey {
 public:
  RegistryKey(const std::wstring& subKey, bool create) {
    LSTATUS status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0,
                                              KEY_READ | KEY_WRITE, nullptr, &key_, nullptr)
                            : RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::wstring TextOf(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  return text;
}

std::vector<BYTE> BytesOf(const std::wstring& text) {
  std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
  std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
  return data;
}

}  // namespace

Settings::Settings(std::wstring subKey) : subKey_(std::move(subKey)) {}

Settings& Settings::Instance() {
  static Settings settings;
  if (!settings.loaded_) settings.Load();
  return settings;
}

void Settings::Load() {
  values_.clear();
  loaded_ = true;
  RegistryKey key(subKey_, false);
  if (key.get() == nullptr) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = static_cast<DWORD>(std::size(name));
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || size > kLargestValue) continue;
    Value value{type, std::vector<BYTE>(size)};
    DWORD read = size;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, value.data.data(), &read) != ERROR_SUCCESS) continue;
    value.data.resize(read);
    values_[name] = std::move(value);
  }
}

const Settings::Value* Settings::Find(const std::wstring& name, DWORD type) const {
  auto found = values_.find(name);
  if (found == values_.end() || found->second.type != type) return nullptr;
  return &found->second;
}

std::optional<std::wstring> Settings::GetString(const std::wstring& name) const {
  const Value* value = Find(name, REG_SZ);
  if (value == nullptr) return std::nullopt;
  std::wstring text = TextOf(value->data);
  // The registry does not promise a terminator; a value cut inside a character is damaged.
  if (value->data.size() % sizeof(wchar_t) != 0) return std::nullopt;
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

std::optional<DWORD> Settings::GetNumber(const std::wstring& name) const {
  const Value* value = Find(name, REG_DWORD);
  if (value == nullptr || value->data.size() != sizeof(DWORD)) return std::nullopt;
  DWORD number = 0;
  std::memcpy(&number, value->data.data(), sizeof(number));
  return number;
}

std::optional<std::vector<BYTE>> Settings::GetBytes(const std::wstring& name) const {
  const Value* value = Find(name, REG_BINARY);
  if (value == nullptr) return std::nullopt;
  return value->data;
}

std::vector<std::wstring> Settings::GetStringList(const std::wstring& name) const {
  std::vector<std::wstring> list;
  const Value* value = Find(name, REG_MULTI_SZ);
  if (value == nullptr || value->data.size() % sizeof(wchar_t) != 0) return list;
  std::wstring all = TextOf(value->data);
  for (std::size_t start = 0; start < all.size();) {
    std::size_t end = all.find(L'\0', start);
    if (end == std::wstring::npos) end = all.size();
    if (end > start) list.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return list;
}

bool Settings::SetString(const std::wstring& name, const std::wstring& value) {
  return Store(name, {REG_SZ, BytesOf(value)});
}

bool Settings::SetNumber(const std::wstring& name, DWORD value) {
  std::vector<BYTE> data(sizeof(DWORD));
  std::memcpy(data.data(), &value, sizeof(value));
  return Store(name, {REG_DWORD, std::move(data)});
}

bool Settings::SetBytes(const std::wstring& name, const std::vector<BYTE>& value) {
  return Store(name, {REG_BINARY, value});
}

bool Settings::SetStringList(const std::wstring& name, const std::vector<std::wstring>& values) {
  std::wstring all;
  for (const std::wstring& value : values) {
    if (value.empty()) continue;
    all += value;
    all += L'\0';
  }
  return Store(name, {REG_MULTI_SZ, BytesOf(all)});
}

bool Settings::Store(const std::wstring& name, Value value) {
  auto found = values_.find(name);
  if (found != values_.end() && found->second == value) return true;
  values_[name] = value;
  RegistryKey key(subKey_, true);
  if (key.get() == nullptr) return false;
  return RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.data.data(),
                        static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Settings::Remove(const std::wstring& name) {
  if (values_.erase(name) == 0) return true;
  RegistryKey key(subKey_, true);
  if (key.get() == nullptr) return false;
  LSTATUS status = RegDeleteValueW(key.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
