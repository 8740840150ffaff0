// The project file: exact bytes of a fresh project, what each kind of value becomes,
// what the reader refuses, and the file-level rules of saving and loading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/ComponentStream.h"
#include "base/Streams.h"
#include "setup/model/InstClasses.h"
#include "tests/model/FakePlatform.h"
#include "tests/model/TestFolder.h"
#include "tests/model/fixtures/ProjectFileCases.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// ---- expected bytes, spelled out tag by tag (no code shared with the writer) ----

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Sh(const std::string& s) {  // short string: length byte, characters
  Bytes b{static_cast<uint8_t>(s.size())};
  b.insert(b.end(), s.begin(), s.end());
  return b;
}
Bytes I8(int v) { return {0x02, static_cast<uint8_t>(v)}; }
const Bytes kFalse{0x08}, kTrue{0x09}, kEnd{0x00};
Bytes Id(const std::string& s) { return Bytes{0x07} + Sh(s); }
Bytes Str(const std::string& s) { return Bytes{0x06} + Sh(s); }
Bytes SetOf(const std::vector<std::string>& names) {
  Bytes b{0x0B};
  for (const auto& n : names) b = b + Sh(n);
  return b + Sh("");
}
Bytes Lines(const std::vector<std::string>& lines) {
  Bytes b{0x01};
  for (const auto& l : lines) b = b + Str(l);
  return b + kEnd;
}
// Tag 14, then per item: tag 1, its properties, end of list; end of list.
Bytes Coll(const std::vector<Bytes>& items) {
  Bytes b{0x0E};
  for (const auto& i : items) b = b + Bytes{0x01} + i + kEnd;
  return b + kEnd;
}
Bytes P(const std::string& name, const Bytes& value) { return Sh(name) + value; }

Bytes FreshGroup(const std::string& name, const std::string& dest) {
  return P("Files", Coll({})) + P("Name", Str(name)) /* Description empty: left out */ +
         P("Destination", Str(dest)) + P("UpdateMethod", Id("umAllways")) +
         P("UpdatePlatforms", SetOf({"wv95", "wv98", "wvNT4", "wvNT5", "wvOther"}));
}
Bytes FreshComponent(const std::string& name, const std::string& desc, const std::string& group) {
  return P("Name", Str(name)) + P("Description", Str(desc)) + P("Groups.Strings", Lines({group}));
}
Bytes FreshRoot(const std::string& key) {
  // Each key holds "(Default)": a string value, IntValue 0, StringValue empty (left out).
  Bytes dflt = P("ValueName", Str("(Default)")) + P("Style", Id("vtString")) + P("IntValue", I8(0));
  return P("KeyName", Str(key)) + P("Keys", Coll({})) + P("Values", Coll({dflt})) + P("UninstallKey", kFalse);
}
Bytes FreshIni(const std::string& name) { return P("FileName", Str(name)) + P("Sections", Coll({})); }

