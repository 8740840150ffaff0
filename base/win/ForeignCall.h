// Calls into code we did not write (servers' registration entries, authors' extension
// DLLs) so that their faults stay theirs: a structured exception raised inside gives
// false instead of ending the process, and a callee that leaves the stack unbalanced
// (declared with the wrong calling convention) does not corrupt ours.
#pragma once
#include <cstdint>
#include <string>

namespace base::win {

// One argument slot: a 32-bit stack word in the shipped build, a register-sized word in
// the 64-bit build the Windows tests use where a machine runs no 32-bit code.
using ForeignArg = uintptr_t;

// What a guarded call left besides its result.
struct ForeignOutcome {
  int popped = 0;                 // bytes of arguments the callee removed from the stack
  uint32_t faultCode = 0;         // when it raised
  const void* faultAddress = nullptr;
};

// Pushes args (each one stack slot) right to left, calls proc and restores the stack
// pointer afterwards whatever the callee popped. Sixteen zero words lie above the
// arguments, so a callee declaring more arguments reads zeros and writes there, not into
// our frame. False when the call raised. result gets EAX. In the 64-bit build there is
// one calling convention: at most 16 arguments, and popped always tells a balanced call.
bool CallForeign(const void* proc, const ForeignArg* args, int count, ForeignArg* result,
                 ForeignOutcome* outcome = nullptr);

// ANSI <-> UTF-16 for the shell's and OLE's wide interfaces.
std::wstring Wide(const std::string& s);
std::string Narrow(const wchar_t* w);

}  // namespace base::win
