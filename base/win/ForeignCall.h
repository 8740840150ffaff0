// Calls into code we did not write (servers' registration entries, authors' extension
// DLLs) so that their faults stay theirs: a structured exception raised inside gives
// false instead of ending the process, and a callee that leaves the stack unbalanced
// (declared with the wrong calling convention) does not corrupt ours.
#pragma once
#include <cstdint>
#include <string>

namespace base::win {

// What a guarded call left besides its result.
struct ForeignOutcome {
  int popped = 0;                 // bytes of arguments the callee removed from the stack
  uint32_t faultCode = 0;         // when it raised
  const void* faultAddress = nullptr;
};

// Pushes args (each one 32-bit stack slot) right to left, calls proc and restores the
// stack pointer afterwards whatever the callee popped. Sixteen zero words lie above the
// arguments, so a callee declaring more arguments reads zeros and writes there, not into
// our frame. False when the call raised. result gets EAX.
bool CallForeign(const void* proc, const uint32_t* args, int count, uint32_t* result,
                 ForeignOutcome* outcome = nullptr);

// ANSI <-> UTF-16 for the shell's and OLE's wide interfaces.
std::wstring Wide(const std::string& s);
std::string Narrow(const wchar_t* w);

}  // namespace base::win