// A fresh project, property by property in stream order. Tag (0), the empty captions,
// the empty strings and the empty BillBoards list are not written.
Bytes FreshProjectBytes() {
  const std::string hint = "Right-click in this editor to view options.";  // 43 characters
  const std::string a = "Application Files", h = "Help and Tutorial Files", e = "Example Files";
  return Bytes{'T', 'P', 'F', '0'} + Sh("TTandrelBaseInstall") + Sh("") +  // header, no name
         P("Red", I8(0)) + P("Green", I8(0)) + P("Blue", I8(0)) +          // 0 fits 8 bits
         P("RedStatic", kTrue) + P("RedIncreasing", kFalse) + P("GreenStatic", kTrue) +
         P("GreenIncreasing", kFalse) + P("BlueStatic", kFalse) + P("BlueIncreasing", kFalse) +
         P("IsBitmap", kFalse) +
         P("TitleFontName", Str("Times New Roman")) + P("TitleFontColor", Id("clWhite")) +
         P("TitleShadowColor", Id("clBlack")) + P("TitleFontSize", I8(24)) +
         P("TitleFontStyle", SetOf({"fsBold", "fsItalic"})) + P("TitlePos", Id("ipTopLeft")) +
         P("OtherFontName", Str("Arial")) + P("OtherFontColor", Id("clAqua")) +
         P("OtherShadowColor", Id("clBlack")) + P("OtherFontSize", I8(12)) +
         P("OtherFontStyle", SetOf({"fsBold"})) + P("OtherPos", Id("ipBottomRight")) +
         P("Groups", Coll({FreshGroup("Program Files", "<INSTALLDIR>"),
                           FreshGroup("Help Files", "<INSTALLDIR>\\Help Files"),
                           FreshGroup("Examples", "<INSTALLDIR>\\Examples")})) +
         P("InstFolders.Strings", Lines({"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help Files",
                                         "[Examples]=<INSTALLDIR>\\Examples"})) +
         P("Components", Coll({FreshComponent(a, "Files required to run the application", "Program Files"),
                               FreshComponent(h, "Files required for the help system", "Help Files"),
                               FreshComponent(e, "Example Files", "Examples")})) +
         // Setup types have no description.
         P("InstallTypes", Coll({P("Name", Str("Typical")) + P("Components.Strings", Lines({a, h, e})),
                                 P("Name", Str("Compact")) + P("Components.Strings", Lines({a, h})),
                                 P("Name", Str("Custom")) + P("Components.Strings", Lines({a, h, e}))})) +
         P("CustomImage", kFalse) + P("CenterImage", kTrue) + P("TransparentImage", kFalse) +
         P("StretchImage", kFalse) +
         // $03FF: bits 0 to 9.
         P("DialogTypes", SetOf({"dtWelcome", "dtLicense", "dtReadme", "dtUser", "dtDestination", "dtSetupType",
                                 "dtCustom", "dtSelectFolder", "dtStartCopying", "dtProgress"})) +
         P("License", Str(hint)) + P("LicenseColor", Id("clBtnFace")) + P("LicenseWordWrap", kTrue) +
         P("ReadMe", Str(hint)) + P("ReadMeColor", Id("clBtnFace")) + P("ReadMeWordWrap", kTrue) +
         P("IndividualGroup", kFalse) + P("ShowRestart", kFalse) + P("ShowReadMe", kFalse) +
         P("BillboardDelay", I8(5)) +
         P("Registry", Coll({FreshRoot("HKEY_CLASSES_ROOT"), FreshRoot("HKEY_CURRENT_USER"),
                             FreshRoot("HKEY_LOCAL_MACHINE"), FreshRoot("HKEY_USERS"),
                             FreshRoot("HKEY_CURRENT_CONFIG"), FreshRoot("HKEY_DYN_DATA")})) +
         P("IniFiles", Coll({FreshIni("WIN.INI"), FreshIni("SYSTEM.INI"), FreshIni("PROTOCOL.INI")})) +
         P("Icons", Coll({})) + P("Uninstaller", kTrue) + P("Extensions", Coll({})) +
         P("Setup1Size", I8(-1)) + P("Setup2Size", I8(-1)) +  // -1 = $FF
         P("CompletedGeneral", kFalse) + P("CompletedScreen", kFalse) + P("CompletedFiles", kFalse) +
         P("CompletedDialogs", kFalse) + P("CompletedIni", kFalse) + P("CompletedRegistry", kFalse) +
         P("CompletedProgGroup", kFalse) +
         kEnd + kEnd;  // end of properties, no children
}

// Index just behind the first property named `name` at the top level or in an item.
size_t After(const Bytes& b, const std::string& name) {
  Bytes key = Sh(name);
  auto it = std::search(b.begin(), b.end(), key.begin(), key.end());
  return it == b.end() ? std::string::npos : static_cast<size_t>(it - b.begin()) + key.size();
}
bool Holds(const Bytes& b, const std::string& name) { return After(b, name) != std::string::npos; }
Bytes At(const Bytes& b, size_t pos, size_t n) {
  if (pos == std::string::npos || pos + n > b.size()) return {};
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(pos), b.begin() + static_cast<std::ptrdiff_t>(pos + n));
}

bool Load(TTandrelBaseInstall& p, const Bytes& b) {
  base::ReadOnlyMemoryStream in(b.data(), static_cast<int64_t>(b.size()));
  return p.LoadFromStream(in);
}

std::string Hex(const Bytes& b) {
  std::string s;
  char buf[4];
  for (uint8_t c : b) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    s += buf;
  }
  return s;
}

// ---- the stream ----

TEST(ProjectFile, FreshProjectBytesAsWorkedOut) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  Bytes got = p.SaveToBytes(), want = FreshProjectBytes();
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(got[i], want[i]) << "first difference at byte " << i;
}

