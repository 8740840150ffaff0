// The installation project: file groups and files, components, setup types, registry,
// INI entries, shortcuts, extensions and the wizard's selection objects.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Collection.h"
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "setup/model/InstModelTypes.h"

using TStrings = std::vector<std::string>;

class TTandrelBaseInstall;
class TInstallInfo;

// The page names, one per TTandrelDialogType.
extern const char* const DialogTypeNames[kDialogTypeCount];

// ---------------------------------------------------------------- files and groups

class TTandrelFile : public base::CollectionItem {
public:
  std::string FileName;
  bool SelfRegister = false;
  int32_t Size = 0;
  TDateTime Timestamp = 0;
  std::string Version;

  // Reads version, date and size again from FileName; SelfRegister stays.
  void Refresh();
  void Assign(const TTandrelFile& source);
};

class TTandrelFileGroup : public base::CollectionItem {
public:
  base::Collection<TTandrelFile> Files;
  std::string Description;
  TUpdateMode UpdateMethod = umAllways;
  TWindowsVersions UpdatePlatforms = AllWindowsVersions;
  TTandrelBaseInstall* Owner = nullptr;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  const std::string& Destination() const { return destination_; }
  void SetDestination(const std::string& value);

  TTandrelFile* GetFile(int i) const { return Files[i]; }
  bool AddFile(const std::string& fileName);
  bool AddFileItem(const TTandrelFile& file);
  bool RemoveFile(const std::string& fileName);
  bool MoveFile(int fromIndex, int toIndex);
  void RefreshFiles();
  // Sum of the file sizes; a missing file counts -1; wraps at 32 bits.
  int32_t GetTotalSize() const;
  void Assign(const TTandrelFileGroup& source);
  void SetFiles(const base::Collection<TTandrelFile>& files) { Files.AssignFrom(files); }

private:
  int FindFile(const std::string& fileName) const;
  std::string name_;
  std::string destination_;
};

class TTandrelComponent : public base::CollectionItem {
public:
  std::string Description;
  TStrings Groups;
  TTandrelBaseInstall* Owner = nullptr;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  void AddGroup(const TTandrelFileGroup& group);
  // The project's group named by entry i, ignoring case; none without Owner.
  TTandrelFileGroup* GetGroup(int i) const;
  void Assign(const TTandrelComponent& source);

private:
  std::string name_;
};

class TTandrelInstallType : public base::CollectionItem {
public:
  std::string Name;
  std::string Description;
  TStrings Components;
  TTandrelBaseInstall* Owner = nullptr;

  void AddComponent(const TTandrelComponent& component);
  TTandrelComponent* GetComponent(int i) const;
  void Assign(const TTandrelInstallType& source);
};

// ---------------------------------------------------------------- registry

class TTandrelRegKey;

class TTandrelValue : public base::CollectionItem {
public:
  std::string ValueName;
  TTandrelValueType Style = vtString;
  int32_t IntValue = 0;
  std::string StringValue;
  TTandrelRegKey* Key = nullptr;

  std::string GetDisplayText() const;
  void Assign(const TTandrelValue& source);
};

class TTandrelRegKey : public base::CollectionItem {
public:
  TTandrelRegKey();
  std::string KeyName;
  base::Collection<TTandrelRegKey> Keys;
  base::Collection<TTandrelValue> Values;
  bool UninstallKey = false;
  TTandrelRegKey* Parent = nullptr;

  void SetParent(TTandrelRegKey* parent);
  std::string GetFullPath() const;
  // Engine only (SetupOther): writes the key's values, then its sub-keys.
  void Apply();
  TTandrelRegKey* GetKey(int i) const { return Keys[i]; }
  TTandrelValue* GetValue(int i) const { return Values[i]; }
  TTandrelRegKey* AddKey(const std::string& path);
  // Nil when a value of that name exists (ignoring case).
  TTandrelValue* AddStringValue(const std::string& name, const std::string& data);
  TTandrelValue* AddDWordValue(const std::string& name, int32_t number);
  TTandrelValue* AddBinaryValue(const std::string& name, const std::string& hexText);
  void Assign(const TTandrelRegKey& source);
  void SetKeys(const base::Collection<TTandrelRegKey>& keys);
  void SetValues(const base::Collection<TTandrelValue>& values);

private:
  bool HasValue(const std::string& name) const;
};

// ---------------------------------------------------------------- INI files

class TTandrelIniValue : public base::CollectionItem {
public:
  std::string ValueName;
  std::string Value;
  void Assign(const TTandrelIniValue& source);
};

class TTandrelIniSection : public base::CollectionItem {
public:
  std::string SectionName;
  base::Collection<TTandrelIniValue> Values;

  TTandrelIniValue* AddValue(const std::string& name);
  TTandrelIniValue* GetValue(int i) const { return Values[i]; }
  void Assign(const TTandrelIniSection& source);
};

