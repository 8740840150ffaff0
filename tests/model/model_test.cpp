#include <gtest/gtest.h>

#include <cstring>

#include "setup/model/InstClasses.h"
#include "tests/model/FakePlatform.h"
#include "tests/model/fixtures/ProjectFileCases.h"

namespace {

TStrings GroupNames(const TTandrelBaseInstall& p) {
  TStrings out;
  for (auto* g : p.Groups) out.push_back(g->Name());
  return out;
}

const TStrings kDefaultFolders = {"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help Files",
                                  "[Examples]=<INSTALLDIR>\\Examples"};

TEST(Project, FreshProjectHoldsTheDefaults) {
  TTandrelBaseInstall p;
  EXPECT_EQ(GroupNames(p), (TStrings{"Program Files", "Help Files", "Examples"}));
  EXPECT_EQ(p.InstFolders, kDefaultFolders);
  ASSERT_EQ(p.Components.Count(), 3);
  EXPECT_EQ(p.Components[1]->Name(), "Help and Tutorial Files");
  EXPECT_EQ(p.Components[1]->Description, "Files required for the help system");
  EXPECT_EQ(p.Components[2]->Groups, TStrings{"Examples"});
  ASSERT_EQ(p.InstallTypes.Count(), 3);
  EXPECT_EQ(p.InstallTypes[1]->Name, "Compact");
  EXPECT_EQ(p.InstallTypes[1]->Components, (TStrings{"Application Files", "Help and Tutorial Files"}));
  EXPECT_EQ(p.InstallTypes[2]->Components.size(), 3u);
  ASSERT_EQ(p.Registry.Count(), 6);
  EXPECT_EQ(p.Registry[5]->KeyName, "HKEY_DYN_DATA");
  for (auto* k : p.Registry) {
    ASSERT_EQ(k->Values.Count(), 1);
    EXPECT_EQ(k->Values[0]->ValueName, "(Default)");
    EXPECT_EQ(k->Parent, nullptr);
  }
  ASSERT_EQ(p.IniFiles.Count(), 3);
  EXPECT_EQ(p.IniFiles[2]->FileName, "PROTOCOL.INI");
  EXPECT_EQ(p.DialogTypes, 0x03FF);
  EXPECT_EQ(p.FinishAction, 1);
  EXPECT_EQ(p.Setup1Size, -1);
  for (auto* g : p.Groups) {
    EXPECT_EQ(g->Owner, &p);
    EXPECT_EQ(g->UpdateMethod, umAllways);
    EXPECT_EQ(g->UpdatePlatforms, 0x1F);
  }
}

TEST(Project, ApplicationAndCompanySettersFillEmptyCaptions) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  p.SetApplicationName("Zed");
  p.SetCompanyName("Firm");
  EXPECT_EQ(p.TitleCaption, "Zed");
  EXPECT_EQ(p.OtherCaption, "Copyright \xA9 2026 by Firm");
  EXPECT_EQ(p.ProgramFolder, "Firm");
  // Filled captions stay.
  p.SetApplicationName("Other");
  p.SetCompanyName("Else");
  EXPECT_EQ(p.TitleCaption, "Zed");
  EXPECT_EQ(p.OtherCaption, "Copyright \xA9 2026 by Firm");
  EXPECT_EQ(p.ProgramFolder, "Firm");
  EXPECT_EQ(p.CompanyName(), "Else");
}

struct RenameCase {
  const char* why;
  const char* from;
  const char* to;
  TStrings folders;
  const char* componentEntry;
};

TEST(FileGroup, RenameKeepsInstFoldersAndComponentEntries) {
  const RenameCase cases[] = {
      {"plain rename keeps the line's place and destination", "Program Files", "Main",
       {"[Main]=<INSTALLDIR>", kDefaultFolders[1], kDefaultFolders[2]}, "Main"},
      {"a change of case is a rename", "Examples", "examples",
       {kDefaultFolders[0], kDefaultFolders[1], "[examples]=<INSTALLDIR>\\Examples"}, "examples"},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    TTandrelFileGroup* g = p.FindGroup(c.from);
    ASSERT_NE(g, nullptr) << c.why;
    int index = g->Index();
    g->SetName(c.to);
    EXPECT_EQ(p.InstFolders, c.folders) << c.why;
    EXPECT_EQ(p.Components[index]->Groups, TStrings{c.componentEntry}) << c.why;
  }
}