TEST(ProjectFile, WriteReadWriteGivesTheSameBytes) {
  FakePlatform fake;
  for (const auto& c : projectfile::Projects()) {
    TTandrelBaseInstall a;
    c.fill(a);
    Bytes once = a.SaveToBytes();
    TTandrelBaseInstall b;
    ASSERT_TRUE(Load(b, once)) << c.name;
    EXPECT_EQ(b.SaveToBytes(), once) << c.name;
  }
}

TEST(ProjectFile, RichProjectReadsBackWhole) {
  FakePlatform fake;
  TTandrelBaseInstall a;
  projectfile::FillRich(a);
  TTandrelBaseInstall b;
  ASSERT_TRUE(Load(b, a.SaveToBytes()));
  EXPECT_EQ(b.ApplicationName(), "Zed \xA9 Writer");
  EXPECT_EQ(b.License, a.License);
  EXPECT_EQ(b.License.size(), 70000u);
  EXPECT_EQ(b.DialogTypes, a.DialogTypes);
  EXPECT_EQ(b.TitleFontColor, 0x123456);
  EXPECT_EQ(b.BillBoards, a.BillBoards);
  ASSERT_EQ(b.Groups.Count(), 1);
  ASSERT_EQ(b.Groups[0]->Files.Count(), 2);
  EXPECT_EQ(b.Groups[0]->Files[0]->Timestamp, 45000.75);
  EXPECT_EQ(b.Groups[0]->Files[1]->Size, -1);
  EXPECT_EQ(b.Groups[0]->UpdatePlatforms, SetBit(wvNT4) | SetBit(wvOther));
  ASSERT_EQ(b.Registry.Count(), 1);
  TTandrelRegKey* k = b.Registry[0];
  ASSERT_EQ(k->Keys.Count(), 1);
  ASSERT_EQ(k->Keys[0]->Values.Count(), 3);
  EXPECT_EQ(k->Keys[0]->Values[0]->StringValue, "default data");
  EXPECT_EQ(k->Keys[0]->Values[1]->IntValue, INT32_MIN);
  EXPECT_EQ(k->Keys[0]->Values[1]->Style, vtDWord);
  EXPECT_TRUE(k->Keys[0]->UninstallKey);
  ASSERT_EQ(b.IniFiles.Count(), 1);
  EXPECT_EQ(b.IniFiles[0]->Sections[0]->Values[0]->Value, "<INSTALLDIR>\\zed.exe");
  ASSERT_EQ(b.Icons.Count(), 1);
  EXPECT_EQ(b.Icons[0]->GroupType, gtSendTo);
  ASSERT_EQ(b.Extensions.Count(), 1);
  EXPECT_EQ(b.Extensions[0]->When, dtBlank);
  EXPECT_EQ(b.Extensions[0]->Owner, &b);
  EXPECT_EQ(b.WorkingExtensions.Count(), 0);
  EXPECT_TRUE(b.CompletedFiles);
  EXPECT_EQ(b.Setup2Size, 123456789);
}

TEST(ProjectFile, NeverWritesTagOrTheReadOnlyProperties) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  p.Extensions.Add()->RealFile = "x.exe";
  p.WorkingExtensions.Add()->RealFile = "y.exe";
  Bytes b = p.SaveToBytes();
  for (const char* name : {"Tag", "MainFileGroup", "WorkingExtensions", "Modified", "FinishAction"})
    EXPECT_FALSE(Holds(b, name)) << name;
  EXPECT_TRUE(Holds(b, "x.exe"));
  EXPECT_FALSE(Holds(b, "y.exe"));
}

TEST(ProjectFile, IntegersTakeTheSmallestTag) {
  struct Case {
    int32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x02, 0x00}},
      {127, {0x02, 0x7F}},
      {-128, {0x02, 0x80}},
      {128, {0x03, 0x80, 0x00}},
      {-129, {0x03, 0x7F, 0xFF}},
      {32767, {0x03, 0xFF, 0x7F}},
      {-32768, {0x03, 0x00, 0x80}},
      {32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
      {-32769, {0x04, 0xFF, 0x7F, 0xFF, 0xFF}},
      {INT32_MAX, {0x04, 0xFF, 0xFF, 0xFF, 0x7F}},
      {INT32_MIN, {0x04, 0x00, 0x00, 0x00, 0x80}},
  };
  FakePlatform fake;
  for (const Case& c : cases) {
    TTandrelBaseInstall p;
    p.BillboardDelay = c.value;
    Bytes b = p.SaveToBytes();
    EXPECT_EQ(Hex(At(b, After(b, "BillboardDelay"), c.bytes.size())), Hex(c.bytes)) << c.value;
    TTandrelBaseInstall q;
    ASSERT_TRUE(Load(q, b));
    EXPECT_EQ(q.BillboardDelay, c.value);
  }
}

