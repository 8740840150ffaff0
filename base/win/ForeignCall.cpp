#include "base/win/ForeignCall.h"

#include <windows.h>
#include <excpt.h>

namespace base::win {
namespace {

// An exception registration record of our own on the FS:0 chain; its handler jumps back
// into CallForeign. Plain data only between the jump points.
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

// ESI keeps the stack pointer across the call: both calling conventions preserve it.
__attribute__((noinline)) uint32_t RawCall(const void* proc, const uint32_t* args, int count) {
  uint32_t r;
  __asm__ __volatile__(
      "movl %%esp, %%esi\n\t"
      "movl %3, %%ecx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%2,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%1\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(r)
      : "r"(proc), "r"(args), "r"(count)
      : "ecx", "edx", "esi", "memory", "cc");
  return r;
}

}  // namespace

__attribute__((noinline)) bool CallForeign(const void* proc, const uint32_t* args, int count, uint32_t* result) {
  volatile GuardFrame frame;
  frame.prev = CurrentSehFrame();
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  volatile bool ok = false;
  if (__builtin_setjmp(const_cast<void**>(frame.jump)) == 0) {
    SetSehFrame(const_cast<GuardFrame*>(&frame));
    uint32_t r = RawCall(proc, args, count);
    if (result) *result = r;
    ok = true;
  }
  SetSehFrame(frame.prev);
  return ok;
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

}  // namespace base::win
