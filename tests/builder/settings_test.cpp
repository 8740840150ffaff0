// Builder settings: the registry key, the short size text and where a form is put back.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/Streams.h"
#include "builder/common/BuilderSettings.h"

namespace {

TEST(BuilderSettings, RegistryKeyFromTheVersionBlock) {
  EXPECT_EQ(ComposeBuilderRegistryKey("Tandrel", "Tandrel-Install", "1.0"), "\\Software\\Tandrel\\Tandrel-Install\\1.0\\");
  // A value the block lacks leaves its place empty.
  EXPECT_EQ(ComposeBuilderRegistryKey("", "P", ""), "\\Software\\\\P\\\\");
  EXPECT_EQ(FormPositionKey("\\Software\\A\\B\\C\\", "frmBuilder"), "\\Software\\A\\B\\C\\Forms\\frmBuilder");
}

TEST(BuilderSettings, FormatSizeKM) {
  struct Case {
    int64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0KB"},
      {511, "0KB"},          // below half a kilobyte
      {512, "1KB"},          // halves go up
      {1048576, "1,024KB"},  // the last size in kilobytes
      {1048577, "1MB"},      // the first in megabytes
      {1572864, "2MB"},      // 1.5 MB rounds up
      {int64_t{5000} * 1048576, "5,000MB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSizeKMText(c.bytes, ","), c.text) << c.bytes;
  EXPECT_EQ(FormatSizeKMText(1048576, "."), "1.024KB");
}

TEST(BuilderSettings, FormPlacement) {
  const TFormPlacement current{10, 20, 300, 200, 0};
  auto stored = [](std::optional<int32_t> top, std::optional<int32_t> left, std::optional<int32_t> width,
                   std::optional<int32_t> height, std::optional<int32_t> state) {
    TStoredFormPosition s;
    s.Top = top, s.Left = left, s.Width = width, s.Height = height, s.State = state;
    return s;
  };
  struct Case {
    const char* why;
    bool keyExists;
    TStoredFormPosition stored;
    bool dialog;
    TFormPlacement want;
  } cases[] = {
      {"no key: centred", false, {}, false, {362, 284, 300, 200, 0}},
      {"all values", true, stored(5, 6, 700, 500, 0), false, {6, 5, 700, 500, 0}},
      {"maximised", true, stored(5, 6, 700, 500, 2), false, {6, 5, 700, 500, 2}},
      {"minimised comes back normal", true, stored(5, 6, 700, 500, 1), false, {6, 5, 700, 500, 0}},
      {"dialog: position only", true, stored(5, 6, 700, 500, 2), true, {6, 5, 300, 200, 0}},
      {"dialog without a size is fine", true, stored(5, 6, {}, {}, {}), true, {6, 5, 300, 200, 0}},
      {"missing Left: centred", true, stored(5, {}, 700, 500, 0), false, {362, 284, 300, 200, 0}},
      {"missing State: centred", true, stored(5, 6, 700, 500, {}), false, {362, 284, 300, 200, 0}},
      {"negative position kept", true, stored(-4, -4, 700, 500, 0), false, {-4, -4, 700, 500, 0}},
  };
  for (const auto& c : cases) {
    TFormPlacement p = DecideFormPlacement(c.keyExists, c.stored, c.dialog, 1024, 768, current);
    EXPECT_EQ(p.Left, c.want.Left) << c.why;
    EXPECT_EQ(p.Top, c.want.Top) << c.why;
    EXPECT_EQ(p.Width, c.want.Width) << c.why;
    EXPECT_EQ(p.Height, c.want.Height) << c.why;
    EXPECT_EQ(p.State, c.want.State) << c.why;
  }
  // A form larger than the screen: the division rounds toward zero.
  TFormPlacement big = DecideFormPlacement(false, {}, false, 1024, 768, {0, 0, 1101, 901, 0});
  EXPECT_EQ(big.Left, -38);
  EXPECT_EQ(big.Top, -66);
}

TEST(BuilderSettings, TemporaryNamesDiffer) {
  std::string a = NewTempFileName(), b = NewTempFileName();
  EXPECT_NE(a, b);
  EXPECT_NE(a.find("Zem"), std::string::npos);
  EXPECT_TRUE(base::FileExists(a));
  EXPECT_TRUE(base::FileExists(b));
  std::remove(a.c_str());
  std::remove(b.c_str());
}

}  // namespace