TEST(ProjectFile, StringsSwitchToTheLongFormAt256AlsoInLists) {
  struct Case {
    size_t length;
    Bytes head;  // tag and length
  } cases[] = {
      {1, {0x06, 0x01}},
      {255, {0x06, 0xFF}},
      {256, {0x0C, 0x00, 0x01, 0x00, 0x00}},
      {70000, {0x0C, 0x70, 0x11, 0x01, 0x00}},
  };
  FakePlatform fake;
  for (const Case& c : cases) {
    TTandrelBaseInstall p;
    p.License = std::string(c.length, 'L');
    p.BillBoards = {std::string(c.length, 'B'), ""};
    Bytes b = p.SaveToBytes();
    EXPECT_EQ(Hex(At(b, After(b, "License"), c.head.size())), Hex(c.head)) << c.length;
    // BillBoards.Strings: list tag, the line, an empty line, end of list.
    size_t list = After(b, "BillBoards.Strings");
    EXPECT_EQ(Hex(At(b, list, 1 + c.head.size())), Hex(Bytes{0x01} + c.head)) << c.length;
    EXPECT_EQ(Hex(At(b, list + 1 + c.head.size() + c.length, 3)), Hex({0x06, 0x00, 0x00})) << c.length;
    TTandrelBaseInstall q;
    ASSERT_TRUE(Load(q, b));
    EXPECT_EQ(q.License, p.License);
    EXPECT_EQ(q.BillBoards, p.BillBoards);
  }
}

TEST(ProjectFile, EmptyStringsAndListsAreLeftOut) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  p.License.clear();
  p.InstFolders.clear();
  p.Components[0]->Groups.clear();
  Bytes b = p.SaveToBytes();
  EXPECT_FALSE(Holds(b, "License"));
  EXPECT_FALSE(Holds(b, "InstFolders.Strings"));
  EXPECT_FALSE(Holds(b, "BillBoards.Strings"));
  EXPECT_FALSE(Holds(b, "TitleCaption"));
  // An empty line inside a list is kept.
  p.InstFolders = {""};
  b = p.SaveToBytes();
  EXPECT_EQ(Hex(At(b, After(b, "InstFolders.Strings"), 4)), Hex({0x01, 0x06, 0x00, 0x00}));
}

TEST(ProjectFile, SetsByElementNameAlsoWhenEmpty) {
  struct Case {
    TTandrelDialogTypes pages;
    TFontStyles font;
    Bytes pagesBytes, fontBytes;
  } cases[] = {
      {0, 0, SetOf({}), SetOf({})},
      {SetBit(dtComplete) | SetBit(dtExit), SetBit(fsStrikeOut), SetOf({"dtComplete", "dtExit"}),
       SetOf({"fsStrikeOut"})},
      {0x3FFF, 0x0F,
       SetOf({"dtWelcome", "dtLicense", "dtReadme", "dtUser", "dtDestination", "dtSetupType", "dtCustom",
              "dtSelectFolder", "dtStartCopying", "dtProgress", "dtBillboards", "dtComplete", "dtExit", "dtBlank"}),
       SetOf({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})},
  };
  FakePlatform fake;
  for (const Case& c : cases) {
    TTandrelBaseInstall p;
    p.DialogTypes = c.pages;
    p.TitleFontStyle = c.font;
    p.Groups[0]->UpdatePlatforms = 0;
    Bytes b = p.SaveToBytes();
    EXPECT_EQ(Hex(At(b, After(b, "DialogTypes"), c.pagesBytes.size())), Hex(c.pagesBytes));
    EXPECT_EQ(Hex(At(b, After(b, "TitleFontStyle"), c.fontBytes.size())), Hex(c.fontBytes));
    EXPECT_EQ(Hex(At(b, After(b, "UpdatePlatforms"), 2)), Hex({0x0B, 0x00}));
    TTandrelBaseInstall q;
    ASSERT_TRUE(Load(q, b));
    EXPECT_EQ(q.DialogTypes, c.pages);  // an empty set replaces the default
    EXPECT_EQ(q.TitleFontStyle, c.font);
    EXPECT_EQ(q.Groups[0]->UpdatePlatforms, 0);
  }
}