TEST(FileGroup, RenameWithoutLineAppendsOneThatDestinationFills) {
  TTandrelBaseInstall p;
  p.InstFolders.erase(p.InstFolders.begin());
  p.Groups[0]->SetName("Bin");
  EXPECT_EQ(p.InstFolders.back(), "[Bin]=");
  p.Groups[0]->SetDestination("<INSTALLDIR>\\Bin");
  EXPECT_EQ(p.InstFolders.back(), "[Bin]=<INSTALLDIR>\\Bin");
}

TEST(FileGroup, WithoutOwnerSettersTouchOnlyTheGroup) {
  TTandrelBaseInstall p;
  TTandrelFileGroup* g = p.Groups.Add();  // as a collection makes it: no owner
  g->SetName("Program Files");
  g->SetName("Loose");
  g->SetDestination("x");
  EXPECT_EQ(p.InstFolders, kDefaultFolders);
  EXPECT_EQ(p.Components[0]->Groups, TStrings{"Program Files"});
}

TEST(FileGroup, NameHoldingAnEqualsSignKeepsTheDestination) {
  TTandrelBaseInstall p;
  p.Groups[0]->SetName("a=b");
  EXPECT_EQ(p.InstFolders[0], "[a=b]=<INSTALLDIR>");
  p.Groups[0]->SetName("c");
  EXPECT_EQ(p.InstFolders[0], "[c]=<INSTALLDIR>");
  p.Groups[0]->SetName("x=y");
  p.Groups[0]->SetDestination("D:\\Dest");
  EXPECT_EQ(p.InstFolders[0], "[x=y]=D:\\Dest");
}

TEST(Component, RenameRewritesSetupTypes) {
  TTandrelBaseInstall p;
  p.Components[0]->SetName("Core");
  for (auto* t : p.InstallTypes) EXPECT_EQ(t->Components[0], "Core");
  EXPECT_EQ(p.InstallTypes[0]->GetComponent(0), p.Components[0]);
}

TEST(Lookup, FindGroupIsTheOnlyCaseSensitiveLookup) {
  TTandrelBaseInstall p;
  EXPECT_EQ(p.FindGroup("program files"), nullptr);
  EXPECT_EQ(p.FindGroup("Program Files"), p.Groups[0]);
  p.Components[0]->Groups[0] = "PROGRAM FILES";
  EXPECT_EQ(p.Components[0]->GetGroup(0), p.Groups[0]);
  EXPECT_EQ(p.FindInstallType("typical"), p.InstallTypes[0]);
}

TEST(Lookup, MissingOwnerOrIndexGivesNone) {
  TTandrelComponent c;
  c.Groups = {"Program Files"};
  EXPECT_EQ(c.GetGroup(0), nullptr);
  TTandrelBaseInstall p;
  p.Components[0]->Owner = nullptr;
  EXPECT_EQ(p.Components[0]->GetGroup(0), nullptr);
  p.InstallTypes[0]->Owner = nullptr;
  EXPECT_EQ(p.InstallTypes[0]->GetComponent(0), nullptr);
  p.Components[1]->Owner = &p;
  EXPECT_EQ(p.Components[1]->GetGroup(5), nullptr);
  TTandrelExtension e;
  e.Executable = "[Program Files]\\a.exe";
  EXPECT_FALSE(e.IsGroupFile());
}

TEST(Project, DeleteGroupAndComponentDropTheirNames) {
  TTandrelBaseInstall p;
  EXPECT_TRUE(p.DeleteGroup("help files"));
  EXPECT_EQ(GroupNames(p), (TStrings{"Program Files", "Examples"}));
  EXPECT_TRUE(p.Components[1]->Groups.empty());
  EXPECT_EQ(p.InstFolders, kDefaultFolders);  // the line stays
  EXPECT_FALSE(p.DeleteGroup("nothing"));
  EXPECT_TRUE(p.DeleteComponent("EXAMPLE FILES"));
  EXPECT_EQ(p.Components.Count(), 2);
  EXPECT_EQ(p.InstallTypes[0]->Components, (TStrings{"Application Files", "Help and Tutorial Files"}));
  EXPECT_EQ(p.InstallTypes[2]->Components.size(), 2u);
}

TEST(Project, MainFileGroupMadeWhenThereIsNone) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  p.Groups.Clear();
  p.InstFolders.clear();
  p.AddMainFile("C:\\app\\a.exe");
  ASSERT_EQ(p.Groups.Count(), 1);
  EXPECT_EQ(p.Groups[0]->Name(), "Program Files");
  EXPECT_EQ(p.Groups[0]->Owner, &p);
  EXPECT_EQ(p.InstFolders, TStrings{"[Program Files]=<INSTALLDIR>"});
  EXPECT_EQ(p.Groups[0]->Files.Count(), 1);
  EXPECT_EQ(p.MainFileGroup(), p.Groups[0]);
}

