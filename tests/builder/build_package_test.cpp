// The build of a setup package from a small project on disk, read back byte by byte
// with a reader of the package layout of the test's own.
#include "tests/builder/BuildFixture.h"

#include "setup/services/InstGlobal.h"
#include "resources/builder_texts.h"

namespace buildtest {
namespace {

using Names = std::vector<std::string>;

TEST_F(BuildFixture, PackageFromAProject) {
  TTandrelBaseInstall p;
  FillProject(p);
  p.Modified = false;
  RecordingHost h;
  ASSERT_EQ(Build(p, h), TBuildResult::Succeeded);

  const Bytes package = base::ReadFileBytes(output);
  EXPECT_EQ(h.lines, (Names{"Validating Baggage", "Files : 5   Size : 32 K", "Validating Files",
                            "Files : 4   Size : 35 K", "Building Image", "   " + output, "", "Successful Build",
                            "Image Size : " + FormatSizeK64(static_cast<int64_t>(package.size()))}));
  EXPECT_TRUE(h.errors.empty());
  EXPECT_TRUE(h.questions.empty());
  EXPECT_EQ(h.building, (std::vector<bool>{true, false}));
  EXPECT_EQ(h.beeps, 1);
  EXPECT_TRUE(Temporaries().empty());

  ReadPackage r = ParsePackage(package);
  // The stub, byte for byte, with its own size behind the marker.
  EXPECT_EQ(r.S, stubBytes.size());
  EXPECT_EQ(r.markerAt, 17000u);
  Bytes patched = stubBytes;
  std::memcpy(patched.data() + 17008, "\x20\x4E\x00\x00", 4);  // 20000
  EXPECT_EQ(r.stub, patched);
  EXPECT_EQ(Read("builder/Setup.exe"), patched);  // the builder's stub carries it from now on
  EXPECT_EQ(package.size(), size_t{r.S} + 8 + r.L1 + r.L2);

  EXPECT_EQ(r.a1.Names(), (Names{"Installer\\TandrelInstall.exe", "Info\\Inst.cmp", "Logo\\logo.bmp",
                                 "Billboards\\bill1.bmp", "Billboards\\bill2.bmp", "Support\\pre.exe",
                                 "Support\\app.exe"}));
  EXPECT_EQ(r.a2.Names(), (Names{"Program Files\\app.exe", "Program Files\\readme.txt", "Program Files\\post.exe",
                                 "Help Files\\help.hlp"}));
  for (const ReadArchive* a : {&r.a1, &r.a2}) {
    EXPECT_EQ(a->signature, std::string("VELT\x1A"));
    EXPECT_EQ(a->id, "LH5");
    EXPECT_EQ(a->type, 1);
    uint32_t total = 0;
    for (auto& e : a->entries) {
      total += e.expanded;
      EXPECT_EQ(e.data.size(), e.expanded) << e.name;
      EXPECT_EQ(static_cast<int32_t>(e.checksum), ByteSum(e.data.data(), e.data.size())) << e.name;
      EXPECT_EQ(e.locked, 0u) << e.name;
    }
    EXPECT_EQ(a->expandedTotal, total);
  }
  struct Content {
    const ReadArchive* archive;
    const char* entry;
    const char* file;
  } contents[] = {
      {&r.a1, "Installer\\TandrelInstall.exe", "builder/TandrelInstall.exe"},
      {&r.a1, "Logo\\logo.bmp", "src/pics/logo.bmp"},
      {&r.a1, "Billboards\\bill2.bmp", "src/pics/bill2.bmp"},
      {&r.a1, "Support\\pre.exe", "src/tools/pre.exe"},
      {&r.a1, "Support\\app.exe", "src/a/app.exe"},
      {&r.a2, "Program Files\\app.exe", "src/a/app.exe"},
      {&r.a2, "Program Files\\post.exe", "src/a/post.exe"},
      {&r.a2, "Help Files\\help.hlp", "src/b/help.hlp"},
  };
  for (const auto& c : contents) {
    const ReadEntry* e = c.archive->Find(c.entry);
    ASSERT_NE(e, nullptr) << c.entry;
    EXPECT_EQ(e->data, Read(c.file)) << c.entry;
    EXPECT_EQ(e->method, cmLH5) << c.entry;
  }

  // Extensions that travel in archive 1 now run from the support folder.
  EXPECT_EQ(p.Extensions[0]->Executable, "<SUPPORTDIR>\\pre.exe");
  EXPECT_EQ(p.Extensions[1]->Executable, "<SUPPORTDIR>\\pre.exe");
  EXPECT_EQ(p.Extensions[2]->Executable, "[Program Files]\\post.exe");
  EXPECT_EQ(p.Extensions[3]->Executable, "<SUPPORTDIR>\\app.exe");
  EXPECT_TRUE(p.Modified);

  // "Inst.cmp" is the project as it is after those changes, and loads into an equal one.
  const ReadEntry* info = r.a1.Find("Info\\Inst.cmp");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->data, p.SaveToBytes());
  TTandrelBaseInstall loaded;
  base::MemoryStream in(info->data);
  ASSERT_TRUE(loaded.LoadFromStream(in));
  EXPECT_EQ(loaded.SaveToBytes(), p.SaveToBytes());
  EXPECT_EQ(loaded.Extensions[3]->Executable, "<SUPPORTDIR>\\app.exe");
  EXPECT_EQ(loaded.GetGroup(0)->Files.Count(), 3);
}

TEST_F(BuildFixture, ProgressReports) {
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost h;
  ASSERT_EQ(Build(p, h), TBuildResult::Succeeded);
  // Support files: the total counts every extension in the support folder, the files
  // are added once per path.
  EXPECT_EQ(h.progress, (Names{"0/6 |", "1/6 |", "2/6 |", "3/6 |", "4/6 |", "5/6 |",
                               "0/3 |", "0/3 |Program Files", "1/3 |Program Files", "1/3 |Help Files",
                               "2/3 |Help Files", "2/3 |Examples", "3/3 |Examples"}));
}

TEST_F(BuildFixture, InfoFileInAFolderOfTheBuildsOwn) {
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost h;
  Names seen;  // where "Inst.cmp" lies while the support files are packed
  h.host.Progress = [&](int32_t, int32_t, const std::string&, const std::string&) {
    if (!seen.empty()) return;
    for (auto& e : fs::recursive_directory_iterator(root / "tmp"))
      if (e.path().filename() == "Inst.cmp") seen.push_back(fs::relative(e.path(), root / "tmp").string());
  };
  ASSERT_EQ(Build(p, h), TBuildResult::Succeeded);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(fs::path(seen[0]).parent_path().empty()) << seen[0];  // never the shared temporary folder
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(BuildFixture, ModifiedFlagSurvivesTheInfoSave) {
  for (bool before : {false, true}) {
    TTandrelBaseInstall p;
    p.GetGroup(0)->AddFile(Path("src/a/app.exe"));
    p.Modified = before;
    RecordingHost h;
    ASSERT_EQ(Build(p, h), TBuildResult::Succeeded);
    EXPECT_EQ(p.Modified, before);
  }
}

TEST_F(BuildFixture, MissingFilesStopTheBuild) {
  struct Case {
    const char* why;
    const char* missing;
    size_t linesBefore;  // lines before the error line
  } cases[] = {
      {"a group file", "src/b/help.hlp", 3},
      {"the title picture", "src/pics/logo.bmp", 1},
      {"a billboard", "src/pics/bill1.bmp", 1},
  };
  for (const auto& c : cases) {
    SetUp();
    TTandrelBaseInstall p;
    FillProject(p);
    fs::remove(root / c.missing);
    RecordingHost h;
    EXPECT_EQ(Build(p, h), TBuildResult::Failed) << c.why;
    ASSERT_EQ(h.lines.size(), c.linesBefore + 1) << c.why;
    EXPECT_EQ(h.lines.back(), "Error: the file '" + Path(c.missing) + "' does not exist") << c.why;
    EXPECT_TRUE(h.errors.empty()) << c.why;
    EXPECT_EQ(h.building, (std::vector<bool>{true, false})) << c.why;
    EXPECT_TRUE(Temporaries().empty()) << c.why;
    EXPECT_FALSE(base::FileExists(output)) << c.why;
    EXPECT_EQ(Read("builder/Setup.exe"), stubBytes) << c.why;  // validation comes first
  }
}

TEST_F(BuildFixture, StubWithoutMarker) {
  Bytes plain = Filler(3000, 11);
  Write("builder/Setup.exe", plain);
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost h;
  EXPECT_EQ(Build(p, h), TBuildResult::Failed);
  EXPECT_EQ(h.errors, (Names{"Error during build..."}));
  EXPECT_FALSE(base::FileExists(output));
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_EQ(Read("builder/Setup.exe"), plain);
}

TEST_F(BuildFixture, StubMissingRaisesAfterCleaningUp) {
  fs::remove(root / "builder/Setup.exe");
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost h;
  EXPECT_THROW(Build(p, h), base::EFOpenError);
  EXPECT_EQ(h.building, (std::vector<bool>{true, false}));
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_FALSE(base::FileExists(output));
}

TEST_F(BuildFixture, EngineMissing) {
  fs::remove(root / "builder/TandrelInstall.exe");
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost h;
  EXPECT_EQ(Build(p, h), TBuildResult::Failed);
  EXPECT_EQ(h.lines.back(), "Could not add file '" + Path("builder/TandrelInstall.exe") + "'");
  EXPECT_EQ(h.errors, (Names{"Error during build..."}));
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_FALSE(base::FileExists(output));
}

TEST_F(BuildFixture, SupportFileThatCannotBeAddedKeepsTheOldPackage) {
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost first;
  ASSERT_EQ(Build(p, first), TBuildResult::Succeeded);
  const Bytes old = base::ReadFileBytes(output);
  // Extension files are not looked for while validating: this one fails when packed.
  TTandrelExtension* e = p.Extensions.Add();
  e->Owner = &p;
  e->RealFile = Path("src/tools/gone.exe");
  e->Executable = e->RealFile;
  RecordingHost h;
  EXPECT_EQ(Build(p, h), TBuildResult::Failed);
  EXPECT_EQ(h.questions, (Names{"This file already exists. Overwrite it?"}));
  // The dialog's progress handler puts the message into the log.
  EXPECT_EQ(h.progress.back(), "5/7 Could not add file '" + Path("src/tools/gone.exe") + "'|");
  EXPECT_EQ(h.errors, (Names{"Error during build..."}));
  EXPECT_EQ(base::ReadFileBytes(output), old);
  EXPECT_TRUE(Temporaries().empty());
}

// The packed project gives each file its size, which the engine checks before it installs:
// a file that changes after the project was packed would make a package it refuses.
TEST_F(BuildFixture, AFileChangedAfterTheProjectWasPackedStopsTheBuild) {
  TTandrelBaseInstall p;
  FillProject(p);
  const std::string group = p.GetGroup(1)->Name();
  RecordingHost h;
  h.host.Threads = 1;  // each file compressed when its turn comes
  bool changed = false;
  auto record = h.host.Progress;
  h.host.Progress = [&](int32_t pos, int32_t max, const std::string& msg, const std::string& name) {
    record(pos, max, msg, name);
    if (name == group && !changed) {
      Write("src/b/help.hlp", Filler(5001, 5));
      changed = true;
    }
  };
  EXPECT_EQ(Build(p, h), TBuildResult::Failed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(h.progress.back(),
            "0/" + std::to_string(p.Groups.Count()) + " Could not add file '" + Path("src/b/help.hlp") + "'|");
  EXPECT_EQ(h.errors, (Names{"Error during build..."}));
  EXPECT_FALSE(base::FileExists(output));
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(BuildFixture, OverwriteQuestion) {
  TTandrelBaseInstall p;
  FillProject(p);
  RecordingHost first;
  ASSERT_EQ(Build(p, first), TBuildResult::Succeeded);
  const Bytes old = base::ReadFileBytes(output);
  p.GetGroup(2)->AddFile(Path("src/b/help.hlp"));

  RecordingHost no;
  no.answerYes = false;
  EXPECT_EQ(Build(p, no), TBuildResult::NotStarted);
  EXPECT_EQ(no.questions, (Names{"This file already exists. Overwrite it?"}));
  EXPECT_TRUE(no.building.empty());
  EXPECT_TRUE(no.lines.empty());
  EXPECT_EQ(base::ReadFileBytes(output), old);

  RecordingHost yes;
  EXPECT_EQ(Build(p, yes), TBuildResult::Succeeded);
  EXPECT_EQ(yes.questions.size(), 1u);
  ReadPackage r = ParsePackage(base::ReadFileBytes(output));
  EXPECT_EQ(r.a2.Names().back(), "Examples\\help.hlp");
  // The stub keeps the same value in its marker build after build.
  EXPECT_EQ(r.stub, ParsePackage(old).stub);
}

TEST_F(BuildFixture, SameEntryNameTwiceStopsTheBuild) {
  Write("src/b/readme.txt", Filler(10, 12));
  TTandrelBaseInstall p;
  FillProject(p);
  p.GetGroup(0)->AddFile(Path("src/b/readme.txt"));
  RecordingHost h;
  EXPECT_EQ(Build(p, h), TBuildResult::Failed);
  EXPECT_EQ(h.lines.back(), "Error: the files '" + Path("src/a/readme.txt") + "' and '" + Path("src/b/readme.txt") +
                                "' would both be packed as 'Program Files\\readme.txt'");
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_FALSE(base::FileExists(output));

  // Two billboards of one name from two folders clash in archive 1 the same way.
  Write("src/a/bill1.bmp", Filler(10, 13));
  TTandrelBaseInstall q;
  FillProject(q);
  q.BillBoards.push_back(Path("src/a/bill1.bmp"));
  RecordingHost h2;
  EXPECT_EQ(Build(q, h2), TBuildResult::Failed);
  EXPECT_EQ(h2.lines.back(), "Error: the files '" + Path("src/pics/bill1.bmp") + "' and '" + Path("src/a/bill1.bmp") +
                                 "' would both be packed as 'Billboards\\bill1.bmp'");

  // A title picture and a billboard of one name from two folders: the engine takes both
  // into one support folder, where the second would overwrite the first.
  TTandrelBaseInstall t;
  FillProject(t);
  t.IsBitmap = true;
  t.TitleCaption = Path("src/a/bill1.bmp");
  RecordingHost h3;
  EXPECT_EQ(Build(t, h3), TBuildResult::Failed);
  EXPECT_EQ(h3.lines.back(), "Error: the files '" + Path("src/a/bill1.bmp") + "' and '" + Path("src/pics/bill1.bmp") +
                                 "' would both be taken to the setup's support folder as 'bill1.bmp'");
  EXPECT_FALSE(base::FileExists(output));
}

TEST_F(BuildFixture, NoGroupFileGivesAnEmptyArchive2) {
  TTandrelBaseInstall p;
  RecordingHost h;
  ASSERT_EQ(Build(p, h), TBuildResult::Succeeded);
  ReadPackage r = ParsePackage(base::ReadFileBytes(output));
  EXPECT_EQ(r.a1.Names(), (Names{"Installer\\TandrelInstall.exe", "Info\\Inst.cmp"}));
  EXPECT_EQ(r.L2, 21u);
  const uint8_t header[21] = {'V', 'E', 'L', 'T', 0x1A, 'L', 'H', '5', 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(r.a2raw, Bytes(header, header + 21));
}

TEST_F(BuildFixture, OutputNamesThatWouldDestroyWhatTheBuildReads) {
  Write("proj/Tool.exe", Filler(10, 14));
  struct Case {
    const char* why;
    std::string projectFile;
    std::string text;
  } cases[] = {
      {"never saved", "", texts::kMsgNotSaved},
      {"the stub", Path("builder/Setup.zem"),
       "The setup file '" + Path("builder/Setup.exe") +
           "' would replace the launcher stub \"Setup.exe\" that every build needs. Save the project under "
           "another name before building it."},
      {"the engine", Path("builder/TandrelInstall.zem"),
       "The setup file '" + Path("builder/TandrelInstall.exe") +
           "' would replace the setup engine \"TandrelInstall.exe\" that every build needs. Save the project "
           "under another name before building it."},
      {"the project itself", Path("proj/Tool.exe"),
       "The setup file '" + Path("proj/Tool.exe") +
           "' would replace the project file itself. Save the project under another name before building it."},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    RecordingHost h;
    EXPECT_EQ(BuildSetupPackage(p, c.projectFile, builderFolder, h.host), TBuildResult::NotStarted) << c.why;
    EXPECT_EQ(h.errors, (Names{c.text})) << c.why;
    EXPECT_TRUE(h.questions.empty()) << c.why;
    EXPECT_TRUE(h.building.empty()) << c.why;
  }
  EXPECT_EQ(Read("builder/Setup.exe"), stubBytes);
  EXPECT_EQ(Read("builder/TandrelInstall.exe"), engineBytes);
  EXPECT_EQ(Read("proj/Tool.exe"), Filler(10, 14));
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(BuildFixture, AddFileToArchive) {
  const std::string archive = Path("tmp/a.cmp");
  EXPECT_EQ(AddFileToArchive(archive, Path("src/a/readme.txt"), "Folder", nullptr), 0);
  EXPECT_EQ(AddFileToArchive(archive, Path("src/a/none.txt"), "Folder", nullptr), 100);
  int calls = 0;
  EXPECT_EQ(AddFileToArchive(archive, Path("src/a/app.exe"), "F2", [&](int32_t&) { ++calls; }), 0);
  EXPECT_GT(calls, 0);
  Bytes b = base::ReadFileBytes(archive);
  ReadArchive a = ParseArchive(b.data(), b.size());
  EXPECT_EQ(a.Names(), (Names{"Folder\\readme.txt", "F2\\app.exe"}));
  EXPECT_EQ(a.entries[1].data, Read("src/a/app.exe"));
  EXPECT_NE(a.entries[0].date, 0u);
  // A file that is not an archive is not added to.
  EXPECT_EQ(AddFileToArchive(Path("src/a/post.exe"), Path("src/a/readme.txt"), "Folder", nullptr), 100);
}

}  // namespace
}  // namespace buildtest