TEST(ProjectFile, ColoursByIdentifierOnlyWhenInTheTable) {
  struct Case {
    TColor color;
    Bytes bytes;
  } cases[] = {
      {0xFFFFFF, Id("clWhite")},
      {0x000000, Id("clBlack")},
      {0xFFFF00, Id("clAqua")},
      {static_cast<TColor>(0x8000000F), Id("clBtnFace")},
      {0x0000FF, Id("clRed")},
      {static_cast<TColor>(0x80000018), Id("clInfoBk")},
      {0x000001, {0x02, 0x01}},
      {0x123456, {0x04, 0x56, 0x34, 0x12, 0x00}},
      {static_cast<TColor>(0x80000019), {0x04, 0x19, 0x00, 0x00, 0x80}},  // past the system colours
      {-1, {0x02, 0xFF}},
  };
  FakePlatform fake;
  for (const Case& c : cases) {
    TTandrelBaseInstall p;
    p.ReadMeColor = c.color;
    Bytes b = p.SaveToBytes();
    EXPECT_EQ(Hex(At(b, After(b, "ReadMeColor"), c.bytes.size())), Hex(c.bytes)) << c.color;
    TTandrelBaseInstall q;
    ASSERT_TRUE(Load(q, b));
    EXPECT_EQ(q.ReadMeColor, c.color);
  }
}

TEST(ProjectFile, TimestampLeftOutAtZeroElseAnExtended) {
  FakePlatform fake;
  TTandrelBaseInstall p;
  TTandrelFile* f = p.Groups[0]->Files.Add();
  f->FileName = "a.exe";
  Bytes b = p.SaveToBytes();
  EXPECT_FALSE(Holds(b, "Timestamp"));
  // 1.0 as 80-bit extended: mantissa $8000000000000000, exponent $3FFF.
  f->Timestamp = 1.0;
  b = p.SaveToBytes();
  EXPECT_EQ(Hex(At(b, After(b, "Timestamp"), 11)),
            Hex({0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F}));
  f->Timestamp = 45000.75;
  TTandrelBaseInstall q;
  ASSERT_TRUE(Load(q, p.SaveToBytes()));
  EXPECT_EQ(q.Groups[0]->Files[0]->Timestamp, 45000.75);
}

// ---- reading ----

TEST(ProjectFile, SettersRunInFileOrder) {
  FakePlatform fake;
  TTandrelBaseInstall a;
  a.SetApplicationName("Zed");
  a.SetCompanyName("Firm");
  a.TitleCaption.clear();
  a.OtherCaption.clear();
  a.ProgramFolder.clear();
  TTandrelBaseInstall b;
  ASSERT_TRUE(Load(b, a.SaveToBytes()));
  EXPECT_EQ(b.TitleCaption, "Zed");
  EXPECT_EQ(b.OtherCaption, "Copyright \xA9 2026 by Firm");
  EXPECT_EQ(b.ProgramFolder, "Firm");
}

TEST(ProjectFile, EmptyCollectionsKeepTheDefaults) {
  FakePlatform fake;
  TTandrelBaseInstall a;
  a.IniFiles.Clear();
  a.Registry.Clear();
  a.Groups.Clear();
  TTandrelBaseInstall b;
  ASSERT_TRUE(Load(b, a.SaveToBytes()));
  EXPECT_EQ(b.IniFiles.Count(), 3);
  EXPECT_EQ(b.Registry.Count(), 6);
  EXPECT_EQ(b.Groups.Count(), 3);
  // A key read with no values keeps the "(Default)" its constructor made.
  TTandrelBaseInstall c;
  c.Registry[0]->Values.Clear();
  c.Registry[1]->Values.Clear();
  c.Registry[1]->AddStringValue("Only", "x");
  c.IniFiles.Clear();
  c.IniFiles.Add()->FileName = "ONE.INI";
  TTandrelBaseInstall d;
  ASSERT_TRUE(Load(d, c.SaveToBytes()));
  ASSERT_EQ(d.IniFiles.Count(), 1);
  EXPECT_EQ(d.IniFiles[0]->FileName, "ONE.INI");
  ASSERT_EQ(d.Registry[0]->Values.Count(), 1);
  EXPECT_EQ(d.Registry[0]->Values[0]->ValueName, "(Default)");
  EXPECT_EQ(d.Registry[0]->Parent, nullptr);
  // Values in the file replace it.
  ASSERT_EQ(d.Registry[1]->Values.Count(), 1);
  EXPECT_EQ(d.Registry[1]->Values[0]->ValueName, "Only");
}