TEST(FileGroup, AddFileReadsFactsAndSkipsDuplicates) {
  FakePlatform fake;
  model::FileFacts facts;
  facts.found = true;
  facts.size = 1234;
  facts.date = 45000.5;
  facts.fileVersion = "1.2.3.4";
  facts.oleSelfRegister = true;
  fake.files["C:\\src\\A.dll"] = facts;
  TTandrelFileGroup g;
  EXPECT_TRUE(g.AddFile("C:\\src\\A.dll"));
  EXPECT_FALSE(g.AddFile("c:\\SRC\\a.DLL"));
  EXPECT_TRUE(g.AddFile("C:\\src\\missing.txt"));
  ASSERT_EQ(g.Files.Count(), 2);
  const TTandrelFile& a = *g.Files[0];
  EXPECT_EQ(a.Size, 1234);
  EXPECT_EQ(a.Timestamp, 45000.5);
  EXPECT_EQ(a.Version, "1.2.3.4");
  EXPECT_TRUE(a.SelfRegister);
  const TTandrelFile& m = *g.Files[1];
  EXPECT_EQ(m.Size, -1);
  EXPECT_EQ(m.Timestamp, 0);
  EXPECT_EQ(m.Version, "");
  EXPECT_EQ(g.GetTotalSize(), 1233);  // the missing file adds -1

  // Refresh reads the facts again but leaves SelfRegister.
  facts.size = 10;
  facts.oleSelfRegister = false;
  fake.files["C:\\src\\A.dll"] = facts;
  g.RefreshFiles();
  EXPECT_EQ(g.Files[0]->Size, 10);
  EXPECT_TRUE(g.Files[0]->SelfRegister);

  EXPECT_TRUE(g.RemoveFile("C:\\SRC\\MISSING.TXT"));
  EXPECT_FALSE(g.RemoveFile("C:\\SRC\\MISSING.TXT"));
  EXPECT_FALSE(g.AddFileItem(*g.Files[0]));
}

TEST(FileGroup, TotalSizeWrapsInsteadOfOverflowing) {
  TTandrelFileGroup g;
  for (int i = 0; i < 3; ++i) {
    TTandrelFile f;
    f.FileName = std::to_string(i);
    f.Size = 0x7FFFFFFF;
    g.AddFileItem(f);
  }
  EXPECT_EQ(g.GetTotalSize(), 0x7FFFFFFD);
}

TEST(Project, MoveItemsAndTheEnds) {
  TTandrelBaseInstall p;
  TTandrelFileGroup* ex = p.Groups[2];
  p.MoveUp(*ex);
  EXPECT_EQ(GroupNames(p), (TStrings{"Program Files", "Examples", "Help Files"}));
  p.MoveDown(*ex);
  EXPECT_EQ(ex->Index(), 2);
  EXPECT_THROW(p.MoveDown(*ex), base::EListError);
  EXPECT_THROW(p.MoveUp(*p.Groups[0]), base::EListError);
  EXPECT_EQ(GroupNames(p), (TStrings{"Program Files", "Help Files", "Examples"}));
  EXPECT_FALSE(p.MoveGroup(1, 1));
  EXPECT_TRUE(p.MoveGroup(0, 2));
  EXPECT_EQ(GroupNames(p), (TStrings{"Help Files", "Examples", "Program Files"}));
  p.MoveUp(*p.IniFiles[1]);
  EXPECT_EQ(p.IniFiles[0]->FileName, "SYSTEM.INI");
}

