// Thin owners of the Win32 handles the installation services use.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <string>

namespace instwin {

class RegKey {
public:
  RegKey() = default;
  ~RegKey() { if (h_) RegCloseKey(h_); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* put() { return &h_; }
  HKEY get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

private:
  HKEY h_ = nullptr;
};

class Handle {
public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { if (valid()) CloseHandle(h_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

private:
  HANDLE h_;
};

// A string value sized from the data; false when missing or not a string.
inline bool ReadRegString(HKEY key, const char* name, std::string& out) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::string buf(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) !=
      ERROR_SUCCESS)
    return false;
  buf.resize(got);
  while (!buf.empty() && buf.back() == '\0') buf.pop_back();
  out = buf;
  return true;
}

}  // namespace instwin
#endif