TEST(ProjectFile, ReaderAcceptsOtherSpellingsItCanRead) {
  FakePlatform fake;
  // Identifiers and names in any case, colours as integers, a float from an integer tag,
  // another root class name.
  Bytes b = Bytes{'T', 'P', 'F', '0'} + Sh("TSomethingElse") + Sh("Proj") + P("titlepos", Id("IPCENTRE")) +
            P("ReadMeColor", Id("CLWHITE")) + P("LicenseColor", I8(7)) +
            P("Groups", Coll({P("Files", Coll({P("Timestamp", I8(3))}))})) + kEnd + kEnd;
  TTandrelBaseInstall p;
  ASSERT_TRUE(Load(p, b));
  EXPECT_EQ(p.TitlePos, ipCentre);
  EXPECT_EQ(p.ReadMeColor, 0xFFFFFF);
  EXPECT_EQ(p.LicenseColor, 7);
  EXPECT_EQ(p.Groups[0]->Files[0]->Timestamp, 3.0);
}

TEST(ProjectFile, ReaderRefusesWhatItCannotRead) {
  const Bytes head = Bytes{'T', 'P', 'F', '0'} + Sh("TTandrelBaseInstall") + Sh("");
  Bytes deep = P("KeyName", Str("k"));
  for (int i = 0; i < base::kMaxNesting + 10; ++i) deep = P("Keys", Coll({deep}));
  struct Case {
    const char* why;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"wrong signature", Bytes{'T', 'P', 'F', '1'} + Sh("TTandrelBaseInstall") + Sh("") + kEnd + kEnd},
      {"unknown property", head + P("Colour", I8(1)) + kEnd + kEnd},
      {"unknown item property", head + P("Icons", Coll({P("Target", Str("x"))})) + kEnd + kEnd},
      {"string for an integer", head + P("Red", Str("1")) + kEnd + kEnd},
      {"integer for a Boolean", head + P("IsBitmap", I8(1)) + kEnd + kEnd},
      {"unknown enumeration name", head + P("TitlePos", Id("ipMiddle")) + kEnd + kEnd},
      {"enumeration of another type", head + P("TitlePos", Id("dtNormal")) + kEnd + kEnd},
      {"unknown set element", head + P("TitleFontStyle", SetOf({"fsBold", "fsShadow"})) + kEnd + kEnd},
      {"unknown colour name", head + P("ReadMeColor", Id("clRose")) + kEnd + kEnd},
      {"unknown tag", head + P("Red", {0x0A, 0x00}) + kEnd + kEnd},
      {"tag 16", head + P("Red", {0x10}) + kEnd + kEnd},
      {"list without .Strings", head + P("InstFolders", Lines({"a"})) + kEnd + kEnd},
      {"integer in a string list", head + P("InstFolders.Strings", {0x01, 0x02, 0x05, 0x00}) + kEnd + kEnd},
      {"collection item without list tag", head + P("Icons", {0x0E, 0x06, 0x00, 0x00}) + kEnd + kEnd},
      {"list for a collection", head + P("Icons", Lines({})) + kEnd + kEnd},
      {"child object", head + kEnd + Sh("TChild") + Sh("") + kEnd + kEnd},
      {"nested too deep", head + P("Registry", Coll({deep})) + kEnd + kEnd},
      {"long string longer than the stream", head + P("License", {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'x'}) + kEnd + kEnd},
      {"long string of 4 GB - 1", head + P("License", {0x0C, 0xFF, 0xFF, 0xFF, 0xFF}) + kEnd + kEnd},
      {"short string past the end", head + P("License", {0x06, 0x40, 'x', 'y'})},
      // An end marker read where the project goes on: the rest would be lost unseen.
      {"16 zero bytes inside", head + P("Red", I8(1)) + Bytes(16, 0) + P("Green", I8(2)) + kEnd + kEnd},
      {"a zero byte after the end", head + P("Red", I8(1)) + kEnd + kEnd + kEnd},
      {"a second project after the end", head + kEnd + kEnd + head + kEnd + kEnd},
  };
  FakePlatform fake;
  for (const Case& c : cases) {
    TTandrelBaseInstall p;
    EXPECT_FALSE(Load(p, c.bytes)) << c.why;
  }
}