class TTandrelIniFile : public base::CollectionItem {
public:
  std::string FileName;
  base::Collection<TTandrelIniSection> Sections;

  TTandrelIniSection* AddSection(const std::string& name);
  TTandrelIniSection* GetSection(int i) const { return Sections[i]; }
  void Assign(const TTandrelIniFile& source);
  void SetSections(const base::Collection<TTandrelIniSection>& sections) { Sections.AssignFrom(sections); }
};

// ---------------------------------------------------------------- shortcuts

class TTandrelIcon : public base::CollectionItem {
public:
  std::string FileName;
  std::string WorkingDir;
  std::string Caption;
  std::string Params;
  TDisplayType DisplayType = dtNormal;
  TPMGroupType GroupType = gtDefault;
  std::string SourceFile;
  void Assign(const TTandrelIcon& source);
};

// ---------------------------------------------------------------- extensions

TANDREL_EXCEPTION(EExtensionError, base::Exception);

class TTandrelExtension : public base::CollectionItem {
public:
  TExtensionStyle Style = esExecutable;
  std::string RealFile;
  std::string Executable;
  std::string Params;
  bool Wait = false;
  std::string Instructions;
  TTandrelDialogType When = dtWelcome;
  TTandrelBaseInstall* Owner = nullptr;

  // 0 stops the setup, 1 or 2 goes on. Never throws for a DLL extension.
  uint8_t Execute(TWindowHandle parentWnd, TWindowHandle dialogWnd);
  bool IsGroupFile() const;
  void Assign(const TTandrelExtension& source);

private:
  uint8_t ExecuteDll(TWindowHandle parentWnd, TWindowHandle dialogWnd);
};

// ---------------------------------------------------------------- wizard choices

class TInstGroup {
public:
  std::string Name;
  std::string Description;
  int32_t Size = 0;
  bool Selected = true;
};

class TInstComponent {
public:
  std::vector<std::unique_ptr<TInstGroup>> Groups;
  std::string Name;
  std::string Description;

  TInstComponent() = default;
  TInstComponent(const TInstComponent&) = delete;
  TInstComponent& operator=(const TInstComponent&) = delete;
  ~TInstComponent();
  TInstGroup* GetGroup(int i) const;
  bool Selected() const { return selected_; }
  void SetSelected(bool value);
  int32_t GetTotalSize() const;

private:
  bool selected_ = true;
};

class TInstallInfo {
public:
  std::vector<std::unique_ptr<TInstComponent>> Components;
  std::string ProgramFolder;
  std::string InstallDir;
  std::string UserName;
  std::string UserCompany;

  TInstallInfo() = default;
  TInstallInfo(const TInstallInfo&) = delete;
  TInstallInfo& operator=(const TInstallInfo&) = delete;
  ~TInstallInfo();
  TInstComponent* GetComponent(int i) const;
  int32_t GetTotalSize() const;
};

// ---------------------------------------------------------------- the project

class TTandrelBaseInstall {
public:
  TTandrelBaseInstall();
  ~TTandrelBaseInstall();
  TTandrelBaseInstall(const TTandrelBaseInstall&) = delete;
  TTandrelBaseInstall& operator=(const TTandrelBaseInstall&) = delete;

  // Stored properties, in the project file's order. Tag stays 0 and so is never written.
  int32_t Tag = 0;
  int32_t Red = 0, Green = 0, Blue = 0;
  bool RedStatic = true, RedIncreasing = false;
  bool GreenStatic = true, GreenIncreasing = false;
  bool BlueStatic = false, BlueIncreasing = false;
  bool IsBitmap = false;
  std::string TitleCaption;
  std::string TitleFontName = "Times New Roman";
  TColor TitleFontColor = 0xFFFFFF;
  TColor TitleShadowColor = 0;
  int32_t TitleFontSize = 24;
  TFontStyles TitleFontStyle = SetBit(fsBold) | SetBit(fsItalic);
  TItemPosition TitlePos = ipTopLeft;
  std::string OtherCaption;
  std::string OtherFontName = "Arial";
  TColor OtherFontColor = 0xFFFF00;
  TColor OtherShadowColor = 0;
  int32_t OtherFontSize = 12;
  TFontStyles OtherFontStyle = SetBit(fsBold);
  TItemPosition OtherPos = ipBottomRight;
  const std::string& ApplicationName() const { return applicationName_; }
  void SetApplicationName(const std::string& value);
  std::string ApplicationVersion;
  std::string Executable;
  std::string InstallDir;
  const std::string& CompanyName() const { return companyName_; }
  void SetCompanyName(const std::string& value);
  base::Collection<TTandrelFileGroup> Groups;
  TStrings InstFolders;
  base::Collection<TTandrelComponent> Components;
  base::Collection<TTandrelInstallType> InstallTypes;
  bool CustomImage = false;
  std::string CustomImagePath;
  bool CenterImage = true;
  bool TransparentImage = false;
  bool StretchImage = false;
  TTandrelDialogTypes DialogTypes = 0x03FF;
  std::string License = "Right-click in this editor to view options.";
  TColor LicenseColor = static_cast<TColor>(0x8000000F);
  bool LicenseWordWrap = true;
  std::string ReadMe = "Right-click in this editor to view options.";
  TColor ReadMeColor = static_cast<TColor>(0x8000000F);
  bool ReadMeWordWrap = true;
  bool IndividualGroup = false;
  std::string ProgramFolder;
  TStrings BillBoards;
  bool ShowRestart = false;
  std::string RunCommand;
  std::string RunParams;
  bool ShowReadMe = false;
  int32_t BillboardDelay = 5;
  base::Collection<TTandrelRegKey> Registry;
  base::Collection<TTandrelIniFile> IniFiles;
  base::Collection<TTandrelIcon> Icons;
  bool Uninstaller = true;
  base::Collection<TTandrelExtension> Extensions;
  int32_t Setup1Size = -1;
  int32_t Setup2Size = -1;
  bool CompletedGeneral = false, CompletedScreen = false, CompletedFiles = false,
       CompletedDialogs = false, CompletedIni = false, CompletedRegistry = false,
       CompletedProgGroup = false;

