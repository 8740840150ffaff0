// The figure every benchmark reports: the median of its runs (of an even count, the mean
// of the middle two).
#pragma once
#include <algorithm>
#include <vector>

namespace bench {

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace bench