TEST(Assign, DeepCopyWithBackLinksButNotTheCompletedFlags) {
  TTandrelBaseInstall src;
  src.SetApplicationName("App");
  src.CompletedFiles = true;
  src.Setup1Size = 77;
  src.DialogTypes = SetBit(dtComplete) | SetBit(dtExit) | SetBit(dtWelcome);
  src.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Firm");
  src.Extensions.Add()->Params = "Fn";
  src.Groups[0]->AddFileItem(TTandrelFile{});
  src.UserName = "someone";

  TTandrelBaseInstall dst;
  dst.Assign(src);
  EXPECT_EQ(dst.ApplicationName(), "App");
  EXPECT_EQ(dst.DialogTypes, src.DialogTypes);
  EXPECT_FALSE(dst.CompletedFiles);
  EXPECT_EQ(dst.Setup1Size, -1);
  EXPECT_EQ(dst.UserName, "");
  ASSERT_EQ(dst.Groups.Count(), 3);
  EXPECT_NE(dst.Groups[0], src.Groups[0]);
  EXPECT_EQ(dst.Groups[0]->Files.Count(), 1);
  for (auto* g : dst.Groups) EXPECT_EQ(g->Owner, &dst);
  for (auto* c : dst.Components) EXPECT_EQ(c->Owner, &dst);
  for (auto* t : dst.InstallTypes) EXPECT_EQ(t->Owner, &dst);
  EXPECT_EQ(dst.Extensions[0]->Owner, nullptr);
  EXPECT_EQ(dst.GetExtension(0)->Owner, &dst);
  TTandrelRegKey* firm = dst.Registry[2]->Keys[0]->Keys[0];
  EXPECT_EQ(firm->GetFullPath(), "HKEY_LOCAL_MACHINE\\Software\\Firm");
  EXPECT_EQ(firm->Values[0]->Key, firm);
  EXPECT_EQ(dst.Registry[2]->Parent, nullptr);

  // The copy is independent: renaming in it leaves the source alone.
  dst.Groups[0]->SetName("Main");
  EXPECT_EQ(src.Groups[0]->Name(), "Program Files");
  EXPECT_EQ(src.InstFolders, kDefaultFolders);
  EXPECT_EQ(src.Components[0]->Groups[0], "Program Files");
}

TEST(Assign, ToItselfChangesNothing) {
  TTandrelBaseInstall p;
  p.SetApplicationName("App");
  p.Assign(p);
  EXPECT_EQ(p.ApplicationName(), "App");
  EXPECT_EQ(p.Groups.Count(), 3);
  EXPECT_EQ(p.Registry.Count(), 6);
  EXPECT_EQ(p.InstFolders, kDefaultFolders);
}

TEST(FixupOwners, LinksNamedGroupsOnly) {
  TTandrelBaseInstall p;
  for (auto* g : p.Groups) g->Owner = nullptr;
  for (auto* c : p.Components) c->Owner = nullptr;
  p.Components[2]->Groups = {"EXAMPLES", "no such group"};
  p.Components[1]->Groups.clear();
  p.Extensions.Add();
  p.FixupOwners();
  EXPECT_EQ(p.Groups[0]->Owner, &p);
  EXPECT_EQ(p.Groups[1]->Owner, nullptr);
  EXPECT_EQ(p.Groups[2]->Owner, &p);
  EXPECT_EQ(p.Components[1]->Owner, &p);
  EXPECT_EQ(p.Extensions[0]->Owner, &p);
}

// ---------------------------------------------------------------- registry and INI

TEST(Registry, AddRegKeyFindsOrAddsEveryLevel) {
  TTandrelBaseInstall p;
  TTandrelRegKey* app = p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Firm\\App");
  EXPECT_EQ(p.Registry.Count(), 6);
  EXPECT_EQ(app->KeyName, "App");
  EXPECT_EQ(app->GetFullPath(), "HKEY_LOCAL_MACHINE\\Software\\Firm\\App");
  EXPECT_EQ(p.AddRegKey("hkey_local_machine\\SOFTWARE\\firm\\app"), app);
  EXPECT_EQ(p.Registry[2]->Keys.Count(), 1);
  EXPECT_EQ(p.Registry[2]->AddKey("Software\\"), p.Registry[2]->Keys[0]);
  TTandrelRegKey* odd = p.AddRegKey("MyRoot");
  EXPECT_EQ(p.Registry.Count(), 7);
  EXPECT_EQ(odd->Parent, nullptr);
}

TEST(Registry, ValuesAddedOnceByName) {
  TTandrelRegKey k;
  EXPECT_EQ(k.AddStringValue("(default)", "x"), nullptr);
  ASSERT_NE(k.AddDWordValue("n", 5), nullptr);
  EXPECT_EQ(k.AddBinaryValue("N", "00"), nullptr);
  TTandrelValue* b = k.AddBinaryValue("b", "0102ab");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Style, vtBinary);
  EXPECT_EQ(b->Key, &k);
}

