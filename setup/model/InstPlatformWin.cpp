// The Win32 side of the project model's services.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/Strings.h"
#include "setup/model/InstPlatform.h"

#if TANDREL_MODEL_USE_SERVICES
#include "setup/services/InstGlobal.h"
#endif

// Calls fn(args[0..5]) as stdcall with the stack pointer saved in a callee-saved register
// and restored after the call, so a function of another calling convention cannot leave
// the stack moved. *stackOk is 1 when the callee popped exactly its six arguments.
// Sixteen zero words lie above the arguments, so a function declaring more arguments
// reads zeros and writes there instead of into the saved registers.
extern "C" uint32_t TandrelCallStdcall6(void* fn, const uint32_t* args, int* stackOk);
asm(R"(
  .text
  .globl _TandrelCallStdcall6
_TandrelCallStdcall6:
  pushl %ebp
  movl %esp, %ebp
  pushl %esi
  pushl %edi
  pushl %ebx
  movl 12(%ebp), %edi
  movl %esp, %esi
  xorl %eax, %eax
  movl $16, %ecx
1:
  pushl %eax
  loop 1b
  pushl 20(%edi)
  pushl 16(%edi)
  pushl 12(%edi)
  pushl 8(%edi)
  pushl 4(%edi)
  pushl 0(%edi)
  movl 8(%ebp), %ecx
  call *%ecx
  leal -64(%esi), %edx
  xorl %ecx, %ecx
  cmpl %edx, %esp
  sete %cl
  movl %esi, %esp
  movl 16(%ebp), %edx
  movl %ecx, (%edx)
  popl %ebx
  popl %edi
  popl %esi
  popl %ebp
  ret
)");

namespace model {
namespace {

// A structured-exception frame of our own on the thread's handler chain: a fault inside
// the guarded call jumps back to GuardedCall instead of ending the process.
struct GuardFrame {
  GuardFrame* next;
  void* handler;
  void* jump[5];
  DWORD code;
  void* address;
};

GuardFrame* ReadHandlerChain() {
  GuardFrame* f;
  asm volatile("movl %%fs:0, %0" : "=r"(f));
  return f;
}
void WriteHandlerChain(GuardFrame* f) { asm volatile("movl %0, %%fs:0" : : "r"(f) : "memory"); }

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  GuardFrame* g = static_cast<GuardFrame*>(frame);
  g->code = record->ExceptionCode;
  g->address = record->ExceptionAddress;
  __builtin_longjmp(g->jump, 1);
}

struct GuardedOutcome {
  bool faulted = false;
  DWORD code = 0;
  void* address = nullptr;
  uint32_t value = 0;
  int stackOk = 1;
};

__attribute__((noinline)) void GuardedCall(void* fn, const uint32_t* args, volatile GuardedOutcome* out) {
  volatile GuardFrame frame;
  frame.next = ReadHandlerChain();
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  frame.code = 0;
  frame.address = nullptr;
  if (__builtin_setjmp(const_cast<void**>(frame.jump)) == 0) {
    WriteHandlerChain(const_cast<GuardFrame*>(&frame));
    int stackOk = 1;
    uint32_t v = TandrelCallStdcall6(fn, args, &stackOk);
    WriteHandlerChain(frame.next);
    out->value = v;
    out->stackOk = stackOk;
  } else {
    // Back from the handler: drop our frame and whatever the callee left above it.
    WriteHandlerChain(frame.next);
    out->faulted = true;
    out->code = frame.code;
    out->address = frame.address;
  }
}

std::string Hex8(uintptr_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(v));
  return buf;
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
  const uint32_t args[6] = {
      static_cast<uint32_t>(a.parentWnd), static_cast<uint32_t>(a.dialogWnd),
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a.folder)),
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a.supportDir)),
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a.userName)),
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a.userCompany))};
  volatile GuardedOutcome out;
  GuardedCall(fn, args, &out);
  const std::string module = base::ExtractFileName(library);
  FreeLibrary(h);
  if (out.faulted) {
    r.status = DllCallStatus::Faulted;
    if (out.code == EXCEPTION_ACCESS_VIOLATION)
      r.faultText = "Access violation at address " + Hex8(reinterpret_cast<uintptr_t>(out.address)) +
                    " in module '" + module + "'";
    else
      r.faultText = "Exception " + Hex8(out.code) + " at address " +
                    Hex8(reinterpret_cast<uintptr_t>(out.address)) + " in module '" + module + "'";
  } else if (!out.stackOk) {
    r.status = DllCallStatus::Faulted;
    r.faultText = "Function '" + function + "' of '" + module + "' does not use the stdcall calling convention";
  } else {
    r.value = out.value;
  }
  return r;
}

