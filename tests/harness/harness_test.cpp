// The harness gives every Windows test a display, a prefix of its own and chosen
// reported Windows versions; libjpeg is cross-built and decodes under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "base/Streams.h"
#include "tests/harness/WinTestSupport.h"

TEST(Harness, WindowShowsOnTheDisplay) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  HWND w = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(w));
  char text[16];
  GetWindowTextA(w, text, sizeof text);
  EXPECT_STREQ(text, "probe");
  DestroyWindow(w);
}

TEST(Harness, PrefixRegistryIsReadable) {
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &h),
            ERROR_SUCCESS);
  char value[MAX_PATH];
  DWORD size = sizeof value, type = 0;
  EXPECT_EQ(RegQueryValueExA(h, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  RegCloseKey(h);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(value, "C:\\Program Files");
  // The run's prefix, never the user's: the harness names it.
  char harness[MAX_PATH];
  EXPECT_GT(GetEnvironmentVariableA("TANDREL_WINE_HARNESS", harness, sizeof harness), 0u);
}

TEST(Harness, ReportedVersionProbe) {
  std::string version;
  if (!wintest::InVersionChild(&version)) GTEST_SKIP() << "runs inside a version child";
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  struct { const char* name; DWORD major, minor, platform; } table[] = {
      {"win95", 4, 0, VER_PLATFORM_WIN32_WINDOWS}, {"win98", 4, 10, VER_PLATFORM_WIN32_WINDOWS},
      {"nt40", 4, 0, VER_PLATFORM_WIN32_NT},       {"win2k", 5, 0, VER_PLATFORM_WIN32_NT},
  };
  for (auto& t : table) {
    if (version != t.name) continue;
    EXPECT_EQ(v.dwMajorVersion, t.major);
    EXPECT_EQ(v.dwMinorVersion, t.minor);
    EXPECT_EQ(v.dwPlatformId, t.platform);
    return;
  }
  ADD_FAILURE() << "unknown version " << version;
}

TEST(Harness, ChildRunsUnderEachReportedVersion) {
  if (wintest::InVersionChild()) GTEST_SKIP();
  for (const char* version : {"win95", "win98", "nt40", "win2k"})
    EXPECT_EQ(wintest::RunUnderWindowsVersion(version, "Harness.ReportedVersionProbe"), 0) << version;
}

TEST(Harness, JpegDecodesThroughLibjpeg) {
  std::vector<uint8_t> bytes = base::ReadFileBytes(JPEG_FIXTURE);
  jpeg_decompress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&info);
  EXPECT_EQ(info.output_width, 32u);
  EXPECT_EQ(info.output_height, 16u);
  EXPECT_EQ(info.output_components, 3);
  std::vector<uint8_t> rows(info.output_width * info.output_components * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rows.data() + info.output_scanline * info.output_width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  // Top row red, bottom row blue.
  EXPECT_GT(rows[0], 200);
  EXPECT_LT(rows[2], 60);
  size_t last = (15 * 32) * 3;
  EXPECT_LT(rows[last], 60);
  EXPECT_GT(rows[last + 2], 200);
}
