// "TCOMPRESS" resources of a module: the program's own pictures and a test module's.
#include <gtest/gtest.h>
#include <windows.h>

#include "CompressTestUtil.h"
#include "PictureCheck.h"
#include "setup/compress/InstCompressIntf.h"

namespace {

const char kModuleName[] = "compress_test_module.dll";

std::string ModulePath() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string dir(self);
  return dir.substr(0, dir.find_last_of('\\') + 1) + kModuleName;
}

// GDI takes the bitmap as one: the dimensions it reports are the planned ones.
void ExpectGdiAccepts(const PictureShape& shape, const Bytes& b) {
  const auto* info = reinterpret_cast<const BITMAPINFO*>(b.data() + 14);
  const uint8_t* bits = b.data() + Le(b, 10, 4);
  HDC dc = GetDC(nullptr);
  HBITMAP bmp = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  ASSERT_NE(bmp, nullptr) << shape.resName;
  BITMAP bm{};
  GetObjectA(bmp, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, shape.width) << shape.resName;
  EXPECT_EQ(bm.bmHeight, shape.height) << shape.resName;
  DeleteObject(bmp);
}

TEST(CompressResource, ProgramPicturesExpand) {
  for (const PictureShape* shape : kPictures) {
    std::unique_ptr<base::MemoryStream> s = ExpandCompressedResource(shape->resName, "");
    ASSERT_TRUE(s) << shape->resName;
    EXPECT_EQ(s->Position(), 0) << shape->resName;
    const Bytes& b = s->Bytes();
    EXPECT_EQ(CheckPicture(*shape, b), "") << shape->resName;
    if (shape->bitCount != 0) ExpectGdiAccepts(*shape, b);
  }
}

TEST(CompressResource, FromAModuleFile) {
  std::string path = ModulePath();
  ASSERT_EQ(GetModuleHandleA(kModuleName), nullptr);
  TTandrelInstCompress c;
  std::unique_ptr<base::MemoryStream> side = c.ExpandResource("SIDE", path);
  std::unique_ptr<base::MemoryStream> own = c.ExpandResource("SIDE", "");
  EXPECT_EQ(side->Bytes(), own->Bytes());
  // Data without a header come out as they are.
  EXPECT_EQ(c.ExpandResource("PLAIN", path)->Bytes(), Str("plain bytes, no header\n"));
  // The module is loaded only for the call.
  EXPECT_EQ(GetModuleHandleA(kModuleName), nullptr);
}

TEST(CompressResource, Failures) {
  std::string path = ModulePath();
  TTandrelInstCompress c;
  struct Case {
    const char* res;
    std::string module, text;
  } cases[] = {
      {"SIDE", "no_such_module.dll", "Could not load no_such_module.dll DLL"},
      {"ABSENT", path, "Resource ABSENT not found"},
      {"EMPTY", path, "Could not load resource: EMPTY"},
      {"BADSUM", path, "Bad checksum during expansion -- data may be invalid"},
  };
  for (const auto& k : cases) {
    try {
      c.ExpandResource(k.res, k.module);
      ADD_FAILURE() << k.res << " expanded";
    } catch (const base::Exception& e) {
      EXPECT_EQ(std::string(e.what()), k.text) << k.res;
    }
    // Released also after a failure.
    EXPECT_EQ(GetModuleHandleA(kModuleName), nullptr) << k.res;
  }
  EXPECT_THROW(c.ExpandResource("EMPTY", path), base::EResNotFound);
}

}  // namespace