TEST(ProjectFile, RegistryAsDeepAsTheRegistryAllowsSurvivesAndDeeperIsRefusedOnWrite) {
  FakePlatform fake;
  TTandrelBaseInstall a;
  TTandrelRegKey* k = a.Registry[1];  // a fresh project's HKEY_CURRENT_USER
  ASSERT_EQ(k->KeyName, "HKEY_CURRENT_USER");
  for (int i = 0; i < 512; ++i) {
    k = k->Keys.Add();
    k->KeyName = "k" + std::to_string(i);
  }
  k->AddStringValue("Deepest", "here");
  const Bytes saved = a.SaveToBytes();
  TTandrelBaseInstall b;
  ASSERT_TRUE(Load(b, saved));
  const TTandrelRegKey* r = b.Registry[1];
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(r->Keys.Count(), 1) << i;
    r = r->Keys[0];
  }
  EXPECT_EQ(r->KeyName, "k511");
  ASSERT_GE(r->Values.Count(), 1);
  EXPECT_EQ(r->Values[r->Values.Count() - 1]->ValueName, "Deepest");
  EXPECT_EQ(r->Values[r->Values.Count() - 1]->StringValue, "here");
  EXPECT_EQ(b.SaveToBytes(), saved);
  // What the reader would refuse is not written either.
  for (int i = 512; i < base::kMaxNesting; ++i) k = k->Keys.Add();
  EXPECT_ANY_THROW(a.SaveToBytes());
}

TEST(ProjectFile, EveryPrefixOfAFileIsRefused) {
  FakePlatform fake;
  TTandrelBaseInstall a;
  projectfile::FillRich(a);
  a.License = "short";  // keeps the run small
  Bytes whole = a.SaveToBytes();
  for (size_t n = 0; n < whole.size(); ++n) {
    TTandrelBaseInstall p;
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    ASSERT_FALSE(Load(p, cut)) << n << " of " << whole.size() << " bytes";
  }
  TTandrelBaseInstall p;
  EXPECT_TRUE(Load(p, whole));
}

TEST(ProjectFile, FailedReadKeepsWhatWasReadSoFar) {
  FakePlatform fake;
  Bytes b = Bytes{'T', 'P', 'F', '0'} + Sh("TTandrelBaseInstall") + Sh("") + P("Red", I8(9)) +
            P("Bogus", I8(1)) + P("Green", I8(9)) + kEnd + kEnd;
  TTandrelBaseInstall p;
  EXPECT_FALSE(Load(p, b));
  EXPECT_EQ(p.Red, 9);
  EXPECT_EQ(p.Green, 0);
}

// ---- files ----

