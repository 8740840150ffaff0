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
  const uint32_t args[] = {10, 3};
  for (const void* proc : {reinterpret_cast<const void*>(&StdSub), reinterpret_cast<const void*>(&CdeclSub)}) {
    uint32_t r = 0;
    ASSERT_TRUE(base::win::CallForeign(proc, args, 2, &r));
    EXPECT_EQ(r, 7u);
  }
  // A callee that pops more than was pushed (stdcall with a wrong argument count).
  uint32_t r = 0;
  const uint32_t one[] = {5};
  EXPECT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), one, 1, &r));
}

// The head of this thread's structured-exception chain: a guard that left its record
// behind would send the next fault of ours to a dead frame.
const void* ExceptionChainHead() { return reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList; }

TEST(CallForeign, FaultsComeBackAsFalseAndLeaveTheProcessWorking) {
  const void* chain = ExceptionChainHead();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Faulting), nullptr, 0, nullptr));
    const uint32_t code[] = {0xE0001234};
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
  uint32_t r = 0;
  const uint32_t args[] = {2, 1};
  EXPECT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), args, 2, &r));
  EXPECT_EQ(r, 1u);
}

TEST(WideText, RoundTripsAnsi) {
  EXPECT_EQ(base::win::Narrow(base::win::Wide("C:\\Programme\\\xA9 Firma").c_str()), "C:\\Programme\\\xA9 Firma");
  EXPECT_EQ(base::win::Wide(""), L"");
  EXPECT_EQ(base::win::Narrow(nullptr), "");
}

}  // namespace

namespace {

TEST(CallForeign, OutcomeTellsWhatTheCalleePoppedAndWhatItRaised) {
  const uint32_t args[] = {10, 3};
  base::win::ForeignOutcome o;
  uint32_t r = 0;
  ASSERT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&StdSub), args, 2, &r, &o));
  EXPECT_EQ(o.popped, 8);
  ASSERT_TRUE(base::win::CallForeign(reinterpret_cast<const void*>(&CdeclSub), args, 2, &r, &o));
  EXPECT_EQ(o.popped, 0);
  ASSERT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Faulting), nullptr, 0, nullptr, &o));
  EXPECT_EQ(o.faultCode, static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_NE(o.faultAddress, nullptr);
  const uint32_t code[] = {0xE0001234};
  ASSERT_FALSE(base::win::CallForeign(reinterpret_cast<const void*>(&Raising), code, 1, nullptr, &o));
  EXPECT_EQ(o.faultCode, 0xE0001234u);
}

}  // namespace
