// The setup engine's half: no encoders, every decoder.
#include <gtest/gtest.h>

#include "CompressTestUtil.h"

namespace {

TEST(ExpandOnly, EncodersAreDisabled) {
  const std::pair<uint8_t, const char*> cases[] = {
      {cmRLE, "RLE compression disabled in this build"},
      {cmLZH, "LZH1 compression disabled in this build"},
      {cmLH5, "LZH5 compression disabled in this build"},
  };
  for (const auto& [m, text] : cases) {
    try {
      Encode(m, Str("abcdef"));
      FAIL() << text;
    } catch (const EUnrecognizedCompressionMethod& e) {
      EXPECT_STREQ(e.what(), text);
    }
  }
}

TEST(ExpandOnly, ExpandsEveryBuiltInMethod) {
  Bytes lh5 = HundredThousandLettersLh5();
  TTandrelInstCompress c;
  Bytes out = ExpandBytes(c, Single("LH5", lh5, 100000, 100000 * 0x41));
  EXPECT_EQ(out, Bytes(100000, 0x41));
  EXPECT_EQ(ExpandBytes(c, Single("RLE", B({0x41, 0x94, 0x05}), 5, 5 * 0x41)), Bytes(5, 0x41));
}

}  // namespace
