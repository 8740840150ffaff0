#include "setup/services/InstFileInfo.h"

#include <cstdio>
#include <cstdlib>

#include "base/Strings.h"
#include "setup/services/InstallRules.h"
#include "resources/engine_strings.h"

namespace {

// A version part as a decimal number; 0 when it is not one (or does not fit 32 bits).
long long VersionPart(const std::string& raw) {
  std::string s = base::Trim(raw);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return 0;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + (s[i] - '0');
    if (v > 0x80000000LL) return 0;
  }
  if (negative) v = -v;
  if (v > 0x7FFFFFFFLL) return 0;
  return v;
}

std::vector<long long> VersionParts(const std::string& text) {
  std::vector<long long> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = text.find('.', start);
    parts.push_back(VersionPart(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start)));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return parts;
}

}  // namespace

bool IsVersionOlder(const std::string& OldVersion, const std::string& NewVersion) {
  if (OldVersion.empty() && NewVersion.empty()) return true;
  std::vector<long long> a = VersionParts(OldVersion), b = VersionParts(NewVersion);
  size_t n = a.size() > b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    long long x = i < a.size() ? a[i] : 0, y = i < b.size() ? b[i] : 0;
    if (x != y) return x < y;
  }
  return false;
}

std::string FormatSizeKText(int64_t Bytes, const std::string& ThousandSeparator) {
  // Rounded division without going through floating point, halves away from zero.
  bool negative = Bytes < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(Bytes) : static_cast<uint64_t>(Bytes);
  uint64_t k = magnitude / 1024 + ((magnitude % 1024) >= 512 ? 1 : 0);
  std::string digits = std::to_string(k);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ThousandSeparator;
    grouped += digits[i];
  }
  if (negative && k != 0) grouped.insert(0, "-");
  return FormatStringArgs(EngineString(IDS_SIZE_K, IDS_SIZE_K_TEXT), {grouped});
}

TDateTime DosDateTimeToDateTime(uint32_t DosDateTime) {
  unsigned date = DosDateTime >> 16, time = DosDateTime & 0xFFFF;
  int year = static_cast<int>(date >> 9) + 1980;
  unsigned month = (date >> 5) & 15, day = date & 31;
  unsigned hour = time >> 11, minute = (time >> 5) & 63, second = (time & 31) * 2;
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month < 1 || month > 12 || day < 1) return 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1u : 0u)) return 0;
  if (hour > 23 || minute > 59 || second > 59) return 0;
  // Days from the civil date (proleptic Gregorian), then from 1899-12-30.
  int y = year - (month <= 2 ? 1 : 0);
  int era = y / 400;
  int yoe = y - era * 400;
  int mp = static_cast<int>(month) + (month > 2 ? -3 : 9);
  int doy = (153 * mp + 2) / 5 + static_cast<int>(day) - 1;
  int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long days = static_cast<long>(era) * 146097 + doe - 719468;  // since 1970-01-01
  days += 25569;                                               // 1899-12-30 .. 1970-01-01
  return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

std::string VersionStringPath(uint16_t Language, uint16_t CodePage, const std::string& Name) {
  return "\\StringFileInfo\\" + base::IntToHex(Language, 4) + base::IntToHex(CodePage, 4) + "\\" + Name;
}

#ifndef _WIN32
std::string FormatSizeK(int32_t Bytes) { return FormatSizeKText(Bytes, ","); }
std::string FormatSizeK64(int64_t Bytes) { return FormatSizeKText(Bytes, ","); }
#endif

#ifdef _WIN32
#include "base/win/Handle.h"
#include "base/win/Registry.h"
#include "setup/services/InstGlobal.h"

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string UserThousandSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) <= 0) return ",";
  return buf;
}

std::string VersionString(const std::vector<char>& block, const std::string& path, bool* exists = nullptr) {
  void* data = nullptr;
  UINT len = 0;
  bool found = VerQueryValueA(const_cast<char*>(block.data()), const_cast<char*>(path.c_str()), &data, &len) &&
               data != nullptr;
  if (exists) *exists = found;
  if (!found) return {};
  const char* text = static_cast<const char*>(data);
  size_t n = 0;
  while (n < len && text[n] != '\0') ++n;
  return std::string(text, n);
}

}  // namespace

std::string FormatSizeK(int32_t Bytes) { return FormatSizeKText(Bytes, UserThousandSeparator()); }
std::string FormatSizeK64(int64_t Bytes) { return FormatSizeKText(Bytes, UserThousandSeparator()); }

TDateTime GetFileDate(const std::string& FileName) {
  if (FileName.empty() || HasWildcard(FileName)) return 0;
  WIN32_FIND_DATAA fd;
  base::win::FindHandle find(FindFirstFileA(FileName.c_str(), &fd));
  return find ? FindDataDate(fd) : 0;
}

