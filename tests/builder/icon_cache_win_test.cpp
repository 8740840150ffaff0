// The icon cache against file types this test writes into the prefix's registry and
// modules whose icons it knows by colour: a library with icon 7 blue and icon 9 red,
// programs with a red and a green icon, and one program without any icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "base/win/ImageList.h"
#include "base/win/Registry.h"
#include "setup/model/InstConfigClasses.h"
#include "tests/harness/ImageListCheck.h"
#include "tests/harness/WinTestSupport.h"

using base::win::ImageList;

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

std::string Fixture(const std::string& name) {
  const std::string exe = wintest::ThisExe();
  return exe.substr(0, exe.find_last_of('\\') + 1) + "fixtures_icons\\" + name;
}

COLORREF Centre(const ImageList& list, int i) { return wintest::ImageCentre(list, i); }

void SetDefault(const std::string& key, const std::string& value) {
  base::win::RegKey k;
  ASSERT_TRUE(k.Create(HKEY_CLASSES_ROOT, key.c_str(), KEY_WRITE));
  ASSERT_EQ(RegSetValueExA(k.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
}

// File types of the test's own, gone again at the end.
class IconCache : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const std::string icons = Fixture("icons.dll");
    SetDefault(".tandrelq", "Tandrel.QFile");
    SetDefault("Tandrel.QFile", "Tandrel Q Document");
    SetDefault("Tandrel.QFile\\DefaultIcon", "\"" + icons + "\",-9");
    SetDefault(".tandrelp", "Tandrel.PFile");
    SetDefault("Tandrel.PFile\\DefaultIcon", icons + ",1");
    SetDefault(".tandrelb", "Tandrel.BFile");
    SetDefault("Tandrel.BFile", "");
    SetDefault("Tandrel.BFile\\DefaultIcon", icons + ",5");
    SetDefault(".tandrelm", "Tandrel.MissingFile");
    SetDefault(".tandreln", "Tandrel.NoFile");
    SetDefault("Tandrel.NoFile\\DefaultIcon", "C:\\nowhere\\icons.dll,1");
  }
  static void TearDownTestSuite() {
    for (const char* key : {"Tandrel.QFile\\DefaultIcon", "Tandrel.QFile", "Tandrel.PFile\\DefaultIcon",
                            "Tandrel.PFile", "Tandrel.BFile\\DefaultIcon", "Tandrel.BFile", "Tandrel.NoFile\\DefaultIcon",
                            "Tandrel.NoFile", ".tandrelq", ".tandrelp", ".tandrelb", ".tandrelm", ".tandreln"})
      RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }

  ImageList small{ImageList::kSmall};
  ImageList large{ImageList::kLarge};
};

std::string Description(TZemAssociation& cache, const std::string& file) {
  std::string d;
  cache.GetDescription(file, d);
  return d;
}

TEST_F(IconCache, ExtensionsShareOneEntryWhateverTheirCase) {
  TZemAssociation cache(&large, small);
  EXPECT_TRUE(small.ShareImages());
  EXPECT_TRUE(large.ShareImages());
  const int a = cache.GetImageIndex("C:\\Docs\\A.TXT");
  const int b = cache.GetImageIndex("b.txt");
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(cache.Keys(), std::vector<std::string>{".txt"});
  EXPECT_EQ(small.Count(), 1);
  EXPECT_EQ(large.Count(), 1);
}

TEST_F(IconCache, EachExistingProgramHasItsOwnEntry) {
  TZemAssociation cache(&large, small);
  const std::string red = Fixture("red.exe"), green = Fixture("green.exe");
  EXPECT_EQ(cache.GetImageIndex(red), 0);
  EXPECT_EQ(cache.GetImageIndex(green), 1);
  EXPECT_EQ(cache.GetImageIndex(Fixture("RED.EXE")), 0);
  EXPECT_EQ(Description(cache, green), "Application");
  EXPECT_EQ(cache.Keys(), (std::vector<std::string>{base::AnsiLowerCase(red), base::AnsiLowerCase(green)}));
  EXPECT_EQ(Centre(small, 0), kRed);
  EXPECT_EQ(Centre(large, 0), kRed);
  EXPECT_EQ(Centre(small, 1), kGreen);
  EXPECT_EQ(Centre(large, 1), kGreen);

  // A missing program and one without an icon of its own are the extension ".exe", once.
  EXPECT_EQ(cache.GetImageIndex("C:\\nowhere\\gone.exe"), 2);
  EXPECT_EQ(cache.GetImageIndex(Fixture("plain.exe")), 2);
  EXPECT_EQ(cache.GetImageIndex(Fixture("plain.exe")), 2);
  EXPECT_EQ(cache.Keys().size(), 3u);
  EXPECT_EQ(cache.Keys()[2], ".exe");
  EXPECT_EQ(small.Count(), 3);
  EXPECT_EQ(large.Count(), 3);
}

