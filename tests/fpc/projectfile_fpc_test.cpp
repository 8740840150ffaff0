// Project files written by the model, read back by Free Pascal's reader.
#include <gtest/gtest.h>

#include <sstream>

#include "setup/model/InstClasses.h"
#include "tests/fpc/Tpf0Check.h"
#include "tests/model/FakePlatform.h"
#include "tests/model/fixtures/ProjectFileCases.h"

namespace {

std::vector<std::string> Text(const TTandrelBaseInstall& p) {
  std::vector<std::string> out;
  std::istringstream in(tpf0check::Tpf0ToText(p.SaveToBytes()));
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    out.push_back(line);
  }
  return out;
}

// Each wanted line appears, in this order (other lines may come between).
void ExpectInOrder(const std::vector<std::string>& got, const std::vector<std::string>& want) {
  size_t at = 0;
  for (const std::string& w : want) {
    size_t i = at;
    while (i < got.size() && got[i] != w) ++i;
    ASSERT_LT(i, got.size()) << "missing or out of order: " << w;
    at = i + 1;
  }
}

TEST(ProjectFileFpc, FreshProjectAsFreePascalReadsIt) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  std::vector<std::string> got = Text(p);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.front(), "object TTandrelBaseInstall");
  EXPECT_EQ(got.back(), "end");
  ExpectInOrder(got, {
      "  Red = 0",
      "  RedStatic = True",
      "  BlueIncreasing = False",
      "  TitleFontName = 'Times New Roman'",
      "  TitleFontColor = clWhite",
      "  TitleShadowColor = clBlack",
      "  TitleFontSize = 24",
      "  TitleFontStyle = [fsBold, fsItalic]",
      "  TitlePos = ipTopLeft",
      "  OtherFontName = 'Arial'",
      "  OtherFontColor = clAqua",
      "  OtherFontStyle = [fsBold]",
      "  OtherPos = ipBottomRight",
      "  Groups = <",
      "    item",
      "      Files = <>",
      "      Name = 'Program Files'",
      "      Destination = '<INSTALLDIR>'",
      "      UpdateMethod = umAllways",
      "      UpdatePlatforms = [wv95, wv98, wvNT4, wvNT5, wvOther]",
      "    end",
      "      Destination = '<INSTALLDIR>\\Examples'",
      "  InstFolders.Strings = (",
      "    '[Program Files]=<INSTALLDIR>'",
      "  Components = <",
      "      Name = 'Application Files'",
      "      Description = 'Files required to run the application'",
      "      Groups.Strings = (",
      "        'Program Files'",
      "      )",
      "  InstallTypes = <",
      "      Name = 'Typical'",
      "      Components.Strings = (",
      "  CenterImage = True",
      "  DialogTypes = [dtWelcome, dtLicense, dtReadme, dtUser, dtDestination, dtSetupType, dtCustom, "
      "dtSelectFolder, dtStartCopying, dtProgress]",
      "  License = 'Right-click in this editor to view options.'",
      "  LicenseColor = clBtnFace",
      "  ReadMeColor = clBtnFace",
      "  BillboardDelay = 5",
      "  Registry = <",
      "      KeyName = 'HKEY_CLASSES_ROOT'",
      "      Keys = <>",
      "      Values = <",
      "          ValueName = '(Default)'",
      "          Style = vtString",
      "          IntValue = 0",
      "      UninstallKey = False",
      "      KeyName = 'HKEY_DYN_DATA'",
      "  IniFiles = <",
      "      FileName = 'PROTOCOL.INI'",
      "      Sections = <>",
      "  Icons = <>",
      "  Uninstaller = True",
      "  Extensions = <>",
      "  Setup1Size = -1",
      "  Setup2Size = -1",
      "  CompletedProgGroup = False",
  });
  for (const std::string& line : got) {
    EXPECT_EQ(line.find("Tag ="), std::string::npos) << line;
    EXPECT_EQ(line.find("TitleCaption"), std::string::npos) << line;
    EXPECT_EQ(line.find("BillBoards"), std::string::npos) << line;
  }
}

