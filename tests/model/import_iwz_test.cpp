#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "base/Streams.h"
#include "setup/model/InstClasses.h"
#include "tests/model/FakePlatform.h"
#include "tests/model/TestFolder.h"
#include "tests/model/fixtures/IwzCases.h"

namespace fs = std::filesystem;

namespace {

const TStrings kDefaultFolders = {"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help Files",
                                  "[Examples]=<INSTALLDIR>\\Examples"};

class ImportIwz : public TestFolder {
protected:
  ImportIwz() : TestFolder("iwz-") {}
  std::string Dir() const { return dir_.string() + "/"; }
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = Dir() + name;
    base::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }
  // Imports text into a fresh project; the import must succeed.
  void Import(TTandrelBaseInstall& p, const std::string& text) {
    const std::string path = Write("project.iwz", text);
    ASSERT_TRUE(p.ImportIwz(path));
  }

  FakePlatform fake;
};

TStrings GroupNames(const TTandrelBaseInstall& p) {
  TStrings out;
  for (auto* g : p.Groups) out.push_back(g->Name());
  return out;
}

TStrings FileNames(const TTandrelFileGroup& g) {
  TStrings out;
  for (auto* f : g.Files) out.push_back(f->FileName);
  return out;
}

TTandrelRegKey* Key(TTandrelBaseInstall& p, const std::string& path) { return p.AddRegKey(path); }

TTandrelValue* Value(TTandrelRegKey* k, const std::string& name) {
  for (auto* v : k->Values)
    if (v->ValueName == name) return v;
  return nullptr;
}

std::vector<uint8_t> Reload(const std::vector<uint8_t>& bytes) {
  TTandrelBaseInstall q;
  base::ReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
  EXPECT_TRUE(q.LoadFromStream(in));
  return q.SaveToBytes();
}

// The import must make projects the file format holds. Reading fills the empty copyright
// caption through the company setter, so the bytes settle after the first reload.
void ExpectSavesAndLoads(const TTandrelBaseInstall& p) {
  const std::vector<uint8_t> once = Reload(p.SaveToBytes());
  EXPECT_EQ(Reload(once), once);
}

TEST_F(ImportIwz, MissingFileFailsAndChangesNothing) {
  TTandrelBaseInstall p;
  const std::vector<uint8_t> before = p.SaveToBytes();
  EXPECT_FALSE(p.ImportIwz(Dir() + "Old.iwz"));
  EXPECT_FALSE(p.ImportIwz(Dir()));  // a folder is no file
  EXPECT_EQ(p.SaveToBytes(), before);
  EXPECT_FALSE(p.Modified);
  EXPECT_FALSE(p.CompletedFiles);
  EXPECT_EQ(fake.busy, 0);
}

TEST_F(ImportIwz, AFileWithNoneOfTheSectionsIsNoProjectAndChangesNothing) {
  static const char kBmpStart[] = "BM\x3e\0\0\0\0\0\0\0\x36\0\0\0(\0\0\0\1\0\0\0";
  const struct {
    const char* why;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"text without sections", "Just a note\r\nkey=value\r\n"},
      {"other sections only", "[Setup]\nGroups=2\n[groupsx]\nGroups=1\n"},
      {"a picture", std::string(kBmpStart, sizeof kBmpStart - 1)},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    const std::vector<uint8_t> before = p.SaveToBytes();
    EXPECT_FALSE(p.ImportIwz(Write("not.iwz", c.bytes))) << c.why;
    EXPECT_EQ(p.SaveToBytes(), before) << c.why;
    EXPECT_FALSE(p.Modified) << c.why;
  }
  // One section, in any letter case, is enough.
  TTandrelBaseInstall p;
  EXPECT_TRUE(p.ImportIwz(Write("one.iwz", "[visualdesign]\nAppName=Solo\n")));
  EXPECT_EQ(p.ApplicationName(), "Solo");
  EXPECT_EQ(p.Groups.Count(), 0);
}