TEST(Registry, DisplayTexts) {
  struct Case { const char* why; const char* name; TTandrelValueType style; int32_t i; const char* s; const char* shown; };
  const Case cases[] = {
      {"default value without data", "(Default)", vtString, 0, "", "(value not set)"},
      {"only the exact default name", "(default)", vtString, 0, "", "\"\""},
      {"named value without data", "x", vtString, 0, "", "\"\""},
      {"string data quoted", "x", vtString, 0, "abc", "\"abc\""},
      {"dword", "n", vtDWord, 26, "", "0x0000001a (26)"},
      {"negative dword", "n", vtDWord, -1, "", "0xffffffff (-1)"},
      {"binary pairs apart", "b", vtBinary, 0, "0102ab", " 01 02 ab"},
      {"empty binary", "b", vtBinary, 0, "", "(zero-length binary value)"},
  };
  for (const auto& c : cases) {
    TTandrelValue v;
    v.ValueName = c.name;
    v.Style = c.style;
    v.IntValue = c.i;
    v.StringValue = c.s;
    EXPECT_EQ(v.GetDisplayText(), c.shown) << c.why;
  }
}

TEST(Registry, KeyAssignRelinksTheCopiedTree) {
  TTandrelBaseInstall p;
  p.AddRegKey("HKEY_CURRENT_USER\\A\\B");
  TTandrelRegKey parent;
  TTandrelRegKey* copy = parent.Keys.Add();
  copy->Parent = &parent;
  copy->Assign(*p.Registry[1]);
  EXPECT_EQ(copy->Parent, &parent);
  EXPECT_EQ(copy->Keys[0]->Parent, copy);
  EXPECT_EQ(copy->Keys[0]->Keys[0]->Values[0]->Key, copy->Keys[0]->Keys[0]);
  EXPECT_EQ(copy->Values.Count(), 1);  // the constructor's value replaced, not doubled
}

TEST(Registry, KeyAssignedFromItsOwnSubKey) {
  // The source goes with the key's old tree; the copy must be taken before that.
  TTandrelBaseInstall p;
  TTandrelRegKey* a = p.AddRegKey("HKEY_CURRENT_USER\\A");
  TTandrelRegKey* c = a->AddKey("B\\C");
  c->AddDWordValue("n", 3);
  TTandrelRegKey* b = a->Keys[0];
  a->Assign(*b);
  EXPECT_EQ(a->KeyName, "B");
  ASSERT_EQ(a->Keys.Count(), 1);
  EXPECT_EQ(a->Keys[0]->KeyName, "C");
  EXPECT_EQ(a->Keys[0]->Parent, a);
  EXPECT_EQ(a->Keys[0]->Values[1]->IntValue, 3);
  EXPECT_EQ(a->Keys[0]->GetFullPath(), "HKEY_CURRENT_USER\\B\\C");
}

TEST(Ini, SectionsAndValuesFoundIgnoringCase) {
  TTandrelBaseInstall p;
  EXPECT_EQ(p.AddIniFile("win.ini"), p.IniFiles[0]);
  TTandrelIniSection* boot = p.IniFiles[1]->AddSection("Boot");
  EXPECT_EQ(p.IniFiles[1]->AddSection("boot"), boot);
  TTandrelIniValue* v = boot->AddValue("Shell");
  v->Value = "x";
  EXPECT_EQ(boot->AddValue("SHELL"), v);
  EXPECT_EQ(boot->Values.Count(), 1);
}

// ---------------------------------------------------------------- wizard choices

TEST(InstallInfo, SelectionAndTotals) {
  TInstallInfo info;
  for (int c = 0; c < 2; ++c) {
    auto comp = std::make_unique<TInstComponent>();
    for (int g = 0; g < 2; ++g) {
      auto grp = std::make_unique<TInstGroup>();
      grp->Size = 100 * (c + 1) + g;
      comp->Groups.push_back(std::move(grp));
    }
    info.Components.push_back(std::move(comp));
  }
  EXPECT_EQ(info.GetTotalSize(), 100 + 101 + 200 + 201);
  TInstComponent* a = info.GetComponent(0);
  a->GetGroup(0)->Selected = false;
  a->GetGroup(1)->Selected = false;
  EXPECT_TRUE(a->Selected());  // still selected, contributes 0
  EXPECT_EQ(info.GetTotalSize(), 401);
  a->SetSelected(false);
  a->GetGroup(0)->Selected = true;  // a deselected component counts nothing
  EXPECT_EQ(info.GetTotalSize(), 401);
  a->SetSelected(true);
  EXPECT_TRUE(a->GetGroup(1)->Selected);
  EXPECT_EQ(info.GetTotalSize(), 602);
  a->SetSelected(true);  // equal: groups keep their own flags
  a->GetGroup(0)->Selected = false;
  a->SetSelected(true);
  EXPECT_FALSE(a->GetGroup(0)->Selected);
  EXPECT_EQ(info.GetComponent(9), nullptr);
}

