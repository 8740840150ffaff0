// The build-time RLE packer and the packed picture streams.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "CompressTestUtil.h"
#include "PictureCheck.h"
#include "resources/pack/RlePack.h"

namespace {

Bytes RleExpand(const Bytes& packed, int32_t size) {
  return Decode(cmRLE, packed, size).out;
}

TEST(RlePack, Cases) {
  struct Case {
    const char* why;
    Bytes in, packed;
  } cases[] = {
      {"empty", {}, {}},
      {"short runs stay literal", B({1, 1, 1, 2}), B({1, 1, 1, 2})},
      {"a run repeats its first byte", B({7, 7, 7, 7, 7}), B({7, 0x94, 5})},
      {"zeros first repeat the start value 0", B({0, 0, 0, 0}), B({0x94, 5})},
      {"the escape byte alone", B({0x94}), B({0x94, 0})},
      {"escape bytes repeat after one", B({0x94, 0x94, 0x94}), B({0x94, 0, 0x94, 3})},
      {"after an escape the byte is literal again", B({5, 5, 5, 5, 6, 6, 6, 6}),
       B({5, 0x94, 4, 6, 0x94, 4})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RlePack(c.in), c.packed) << c.why;
    EXPECT_EQ(RleExpand(c.packed, static_cast<int32_t>(c.in.size())), c.in) << c.why;
  }
}

TEST(RlePack, RoundTripsAndShrinksRuns) {
  std::vector<Bytes> inputs;
  inputs.push_back(Bytes(1000, 0));
  inputs.push_back(Bytes(600, 0x94));
  Bytes runs;
  for (int i = 0; i < 200; ++i) runs.insert(runs.end(), 1 + i * 7 % 300, static_cast<uint8_t>(i % 3 ? i : 0x94));
  inputs.push_back(runs);
  inputs.push_back(RandomBytes(5000, 11));
  inputs.push_back(TextBytes(5000, 12));
  for (const auto& in : inputs) {
    Bytes packed = RlePack(in);
    EXPECT_EQ(RleExpand(packed, static_cast<int32_t>(in.size())), in);
  }
  // 254 zeros from the start value, then a literal and 254 repeats per 3 bytes.
  EXPECT_EQ(RlePack(Bytes(1000, 0)).size(), 2u + 3u * 3);
}

#ifdef TANDREL_PICTURES_DIR
Bytes ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

// Each packed stream carries the method its role names and expands to its picture.
TEST(PictureStreams, ExpandToThePlannedPictures) {
  struct Planned {
    const PictureShape* shape;
    const char* method;
  } planned[] = {{&kAboutPicture, "LZH"}, {&kFirstPicture, "LH5"}, {&kSecondPicture, "RLE"},
                 {&kTickPicture, "RLE"}, {&kSidePicture, "RLE"}};
  for (const auto& p : planned) {
    std::string name = p.shape->resName;
    for (auto& ch : name) ch = static_cast<char>(tolower(ch));
    Bytes packed = ReadAll(std::string(TANDREL_PICTURES_DIR) + "/" + name + ".tcz");
    ASSERT_GT(packed.size(), 21u) << name;
    TCompressedHeader h = DecodeHeader(packed.data());
    EXPECT_TRUE(h.HasSignature()) << name;
    EXPECT_EQ(h.MethodID(), p.method) << name;
    EXPECT_EQ(h.ArchiveType, caSingle) << name;
    EXPECT_EQ(h.Locked, 0) << name;
    TTandrelInstCompress c;
    Bytes out = ExpandBytes(c, packed);
    EXPECT_EQ(static_cast<int32_t>(out.size()), h.ExpandedSize) << name;
    EXPECT_EQ(CheckPicture(*p.shape, out), "") << name;
    EXPECT_LT(packed.size(), out.size()) << name;
  }
}
#endif

}  // namespace