TEST_F(ImportIwz, ExportedProjectFillsEverySection) {
  Write("licence.txt", "Terms\nMore terms\r\nLast\rline");
  Write("readme.txt", "Read me");
  Write("title.bmp", "BM");
  Write("Setup1.bmp", "BM");
  Write("Setup3.bmp", "BM");
  Write("Setup100.bmp", "BM");
  fake.files["C:\\DEMO\\WRITER.EXE"] = model::FileFacts{true, 4096, 45000.5, "2.5.0.1", false};
  TTandrelBaseInstall p;
  Import(p, iwz::DemoExport(Dir()));

  EXPECT_EQ(GroupNames(p), (TStrings{"Program Files", "Samples"}));
  // The group's destination lands on the default line of the same name; its own line stays behind.
  EXPECT_EQ(p.InstFolders, (TStrings{"[Program Files]=<INSTALLDIR>\\Bin", kDefaultFolders[1], kDefaultFolders[2],
                                     "[Program Files]=", "[Samples]=<INSTALLDIR>\\Samples"}));
  EXPECT_EQ(p.Groups[0]->Destination(), "<INSTALLDIR>\\Bin");
  EXPECT_EQ(p.Groups[0]->UpdateMethod, umMoreRecent);
  EXPECT_EQ(p.Groups[1]->UpdateMethod, umNever);
  EXPECT_EQ(p.Groups[1]->UpdatePlatforms, AllWindowsVersions);
  EXPECT_EQ(FileNames(*p.Groups[0]), (TStrings{"C:\\DEMO\\WRITER.EXE", "C:\\DEMO\\WRITER.HLP"}));
  EXPECT_EQ(p.Groups[0]->Files[0]->Size, 4096);
  EXPECT_EQ(p.Groups[0]->Files[0]->Version, "2.5.0.1");
  EXPECT_EQ(p.Groups[0]->Files[1]->Size, -1);
  for (auto* g : p.Groups) EXPECT_EQ(g->Owner, &p);

  ASSERT_EQ(p.Components.Count(), 2);
  EXPECT_EQ(p.Components[0]->Name(), "Program");
  EXPECT_EQ(p.Components[0]->Description, "The program itself");
  EXPECT_EQ(p.Components[1]->Groups, (TStrings{"Program Files", "Samples"}));
  ASSERT_EQ(p.InstallTypes.Count(), 2);
  EXPECT_EQ(p.InstallTypes[0]->Name, "Typical");
  EXPECT_EQ(p.InstallTypes[0]->Components, (TStrings{"Program", "Examples"}));
  EXPECT_EQ(p.InstallTypes[1]->Components, (TStrings{"Program"}));
  EXPECT_EQ(p.InstallTypes[1]->Owner, &p);

  EXPECT_EQ(p.ApplicationName(), "Demo Writer");
  EXPECT_EQ(p.ApplicationVersion, "2.5");
  EXPECT_EQ(p.Executable, "<INSTALLDIR>\\Writer.exe");
  EXPECT_EQ(p.InstallDir, "<ProgramFilesDir>\\Demo Writer");
  EXPECT_EQ(p.CompanyName(), "Demo Corp");
  EXPECT_EQ(p.OtherCaption, "");  // stored without the setters
  EXPECT_FALSE(p.Uninstaller);
  EXPECT_EQ(p.TitleCaption, Dir() + "title.bmp");
  EXPECT_TRUE(p.IsBitmap);

  const unsigned pages = SetBit(dtWelcome) | SetBit(dtLicense) | SetBit(dtUser) | SetBit(dtDestination) |
                         SetBit(dtSetupType) | SetBit(dtCustom) | SetBit(dtSelectFolder) |
                         SetBit(dtStartCopying) | SetBit(dtProgress) | SetBit(dtBillboards) |
                         SetBit(dtComplete);
  EXPECT_EQ(p.DialogTypes, pages);
  EXPECT_EQ(p.License, "Terms\r\nMore terms\r\nLast\r\nline\r\n");
  EXPECT_EQ(p.ReadMe, "Right-click in this editor to view options.");  // its page is off
  EXPECT_EQ(p.BillBoards, (TStrings{Dir() + "Setup1.bmp", Dir() + "Setup3.bmp"}));
  EXPECT_TRUE(p.ShowRestart);
  EXPECT_EQ(p.RunCommand, "<INSTALLDIR>\\Writer.exe");
  EXPECT_EQ(p.RunParams, "/first");
  EXPECT_TRUE(p.ShowReadMe);
  EXPECT_EQ(p.ProgramFolder, "Demo Writer");

  TTandrelRegKey* writer = Key(p, "HKEY_LOCAL_MACHINE\\Software\\Demo Corp\\Writer");
  EXPECT_TRUE(writer->UninstallKey);  // each entry sets it; the key's last entry says 1
  ASSERT_EQ(writer->Values.Count(), 3);
  EXPECT_EQ(writer->Values[0]->StringValue, "2.5");
  EXPECT_EQ(writer->Values[1]->ValueName, "Path");
  EXPECT_EQ(writer->Values[1]->StringValue, "<INSTALLDIR>");
  EXPECT_EQ(writer->Values[2]->Style, vtDWord);
  EXPECT_EQ(writer->Values[2]->IntValue, 12);
  TTandrelRegKey* user = Key(p, "HKEY_CURRENT_USER\\Software\\Demo Corp\\Writer");
  EXPECT_FALSE(user->UninstallKey);
  ASSERT_NE(Value(user, "Flags"), nullptr);
  EXPECT_EQ(Value(user, "Flags")->IntValue, 255);
  ASSERT_NE(Value(user, "Blob"), nullptr);
  EXPECT_EQ(Value(user, "Blob")->Style, vtBinary);
  EXPECT_EQ(Value(user, "Blob")->StringValue, "0a0b0c");
  EXPECT_EQ(p.Registry.Count(), 6);

  ASSERT_EQ(p.Icons.Count(), 2);
  EXPECT_EQ(p.Icons[0]->FileName, "<INSTALLDIR>\\Writer.exe");
  EXPECT_EQ(p.Icons[0]->Params, "/s");
  EXPECT_EQ(p.Icons[0]->Caption, "Demo Writer");
  EXPECT_EQ(p.Icons[0]->WorkingDir, "<INSTALLDIR>");
  EXPECT_EQ(p.Icons[0]->SourceFile, "C:\\DEMO\\WRITER.EXE");
  EXPECT_EQ(p.Icons[0]->DisplayType, dtMaximized);
  EXPECT_EQ(p.Icons[0]->GroupType, gtDesktop);
  EXPECT_EQ(p.Icons[1]->Params, "");

  // "win.ini" is the default WIN.INI; the second private entry overwrites the first.
  ASSERT_EQ(p.IniFiles.Count(), 4);
  ASSERT_EQ(p.IniFiles[0]->Sections.Count(), 1);
  EXPECT_EQ(p.IniFiles[0]->Sections[0]->SectionName, "Demo Writer");
  EXPECT_EQ(p.IniFiles[0]->Sections[0]->Values[0]->Value, "<INSTALLDIR>");
  EXPECT_EQ(p.IniFiles[3]->FileName, "<INSTALLDIR>\\Writer.ini");
  ASSERT_EQ(p.IniFiles[3]->Sections.Count(), 1);
  ASSERT_EQ(p.IniFiles[3]->Sections[0]->Values.Count(), 1);
  EXPECT_EQ(p.IniFiles[3]->Sections[0]->Values[0]->ValueName, "Toolbar");
  EXPECT_EQ(p.IniFiles[3]->Sections[0]->Values[0]->Value, "0");

  EXPECT_TRUE(p.CompletedFiles && p.CompletedGeneral && p.CompletedScreen && p.CompletedDialogs &&
              p.CompletedRegistry && p.CompletedProgGroup && p.CompletedIni);
  EXPECT_TRUE(p.Modified);
  EXPECT_EQ(fake.busy, 0);
  ExpectSavesAndLoads(p);
}