TEST(InstallInfo, TotalsWrap) {
  TInstComponent c;
  for (int i = 0; i < 2; ++i) {
    c.Groups.push_back(std::make_unique<TInstGroup>());
    c.Groups.back()->Size = 0x7FFFFFFF;
  }
  EXPECT_EQ(c.GetTotalSize(), -2);
}

// ---------------------------------------------------------------- extensions

model::DllCallResult Returns(uint32_t v, const char* newFolder = nullptr) {
  model::DllCallResult r;
  r.value = v;
  (void)newFolder;
  return r;
}

struct ExtensionFixture : ::testing::Test {
  FakePlatform fake;
  TTandrelBaseInstall project;
  TTandrelExtension* ext = nullptr;
  void SetUp() override {
    fake.macros["<SUPPORTDIR>"] = "C:\\tmp\\ZemTmp";
    fake.macros["<ProgramFilesDir>"] = "C:\\Program Files";
    project.InstallDir = "<ProgramFilesDir>\\Firm";
    project.UserName = "Ann";
    project.UserCompany = "Co";
    ext = project.Extensions.Add();
    ext->Style = esDLL;
    ext->Executable = "<SUPPORTDIR>\\ext.dll";
    ext->Params = "Hook";
    ext = project.GetExtension(0);
  }
};

TEST_F(ExtensionFixture, DllResultsAndTheFolderBuffer) {
  struct Case { const char* why; uint32_t value; const char* writes; uint8_t result; const char* installDir; };
  const Case cases[] = {
      {"0 stops, folder unchanged", 0, "D:\\New", 0, "<ProgramFilesDir>\\Firm"},
      {"1 goes on and takes the buffer", 1, "D:\\New", 1, "D:\\New"},
      {"2 is reported as 2", 2, nullptr, 2, "C:\\Program Files\\Firm"},
      {"65536 has low 16 bits 0", 65536, "D:\\New", 0, "<ProgramFilesDir>\\Firm"},
      {"other values go on", 0x10007, nullptr, 1, "C:\\Program Files\\Firm"},
  };
  for (const auto& c : cases) {
    project.InstallDir = "<ProgramFilesDir>\\Firm";
    fake.log.clear();
    fake.dll = [&](const std::string&, const std::string&, const model::DllCallArgs& a) {
      if (c.writes) std::strcpy(a.folder, c.writes);
      return Returns(c.value);
    };
    EXPECT_EQ(ext->Execute(11, 22), c.result) << c.why;
    EXPECT_EQ(project.InstallDir, c.installDir) << c.why;
    const std::string expectMacro = c.result ? project.InstallDir : "C:\\Program Files\\Firm";
    EXPECT_EQ(fake.macros["<INSTALLDIR>"], expectMacro) << c.why;
    ASSERT_EQ(fake.log.size(), 1u) << c.why;
    EXPECT_EQ(fake.log[0],
              "dll C:\\tmp\\ZemTmp\\ext.dll Hook folder=C:\\Program Files\\Firm support=C:\\tmp\\ZemTmp "
              "user=Ann company=Co")
        << c.why;
  }
}

TEST_F(ExtensionFixture, BufferFilledToTheEndIsCutAtItsLastByte) {
  fake.dll = [](const std::string&, const std::string&, const model::DllCallArgs& a) {
    std::memset(a.folder, 'x', model::kExtensionBufferSize);
    return Returns(1);
  };
  EXPECT_EQ(ext->Execute(0, 0), 1);
  EXPECT_EQ(project.InstallDir, std::string(1023, 'x'));
}

TEST_F(ExtensionFixture, FolderTooLongForTheBufferIsRefused) {
  bool called = false;
  fake.dll = [&](const std::string&, const std::string&, const model::DllCallArgs&) {
    called = true;
    return Returns(1);
  };
  project.InstallDir = "C:\\" + std::string(1021, 'a');  // 1024 characters
  EXPECT_EQ(ext->Execute(0, 0), 0);
  EXPECT_FALSE(called);
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[0].substr(0, 6), "error ");
  project.InstallDir = "C:\\" + std::string(1020, 'a');  // 1023 fits
  EXPECT_EQ(ext->Execute(0, 0), 1);
  EXPECT_TRUE(called);
}