TEST(ProjectFileFpc, RichProjectAsFreePascalReadsIt) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  projectfile::FillRich(p);
  std::vector<std::string> got = Text(p);
  ExpectInOrder(got, {
      "  Red = 200",
      "  Green = -129",
      "  Blue = 40000",
      "  TitleCaption = 'Zed '#169' Writer'",
      "  TitleFontColor = 1193046",
      "  TitleShadowColor = clWindow",
      "  TitleFontSize = -32769",
      "  TitleFontStyle = []",
      "  TitlePos = ipCentre",
      "  OtherCaption = 'Copyright '#169' 2026 by Firm ''n'' Co'",
      "  OtherFontStyle = [fsUnderline, fsStrikeOut]",
      "  CompanyName = 'Firm ''n'' Co'",
      "          SelfRegister = True",
      "          Size = 70000",
      "          Timestamp =  4.50007500000000000000E+0004",
      "          Version = '1.0.0.1'",
      "          Size = -1",
      "      Description = '" + std::string(255, 'd') + "'",
      "      UpdateMethod = umNever",
      "      UpdatePlatforms = [wvNT4, wvOther]",
      "    '" + std::string(256, 'f') + "'",
      "    ''",
      "  )",
      "      Groups.Strings = (",
      "        'Main'",
      "        'main'",
      "      )",
      "      Description = 'All of it'",
      "  DialogTypes = [dtWelcome, dtBillboards, dtComplete, dtExit]",
      "  LicenseColor = clLime",
      "  LicenseWordWrap = False",
      "  ReadMe = '{\\rtf1 read me}'",
      "  ReadMeColor = -1",
      "  BillBoards.Strings = (",
      "    'C:\\b\\one.bmp'",
      "  BillboardDelay = 32768",
      "          KeyName = 'Software\\Firm'",
      "              ValueName = '(Default)'",
      "              StringValue = 'default data'",
      "              Style = vtDWord",
      "              IntValue = -2147483648",
      "              Style = vtBinary",
      "              StringValue = '00FF10'",
      "          UninstallKey = True",
      "      FileName = '<WINDIR>\\zed.ini'",
      "          SectionName = 'Paths'",
      "              ValueName = 'Exe'",
      "              Value = '<INSTALLDIR>\\zed.exe'",
      "              ValueName = 'Empty'",
      "          SectionName = 'Nothing'",
      "          Values = <>",
      "      DisplayType = dtMinimized",
      "      GroupType = gtSendTo",
      "  Uninstaller = False",
      "      Style = esDLL",
      "      Params = 'CheckIt'",
      "      Wait = True",
      "      Instructions = '" + std::string(256, 'i') + "'",
      "      When = dtBlank",
      "  Setup1Size = 2147483647",
      "  Setup2Size = 123456789",
      "  CompletedGeneral = True",
  });
  // The 70000-character licence comes through whole.
  bool licence = false;
  for (const std::string& line : got) licence |= line == "  License = '" + std::string(70000, 'l') + "'";
  EXPECT_TRUE(licence);
}

TEST(ProjectFileFpc, EveryProjectTheWriterMakesIsAccepted) {
  FakePlatform fake;
  std::vector<projectfile::ProjectCase> cases = projectfile::Projects();
  cases.push_back({"empty", projectfile::FillEmpty});
  cases.push_back({"boundaries", [](TTandrelBaseInstall& p) {
                     p.Red = 127;
                     p.Green = 128;
                     p.Blue = -32768;
                     p.BillboardDelay = INT32_MIN;
                     p.TitleCaption = std::string(255, 't');
                     p.OtherCaption = std::string(256, 'o');
                     p.BillBoards = {std::string(255, 'a'), std::string(256, 'b'), ""};
                     p.DialogTypes = 0x3FFF;
                     p.TitleFontStyle = 0x0F;
                     p.Groups[0]->Files.Add()->Timestamp = -1e300;
                   }});
  for (const auto& c : cases) {
    TTandrelBaseInstall p;
    c.fill(p);
    EXPECT_NO_THROW(Text(p)) << c.name;
  }
}

}  // namespace