struct EdgeCase {
  const char* why;
  std::string iwz;
  std::function<void(TTandrelBaseInstall&)> check;
};

TEST_F(ImportIwz, EdgeCases) {
  const EdgeCase cases[] = {
      {"no groups: no groups, components or setup types, the default folder lines stay",
       "[Groups]\r\nGroups=0\r\n",
       [](TTandrelBaseInstall& p) {
         EXPECT_EQ(p.Groups.Count(), 0);
         EXPECT_EQ(p.Components.Count(), 0);
         EXPECT_EQ(p.InstallTypes.Count(), 0);
         EXPECT_EQ(p.InstFolders, kDefaultFolders);
         EXPECT_EQ(p.DialogTypes, 0);
         EXPECT_TRUE(p.Uninstaller);
         EXPECT_EQ(p.Registry.Count(), 6);
         EXPECT_EQ(p.IniFiles.Count(), 3);
       }},
      {"group lists split at blanks, two blanks like one, a missing group number gives an empty name",
       "[Groups]\nGroups=3\nGroup1Name=One\nGroup2Name=Two\nGroup3Name=Three\n"
       "[Components]\nComponents=3\nComponent1Name=A\nComponent1GroupList=1 3\n"
       "Component2Name=B\nComponent2GroupList=1  3\nComponent3Name=C\nComponent3GroupList= 9 2\n"
       "[Types]\nTypes=1\nType1Name=T\nType1ComponentList=3  1\n",
       [](TTandrelBaseInstall& p) {
         ASSERT_EQ(p.Components.Count(), 3);
         EXPECT_EQ(p.Components[0]->Groups, (TStrings{"One", "Three"}));
         EXPECT_EQ(p.Components[1]->Groups, (TStrings{"One", "Three"}));
         EXPECT_EQ(p.Components[2]->Groups, (TStrings{"", "Two"}));
         EXPECT_EQ(p.InstallTypes[0]->Components, (TStrings{"C", "A"}));
       }},
      {"\"(Default)\" sets the default value; other case goes through the typed adds, which find it",
       "[Registry]\nRegs=2\nReg1Path=HKEY_CLASSES_ROOT\\.demo\nReg1ValName=(Default)\nReg1ValData=Demo.File\n"
       "Reg2Path=HKEY_CLASSES_ROOT\\.demo\nReg2ValName=(default)\nReg2ValData=other\nReg2ValType=0\n",
       [](TTandrelBaseInstall& p) {
         TTandrelRegKey* k = Key(p, "HKEY_CLASSES_ROOT\\.demo");
         ASSERT_EQ(k->Values.Count(), 1);
         EXPECT_EQ(k->Values[0]->StringValue, "Demo.File");
       }},
      {"value types: hex DWORD, bad hex skipped, unknown type adds nothing, existing value kept",
       "[Registry]\nRegs=5\n"
       "Reg1Path=HKEY_USERS\\K\nReg1ValName=Hex\nReg1ValData=FFFFFFFF\nReg1ValType=3\n"
       "Reg2Path=HKEY_USERS\\K\\Bad\nReg2ValName=Bad\nReg2ValData=0x10\nReg2ValType=3\nReg2PathUninstall=1\n"
       "Reg3Path=HKEY_USERS\\K\nReg3ValName=Odd\nReg3ValData=x\nReg3ValType=5\n"
       "Reg4Path=HKEY_USERS\\K\nReg4ValName=hex\nReg4ValData=1\nReg4ValType=2\n"
       "Reg5Path=HKEY_USERS\\K\nReg5ValName=Text\nReg5ValType=4\nReg5ValData=t\n",
       [](TTandrelBaseInstall& p) {
         TTandrelRegKey* k = Key(p, "HKEY_USERS\\K");
         ASSERT_EQ(k->Values.Count(), 3);
         EXPECT_EQ(k->Values[1]->IntValue, -1);
         EXPECT_EQ(k->Values[2]->ValueName, "Text");
         TTandrelRegKey* bad = Key(p, "HKEY_USERS\\K\\Bad");
         EXPECT_EQ(bad->Values.Count(), 1);  // the key stays, the value is skipped
         EXPECT_TRUE(bad->UninstallKey);
       }},
      {"no setup types: the three defaults are gone", "[Types]\nTypes=0\nType1Name=Left over\n",
       [](TTandrelBaseInstall& p) { EXPECT_EQ(p.InstallTypes.Count(), 0); }},
      {"out-of-range numbers are clamped to the enumerations",
       "[Groups]\nGroups=2\nGroup1Name=A\nGroup1Update=7\nGroup2Name=B\nGroup2Update=-1\n"
       "[Icons]\nIcons=2\nIcon1Cmd=a\nIcon1Window=9\nIcon1StartMenu=42\nIcon2Cmd=b\nIcon2Window=-3\n"
       "Icon2StartMenu=x\n",
       [](TTandrelBaseInstall& p) {
         EXPECT_EQ(p.Groups[0]->UpdateMethod, umNever);
         EXPECT_EQ(p.Groups[1]->UpdateMethod, umNewerVersion);
         EXPECT_EQ(p.Icons[0]->DisplayType, dtMinimized);
         EXPECT_EQ(p.Icons[0]->GroupType, gtSendTo);
         EXPECT_EQ(p.Icons[1]->DisplayType, dtNormal);
         EXPECT_EQ(p.Icons[1]->GroupType, gtDefault);
         ExpectSavesAndLoads(p);
       }},
      {"a registry section under another name imports no registry entries",
       "[Registry Entries]\nRegs=1\nReg1Path=HKEY_USERS\\Lost\nReg1ValName=V\n[Icons]\nIcons=0\n",
       [](TTandrelBaseInstall& p) {
         ASSERT_EQ(p.Registry.Count(), 6);
         for (auto* k : p.Registry) EXPECT_EQ(k->Keys.Count(), 0);
         EXPECT_TRUE(p.CompletedRegistry);
       }},
      {"blanks around names and values go, as do quotes around a value; key names ignore case",
       "  [ VisualDesign]\n[Groups]   \n  Groups = 1 \ngroup1name=Program Files   \t\n"
       "GROUP1DIR = \"<INSTALLDIR>\\Bin \" \n[Components]\nComponents=1\nComponent1Name  =Main  \n"
       "Component1GroupList=1 \n[VisualDesign]\nAppName='Quoted'\nCompany=\"\n",
       [](TTandrelBaseInstall& p) {
         EXPECT_EQ(GroupNames(p), TStrings{"Program Files"});
         EXPECT_EQ(p.Groups[0]->Destination(), "<INSTALLDIR>\\Bin ");
         EXPECT_EQ(p.InstFolders[0], "[Program Files]=<INSTALLDIR>\\Bin ");
         EXPECT_EQ(p.Components[0]->Name(), "Main");
         EXPECT_EQ(p.Components[0]->Groups, TStrings{"Program Files"});
         // "[ VisualDesign]" is another section; the first section of the name counts.
         EXPECT_EQ(p.ApplicationName(), "Quoted");
         EXPECT_EQ(p.CompanyName(), "\"");
       }},
      {"counts larger than the keys present import what is there and no nameless items",
       "[Groups]\nGroups=5\nGroup1Name=A\nGroup1Files=9\nGroup1File1=a.exe\nGroup1File3=c.exe\nGroup1File4=\n"
       "Group3Dir=<INSTALLDIR>\\C\nGroup3Files=1\nGroup3File2=beyond.txt\nGroup7Name=Beyond\n"
       "[Components]\nComponents=4\nComponent2Name=Two\n"
       "[Types]\nTypes=3\nType1Name=Only\n"
       "[Registry]\nRegs=10\nReg2Path=HKEY_USERS\\R\nReg2ValName=V\nReg2ValData=d\nReg3ValName=NoPath\nReg4Path=\\Software\\X\n"
       "[Icons]\nIcons=3\nIcon2Cmd=x.exe\n"
       "[SysIniFiles]\nIniFiles=4\nFile1=SYSTEM.INI\nSection1=boot\nKey1=shell\nValue1=x\n"
       "[PrivateIniFiles]\nIniFiles=2\n",
       [](TTandrelBaseInstall& p) {
         ASSERT_EQ(GroupNames(p), (TStrings{"A", ""}));
         EXPECT_EQ(FileNames(*p.Groups[0]), (TStrings{"a.exe", "c.exe"}));
         EXPECT_EQ(p.Groups[1]->Destination(), "<INSTALLDIR>\\C");
         EXPECT_EQ(p.Groups[1]->Files.Count(), 0);
         ASSERT_EQ(p.Components.Count(), 1);
         EXPECT_EQ(p.Components[0]->Name(), "Two");
         ASSERT_EQ(p.InstallTypes.Count(), 1);
         ASSERT_EQ(p.Registry.Count(), 6);
         for (auto* k : p.Registry) EXPECT_NE(k->KeyName, "");
         EXPECT_NE(Value(Key(p, "HKEY_USERS\\R"), "V"), nullptr);
         ASSERT_EQ(p.Icons.Count(), 1);
         EXPECT_EQ(p.Icons[0]->FileName, "x.exe");
         ASSERT_EQ(p.IniFiles.Count(), 3);
         EXPECT_EQ(p.IniFiles[1]->Sections.Count(), 1);
         ExpectSavesAndLoads(p);
       }},
      {"flags: Uninstall defaults to true, a text that is no number keeps the default",
       "[VisualDesign]\nUninstall=yes\n[Sequence]\nWelcomeMessage=yes\nSetupComplete=0\n"
       "SetupCompleteRebootOpt=1\nSelectProgramFolderName=Folder\nProgressBar=2\n",
       [](TTandrelBaseInstall& p) {
         EXPECT_TRUE(p.Uninstaller);
         EXPECT_EQ(p.DialogTypes, SetBit(dtProgress));
         EXPECT_FALSE(p.ShowRestart);
         EXPECT_EQ(p.ProgramFolder, "Folder");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TTandrelBaseInstall p;
    Import(p, c.iwz);
    c.check(p);
  }
}

TEST_F(ImportIwz, SectionsInAnotherOrderGiveTheSameProject) {
  const std::string text = iwz::DemoExport(Dir());
  // Reverse the order of the sections.
  std::vector<std::string> sections;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t next = text.find("\r\n[", pos + 1);
    next = next == std::string::npos ? text.size() : next + 2;
    sections.push_back(text.substr(pos, next - pos));
    pos = next;
  }
  ASSERT_GT(sections.size(), 8u);
  std::string reversed;
  for (auto it = sections.rbegin(); it != sections.rend(); ++it) reversed += *it + "\r\n";
  TTandrelBaseInstall a, b;
  Import(a, text);
  Import(b, reversed);
  EXPECT_EQ(a.SaveToBytes(), b.SaveToBytes());
  EXPECT_EQ(a.Groups.Count(), 2);
}

TEST_F(ImportIwz, PagesReadTheirFilesAndBillboardsTheirFolder) {
  Write("readme.txt", "");
  fs::create_directories(dir_ / "pics");
  // A folder named without its separator gets a backslash, which here is part of the name.
  Write("pics\\Setup2.bmp", "BM");
  Write("pics/Setup2.bmp", "BM");
  TTandrelBaseInstall p;
  Import(p, "[Sequence]\nReadmeFileBrowser=1\nReadmeFileBrowserFile=" + Dir() +
                "readme.txt\nLicenseAgreement=1\nLicenseAgreementFile=" + Dir() +
                "missing.txt\nBillboards=1\nBillboardsFile=" + Dir() + "pics\n[VisualDesign]\nTitle=Plain text\n");
  EXPECT_EQ(p.ReadMe, "");
  EXPECT_EQ(p.License, "Right-click in this editor to view options.");
  EXPECT_EQ(p.BillBoards, TStrings{Dir() + "pics\\Setup2.bmp"});
  EXPECT_EQ(p.DialogTypes, SetBit(dtLicense) | SetBit(dtReadme) | SetBit(dtBillboards));
  EXPECT_EQ(p.TitleCaption, "Plain text");
  EXPECT_FALSE(p.IsBitmap);
}

TEST_F(ImportIwz, HugeCountsCostNothing) {
  const auto start = std::chrono::steady_clock::now();
  TTandrelBaseInstall p;
  Import(p, "[Groups]\nGroups=2147483647\nGroup1Name=A\nGroup1Files=2147483647\nGroup1File1=a\n"
            "[Registry]\nRegs=2147483647\n[Icons]\nIcons=2147483647\n[SysIniFiles]\nIniFiles=2147483647\n");
  EXPECT_EQ(p.Groups.Count(), 1);
  EXPECT_EQ(p.Groups[0]->Files.Count(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
