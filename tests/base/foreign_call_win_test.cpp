#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "base/win/ForeignCall.h"

namespace {

extern "C" __attribute__((stdcall, noinline)) uint32_t StdSub(uint32_t a, uint32_t b) { return a - b; }
extern "C" __attribute__((cdecl, noinline)) uint32_t CdeclSub(uint32_t a, uint32_t b) { return a - b; }
extern "C" __attribute__((noinline)) uint32_t Faulting() {
  volatile uint32_t* p = nullptr;
  return *p;
}
extern "C" __attribute__((stdcall, noinline)) uint32_t Raising(uint32_t code) {
  RaiseException(code, 0, 0, nullptr);
  return 7;
}

TEST(CallForeign, ArgumentsInOrderWhicheverSidePopsThem) {
  const base::win::ForeignArg args[] = {10, 3};
  for (const void* proc : {reinterpret_cast<const void*>(&StdSub), reinterpret_cast<const void*>(&CdeclSub)}) {
    base::win::ForeignArg r = 0;
    ASSERT_TRUE(base::win::CallForeign(proc, args, 2, &r));
    EXPECT_EQ(static_cast<uint32_t>(r), 7u);
  }
  // A callee that pops more than was pushed (stdcall with a wrong argument count).
  base::win::ForeignArg r = 0;
  const base::win::ForeignArg one[] = {5};
  EXPECT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), one, 1, &r));
}

// The head of this thread's structured-exception chain: a guard that left its record
// behind would send the next fault of ours to a dead frame.
const void* ExceptionChainHead() { return reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList; }

TEST(CallForeign, FaultsComeBackAsFalseAndLeaveTheProcessWorking) {
  const void* chain = ExceptionChainHead();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Faulting), nullptr, 0, nullptr));
    const base::win::ForeignArg code[] = {0xE0001234};
    EXPECT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Raising), code, 1, nullptr));
  }
  EXPECT_EQ(ExceptionChainHead(), chain);
  // A C++ exception thrown right after a contained fault still finds its handler.
  EXPECT_THROW(
      {
        EXPECT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Faulting), nullptr, 0, nullptr));
        throw std::runtime_error("after the fault");
      },
      std::runtime_error);
  EXPECT_EQ(ExceptionChainHead(), chain);
  base::win::ForeignArg r = 0;
  const base::win::ForeignArg args[] = {2, 1};
  EXPECT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), args, 2, &r));
  EXPECT_EQ(static_cast<uint32_t>(r), 1u);
}

TEST(WideText, RoundTripsAnsi) {
  EXPECT_EQ(base::win::Narrow(base::win::Wide("C:\\Programme\\\xA9 Firma").c_str()), "C:\\Programme\\\xA9 Firma");
  EXPECT_EQ(base::win::Wide(""), L"");
  EXPECT_EQ(base::win::Narrow(nullptr), "");
}

}  // namespace

namespace {

TEST(CallForeign, OutcomeTellsWhatTheCalleePoppedAndWhatItRaised) {
  const base::win::ForeignArg args[] = {10, 3};
  base::win::ForeignOutcome o;
  base::win::ForeignArg r = 0;
  ASSERT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), args, 2, &r, &o));
#if !defined(_WIN64)
  EXPECT_EQ(o.popped, 8);
  ASSERT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&CdeclSub), args, 2, &r, &o));
  EXPECT_EQ(o.popped, 0);
#endif
  ASSERT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Faulting), nullptr, 0, nullptr, &o));
  EXPECT_EQ(o.faultCode, static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_NE(o.faultAddress, nullptr);
  const base::win::ForeignArg code[] = {0xE0001234};
  ASSERT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Raising), code, 1, nullptr, &o));
  EXPECT_EQ(o.faultCode, 0xE0001234u);
}

}  // namespace