class ProjectFileOnDisk : public TestFolder {
protected:
  ProjectFileOnDisk() : TestFolder("projectfile-") {}
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static void Write(const std::string& path, const Bytes& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  static Bytes Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  size_t FilesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

  FakePlatform fake_;
};

TEST_F(ProjectFileOnDisk, SaveThenLoad) {
  TTandrelBaseInstall a;
  projectfile::FillRich(a);
  a.Modified = true;
  ASSERT_TRUE(a.SaveToFile(Path("p.zem")));
  EXPECT_FALSE(a.Modified);
  EXPECT_EQ(Read(Path("p.zem")), a.SaveToBytes());
  EXPECT_EQ(FilesInDir(), 1u);  // nothing left beside it
  TTandrelBaseInstall b;
  b.Modified = true;
  ASSERT_TRUE(b.LoadFromFile(Path("p.zem")));
  EXPECT_FALSE(b.Modified);
  EXPECT_EQ(b.SaveToBytes(), a.SaveToBytes());
  EXPECT_EQ(fake_.busy, 0);
}

TEST_F(ProjectFileOnDisk, SaveReplacesAnOlderFile) {
  Write(Path("p.zem"), Bytes(100000, 'x'));
  TTandrelBaseInstall a;
  ASSERT_TRUE(a.SaveToFile(Path("p.zem")));
  EXPECT_EQ(Read(Path("p.zem")), a.SaveToBytes());
}

TEST_F(ProjectFileOnDisk, UsersFileUnderTheHelperNameIsLeftAlone) {
  const Bytes users = {'m', 'i', 'n', 'e'};
  Write(Path("p.zem.~sav"), users);
  TTandrelBaseInstall a;
  ASSERT_TRUE(a.SaveToFile(Path("p.zem")));
  EXPECT_EQ(Read(Path("p.zem")), a.SaveToBytes());
  EXPECT_EQ(Read(Path("p.zem.~sav")), users);
  EXPECT_EQ(FilesInDir(), 2u);
  // A failed replace removes only its own copy.
  model::Platform().replaceFile = [](const std::string&, const std::string&) { return false; };
  EXPECT_FALSE(a.SaveToFile(Path("p.zem")));
  EXPECT_EQ(Read(Path("p.zem.~sav")), users);
  EXPECT_EQ(FilesInDir(), 2u);
}

TEST_F(ProjectFileOnDisk, LoadOfAMissingFileChangesNothing) {
  TTandrelBaseInstall p;
  p.Modified = true;
  p.Red = 3;
  EXPECT_FALSE(p.LoadFromFile(Path("none.zem")));
  EXPECT_TRUE(p.Modified);
  EXPECT_EQ(p.Red, 3);
  EXPECT_FALSE(p.LoadFromFile(dir_.string()));  // a folder is no file
  EXPECT_EQ(fake_.busy, 0);
}

TEST_F(ProjectFileOnDisk, LoadOfABrokenFileFailsAndClearsModified) {
  TTandrelBaseInstall a;
  Bytes b = a.SaveToBytes();
  Bytes longer = b;
  longer.push_back(0);
  Write(Path("longer.zem"), longer);
  b.resize(b.size() / 2);
  Write(Path("half.zem"), b);
  Write(Path("empty.zem"), {});
  for (const char* name : {"half.zem", "empty.zem", "longer.zem"}) {
    TTandrelBaseInstall p;
    p.Modified = true;
    EXPECT_FALSE(p.LoadFromFile(Path(name))) << name;
    EXPECT_FALSE(p.Modified) << name;
    EXPECT_EQ(fake_.busy, 0);
  }
}

TEST_F(ProjectFileOnDisk, FailedReplaceKeepsTheOldFile) {
  const Bytes old = {'o', 'l', 'd'};
  Write(Path("p.zem"), old);
  int replaces = 0;
  model::Platform().replaceFile = [&](const std::string&, const std::string&) {
    ++replaces;
    return false;
  };
  TTandrelBaseInstall a;
  a.Modified = true;
  EXPECT_FALSE(a.SaveToFile(Path("p.zem")));
  EXPECT_EQ(replaces, 1);
  EXPECT_TRUE(a.Modified);
  EXPECT_EQ(Read(Path("p.zem")), old);
  EXPECT_EQ(FilesInDir(), 1u);  // the unfinished copy is gone
}

TEST_F(ProjectFileOnDisk, SaveFailuresAreReportedAsFalse) {
  TTandrelBaseInstall a;
  a.Modified = true;
  EXPECT_FALSE(a.SaveToFile(Path("no-such-folder/p.zem")));
  EXPECT_TRUE(a.Modified);
  EXPECT_EQ(FilesInDir(), 0u);
}

TEST_F(ProjectFileOnDisk, FolderInTheWayIsNotReplaced) {
  TTandrelBaseInstall a;
  a.Modified = true;
  fs::create_directories(Path("taken.zem"));
  EXPECT_FALSE(a.SaveToFile(Path("taken.zem")));
  EXPECT_TRUE(fs::is_directory(Path("taken.zem")));
  EXPECT_TRUE(a.Modified);
  EXPECT_EQ(FilesInDir(), 1u);
}

#ifdef _WIN32
// Another program holding the file without sharing: loading fails instead of raising,
// saving fails and the held file stays as it was.
TEST_F(ProjectFileOnDisk, FileHeldByAnotherProgram) {
  TTandrelBaseInstall a;
  a.Red = 77;
  ASSERT_TRUE(a.SaveToFile(Path("p.zem")));
  const Bytes before = Read(Path("p.zem"));
  HANDLE h = CreateFileA(Path("p.zem").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  TTandrelBaseInstall p;
  p.Modified = true;
  bool loaded = true;
  EXPECT_NO_THROW(loaded = p.LoadFromFile(Path("p.zem")));
  EXPECT_FALSE(loaded);
  EXPECT_EQ(p.Red, 0);
  EXPECT_EQ(fake_.busy, 0);
  TTandrelBaseInstall b;
  b.Modified = true;
  EXPECT_FALSE(b.SaveToFile(Path("p.zem")));
  EXPECT_TRUE(b.Modified);
  CloseHandle(h);
  EXPECT_EQ(Read(Path("p.zem")), before);
  EXPECT_EQ(FilesInDir(), 1u);
}
#endif

}  // namespace
