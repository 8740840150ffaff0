// The project file: one property schema per class, in stream order, shared by the
// writer and the reader.
#include <cstdio>

#include "base/ComponentStream.h"
#include "setup/model/InstClasses.h"
#include "setup/model/InstPlatform.h"

using base::ClassSchema;
using base::SchemaBuilder;
using S = std::string;

namespace {

const std::vector<S> kFontStyles = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const std::vector<S> kItemPositions = {"ipTopLeft", "ipTopRight", "ipBottomLeft", "ipBottomRight", "ipCentre"};
const std::vector<S> kDialogTypes = {"dtWelcome",    "dtLicense",      "dtReadme",   "dtUser",
                                     "dtDestination", "dtSetupType",   "dtCustom",   "dtSelectFolder",
                                     "dtStartCopying", "dtProgress",   "dtBillboards", "dtComplete",
                                     "dtExit",       "dtBlank"};
const std::vector<S> kUpdateModes = {"umNewerVersion", "umMoreRecent", "umAllways", "umNever"};
const std::vector<S> kWindowsVersions = {"wv95", "wv98", "wvNT4", "wvNT5", "wvOther"};
const std::vector<S> kValueTypes = {"vtString", "vtDWord", "vtBinary"};
const std::vector<S> kDisplayTypes = {"dtNormal", "dtMaximized", "dtMinimized"};
const std::vector<S> kGroupTypes = {"gtDefault", "gtPrograms", "gtStartMenu", "gtDesktop", "gtStartup", "gtSendTo"};
const std::vector<S> kExtensionStyles = {"esExecutable", "esDLL"};

// Plain fields: one macro per kind keeps the schema readable as the list it is.
#define STR(T, F) String(#F, [](const T& o) { return o.F; }, [](T& o, const S& v) { o.F = v; })
#define INT(T, F) Integer(#F, [](const T& o) { return o.F; }, [](T& o, int32_t v) { o.F = v; })
#define BOOL(T, F) Boolean(#F, [](const T& o) { return o.F; }, [](T& o, bool v) { o.F = v; })
#define COLOR(T, F) Color(#F, [](const T& o) { return o.F; }, [](T& o, int32_t v) { o.F = v; })
#define ENUM(T, F, E, N) \
  Enum(#F, N, [](const T& o) { return static_cast<int>(o.F); }, [](T& o, int v) { o.F = static_cast<E>(v); })
#define SET(T, F, W, N)                                                  \
  Set(#F, N, [](const T& o) { return static_cast<uint32_t>(o.F); },     \
      [](T& o, uint32_t v) { o.F = static_cast<W>(v); })
#define LINES(T, F)                                         \
  StringList(#F, [](const T& o) { return o.F; }, [](T& o, const TStrings& v) { o.F = v; })
#define COLL(T, I, F, SCHEMA)                                                              \
  Collection<I>(#F, &SCHEMA, [](const T& o) { return o.F.Count(); },                      \
                [](const T& o, int32_t i) -> const I* { return o.F[i]; }, [](T& o) { o.F.Clear(); }, \
                [](T& o) { return o.F.Add(); })

const ClassSchema& FileSchema() {
  using T = TTandrelFile;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelFile")
                                   .STR(T, FileName)
                                   .BOOL(T, SelfRegister)
                                   .INT(T, Size)
                                   .Float("Timestamp", [](const T& o) { return o.Timestamp; },
                                          [](T& o, double v) { o.Timestamp = v; })
                                   .STR(T, Version)
                                   .Build();
  return s;
}

const ClassSchema& FileGroupSchema() {
  using T = TTandrelFileGroup;
  static const ClassSchema s =
      SchemaBuilder<T>("TTandrelFileGroup")
          .COLL(T, TTandrelFile, Files, FileSchema)
          .String("Name", [](const T& o) { return o.Name(); }, [](T& o, const S& v) { o.SetName(v); })
          .STR(T, Description)
          .String("Destination", [](const T& o) { return o.Destination(); },
                  [](T& o, const S& v) { o.SetDestination(v); })
          .ENUM(T, UpdateMethod, TUpdateMode, kUpdateModes)
          .SET(T, UpdatePlatforms, TWindowsVersions, kWindowsVersions)
          .Build();
  return s;
}

const ClassSchema& ComponentSchema() {
  using T = TTandrelComponent;
  static const ClassSchema s =
      SchemaBuilder<T>("TTandrelComponent")
          .String("Name", [](const T& o) { return o.Name(); }, [](T& o, const S& v) { o.SetName(v); })
          .STR(T, Description)
          .LINES(T, Groups)
          .Build();
  return s;
}

const ClassSchema& InstallTypeSchema() {
  using T = TTandrelInstallType;
  static const ClassSchema s =
      SchemaBuilder<T>("TTandrelInstallType").STR(T, Name).STR(T, Description).LINES(T, Components).Build();
  return s;
}

const ClassSchema& ValueSchema() {
  using T = TTandrelValue;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelValue")
                                   .STR(T, ValueName)
                                   .ENUM(T, Style, TTandrelValueType, kValueTypes)
                                   .INT(T, IntValue)
                                   .STR(T, StringValue)
                                   .Build();
  return s;
}

const ClassSchema& RegKeySchema() {
  using T = TTandrelRegKey;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelRegKey")
                                   .STR(T, KeyName)
                                   .COLL(T, TTandrelRegKey, Keys, RegKeySchema)
                                   .COLL(T, TTandrelValue, Values, ValueSchema)
                                   .BOOL(T, UninstallKey)
                                   .Build();
  return s;
}

const ClassSchema& IniValueSchema() {
  using T = TTandrelIniValue;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelIniValue").STR(T, ValueName).STR(T, Value).Build();
  return s;
}

const ClassSchema& IniSectionSchema() {
  using T = TTandrelIniSection;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelIniSection")
                                   .STR(T, SectionName)
                                   .COLL(T, TTandrelIniValue, Values, IniValueSchema)
                                   .Build();
  return s;
}

const ClassSchema& IniFileSchema() {
  using T = TTandrelIniFile;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelIniFile")
                                   .STR(T, FileName)
                                   .COLL(T, TTandrelIniSection, Sections, IniSectionSchema)
                                   .Build();
  return s;
}

const ClassSchema& IconSchema() {
  using T = TTandrelIcon;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelIcon")
                                   .STR(T, FileName)
                                   .STR(T, WorkingDir)
                                   .STR(T, Caption)
                                   .STR(T, Params)
                                   .ENUM(T, DisplayType, TDisplayType, kDisplayTypes)
                                   .ENUM(T, GroupType, TPMGroupType, kGroupTypes)
                                   .STR(T, SourceFile)
                                   .Build();
  return s;
}

const ClassSchema& ExtensionSchema() {
  using T = TTandrelExtension;
  static const ClassSchema s = SchemaBuilder<T>("TTandrelExtension")
                                   .ENUM(T, Style, TExtensionStyle, kExtensionStyles)
                                   .STR(T, RealFile)
                                   .STR(T, Executable)
                                   .STR(T, Params)
                                   .BOOL(T, Wait)
                                   .STR(T, Instructions)
                                   .ENUM(T, When, TTandrelDialogType, kDialogTypes)
                                   .Build();
  return s;
}

const ClassSchema& ProjectSchema() {
  using T = TTandrelBaseInstall;
  static const ClassSchema s =
      SchemaBuilder<T>("TTandrelBaseInstall")
          .INT(T, Tag)
          .StoredWhen([](const T& o) { return o.Tag != 0; })
          .INT(T, Red)
          .INT(T, Green)
          .INT(T, Blue)
          .BOOL(T, RedStatic)
          .BOOL(T, RedIncreasing)
          .BOOL(T, GreenStatic)
          .BOOL(T, GreenIncreasing)
          .BOOL(T, BlueStatic)
          .BOOL(T, BlueIncreasing)
          .BOOL(T, IsBitmap)
          .STR(T, TitleCaption)
          .STR(T, TitleFontName)
          .COLOR(T, TitleFontColor)
          .COLOR(T, TitleShadowColor)
          .INT(T, TitleFontSize)
          .SET(T, TitleFontStyle, TFontStyles, kFontStyles)
          .ENUM(T, TitlePos, TItemPosition, kItemPositions)
          .STR(T, OtherCaption)
          .STR(T, OtherFontName)
          .COLOR(T, OtherFontColor)
          .COLOR(T, OtherShadowColor)
          .INT(T, OtherFontSize)
          .SET(T, OtherFontStyle, TFontStyles, kFontStyles)
          .ENUM(T, OtherPos, TItemPosition, kItemPositions)
          .String("ApplicationName", [](const T& o) { return o.ApplicationName(); },
                  [](T& o, const S& v) { o.SetApplicationName(v); })
          .STR(T, ApplicationVersion)
          .STR(T, Executable)
          .STR(T, InstallDir)
          .String("CompanyName", [](const T& o) { return o.CompanyName(); },
                  [](T& o, const S& v) { o.SetCompanyName(v); })
          .COLL(T, TTandrelFileGroup, Groups, FileGroupSchema)
          .LINES(T, InstFolders)
          .COLL(T, TTandrelComponent, Components, ComponentSchema)
          .COLL(T, TTandrelInstallType, InstallTypes, InstallTypeSchema)
          .BOOL(T, CustomImage)
          .STR(T, CustomImagePath)
          .BOOL(T, CenterImage)
          .BOOL(T, TransparentImage)
          .BOOL(T, StretchImage)
          .SET(T, DialogTypes, TTandrelDialogTypes, kDialogTypes)
          .STR(T, License)
          .COLOR(T, LicenseColor)
          .BOOL(T, LicenseWordWrap)
          .STR(T, ReadMe)
          .COLOR(T, ReadMeColor)
          .BOOL(T, ReadMeWordWrap)
          .BOOL(T, IndividualGroup)
          .STR(T, ProgramFolder)
          .LINES(T, BillBoards)
          .BOOL(T, ShowRestart)
          .STR(T, RunCommand)
          .STR(T, RunParams)
          .BOOL(T, ShowReadMe)
          .INT(T, BillboardDelay)
          .COLL(T, TTandrelRegKey, Registry, RegKeySchema)
          .COLL(T, TTandrelIniFile, IniFiles, IniFileSchema)
          .COLL(T, TTandrelIcon, Icons, IconSchema)
          .BOOL(T, Uninstaller)
          .COLL(T, TTandrelExtension, Extensions, ExtensionSchema)
          .INT(T, Setup1Size)
          .INT(T, Setup2Size)
          .BOOL(T, CompletedGeneral)
          .BOOL(T, CompletedScreen)
          .BOOL(T, CompletedFiles)
          .BOOL(T, CompletedDialogs)
          .BOOL(T, CompletedIni)
          .BOOL(T, CompletedRegistry)
          .BOOL(T, CompletedProgGroup)
          .Build();
  return s;
}

// Ends the busy cursor however the call leaves.
struct BusyCursor {
  BusyCursor() { model::Platform().beginBusyCursor(); }
  ~BusyCursor() { model::Platform().endBusyCursor(); }
};

}  // namespace

void TTandrelBaseInstall::SaveToStream(base::Stream& target) const {
  base::WriteRoot(target, base::RootHeader{"TTandrelBaseInstall", ""}, *this, ProjectSchema());
}

std::vector<uint8_t> TTandrelBaseInstall::SaveToBytes() const {
  base::MemoryStream m;
  SaveToStream(m);
  return m.Bytes();
}

bool TTandrelBaseInstall::LoadFromStream(base::Stream& source) {
  try {
    base::ReadRoot(source, *this, ProjectSchema());
    FixupOwners();
    // A stream is one project and nothing after it: bytes left over mean that an end
    // marker was read where the project went on, and the rest of it would be lost.
    return source.Position() == source.Size();
  } catch (...) {
    return false;
  }
}

bool TTandrelBaseInstall::LoadFromFile(const std::string& fileName) {
  BusyCursor busy;
  if (!base::FileExists(fileName)) return false;
  std::unique_ptr<base::FileStream> file;
  try {
    file = std::make_unique<base::FileStream>(fileName, base::fmOpenRead | base::fmShareDenyWrite);
  } catch (...) {
    // Unreadable: nothing was read, so the project and its Modified flag stay as they were.
    return false;
  }
  bool result = LoadFromStream(*file);
  Modified = false;
  return result;
}

bool TTandrelBaseInstall::SaveToFile(const std::string& fileName) {
  auto& p = model::Platform();
  // The old file stays whole until the new one is: write beside it, then replace it.
  // A file of the user's that already carries the helper name is left alone.
  std::string temp;
  try {
    temp = base::CreateUniqueFile(fileName + ".~sav");
  } catch (...) {
    return false;
  }
  try {
    std::vector<uint8_t> bytes = SaveToBytes();
    {
      base::FileStream f(temp, base::fmCreate);
      f.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    if (!p.replaceFile(temp, fileName)) {
      p.deleteFile(temp);
      return false;
    }
  } catch (...) {
    try {
      p.deleteFile(temp);
    } catch (...) {
    }
    return false;
  }
  Modified = false;
  return true;
}
