#include <gtest/gtest.h>

#include <cstdio>

#include "base/Exceptions.h"
#include "base/Streams.h"

using namespace base;

TEST(MemoryStream, ReadWriteSeekFollowTheCursor) {
  MemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.Position(), 6);
  m.SetPosition(2);
  m.WriteBuffer("XY", 2);  // overwrite in place, size unchanged
  EXPECT_EQ(m.Size(), 6);
  char buf[8] = {};
  m.SetPosition(0);
  EXPECT_EQ(m.Read(buf, 8), 6);  // short read returns what there is
  EXPECT_STREQ(buf, "abXYef");
  EXPECT_EQ(m.Read(buf, 1), 0);
  m.SetPosition(10);  // past the end: a write there fills the gap
  m.WriteBuffer("!", 1);
  EXPECT_EQ(m.Size(), 11);
  EXPECT_EQ(m.Bytes()[8], 0);
}

TEST(MemoryStream, ShortReadBufferRaisesReadError) {
  MemoryStream m(std::vector<uint8_t>{1, 2, 3});
  uint8_t b[4];
  try {
    m.ReadBuffer(b, 4);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
}

TEST(Stream, CopyFromZeroCopiesWholeSourceFromStart) {
  MemoryStream src(std::vector<uint8_t>{1, 2, 3, 4});
  src.SetPosition(3);
  MemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(src, 0), 4);
  EXPECT_EQ(dst.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
  src.SetPosition(1);
  MemoryStream part;
  part.CopyFrom(src, 2);
  EXPECT_EQ(part.Bytes(), (std::vector<uint8_t>{2, 3}));
  EXPECT_THROW(part.CopyFrom(src, 5), EReadError);
}

TEST(FileStream, CreateWriteReopenAndErrors) {
  std::string name = testing::TempDir() + "streams_test.bin";
  {
    FileStream f(name, fmCreate);
    f.WriteBuffer("hello", 5);
    f.SetSize(3);
  }
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{'h', 'e', 'l'}));
  {
    FileStream f(name, fmOpenReadWrite | fmShareExclusive);
    f.Seek(0, SeekOrigin::End);
    f.WriteBuffer("p", 1);
  }
  EXPECT_EQ(ReadFileBytes(name).size(), 4u);
  std::remove(name.c_str());
  EXPECT_FALSE(FileExists(name));
  try {
    FileStream f(name, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + name);
  }
}

TEST(FileStream, UniqueFileLeavesExistingFilesAlone) {
  const std::string stem = testing::TempDir() + "streams_unique.~sav";
  std::remove(stem.c_str());
  std::remove((stem + "1").c_str());
  std::remove((stem + "2").c_str());
  WriteFileBytes(stem, {'u', 's', 'e', 'r'});  // a file of the user's under the helper name
  const std::string first = CreateUniqueFile(stem);
  const std::string second = CreateUniqueFile(stem);
  EXPECT_EQ(first, stem + "1");
  EXPECT_EQ(second, stem + "2");
  EXPECT_EQ(ReadFileBytes(stem), (std::vector<uint8_t>{'u', 's', 'e', 'r'}));
  EXPECT_TRUE(ReadFileBytes(first).empty());
  EXPECT_THROW(CreateUniqueFile(testing::TempDir() + "no such folder/x"), EFCreateError);
  for (const auto& n : {stem, first, second}) std::remove(n.c_str());
}

TEST(FileFunctions, FactsOfAFileTheTemporaryNameAndTheReplacement) {
  const std::string dir = testing::TempDir() + "streams_files";
  const std::string in = IncludeTrailingPathDelimiter(dir);
  const std::string file = in + "a.bin", missing = in + "missing.bin";
  RemoveFile(file);
  RemoveDir(dir);
  ASSERT_TRUE(CreateDir(dir));
  EXPECT_FALSE(CreateDir(dir)) << "already there";
  EXPECT_TRUE(DirectoryExists(dir));
  WriteFileBytes(file, {1, 2, 3, 4, 5});

  EXPECT_EQ(FileSize(file), 5);
  EXPECT_EQ(FileSize(missing), -1);
  EXPECT_NE(FileGetAttr(file) & 0x20, 0) << "a fresh file carries the archive bit";
  EXPECT_EQ(FileGetAttr(missing), 0);
  const int32_t age = FileAge(file);
  ASSERT_NE(age, -1);
  EXPECT_GE((static_cast<uint32_t>(age) >> 25) + 1980, 2020u) << "the DOS date's year in the high word";
  EXPECT_EQ(FileAge(missing), -1);

  EXPECT_TRUE(SameFile(file, file));
  EXPECT_TRUE(SameFile(file, in + "." + (in.back() == '/' ? "/" : "\\") + "a.bin")) << "another spelling";
  EXPECT_FALSE(SameFile(file, missing));

  const std::string temp = CreateTempFileIn(in, "Zem");
  EXPECT_EQ(temp.compare(0, in.size() + 3, in + "Zem"), 0) << temp;
  EXPECT_EQ(temp.substr(temp.size() - 4), ".tmp");
  EXPECT_TRUE(FileExists(temp));
  const std::string second = CreateTempFileIn(in, "Zem");
  EXPECT_NE(second, temp) << "each name once";
  EXPECT_THROW(CreateTempFileIn(in + "no such folder" + in.substr(in.size() - 1), "Zem"), EFCreateError);

  ASSERT_TRUE(MoveReplacing(temp, file));
  EXPECT_FALSE(FileExists(temp));
  EXPECT_EQ(FileSize(file), 0) << "the empty temporary file took its place";

  RemoveFile(file);
  RemoveDir(dir);
  EXPECT_TRUE(DirectoryExists(dir)) << "a folder with a file in it stays";
  RemoveFile(second);
  RemoveDir(dir);
  EXPECT_FALSE(DirectoryExists(dir));
  EXPECT_EQ(IncludeTrailingPathDelimiter(in), in) << "one separator only";
}
