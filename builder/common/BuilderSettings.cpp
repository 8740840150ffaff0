#include "builder/common/BuilderSettings.h"

#include <cstdlib>

#include "base/Exceptions.h"
#include "base/Streams.h"

#ifdef _WIN32
#include "base/win/Registry.h"
#include "setup/services/InstFileInfo.h"
#include "resources/builder_texts.h"
#endif

std::string ComposeBuilderRegistryKey(const std::string& companyName, const std::string& productName,
                                      const std::string& productVersion) {
  return "\\Software\\" + companyName + "\\" + productName + "\\" + productVersion + "\\";
}

namespace {

std::string Grouped(uint64_t value, const std::string& separator) {
  std::string digits = std::to_string(value), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

// value / unit rounded, halves away from zero.
uint64_t RoundedQuotient(uint64_t value, uint64_t unit) { return value / unit + (value % unit >= unit / 2 ? 1 : 0); }

}  // namespace

std::string FormatSizeKMText(int64_t bytes, const std::string& thousandSeparator) {
  const bool negative = bytes < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
  const bool kilo = magnitude <= 1048576;
  const uint64_t n = RoundedQuotient(magnitude, kilo ? 1024 : 1048576);
  std::string text = Grouped(n, thousandSeparator);
  if (negative && n != 0) text.insert(0, "-");
  return text + (kilo ? "KB" : "MB");
}

TFormPlacement DecideFormPlacement(bool keyExists, const TStoredFormPosition& stored, bool dialogStyle,
                                   int32_t screenWidth, int32_t screenHeight, const TFormPlacement& current) {
  TFormPlacement out = current;
  out.State = current.State == 2 ? 2 : 0;
  bool usable = keyExists && stored.Top && stored.Left;
  if (usable && !dialogStyle) usable = stored.Width && stored.Height && stored.State;
  if (!usable) {
    out.Top = (screenHeight - current.Height) / 2;
    out.Left = (screenWidth - current.Width) / 2;
    return out;
  }
  out.Top = *stored.Top;
  out.Left = *stored.Left;
  if (!dialogStyle) {
    out.Width = *stored.Width;
    out.Height = *stored.Height;
    out.State = *stored.State == 2 ? 2 : 0;
  }
  return out;
}

std::string FormPositionKey(const std::string& builderKey, const std::string& formName) {
  return builderKey + "Forms\\" + formName;
}

#ifndef _WIN32
std::string FormatSizeKM(int64_t bytes) { return FormatSizeKMText(bytes, ","); }

std::string NewTempFileName() {
  const char* dir = std::getenv("TMPDIR");
  return base::CreateTempFileIn(std::string(dir && *dir ? dir : "/tmp") + "/", "Zem");
}
#endif

#ifdef _WIN32
namespace {

// The key below HKEY_CURRENT_USER, without the leading backslash the class library's
// registry object takes as "from the root".
std::string RootRelative(const std::string& key) {
  return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

std::string OwnFileName() {
  char buf[1024];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

std::optional<int32_t> ReadInteger(HKEY key, const char* name) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return std::nullopt;
  return static_cast<int32_t>(value);
}

void WriteInteger(HKEY key, const char* name, int32_t value) {
  DWORD v = static_cast<DWORD>(value);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

std::string UserThousandSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) <= 0) return ",";
  return buf;
}

// A dialog border: a modal frame without a sizing border.
bool HasDialogBorder(HWND form) {
  LONG style = GetWindowLongA(form, GWL_STYLE), exStyle = GetWindowLongA(form, GWL_EXSTYLE);
  return (style & WS_THICKFRAME) == 0 && (exStyle & WS_EX_DLGMODALFRAME) != 0;
}

}  // namespace

const std::string& BuilderRegistryKey() {
  static const std::string key = [] {
    std::string product, version, fileVersion, company;
    bool ole = false;
    GetVersionInfo(OwnFileName(), product, version, fileVersion, company, ole);
    return ComposeBuilderRegistryKey(company, product, version);
  }();
  return key;
}

std::string FormatSizeKM(int64_t bytes) { return FormatSizeKMText(bytes, UserThousandSeparator()); }

std::string NewTempFileName() {
  char dir[256] = {};
  DWORD n = GetTempPathA(255, dir);
  if (n == 0 || n > 255) throw base::EFCreateError(texts::CannotCreateFile(std::string(dir) + "Zem*.tmp"));
  return base::CreateTempFileIn(dir, "Zem");
}

void SaveFormPosition(HWND form, const std::string& formName) {
  base::win::RegKey key;
  if (!key.Create(HKEY_CURRENT_USER, RootRelative(FormPositionKey(BuilderRegistryKey(), formName)).c_str(),
                  KEY_WRITE))
    return;
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  RECT r = {};
  int32_t state = IsIconic(form) ? 1 : IsZoomed(form) ? 2 : 0;
  // A maximised or minimised form keeps the bounds it comes back to.
  if (state != 0 && GetWindowPlacement(form, &wp))
    r = wp.rcNormalPosition;
  else
    GetWindowRect(form, &r);
  WriteInteger(key.get(), "Top", r.top);
  WriteInteger(key.get(), "Left", r.left);
  WriteInteger(key.get(), "Width", r.right - r.left);
  WriteInteger(key.get(), "Height", r.bottom - r.top);
  WriteInteger(key.get(), "State", state);
}

void RestoreFormPosition(HWND form, const std::string& formName) {
  base::win::RegKey key;
  bool exists = key.Open(HKEY_CURRENT_USER, RootRelative(FormPositionKey(BuilderRegistryKey(), formName)).c_str(),
                         KEY_READ);
  TStoredFormPosition stored;
  if (exists) {
    stored.Top = ReadInteger(key.get(), "Top");
    stored.Left = ReadInteger(key.get(), "Left");
    stored.Width = ReadInteger(key.get(), "Width");
    stored.Height = ReadInteger(key.get(), "Height");
    stored.State = ReadInteger(key.get(), "State");
  }
  RECT r = {};
  GetWindowRect(form, &r);
  TFormPlacement current{r.left, r.top, r.right - r.left, r.bottom - r.top, IsZoomed(form) ? 2 : 0};
  TFormPlacement p = DecideFormPlacement(exists, stored, HasDialogBorder(form), GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN), current);
  if (IsIconic(form) || IsZoomed(form)) ShowWindow(form, SW_RESTORE);
  SetWindowPos(form, nullptr, p.Left, p.Top, p.Width, p.Height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (p.State == 2) ShowWindow(form, SW_MAXIMIZE);
}

void WriteBuilderSetting(const std::string& name, const std::string& value) {
  base::win::RegKey key;
  if (!key.Create(HKEY_CURRENT_USER, RootRelative(BuilderRegistryKey() + "Settings").c_str(), KEY_WRITE)) return;
  RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

std::string ReadBuilderSetting(const std::string& name, const std::string& defaultValue) {
  base::win::RegKey key;
  if (!key.Open(HKEY_CURRENT_USER, RootRelative(BuilderRegistryKey() + "Settings").c_str(), KEY_READ))
    return defaultValue;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return std::string();
  std::string value;
  if (rc != ERROR_SUCCESS || !base::win::ReadRegString(key.get(), name.c_str(), value)) return defaultValue;
  return value;
}
#endif