TEST_F(ExtensionFixture, FailuresBecomeOneErrorBox) {
  struct Case { const char* why; model::DllCallStatus status; const char* fault; const char* message; };
  const Case cases[] = {
      {"library missing", model::DllCallStatus::LoadFailed, "", "Error loading extension 'ext.dll'"},
      {"function missing", model::DllCallStatus::NotExported, "", "Function 'Hook' is not exported by 'ext.dll'"},
      {"fault inside", model::DllCallStatus::Faulted, "Access violation", "Access violation"},
  };
  for (const auto& c : cases) {
    fake.log.clear();
    ext->Instructions = "Read this";
    fake.dll = [&](const std::string&, const std::string&, const model::DllCallArgs&) {
      model::DllCallResult r;
      r.status = c.status;
      r.faultText = c.fault;
      return r;
    };
    EXPECT_EQ(ext->Execute(0, 0), 0) << c.why;
    ASSERT_EQ(fake.log.size(), 3u) << c.why;
    EXPECT_EQ(fake.log[0], "info Read this") << c.why;
    EXPECT_EQ(fake.log[2], std::string("error An error occurred while executing a Tandrel-Install Extension: "
                                       "\r\r   ") + c.message + "\r\rSetup will now terminate.")
        << c.why;
    EXPECT_EQ(project.InstallDir, "<ProgramFilesDir>\\Firm") << c.why;
  }
}

TEST_F(ExtensionFixture, ProgramExtensionsExpandAndIgnoreTheOutcome) {
  ext->Style = esExecutable;
  ext->Executable = "<SUPPORTDIR>\\run.exe";
  ext->Params = "/dir=<SUPPORTDIR>";
  ext->Wait = true;
  EXPECT_EQ(ext->Execute(5, 0), 1);
  ext->Wait = false;
  fake.runFails = true;
  EXPECT_EQ(ext->Execute(5, 0), 1);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"run C:\\tmp\\ZemTmp\\run.exe /dir=C:\\tmp\\ZemTmp wait",
                                                 "run C:\\tmp\\ZemTmp\\run.exe /dir=C:\\tmp\\ZemTmp nowait"}));
}

TEST(Extensions, DllWithoutOwnerPassesEmptyTextsAndKeepsOnlyTheMacro) {
  FakePlatform fake;
  TTandrelExtension e;  // made by a collection or read from a file: no project yet
  e.Style = esDLL;
  e.Executable = "x.dll";
  e.Params = "Fn";
  fake.dll = [](const std::string&, const std::string&, const model::DllCallArgs& a) {
    std::strcpy(a.folder, "D:\\Chosen");
    return Returns(1);
  };
  EXPECT_EQ(e.Execute(0, 0), 1);
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[0], "dll x.dll Fn folder= support= user= company=");
  EXPECT_EQ(fake.macros["<INSTALLDIR>"], "D:\\Chosen");
}

TEST(Project, AssigningCollectionsCopiesAndRelinks) {
  TTandrelBaseInstall src;
  src.AddRegKey("HKEY_USERS\\A\\B");
  TTandrelBaseInstall p;
  p.SetRegistry(src.Registry);
  ASSERT_EQ(p.Registry.Count(), 6);
  TTandrelRegKey* b = p.Registry[3]->Keys[0]->Keys[0];
  EXPECT_NE(b, src.Registry[3]->Keys[0]->Keys[0]);
  EXPECT_EQ(b->GetFullPath(), "HKEY_USERS\\A\\B");
  EXPECT_EQ(b->Values[0]->Key, b);

  TTandrelRegKey k;
  k.SetKeys(src.Registry[3]->Keys);
  EXPECT_EQ(k.Keys[0]->Parent, &k);
  k.SetValues(src.Registry[3]->Keys[0]->Keys[0]->Values);
  EXPECT_EQ(k.Values.Count(), 1);
  EXPECT_EQ(k.Values[0]->Key, &k);

  src.Extensions.Add()->Params = "e";
  p.SetExtensions(src.Extensions);
  EXPECT_EQ(p.Extensions[0]->Params, "e");
  EXPECT_EQ(p.Extensions[0]->Owner, nullptr);
  EXPECT_EQ(p.WorkingExtensions.Count(), 0);
}

