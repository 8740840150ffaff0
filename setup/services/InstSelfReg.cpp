#include "setup/services/InstSelfReg.h"

#include "base/Strings.h"

int GetServerKind(const std::string& FileName) {
  std::string ext = base::ExtractFileExt(FileName);
  if (base::SameText(ext, ".TLB")) return 1;
  if (base::SameText(ext, ".EXE")) return 2;
  return 0;
}

std::string ExeServerCommandLine(const std::string& FileName, bool Unregister) {
  return "\"" + FileName + "\"" + (Unregister ? " /unregserver" : " /regserver");
}

#ifdef _WIN32
#include <windows.h>
#include <oleauto.h>
#include <excpt.h>

#include "base/win/Com.h"
#include "base/win/Handle.h"
#include "base/win/ResourceStream.h"
#include "setup/services/InstGlobal.h"

namespace {

bool FileExists(const std::string& name) {
  DWORD a = GetFileAttributesA(name.c_str());
  return !name.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::string Narrow(const wchar_t* w) {
  if (!w) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, -1, &s[0], n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

// A structured-exception frame around a call into a foreign DLL: a fault inside it jumps
// back here instead of ending the process. Plain data only between the jump points.
struct GuardFrame {
  GuardFrame* prev;
  void* handler;
  void* jump[5];
};

GuardFrame* CurrentSehFrame() {
  GuardFrame* f;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(f));
  return f;
}

void SetSehFrame(GuardFrame* f) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(f) : "memory"); }

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*,
                                                      void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  // Only errors: informational and warning codes (debug output, thread names) go on.
  if ((record->ExceptionCode >> 30) != 3) return ExceptionContinueSearch;
  GuardFrame* frame = static_cast<GuardFrame*>(establisher);
  SetSehFrame(frame);
  __builtin_longjmp(frame->jump, 1);
}

typedef HRESULT(__stdcall* ServerEntry)();

// True when the entry returned; false when it raised a fault.
__attribute__((noinline)) bool GuardedCall(ServerEntry entry, HRESULT* result) {
  volatile GuardFrame frame;
  frame.prev = CurrentSehFrame();
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  volatile bool ok = false;
  if (__builtin_setjmp(const_cast<void**>(frame.jump)) == 0) {
    SetSehFrame(const_cast<GuardFrame*>(&frame));
    *result = entry();
    ok = true;
  }
  SetSehFrame(frame.prev);
  return ok;
}

}  // namespace

int CallDllServerEntry(const std::string& FileName, bool Unregister) {
  int failed = Unregister ? irUnregisterFailed : irRegisterFailed;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  base::win::Library library(LoadLibraryA(FileName.c_str()));
  SetErrorMode(oldMode);
  if (!library) return failed;
  auto entry = reinterpret_cast<ServerEntry>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), Unregister ? "DllUnregisterServer" : "DllRegisterServer")));
  if (!entry) return irEntryPointMissing;
  HRESULT hr = E_FAIL;
  if (!GuardedCall(entry, &hr)) return failed;
  return hr == 0 ? irSuccess : failed;
}

int RegisterTypeLibFile(const std::string& FileName, bool Unregister) {
  int failed = Unregister ? irUnregisterFailed : irRegisterFailed;
  std::string path = FileName;
  if (base::ExtractFilePath(FileName).empty()) {
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    std::string dir(n, '\0');
    n = GetCurrentDirectoryA(n, &dir[0]);
    dir.resize(n);
    path = RemoveBackslash(dir) + "\\" + FileName;
  }
  if (!FileExists(path)) return irServerFileMissing;

  base::win::ComScope com;
  std::wstring widePath = Wide(path);
  base::win::ComPtr<ITypeLib> lib;
  if (FAILED(LoadTypeLib(widePath.c_str(), lib.put()))) return failed;
  TLIBATTR* attr = nullptr;
  if (FAILED(lib->GetLibAttr(&attr)) || !attr) return failed;
  int result = failed;
  if (!Unregister) {
    BSTR help = nullptr;
    std::wstring helpDir;
    if (SUCCEEDED(lib->GetDocumentation(-1, nullptr, nullptr, nullptr, &help)) && help) {
      helpDir = Wide(base::ExtractFilePath(Narrow(help)));
      SysFreeString(help);
    }
    if (SUCCEEDED(RegisterTypeLib(lib.get(), const_cast<wchar_t*>(widePath.c_str()),
                                  helpDir.empty() ? nullptr : const_cast<wchar_t*>(helpDir.c_str()))))
      result = irSuccess;
  } else if (HMODULE oleaut = GetModuleHandleA("OLEAUT32.DLL")) {
    typedef HRESULT(WINAPI * UnRegisterTypeLibProc)(REFGUID, WORD, WORD, LCID, SYSKIND);
    auto unregister = reinterpret_cast<UnRegisterTypeLibProc>(
        reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")));
    if (unregister &&
        SUCCEEDED(unregister(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind)))
      result = irSuccess;
  }
  lib->ReleaseTLibAttr(attr);
  return result;
}

int RunExeServerSwitch(const std::string& FileName, bool Unregister) {
  int failed = Unregister ? irUnregisterFailed : irRegisterFailed;
  if (!FileExists(FileName)) return irServerFileMissing;
  std::string commandLine = ExeServerCommandLine(FileName, Unregister);
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  if (!CreateProcessA(FileName.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return failed;
  base::win::Handle process(pi.hProcess), thread(pi.hThread);
  if (Unregister) {
    while (WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT) {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
  }
  return irSuccess;
}

int RegisterServer(const std::string& FileName) {
  switch (GetServerKind(FileName)) {
    case 1: return RegisterTypeLibFile(FileName, false);
    case 2: return RunExeServerSwitch(FileName, false);
    default: return CallDllServerEntry(FileName, false);
  }
}

int UnregisterServer(const std::string& FileName) {
  switch (GetServerKind(FileName)) {
    case 1: return RegisterTypeLibFile(FileName, true);
    case 2: return RunExeServerSwitch(FileName, true);
    default: return CallDllServerEntry(FileName, true);
  }
}

int RegisterServerFile(const std::string& FileName) {
  try {
    if (!FileExists(FileName)) return irServerFileMissing;
    int r = RegisterServer(FileName);
    if (r == irSuccess) AddToLog(TLogKeyword::RegisterFile, FileName);
    return r;
  } catch (...) {
    return irRegisterFailed;
  }
}

int UnregisterServerFile(const std::string& FileName) {
  try {
    if (!FileExists(FileName)) return irServerFileMissing;
    return UnregisterServer(FileName);
  } catch (...) {
    return irUnregisterFailed;
  }
}
#endif
