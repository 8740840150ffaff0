// The Windows tests' main. Their results are printed and flushed, then the process ends at
// once with them: under Wine a test process now and then hangs in its exit after its last
// test had passed, until CTest's timeout called the run a failure.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