TEST_F(IconCache, UnlistedExtensionsGetTheShellIconAndAMadeUpDescription) {
  TZemAssociation cache(&large, small);
  EXPECT_EQ(Description(cache, "x.TandrelZZ"), "TANDRELZZ File");
  EXPECT_EQ(Description(cache, "C:\\dir.d\\noext"), " File");
  EXPECT_EQ(Description(cache, "x.tandrelm"), "TANDRELM File");  // its type has no key
  EXPECT_EQ(cache.Keys(), (std::vector<std::string>{".tandrelzz", ".", ".tandrelm"}));
  EXPECT_EQ(small.Count(), 3);
  // The shell's icon 0 is no blank.
  EXPECT_NE(Centre(large, 0), kWhite);
}

TEST_F(IconCache, IconLocationsNameTheirModuleAndIndex) {
  TZemAssociation cache(&large, small);
  // Quotes removed, -9 passed as written: the icon of resource id 9, red.
  EXPECT_EQ(cache.GetImageIndex("a.tandrelq"), 0);
  EXPECT_EQ(Description(cache, "a.tandrelq"), "Tandrel Q Document");
  EXPECT_EQ(Centre(small, 0), kRed);
  EXPECT_EQ(Centre(large, 0), kRed);
  // Index 1 counts the icons in order: the second is red too, the first blue.
  EXPECT_EQ(cache.GetImageIndex("a.tandrelp"), 1);
  EXPECT_EQ(Centre(small, 1), kRed);
  // A module that is not there: the shell's icon.
  EXPECT_EQ(cache.GetImageIndex("a.tandreln"), 2);
  EXPECT_NE(Centre(small, 2), kWhite);
}

TEST_F(IconCache, AnIconThatCannotBeExtractedLeavesABlankInEachList) {
  TZemAssociation cache(&large, small);
  EXPECT_EQ(cache.GetImageIndex("a.tandrelb"), 0);  // icons.dll has no sixth icon
  EXPECT_EQ(Description(cache, "a.tandrelb"), "TANDRELB File");
  EXPECT_EQ(small.Count(), 1);
  EXPECT_EQ(large.Count(), 1);
  EXPECT_EQ(Centre(small, 0), kWhite);
  // Later entries keep their own images.
  EXPECT_EQ(cache.GetImageIndex("b.tandrelq"), 1);
  EXPECT_EQ(Centre(small, 1), kRed);
  EXPECT_EQ(Centre(large, 1), kRed);
}

TEST_F(IconCache, ImagesCountFromWhatTheListHeldBefore) {
  for (int i = 0; i < 3; ++i) small.AddBlank();
  TZemAssociation cache(nullptr, small);
  EXPECT_EQ(cache.BaseIndex, 3);
  EXPECT_EQ(cache.GetImageIndex("a.tandrelq"), 3);
  EXPECT_EQ(cache.GetImageIndex("a.tandrelzz"), 4);
  EXPECT_EQ(cache.GetImageIndex("b.tandrelq"), 3);
  EXPECT_EQ(small.Count(), 5);
  EXPECT_EQ(Centre(small, 3), kRed);
}

TEST_F(IconCache, LookupsDoNotGrowWithTheNumberOfFiles) {
  TZemAssociation cache(&large, small);
  std::vector<std::string> files;
  for (int i = 0; i < 10000; ++i) files.push_back("C:\\Files\\file" + std::to_string(i) + ".t" + std::to_string(i % 50));
  for (const auto& f : files) cache.GetImageIndex(f);  // the 50 types read once
  const auto start = std::chrono::steady_clock::now();
  for (const auto& f : files) cache.GetImageIndex(f);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(cache.Keys().size(), 50u);
  EXPECT_EQ(small.Count(), 50);
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

struct LocationCase {
  const char* location;
  bool split;
  const char* file;
  int index;
};

TEST(IconLocation, QuotesGoAndTheLastCommaSplits) {
  const LocationCase cases[] = {
      {"\"C:\\Program Files\\App\\app.exe\",-101", true, "C:\\Program Files\\App\\app.exe", -101},
      {"C:\\a,b\\x.dll,3", true, "C:\\a,b\\x.dll", 3},
      {"x.dll, 4", true, "x.dll", 4},
      {"x.dll,abc", true, "x.dll", 0},
      {"x.dll,", true, "x.dll", 0},
      {"x\"\".dll,2", true, "x.dll", 2},
      {"x.dll,99999999999", true, "x.dll", 0},
      {"C:\\icons\\app.ico", false, "", 0},
      {"", false, "", 0},
  };
  for (const auto& c : cases) {
    std::string file;
    int index = 0;
    EXPECT_EQ(SplitIconLocation(c.location, file, index), c.split) << c.location;
    if (!c.split) continue;
    EXPECT_EQ(file, c.file) << c.location;
    EXPECT_EQ(index, c.index) << c.location;
  }
}

}  // namespace
