// Owns an open registry key; closes it in the destructor.
#pragma once
#include <windows.h>

#include <string>

namespace base::win {

class RegKey {
public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // RegOpenKeyExA; true when the key opened.
  bool Open(HKEY parent, const char* subKey, REGSAM access) {
    Close();
    return RegOpenKeyExA(parent, subKey, 0, access, &h_) == ERROR_SUCCESS || (h_ = nullptr, false);
  }
  // RegCreateKeyExA; created tells whether the key is new.
  bool Create(HKEY parent, const char* subKey, REGSAM access, bool* created = nullptr) {
    Close();
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &h_,
                        &disposition) != ERROR_SUCCESS) {
      h_ = nullptr;
      return false;
    }
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
    return true;
  }
  void Close() {
    if (h_) RegCloseKey(h_);
    h_ = nullptr;
  }
  HKEY get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

private:
  HKEY h_ = nullptr;
};

// A string value, sized from the data; false (out untouched) when missing or not a string.
inline bool ReadRegString(HKEY key, const char* name, std::string& out) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::string buf(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) != ERROR_SUCCESS)
    return false;
  buf.resize(got);
  size_t nul = buf.find('\0');
  if (nul != std::string::npos) buf.resize(nul);
  out = buf;
  return true;
}

// The same, empty when missing or not a string.
inline std::string ReadRegString(HKEY key, const char* name) {
  std::string value;
  ReadRegString(key, name, value);
  return value;
}

}  // namespace base::win
