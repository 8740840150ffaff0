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

#include "base/Streams.h"
#include "base/win/Com.h"
#include "base/win/ForeignCall.h"
#include "base/win/Handle.h"
#include "base/win/ResourceStream.h"
#include "setup/services/InstGlobal.h"

namespace {

using base::FileExists;

}  // namespace

namespace {

// The server's own load and unload code runs inside LoadLibraryA and FreeLibrary: both go
// through the fault guard, so a module that faults there fails instead of ending us.
HMODULE GuardedLoad(const std::string& fileName, bool* faulted) {
  const base::win::ForeignArg arg = reinterpret_cast<base::win::ForeignArg>(fileName.c_str());
  base::win::ForeignArg module = 0;
  *faulted = !base::win::CallForeign(reinterpret_cast<const void*>(&LoadLibraryA), &arg, 1, &module);
  return *faulted ? nullptr : reinterpret_cast<HMODULE>(static_cast<uintptr_t>(module));
}

bool GuardedFree(HMODULE module) {
  const base::win::ForeignArg arg = reinterpret_cast<base::win::ForeignArg>(module);
  base::win::ForeignArg freed = 0;
  return base::win::CallForeign(reinterpret_cast<const void*>(&FreeLibrary), &arg, 1, &freed);
}

}  // namespace

int CallDllServerEntry(const std::string& FileName, bool Unregister) {
  int failed = Unregister ? irUnregisterFailed : irRegisterFailed;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  bool faulted = false;
  HMODULE library = GuardedLoad(FileName, &faulted);
  SetErrorMode(oldMode);
  if (!library) return failed;
  int result = failed;
  auto entry = reinterpret_cast<const void*>(
      GetProcAddress(library, Unregister ? "DllUnregisterServer" : "DllRegisterServer"));
  if (!entry) {
    result = irEntryPointMissing;
  } else {
    base::win::ForeignArg hr = static_cast<uint32_t>(E_FAIL);
    // An HRESULT is 32 bits wide whatever the register.
    if (base::win::CallForeign(entry, nullptr, 0, &hr) && static_cast<uint32_t>(hr) == 0) result = irSuccess;
  }
  // A server whose unload code faults has not registered cleanly either.
  if (!GuardedFree(library) && result == irSuccess) result = failed;
  return result;
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
  std::wstring widePath = base::win::Wide(path);
  base::win::ComPtr<ITypeLib> lib;
  if (FAILED(LoadTypeLib(widePath.c_str(), lib.put()))) return failed;
  TLIBATTR* attr = nullptr;
  if (FAILED(lib->GetLibAttr(&attr)) || !attr) return failed;
  int result = failed;
  if (!Unregister) {
    BSTR help = nullptr;
    std::wstring helpDir;
    if (SUCCEEDED(lib->GetDocumentation(-1, nullptr, nullptr, nullptr, &help)) && help) {
      helpDir = base::win::Wide(base::ExtractFilePath(base::win::Narrow(help)));
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