TDateTime FindDataDate(const WIN32_FIND_DATAA& Found) {
  if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&Found.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return DosDateTimeToDateTime((static_cast<uint32_t>(date) << 16) | time);
}

bool MayHoldVersionInfo(const std::string& FileName) {
  base::win::Handle h(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char magic[2] = {0, 0};
  DWORD got = 0;
  return h && ReadFile(h.get(), magic, 2, &got, nullptr) && got == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

bool GetVersionInfo(const std::string& FileName, std::string& ProductName, std::string& ProductVersion,
                    std::string& FileVersion, std::string& CompanyName, bool& OLESelfRegister) {
  try {
    if (FileName.empty() || HasWildcard(FileName) || GetFileAttributesA(FileName.c_str()) == INVALID_FILE_ATTRIBUTES)
      return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(const_cast<char*>(FileName.c_str()), &handle);
    if (size == 0) return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(const_cast<char*>(FileName.c_str()), handle, size, block.data())) return false;
    uint16_t language = 0, codePage = 0;
    void* data = nullptr;
    UINT len = 0;
    if (VerQueryValueA(block.data(), const_cast<char*>("\\VarFileInfo\\Translation"), &data, &len) && data &&
        len >= 4) {
      const uint16_t* pair = static_cast<const uint16_t*>(data);
      language = pair[0];
      codePage = pair[1];
    }
    CompanyName = VersionString(block, VersionStringPath(language, codePage, "CompanyName"));
    ProductName = VersionString(block, VersionStringPath(language, codePage, "ProductName"));
    ProductVersion = VersionString(block, VersionStringPath(language, codePage, "ProductVersion"));
    VersionString(block, VersionStringPath(language, codePage, "OLESelfRegister"), &OLESelfRegister);
    FileVersion = VersionString(block, VersionStringPath(language, codePage, "FileVersion"));
    if (ProductVersion.empty()) ProductVersion = FileVersion;
    return true;
  } catch (...) {
    return false;
  }
}

std::string GetFileVersion(const std::string& FileName) {
  std::string product, productVersion, fileVersion, company;
  bool ole = false;
  if (!GetVersionInfo(FileName, product, productVersion, fileVersion, company, ole)) return {};
  return fileVersion;
}

std::string MinimizePathForLabel(HWND Label, const std::string& Path) {
  // Some DrawText implementations work on a fixed line buffer and lose the tail of a very
  // long path; cut its middle first so the file name always survives.
  const size_t kMaxDrawn = 1000;
  std::string text = Path;
  if (text.size() > kMaxDrawn) {
    size_t head = text.find('\\');
    head = head == std::string::npos || head > 100 ? 0 : head + 1;
    size_t tail = text.find('\\', text.size() - (kMaxDrawn - head - 4));
    if (tail == std::string::npos) tail = text.size() - (kMaxDrawn - head - 4);
    text = text.substr(0, head) + "..." + text.substr(tail);
  }
  // DT_MODIFYSTRING may write up to four characters more than the text.
  std::vector<char> buf(text.begin(), text.end());
  buf.resize(text.size() + 5, '\0');
  RECT rc;
  if (!Label || !GetClientRect(Label, &rc)) return text;
  // Measure on a memory context in the label's font, so the label itself is not painted.
  // The copy names every file: one context for the run, not a window context per file.
  static HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return text;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(Label, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  DrawTextExA(dc, buf.data(), -1, &rc, DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX, nullptr);
  SelectObject(dc, old);
  return std::string(buf.data());
}

void GetProgramFolders(std::vector<std::string>& List) {
  List.clear();
  base::win::RegKey key;
  if (!key.Open(HKEY_CURRENT_USER, "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                KEY_READ))
    return;
  std::string folder = base::win::ReadRegString(key.get(), "Programs");
  if (folder.empty()) return;
  WIN32_FIND_DATAA fd;
  base::win::FindHandle find(FindFirstFileA((AddBackslash(folder) + "*.*").c_str(), &fd));
  if (!find) return;
  do {
    std::string name = fd.cFileName;
    if (fd.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY && name != "." && name != "..") List.push_back(name);
  } while (FindNextFileA(find.get(), &fd));
}

namespace {
std::string UserInfoKey(const std::string& company, const std::string& application, const std::string& version) {
  return "Software\\" + company + "\\" + application + "\\" + version;
}
}  // namespace

void ReadUserInfo(const std::string& CompanyName, const std::string& ApplicationName,
                  const std::string& ApplicationVersion, std::string& UserName, std::string& UserCompany) {
  base::win::RegKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, UserInfoKey(CompanyName, ApplicationName, ApplicationVersion).c_str(),
                KEY_READ))
    return;
  UserName = base::win::ReadRegString(key.get(), "Name");
  UserCompany = base::win::ReadRegString(key.get(), "Company");
}

namespace {
// A value as it was before the write.
struct TOldValue {
  bool Existed = false;
  DWORD Type = 0;
  std::vector<BYTE> Data;
};

struct TUserInfoNotes {
  bool Noted = false;
  std::string Key;                    // the HKLM sub-key written
  std::vector<std::string> MadeKeys;  // the HKLM sub-keys the write made, outermost first
  TOldValue Name, Company;
};

TUserInfoNotes& UserInfoNotes() {
  static TUserInfoNotes notes;
  return notes;
}

TOldValue ReadOldValue(HKEY key, const char* name) {
  TOldValue v;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &v.Type, nullptr, &size) != ERROR_SUCCESS) return v;
  v.Data.resize(size);
  if (RegQueryValueExA(key, name, nullptr, &v.Type, v.Data.empty() ? nullptr : v.Data.data(), &size) !=
      ERROR_SUCCESS)
    return TOldValue();
  v.Data.resize(size);
  v.Existed = true;
  return v;
}

void PutBackValue(HKEY key, const char* name, const TOldValue& v) {
  if (v.Existed)
    RegSetValueExA(key, name, 0, v.Type, v.Data.empty() ? nullptr : v.Data.data(), static_cast<DWORD>(v.Data.size()));
  else
    RegDeleteValueA(key, name);
}

// Notes the state of the key before a write: which of its levels below "Software" are
// missing, and the two values.
void NoteUserInfoKey(const std::string& subKey) {
  TUserInfoNotes& notes = UserInfoNotes();
  if (notes.Noted && base::AnsiSameText(notes.Key, subKey)) return;
  notes = TUserInfoNotes();
  notes.Noted = true;
  notes.Key = subKey;
  const size_t first = subKey.find('\\');
  for (size_t at = first; at != std::string::npos;) {
    at = subKey.find('\\', at + 1);
    const std::string level = subKey.substr(0, at);
    base::win::RegKey key;
    if (!notes.MadeKeys.empty() || !key.Open(HKEY_LOCAL_MACHINE, level.c_str(), KEY_READ))
      notes.MadeKeys.push_back(level);
  }
  base::win::RegKey key;
  if (notes.MadeKeys.empty() && key.Open(HKEY_LOCAL_MACHINE, subKey.c_str(), KEY_QUERY_VALUE)) {
    notes.Name = ReadOldValue(key.get(), "Name");
    notes.Company = ReadOldValue(key.get(), "Company");
  }
}

// Deletes the key only while it holds neither keys nor values (the 95 family's
// RegDeleteKeyA would take a whole tree).
void DeleteKeyIfEmpty(const std::string& subKey) {
  {
    base::win::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, subKey.c_str(), KEY_READ)) return;
    DWORD keys = 0, values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS ||
        keys > 0 || values > 0)
      return;
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, subKey.c_str());
}
}  // namespace