  // Not stored.
  base::Collection<TTandrelExtension> WorkingExtensions;
  std::unique_ptr<TInstallInfo> InstallInfo;
  uint8_t FinishAction = 1;
  std::string UserName;
  std::string UserCompany;
  bool Modified = false;

  // A project copy: every stored setting but the completed flags and the sizes.
  void Assign(const TTandrelBaseInstall& source);
  void FixupOwners();
  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName);
  // The project stream ("TPF0", root class TTandrelBaseInstall); EWriteError on failure.
  void SaveToStream(base::Stream& target) const;
  std::vector<uint8_t> SaveToBytes() const;
  // Reads a project stream into this project, then FixupOwners; false on any failure,
  // the project then holding what was read so far. A stream that ends inside the project
  // or goes on after its end is a failure. Modified is not touched.
  bool LoadFromStream(base::Stream& source);
  // Replaces file groups, components and setup types by those of an InstallShield project
  // file (".iwz") and fills the other sections from it; false, with nothing changed, when
  // no such file exists. Failures other than a bad registry entry raise to the caller.
  bool ImportIwz(const std::string& FileName);

  // Any collection item of the project, one place up or down (EListError at the ends).
  void MoveUp(base::CollectionItem& item);
  void MoveDown(base::CollectionItem& item);

  TTandrelFileGroup* GetGroup(int i) const { return Groups[i]; }
  TTandrelComponent* GetComponent(int i) const { return Components[i]; }
  TTandrelInstallType* GetInstallType(int i) const { return InstallTypes[i]; }
  TTandrelRegKey* GetRegKey(int i) const { return Registry[i]; }
  TTandrelIniFile* GetIniFile(int i) const { return IniFiles[i]; }
  TTandrelIcon* GetIcon(int i) const { return Icons[i]; }
  TTandrelExtension* GetExtension(int i);
  TTandrelExtension* GetWorkingExtension(int i);

  void SetGroups(const base::Collection<TTandrelFileGroup>& v);
  void SetComponents(const base::Collection<TTandrelComponent>& v);
  void SetInstallTypes(const base::Collection<TTandrelInstallType>& v);
  void SetRegistry(const base::Collection<TTandrelRegKey>& v);
  void SetIniFiles(const base::Collection<TTandrelIniFile>& v) { IniFiles.AssignFrom(v); }
  void SetIcons(const base::Collection<TTandrelIcon>& v) { Icons.AssignFrom(v); }
  void SetExtensions(const base::Collection<TTandrelExtension>& v);

  TTandrelFileGroup* FindGroup(const std::string& groupName) const;  // exact case
  TTandrelFileGroup* FindGroupText(const std::string& groupName) const;  // ignoring case
  TTandrelComponent* FindComponent(const std::string& name) const;    // ignoring case
  TTandrelInstallType* FindInstallType(const std::string& name) const;
  bool MoveGroup(int fromIndex, int toIndex);
  bool DeleteGroup(const std::string& name);
  bool DeleteComponent(const std::string& name);
  TTandrelFileGroup* MainFileGroup();
  void AddMainFile(const std::string& fileName);

  TTandrelRegKey* AddRegKey(const std::string& path);
  TTandrelIniFile* AddIniFile(const std::string& fileName);

  void ResetWorkingExtensions();
  TTandrelExtension* FindWorkingExtension(TTandrelDialogType page) const;

private:
  std::string applicationName_;
  std::string companyName_;
};
