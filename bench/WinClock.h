// Wall time of the Windows benchmarks, in seconds from the performance counter.
#pragma once
#include <windows.h>

namespace bench {

inline double Now() {
  static const LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace bench