TEST(Extensions, WorkingCopiesRunInOrderOnce) {
  TTandrelBaseInstall p;
  for (auto [when, name] : {std::pair{dtUser, "a"}, std::pair{dtWelcome, "b"}, std::pair{dtUser, "c"}}) {
    TTandrelExtension* e = p.Extensions.Add();
    e->When = when;
    e->Params = name;
  }
  p.ResetWorkingExtensions();
  ASSERT_EQ(p.WorkingExtensions.Count(), 3);
  EXPECT_EQ(p.WorkingExtensions[0]->Owner, &p);
  std::string order;
  while (TTandrelExtension* e = p.FindWorkingExtension(dtUser)) {
    order += e->Params;
    p.WorkingExtensions.Remove(e);
  }
  EXPECT_EQ(order, "ac");
  EXPECT_EQ(p.FindWorkingExtension(dtExit), nullptr);
  p.ResetWorkingExtensions();
  EXPECT_EQ(p.WorkingExtensions.Count(), 3);
}

TEST(Extensions, IsGroupFileMatchesGroupWithCaseAndFileWithout) {
  TTandrelBaseInstall p;
  TTandrelFile f;
  f.FileName = "C:\\src\\Tool.exe";
  p.Groups[0]->AddFileItem(f);
  TTandrelExtension* e = p.Extensions.Add();
  e->Owner = &p;
  e->RealFile = "c:\\SRC\\tool.EXE";
  struct Case { const char* exe; bool is; };
  const Case cases[] = {{"[Program Files]\\Tool.exe", true},
                        {"[program files]\\Tool.exe", false},
                        {"[]\\Tool.exe", false},
                        {"<SUPPORTDIR>\\Tool.exe", false},
                        {"[Program Files\\Tool.exe", false},
                        {"[Help Files]\\Tool.exe", false}};
  for (const auto& c : cases) {
    e->Executable = c.exe;
    EXPECT_EQ(e->IsGroupFile(), c.is) << c.exe;
  }
}

}  // namespace

namespace {

// Assign against the saved bytes: what the copy would write is what the source writes,
// once the fields Assign leaves alone (the completed flags, the two package sizes) are
// the same on both sides; the target starts out different in every collection.
TEST(Assign, CopySavesTheSameBytesAsItsSource) {
  FakePlatform fake;
  for (const auto& c : projectfile::Projects()) {
    TTandrelBaseInstall src;
    c.fill(src);
    TTandrelBaseInstall dst;
    dst.SetApplicationName("Other");
    dst.Groups[0]->AddFileItem(TTandrelFile{});
    dst.AddRegKey("HKEY_CURRENT_USER\\Software\\Left\\Over");
    dst.Extensions.Add()->Params = "Stale";
    dst.InstFolders = {"[Stale]=C:\\"};
    dst.Assign(src);
    dst.CompletedGeneral = src.CompletedGeneral;
    dst.CompletedScreen = src.CompletedScreen;
    dst.CompletedFiles = src.CompletedFiles;
    dst.CompletedDialogs = src.CompletedDialogs;
    dst.CompletedIni = src.CompletedIni;
    dst.CompletedRegistry = src.CompletedRegistry;
    dst.CompletedProgGroup = src.CompletedProgGroup;
    dst.Setup1Size = src.Setup1Size;
    dst.Setup2Size = src.Setup2Size;
    EXPECT_EQ(dst.SaveToBytes(), src.SaveToBytes()) << c.name;
  }
}

TEST(FileGroup, MoveFileShiftsTheOthers) {
  TTandrelBaseInstall p;
  TTandrelFileGroup* g = p.Groups[0];
  for (const char* name : {"a.exe", "b.dll", "c.hlp", "d.txt"}) {
    TTandrelFile f;
    f.FileName = name;
    g->AddFileItem(f);
  }
  auto names = [&] {
    std::vector<std::string> n;
    for (auto* f : g->Files) n.push_back(f->FileName);
    return n;
  };
  const struct { int from, to; bool moved; std::vector<std::string> after; } cases[] = {
      {1, 1, false, {"a.exe", "b.dll", "c.hlp", "d.txt"}},
      {0, 3, true, {"b.dll", "c.hlp", "d.txt", "a.exe"}},
      {3, 0, true, {"a.exe", "b.dll", "c.hlp", "d.txt"}},
      {2, 1, true, {"a.exe", "c.hlp", "b.dll", "d.txt"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(g->MoveFile(c.from, c.to), c.moved) << c.from << "->" << c.to;
    EXPECT_EQ(names(), c.after) << c.from << "->" << c.to;
  }
}

}  // namespace
