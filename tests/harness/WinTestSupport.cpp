#include "tests/harness/WinTestSupport.h"

#include <vector>

namespace wintest {

std::string ThisExe() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

namespace {
struct WindowSearch {
  DWORD pid;
  const std::string* cls;
  HWND found = nullptr;
};
BOOL CALLBACK MatchWindow(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<WindowSearch*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid != s->pid || !IsWindowVisible(w) || *s->cls != cls) return TRUE;
  s->found = w;
  return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const std::string& windowClass) {
  WindowSearch s{processId, &windowClass};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {

int CALLBACK CountFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM l) {
  ++*reinterpret_cast<int*>(l);
  return 1;
}

}  // namespace

bool FontInstalled(const std::string& face) {
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  face.copy(lf.lfFaceName, sizeof lf.lfFaceName - 1);
  int found = 0;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &lf, CountFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found > 0;
}

std::string TempFolder() {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, path);
  std::string s(path, n);
  if (s.empty() || s.back() != '\\') s += '\\';
  return s;
}

bool InVersionChild(std::string* version) {
  char buf[64];
  DWORD n = GetEnvironmentVariableA("TANDREL_VERSION_CHILD", buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return false;
  if (version) *version = std::string(buf, n);
  return true;
}

static void SetAppVersion(const std::string& exeName, const std::string& version) {
  std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
  HKEY h;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(h);
  }
}

int RunUnderWindowsVersion(const std::string& version, const std::string& filter) {
  std::string self = ThisExe();
  std::string base = self.substr(self.find_last_of('\\') + 1);
  base = base.substr(0, base.size() - 4);
  std::string exeName = base + "_" + version + "_" + std::to_string(GetCurrentProcessId()) + ".exe";
  std::string copy = TempFolder() + exeName;
  if (!CopyFileA(self.c_str(), copy.c_str(), FALSE)) return -1;
  SetAppVersion(exeName, version);
  SetEnvironmentVariableA("TANDREL_VERSION_CHILD", version.c_str());
  std::string cmd = "\"" + copy + "\" --gtest_filter=" + filter;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back(0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableA("TANDREL_VERSION_CHILD", nullptr);
  DWORD code = static_cast<DWORD>(-1);
  if (ok) {
    WaitForSingleObject(pi.hProcess, 60000);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  DeleteFileA(copy.c_str());
  return ok ? static_cast<int>(code) : -1;
}

}  // namespace wintest
