#include "builder/common/FileListRules.h"

#include <cmath>
#include <cstdint>

std::string FileNamePart(const std::string& path) {
  size_t p = path.find_last_of("\\:");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string FilePathPart(const std::string& path) {
  size_t p = path.find_last_of("\\:");
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

CalendarTime DecodeDateTime(double value) {
  CalendarTime t;
  double days = std::floor(value);
  // Whole milliseconds of the day, rounded as the class library rounds them.
  auto ms = static_cast<int64_t>(std::llround((value - days) * 86400000.0));
  if (ms >= 86400000) {
    ms -= 86400000;
    days += 1;
  }
  // Civil date from days since 1899-12-30 (day 0), through days since 1970-01-01.
  int64_t z = static_cast<int64_t>(days) - 25569 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  t.Year = static_cast<int>(y + (m <= 2 ? 1 : 0));
  t.Month = static_cast<int>(m);
  t.Day = static_cast<int>(d);
  int64_t secs = ms / 1000;
  t.Hour = static_cast<int>(secs / 3600);
  t.Minute = static_cast<int>(secs / 60 % 60);
  t.Second = static_cast<int>(secs % 60);
  return t;
}
