// The Win32 side of the project model's services.
#include <windows.h>

#include <cstdio>

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/ForeignCall.h"
#include "setup/model/InstPlatform.h"
#include "setup/services/InstFileInfo.h"
#include "setup/services/InstGlobal.h"

namespace model {
namespace {

std::string Hex8(uintptr_t v) {
  return base::IntToHex(static_cast<unsigned>(v), 8);
}

DllCallResult CallDll(const std::string& library, const std::string& function, const DllCallArgs& a) {
  DllCallResult r;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryA(library.c_str());
  SetErrorMode(oldMode);
  if (reinterpret_cast<uintptr_t>(h) <= 32) {
    r.status = DllCallStatus::LoadFailed;
    return r;
  }
  void* fn = reinterpret_cast<void*>(GetProcAddress(h, function.c_str()));
  if (!fn) {
    FreeLibrary(h);
    r.status = DllCallStatus::NotExported;
    return r;
  }
  using base::win::ForeignArg;
  const ForeignArg args[6] = {static_cast<ForeignArg>(a.parentWnd),
                              static_cast<ForeignArg>(a.dialogWnd),
                              reinterpret_cast<ForeignArg>(a.folder),
                              reinterpret_cast<ForeignArg>(a.supportDir),
                              reinterpret_cast<ForeignArg>(a.userName),
                              reinterpret_cast<ForeignArg>(a.userCompany)};
  ForeignArg value = 0;
  base::win::ForeignOutcome out;
  const bool returned = base::win::CallForeign(fn, args, 6, &value, &out);
  const std::string module = base::ExtractFileName(library);
  FreeLibrary(h);
  if (!returned) {
    r.status = DllCallStatus::Faulted;
    const std::string where = Hex8(reinterpret_cast<uintptr_t>(out.faultAddress)) + " in module '" + module + "'";
    if (out.faultCode == EXCEPTION_ACCESS_VIOLATION)
      r.faultText = "Access violation at address " + where;
    else
      r.faultText = "Exception " + Hex8(out.faultCode) + " at address " + where;
  } else if (out.popped != static_cast<int>(sizeof args)) {
    r.status = DllCallStatus::Faulted;
    r.faultText = "Function '" + function + "' of '" + module + "' does not use the stdcall calling convention";
  } else {
    r.value = static_cast<uint32_t>(value);
  }
  return r;
}

FileFacts ProbeFile(const std::string& fileName) {
  FileFacts f;
  WIN32_FIND_DATAA fd{};
  if (fileName.find_first_of("*?") != std::string::npos) {
    // A wildcard finds some other file: its size counts, not its date or version.
    HANDLE h = FindFirstFileA(fileName.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return f;
    FindClose(h);
    f.found = true;
    f.size = static_cast<int32_t>(fd.nFileSizeLow);
    return f;
  }
  // Any entry of that name counts, whatever its attributes. One query gives size and date
  // without a directory search: opening a project asks this for each of its files.
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &a)) return f;
  f.found = true;
  f.size = static_cast<int32_t>(a.nFileSizeLow);
  fd.dwFileAttributes = a.dwFileAttributes;
  fd.ftLastWriteTime = a.ftLastWriteTime;
  f.date = FindDataDate(fd);
  std::string product, productVersion, company;
  bool ole = false;
  if (!(a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && MayHoldVersionInfo(fileName) &&
      GetVersionInfo(fileName, product, productVersion, f.fileVersion, company, ole))
    f.oleSelfRegister = ole;
  return f;
}

int RunProgramHere(const std::string& file, const std::string& params, bool wait, TWindowHandle parent) {
  return RunProgram(file, params, SW_SHOWNORMAL, reinterpret_cast<HWND>(parent), wait);
}

// Windows 95 and 98 lack MOVEFILE_REPLACE_EXISTING: move the old file aside first and put
// it back when the new one cannot take its place.
bool ReplaceFileHere(const std::string& finished, const std::string& target) {
  // A folder of that name is not ours to move aside.
  DWORD attr = GetFileAttributesA(target.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (MoveFileExA(finished.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES)
    return MoveFileA(finished.c_str(), target.c_str()) != 0;
  // Reserve a free name beside it, so that no file of the user's is ever deleted.
  std::string aside;
  try {
    aside = base::CreateUniqueFile(target + ".~old");
  } catch (...) {
    return false;
  }
  DeleteFileA(aside.c_str());
  if (!MoveFileA(target.c_str(), aside.c_str())) return false;
  if (!MoveFileA(finished.c_str(), target.c_str())) {
    MoveFileA(aside.c_str(), target.c_str());
    return false;
  }
  DeleteFileA(aside.c_str());
  return true;
}

}  // namespace

PlatformServices DefaultPlatform() {
  PlatformServices p;
  p.getDirMacro = [](const std::string& name) { return GetDirMacro(name); };
  p.setDirMacro = [](const std::string& name, const std::string& value) { SetDirMacro(name, value); };
  p.expandMacros = [](const std::string& text) { return ExpandMacros(text); };
  p.beginBusyCursor = [] { BeginBusyCursor(); };
  p.endBusyCursor = [] { EndBusyCursor(); };
  p.probeFile = ProbeFile;
  p.runProgram = RunProgramHere;
  p.callDll = CallDll;
  p.showInformation = [](const std::string& text) {
    MessageBoxA(GetActiveWindow(), text.c_str(), "Information", MB_OK | MB_ICONINFORMATION);
  };
  p.showError = [](const std::string& text) {
    MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
  };
  p.currentYear = [] {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return static_cast<int>(st.wYear);
  };
  p.replaceFile = ReplaceFileHere;
  p.deleteFile = [](const std::string& fileName) { DeleteFileA(fileName.c_str()); };
  return p;
}

}  // namespace model