void TakeBackUserInfo() {
  TUserInfoNotes notes = UserInfoNotes();
  ForgetUserInfo();
  if (!notes.Noted) return;
  {
    base::win::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, notes.Key.c_str(), KEY_SET_VALUE)) {
      PutBackValue(key.get(), "Name", notes.Name);
      PutBackValue(key.get(), "Company", notes.Company);
    }
  }
  for (auto it = notes.MadeKeys.rbegin(); it != notes.MadeKeys.rend(); ++it) DeleteKeyIfEmpty(*it);
}

void ForgetUserInfo() { UserInfoNotes() = TUserInfoNotes(); }

bool WriteUserInfo(const std::string& CompanyName, const std::string& ApplicationName,
                   const std::string& ApplicationVersion, const std::string& UserName,
                   const std::string& UserCompany) {
  const std::string subKey = UserInfoKey(CompanyName, ApplicationName, ApplicationVersion);
  NoteUserInfoKey(subKey);
  base::win::RegKey key;
  if (!key.Create(HKEY_LOCAL_MACHINE, subKey.c_str(), KEY_WRITE)) return false;
  auto put = [&](const char* name, const std::string& value) {
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  };
  bool nameOk = put("Name", UserName);
  bool companyOk = put("Company", UserCompany);
  return nameOk && companyOk;
}

int RunProgram(const std::string& FileName, const std::string& Params, int ShowCmd, HWND ParentWnd, bool Wait) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  // No system error box: the caller reports a failure itself, and an unattended setup must not hang.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "Open";
  info.lpFile = FileName.c_str();
  info.lpParameters = Params.c_str();
  info.lpDirectory = "";
  info.nShow = ShowCmd;
  if (!ShellExecuteExA(&info)) return -1;
  base::win::Handle process(info.hProcess);
  if (!Wait || !process) return 0;  // a document opened by a running program has no process to wait for
  while (WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return -1;
  return static_cast<int>(code);
}
#endif
