#include "base/win/ForeignCall.h"

#include <windows.h>
#include <excpt.h>

namespace base::win {
#if !defined(_WIN64)
namespace {

// An exception registration record of our own on the FS:0 chain; its handler jumps back
// into CallForeign. Plain data only between the jump points.
struct GuardFrame {
  GuardFrame* prev;
  void* handler;
  void* jump[5];
  DWORD code;
  void* address;
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
  frame->code = record->ExceptionCode;
  frame->address = record->ExceptionAddress;
  SetSehFrame(frame);
  __builtin_longjmp(frame->jump, 1);
}

struct CallBlock {
  const void* proc;
  const ForeignArg* args;
  int count;
};

// ESI keeps the stack pointer across the call and EBX the block: both calling
// conventions preserve them. EDX comes back with the bytes the callee popped.
__attribute__((noinline)) uint32_t RawCall(const CallBlock* block, int* popped) {
  uint32_t r, p;
  __asm__ __volatile__(
      "movl %%esp, %%esi\n\t"
      "xorl %%eax, %%eax\n\t"
      "movl $16, %%ecx\n\t"
      "1:\n\t"
      "pushl %%eax\n\t"
      "loop 1b\n\t"
      "movl 4(%%ebx), %%edi\n\t"
      "movl 8(%%ebx), %%ecx\n\t"
      "2:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 3f\n\t"
      "pushl -4(%%edi,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 2b\n\t"
      "3:\n\t"
      "movl %%esp, %%edi\n\t"
      "call *(%%ebx)\n\t"
      "movl %%esp, %%edx\n\t"
      "subl %%edi, %%edx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(r), "=&d"(p)
      : "b"(block)
      : "ecx", "esi", "edi", "memory", "cc");
  *popped = static_cast<int>(p);
  return r;
}

}  // namespace

__attribute__((noinline)) bool CallForeign(const void* proc, const ForeignArg* args, int count, ForeignArg* result,
                                           ForeignOutcome* outcome) {
  ForeignOutcome local;
  ForeignOutcome* o = outcome ? outcome : &local;
  *o = ForeignOutcome();
  const CallBlock block{proc, args, count};
  volatile GuardFrame frame;
  frame.prev = CurrentSehFrame();
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  frame.code = 0;
  frame.address = nullptr;
  volatile bool ok = false;
  if (__builtin_setjmp(const_cast<void**>(frame.jump)) == 0) {
    SetSehFrame(const_cast<GuardFrame*>(&frame));
    int popped = 0;
    uint32_t r = RawCall(&block, &popped);
    if (result) *result = r;
    o->popped = popped;
    ok = true;
  } else {
    o->faultCode = frame.code;
    o->faultAddress = frame.address;
  }
  SetSehFrame(frame.prev);
  return ok;
}

#else
namespace {

// 64-bit frames carry their handlers in tables, so no record of ours can sit on a chain.
// The guard is the process's last-chance filter instead: it sees only what no frame of
// the callee's (nor the loader's, inside LoadLibrary) handled, as the outermost frame
// of the 32-bit guard does, and resumes at a landing that jumps back.
struct Guard {
  void* jump[5];
  DWORD code;
  void* address;
};

thread_local Guard* activeGuard = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER outerFilter = nullptr;

[[noreturn]] void Land() { __builtin_longjmp(activeGuard->jump, 1); }

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* info) {
  Guard* g = activeGuard;
  if (!g || (info->ExceptionRecord->ExceptionCode >> 30) != 3)
    return outerFilter ? outerFilter(info) : EXCEPTION_CONTINUE_SEARCH;
  g->code = info->ExceptionRecord->ExceptionCode;
  g->address = info->ExceptionRecord->ExceptionAddress;
  // Below the faulting frame, aligned as just after a call.
  info->ContextRecord->Rsp = ((info->ContextRecord->Rsp - 256) & ~DWORD64(15)) - 8;
  info->ContextRecord->Rip = reinterpret_cast<DWORD64>(&Land);
  return EXCEPTION_CONTINUE_EXECUTION;
}

using Proc16 = ForeignArg (*)(ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg,
                              ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg, ForeignArg,
                              ForeignArg, ForeignArg);

}  // namespace

__attribute__((noinline)) bool CallForeign(const void* proc, const ForeignArg* args, int count, ForeignArg* result,
                                           ForeignOutcome* outcome) {
  ForeignOutcome local;
  ForeignOutcome* o = outcome ? outcome : &local;
  *o = ForeignOutcome();
  ForeignArg a[16] = {};
  for (int i = 0; i < count && i < 16; ++i) a[i] = args[i];
  volatile Guard guard{};
  Guard* const outer = activeGuard;
  const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&GuardFilter);
  if (previous != &GuardFilter) outerFilter = previous;
  volatile bool ok = false;
  if (__builtin_setjmp(const_cast<void**>(guard.jump)) == 0) {
    activeGuard = const_cast<Guard*>(&guard);
    const auto fn = reinterpret_cast<Proc16>(const_cast<void*>(proc));
    const ForeignArg r = fn(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13],
                            a[14], a[15]);
    if (result) *result = r;
    o->popped = count * static_cast<int>(sizeof(ForeignArg));
    ok = true;
  } else {
    o->faultCode = guard.code;
    o->faultAddress = guard.address;
  }
  activeGuard = outer;
  if (!outer) SetUnhandledExceptionFilter(outerFilter);
  return ok;
}
#endif

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

}  // namespace base::win
