// Version comparison, size texts, packed file dates and version-resource paths.
#include <gtest/gtest.h>

#include <climits>

#include "setup/services/InstFileInfo.h"

namespace {

struct VersionCase {
  const char* oldVersion;
  const char* newVersion;
  bool older;
  const char* why;
};

const VersionCase kVersionCases[] = {
    {"1.5", "1.10", true, "parts are numbers, not text"},
    {"2.0", "1.5", false, "first part decides"},
    {"1.2", "1.2.3", true, "longer new version"},
    {"1.2.3", "1.2", false, "longer old version"},
    {"1.0", "1.0", false, "equal"},
    {"", "", true, "two empty texts"},
    {"1.x", "1.1", true, "a non-number counts 0"},
    {"1.3", "1.2.0.5", false, "a later part does not outweigh an earlier one"},
    {"2", "1.5", false, "a single part against two"},
    {"1.5", "2", true, "two parts against a single one"},
    {"1.2", "1.2.0", false, "a missing part counts 0"},
    {"1.2.0", "1.2", false, "a missing part counts 0, other side"},
    {"1.2.0.0", "1.2.0.1", true, "last of four parts"},
    {"1.0.0.9", "1.0.0.10", true, "last part numeric"},
    {"", "1.0", true, "empty old counts 0"},
    {"1.0", "", false, "empty new counts 0"},
    {"1..3", "1.0.4", true, "an empty part counts 0"},
    {"4294967296", "1", true, "a number beyond 32 bits counts 0"},
    {"-1", "0", true, "a sign is part of the number"},
    {" 2 . 1", "2.2", true, "blanks around a part"},
};

TEST(IsVersionOlder, TableOfCases) {
  for (const VersionCase& c : kVersionCases)
    EXPECT_EQ(IsVersionOlder(c.oldVersion, c.newVersion), c.older)
        << c.oldVersion << " vs " << c.newVersion << ": " << c.why;
}

struct SizeCase {
  int64_t bytes;
  const char* separator;
  const char* text;
};

const SizeCase kSizeCases[] = {
    {0, ",", "0 K"},
    {511, ",", "0 K"},
    {512, ",", "1 K"},             // half a kilobyte rounds up
    {1536, ",", "2 K"},
    {2560, ",", "3 K"},            // halves go away from zero
    {999 * 1024, ",", "999 K"},
    {1000 * 1024, ",", "1,000 K"},
    {10 * 1024 * 1024, ",", "10,240 K"},
    {10 * 1024 * 1024, ".", "10.240 K"},
    {10 * 1024 * 1024, "", "10240 K"},
    {1099511627776LL, ",", "1,073,741,824 K"},  // 1 TB needs the 64-bit form
    {-1536, ",", "-2 K"},
    {-100, ",", "0 K"},
    {INT64_MIN, ",", "-9,007,199,254,740,992 K"},
};

TEST(FormatSizeK, TableOfCases) {
  for (const SizeCase& c : kSizeCases)
    EXPECT_EQ(FormatSizeKText(c.bytes, c.separator), c.text) << c.bytes;
}

TEST(FormatSizeK, BothWidthsAgree) {
  EXPECT_EQ(FormatSizeK(1536), "2 K");
  EXPECT_EQ(FormatSizeK(INT32_MAX), FormatSizeK64(INT32_MAX));
  EXPECT_EQ(FormatSizeK64(10LL * 1024 * 1024), FormatSizeK(10 * 1024 * 1024));
}

uint32_t Pack(int y, int mo, int d, int h, int mi, int s) {
  return (static_cast<uint32_t>(((y - 1980) << 9) | (mo << 5) | d) << 16) | ((h << 11) | (mi << 5) | (s / 2));
}

TEST(DosDateTimeToDateTime, KnownDays) {
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(Pack(1980, 1, 1, 0, 0, 0)), 29221.0);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(Pack(2000, 1, 1, 0, 0, 0)), 36526.0);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(Pack(2000, 2, 29, 0, 0, 0)), 36585.0);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(Pack(2107, 12, 31, 0, 0, 0)), 75971.0);
  // The packed value worked out by hand: 2026-12-10 12:30:58.
  EXPECT_EQ(Pack(2026, 12, 10, 12, 30, 58), 0x5D8A63DDu);
  EXPECT_NEAR(DosDateTimeToDateTime(0x5D8A63DDu), 46366.52150462963, 1e-9);
}

TEST(DosDateTimeToDateTime, OutOfRangeFieldsGiveZero) {
  EXPECT_EQ(DosDateTimeToDateTime(0), 0.0);                           // month 0, day 0
  EXPECT_EQ(DosDateTimeToDateTime(Pack(2001, 2, 29, 0, 0, 0)), 0.0);  // no leap day
  EXPECT_EQ(DosDateTimeToDateTime(Pack(2001, 13, 1, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosDateTimeToDateTime(Pack(2001, 4, 31, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosDateTimeToDateTime(Pack(2001, 1, 1, 24, 0, 0)), 0.0);
  EXPECT_EQ(DosDateTimeToDateTime(Pack(2001, 1, 1, 23, 60, 0)), 0.0);
}

TEST(VersionStringPath, UpperCaseHexDigits) {
  EXPECT_EQ(VersionStringPath(0x0409, 0x04E4, "FileVersion"), "\\StringFileInfo\\040904E4\\FileVersion");
  EXPECT_EQ(VersionStringPath(0xabcd, 0x00b0, "CompanyName"), "\\StringFileInfo\\ABCD00B0\\CompanyName");
}

}  // namespace