TDateTime FileTimeToDateTime(const FILETIME& ft) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st)) return 0;
  // Days from 1899-12-30 to the date, then the time of day.
  auto days = [](int y, int m, int d) {
    static const int cum[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int yy = y - 1;
    long n = yy * 365L + yy / 4 - yy / 100 + yy / 400 + cum[m - 1] + d + ((leap && m > 2) ? 1 : 0);
    return n - 693594L;  // 1899-12-30
  };
  return days(st.wYear, st.wMonth, st.wDay) +
         (st.wHour * 3600000.0 + st.wMinute * 60000.0 + st.wSecond * 1000.0 + st.wMilliseconds) / 86400000.0;
}

FileFacts ProbeFile(const std::string& fileName) {
  FileFacts f;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(fileName.c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    // Every attribute bit of 0x3F is accepted, so any entry of that name counts.
    FindClose(h);
    f.found = true;
    f.size = static_cast<int32_t>(fd.nFileSizeLow);
  }
#if TANDREL_MODEL_USE_SERVICES
  f.date = GetFileDate(fileName);
  std::string product, productVersion, company;
  bool ole = false;
  if (GetVersionInfo(fileName, product, productVersion, f.fileVersion, company, ole)) f.oleSelfRegister = ole;
#else
  if (f.found) f.date = FileTimeToDateTime(fd.ftLastWriteTime);
  DWORD dummy = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &dummy);
  if (size > 0) {
    std::vector<char> block(size);
    if (GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) {
      struct Translation { WORD language, codePage; }* tr = nullptr;
      UINT len = 0;
      if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) &&
          tr && len >= sizeof(Translation)) {
        char path[64];
        auto query = [&](const char* name, std::string* out) {
          std::snprintf(path, sizeof path, "\\StringFileInfo\\%04X%04X\\%s", tr->language, tr->codePage, name);
          char* text = nullptr;
          UINT n = 0;
          if (!VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&text), &n) || !text) return false;
          if (out) out->assign(text, strnlen(text, n));
          return true;
        };
        f.oleSelfRegister = query("OLESelfRegister", nullptr);
        query("FileVersion", &f.fileVersion);
      }
    }
  }
#endif
  return f;
}

int RunProgramHere(const std::string& file, const std::string& params, bool wait, TWindowHandle parent) {
#if TANDREL_MODEL_USE_SERVICES
  return RunProgram(file, params, SW_SHOWNORMAL, reinterpret_cast<HWND>(parent), wait);
#else
  SHELLEXECUTEINFOA info;
  std::memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "Open";
  info.lpFile = file.c_str();
  info.lpParameters = params.c_str();
  info.lpDirectory = "";
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&info)) return -1;
  int result = 0;
  if (wait && info.hProcess) {
    MSG msg;
    while (WaitForSingleObject(info.hProcess, 100) == WAIT_TIMEOUT) PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    DWORD code = 0;
    result = GetExitCodeProcess(info.hProcess, &code) ? static_cast<int>(code) : -1;
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  return result;
#endif
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
  const std::string aside = target + ".~old";
  DeleteFileA(aside.c_str());
  if (!MoveFileA(target.c_str(), aside.c_str())) return false;
  if (!MoveFileA(finished.c_str(), target.c_str())) {
    MoveFileA(aside.c_str(), target.c_str());
    return false;
  }
  DeleteFileA(aside.c_str());
  return true;
}

int busyDepth = 0;
HCURSOR savedCursor = nullptr;

}  // namespace

PlatformServices DefaultPlatform() {
  PlatformServices p;
#if TANDREL_MODEL_USE_SERVICES
  p.getDirMacro = [](const std::string& name) { return GetDirMacro(name); };
  p.setDirMacro = [](const std::string& name, const std::string& value) { SetDirMacro(name, value); };
  p.expandMacros = [](const std::string& text) { return ExpandMacros(text); };
  p.beginBusyCursor = [] { BeginBusyCursor(); };
  p.endBusyCursor = [] { EndBusyCursor(); };
#else
  UsePortableMacros(p);
  p.beginBusyCursor = [] {
    if (busyDepth++ == 0) savedCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  };
  p.endBusyCursor = [] {
    if (busyDepth > 0 && --busyDepth == 0) SetCursor(savedCursor);
  };
#endif
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
