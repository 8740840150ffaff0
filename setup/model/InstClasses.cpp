#include "setup/model/InstClasses.h"

#include <cstdio>
#include <cstring>

#include "base/Strings.h"
#include "setup/model/InstPlatform.h"
#include "resources/engine_strings.h"
#include "setup/services/InstallRules.h"

using base::LowerCase;
using base::SameText;

const char* const DialogTypeNames[kDialogTypeCount] = {
    "Welcome", "License", "Readme",   "User",       "Destination", "SetupType", "Custom",
    "SelectFolder", "StartCopying", "Progress", "Billboards", "Complete", "Exit", "Blank"};

namespace {

bool StartsWithText(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() && SameText(line.substr(0, prefix.size()), prefix);
}

// Replaces the first entry equal to oldName (ignoring case) by newName.
void RenameFirst(TStrings& list, const std::string& oldName, const std::string& newName) {
  for (auto& s : list)
    if (SameText(s, oldName)) {
      s = newName;
      return;
    }
}

void DeleteFirst(TStrings& list, const std::string& name) {
  for (auto it = list.begin(); it != list.end(); ++it)
    if (SameText(*it, name)) {
      list.erase(it);
      return;
    }
}

bool ContainsText(const TStrings& list, const std::string& name) {
  for (const auto& s : list)
    if (SameText(s, name)) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------- TTandrelFile

void TTandrelFile::Refresh() {
  model::FileFacts f = model::Platform().probeFile(FileName);
  Version = f.fileVersion;
  Timestamp = f.found ? f.date : 0;
  Size = f.found ? f.size : -1;
}

void TTandrelFile::Assign(const TTandrelFile& s) {
  FileName = s.FileName;
  SelfRegister = s.SelfRegister;
  Size = s.Size;
  Timestamp = s.Timestamp;
  Version = s.Version;
}

// ---------------------------------------------------------------- TTandrelFileGroup

void TTandrelFileGroup::SetName(const std::string& value) {
  if (value == name_) return;
  if (Owner) {
    const std::string prefix = "[" + name_ + "]=";
    bool found = false;
    for (auto& line : Owner->InstFolders)
      if (StartsWithText(line, prefix)) {
        // The destination starts behind the prefix: a name may itself hold "=".
        line = "[" + value + "]" + line.substr(prefix.size() - 1);
        found = true;
        break;
      }
    if (!found) Owner->InstFolders.push_back("[" + value + "]=");
    for (auto* c : Owner->Components) RenameFirst(c->Groups, name_, value);
  }
  name_ = value;
}

void TTandrelFileGroup::SetDestination(const std::string& value) {
  if (value == destination_) return;
  destination_ = value;
  if (!Owner) return;
  const std::string prefix = "[" + name_ + "]=";
  for (auto& line : Owner->InstFolders)
    if (StartsWithText(line, prefix)) {
      line = line.substr(0, prefix.size()) + value;
      return;
    }
}

int TTandrelFileGroup::FindFile(const std::string& fileName) const {
  for (int i = 0; i < Files.Count(); ++i)
    if (SameText(Files[i]->FileName, fileName)) return i;
  return -1;
}

bool TTandrelFileGroup::AddFile(const std::string& fileName) {
  if (FindFile(fileName) >= 0) return false;
  model::FileFacts f = model::Platform().probeFile(fileName);
  TTandrelFile* file = Files.Add();
  file->FileName = fileName;
  file->Version = f.fileVersion;
  file->Timestamp = f.found ? f.date : 0;
  file->Size = f.found ? f.size : -1;
  file->SelfRegister = f.oleSelfRegister;
  return true;
}

bool TTandrelFileGroup::AddFileItem(const TTandrelFile& file) {
  if (FindFile(file.FileName) >= 0) return false;
  Files.Add()->Assign(file);
  return true;
}

bool TTandrelFileGroup::RemoveFile(const std::string& fileName) {
  int i = FindFile(fileName);
  if (i < 0) return false;
  Files.Delete(i);
  return true;
}

bool TTandrelFileGroup::MoveFile(int fromIndex, int toIndex) {
  if (fromIndex == toIndex) return false;
  Files.Move(fromIndex, toIndex);
  return true;
}

void TTandrelFileGroup::RefreshFiles() {
  for (auto* f : Files) f->Refresh();
}

int32_t TTandrelFileGroup::GetTotalSize() const {
  uint32_t sum = 0;
  for (auto* f : Files) sum += static_cast<uint32_t>(f->Size);
  return static_cast<int32_t>(sum);
}

void TTandrelFileGroup::Assign(const TTandrelFileGroup& s) {
  if (&s == this) return;
  name_ = s.name_;
  Description = s.Description;
  destination_ = s.destination_;
  UpdateMethod = s.UpdateMethod;
  UpdatePlatforms = s.UpdatePlatforms;
  Files.AssignFrom(s.Files);
}

// ---------------------------------------------------------------- TTandrelComponent

void TTandrelComponent::SetName(const std::string& value) {
  if (value != name_ && Owner)
    for (auto* t : Owner->InstallTypes) RenameFirst(t->Components, name_, value);
  name_ = value;
}

void TTandrelComponent::AddGroup(const TTandrelFileGroup& group) {
  if (!ContainsText(Groups, group.Name())) Groups.push_back(group.Name());
}

TTandrelFileGroup* TTandrelComponent::GetGroup(int i) const {
  if (!Owner || i < 0 || i >= static_cast<int>(Groups.size())) return nullptr;
  return Owner->FindGroupText(Groups[i]);
}

void TTandrelComponent::Assign(const TTandrelComponent& s) {
  if (&s == this) return;
  name_ = s.name_;
  Description = s.Description;
  Groups = s.Groups;
}

// ---------------------------------------------------------------- TTandrelInstallType

void TTandrelInstallType::AddComponent(const TTandrelComponent& component) {
  if (!ContainsText(Components, component.Name())) Components.push_back(component.Name());
}

TTandrelComponent* TTandrelInstallType::GetComponent(int i) const {
  if (!Owner || i < 0 || i >= static_cast<int>(Components.size())) return nullptr;
  return Owner->FindComponent(Components[i]);
}

void TTandrelInstallType::Assign(const TTandrelInstallType& s) {
  if (&s == this) return;
  Name = s.Name;
  Description = s.Description;
  Components = s.Components;
}

// ---------------------------------------------------------------- registry

std::string TTandrelValue::GetDisplayText() const {
  switch (Style) {
    case vtString:
      if (!StringValue.empty()) return "\"" + StringValue + "\"";
      return ValueName == "(Default)" ? "(value not set)" : "\"\"";
    case vtDWord: {
      return "0x" + base::LowerCase(base::IntToHex(static_cast<uint32_t>(IntValue), 8)) + " (" +
             base::IntToStr(IntValue) + ")";
    }
    case vtBinary: {
      if (StringValue.empty()) return "(zero-length binary value)";
      std::string out;
      for (size_t i = 0; i < StringValue.size(); ++i) {
        if (i % 2 == 0) out += ' ';
        out += StringValue[i];
      }
      return out;
    }
  }
  return std::string();
}

void TTandrelValue::Assign(const TTandrelValue& s) {
  ValueName = s.ValueName;
  Style = s.Style;
  IntValue = s.IntValue;
  StringValue = s.StringValue;
}

TTandrelRegKey::TTandrelRegKey() {
  TTandrelValue* v = Values.Add();
  v->ValueName = "(Default)";
  v->Key = this;
}

void TTandrelRegKey::SetParent(TTandrelRegKey* parent) {
  Parent = parent;
  for (auto* k : Keys) k->SetParent(this);
  for (auto* v : Values) v->Key = this;
}

std::string TTandrelRegKey::GetFullPath() const {
  std::string path = KeyName;
  // A hand-made cycle must not hang the builder; a real tree is far shallower.
  int depth = 0;
  for (const TTandrelRegKey* p = Parent; p && depth < 4096; p = p->Parent, ++depth)
    path = p->KeyName + "\\" + path;
  return path;
}

namespace {

// Finds or adds the head of path among keys, then the rest below it.
TTandrelRegKey* AddKeyPath(base::Collection<TTandrelRegKey>& keys, TTandrelRegKey* parent,
                           const std::string& path) {
  std::string head = path, tail;
  size_t slash = path.find('\\');
  if (slash != std::string::npos) {
    head = path.substr(0, slash);
    tail = path.substr(slash + 1);
  }
  TTandrelRegKey* key = nullptr;
  for (auto* k : keys)
    if (SameText(k->KeyName, head)) {
      key = k;
      break;
    }
  if (!key) {
    key = keys.Add();
    key->KeyName = head;
    key->SetParent(parent);
  }
  if (tail.empty()) return key;
  return key->AddKey(tail);
}

}  // namespace

TTandrelRegKey* TTandrelRegKey::AddKey(const std::string& path) { return AddKeyPath(Keys, this, path); }

bool TTandrelRegKey::HasValue(const std::string& name) const {
  for (auto* v : Values)
    if (SameText(v->ValueName, name)) return true;
  return false;
}

TTandrelValue* TTandrelRegKey::AddStringValue(const std::string& name, const std::string& data) {
  if (HasValue(name)) return nullptr;
  TTandrelValue* v = Values.Add();
  v->ValueName = name;
  v->Style = vtString;
  v->StringValue = data;
  v->Key = this;
  return v;
}

TTandrelValue* TTandrelRegKey::AddDWordValue(const std::string& name, int32_t number) {
  if (HasValue(name)) return nullptr;
  TTandrelValue* v = Values.Add();
  v->ValueName = name;
  v->Style = vtDWord;
  v->IntValue = number;
  v->Key = this;
  return v;
}

TTandrelValue* TTandrelRegKey::AddBinaryValue(const std::string& name, const std::string& hexText) {
  TTandrelValue* v = AddStringValue(name, hexText);
  if (v) v->Style = vtBinary;
  return v;
}

void TTandrelRegKey::Assign(const TTandrelRegKey& s) {
  if (&s == this) return;
  // Copy first: the source may sit inside this key's own tree and go with the old keys.
  base::Collection<TTandrelRegKey> keys;
  keys.AssignFrom(s.Keys);
  base::Collection<TTandrelValue> values;
  values.AssignFrom(s.Values);
  KeyName = s.KeyName;
  UninstallKey = s.UninstallKey;
  Keys.Swap(keys);
  Values.Swap(values);
  SetParent(Parent);
}

void TTandrelRegKey::SetKeys(const base::Collection<TTandrelRegKey>& keys) {
  Keys.AssignFrom(keys);
  for (auto* k : Keys) k->SetParent(this);
}

void TTandrelRegKey::SetValues(const base::Collection<TTandrelValue>& values) {
  Values.AssignFrom(values);
  for (auto* v : Values) v->Key = this;
}

// ---------------------------------------------------------------- INI

void TTandrelIniValue::Assign(const TTandrelIniValue& s) {
  ValueName = s.ValueName;
  Value = s.Value;
}

TTandrelIniValue* TTandrelIniSection::AddValue(const std::string& name) {
  for (auto* v : Values)
    if (SameText(v->ValueName, name)) return v;
  TTandrelIniValue* v = Values.Add();
  v->ValueName = name;
  return v;
}

void TTandrelIniSection::Assign(const TTandrelIniSection& s) {
  if (&s == this) return;
  SectionName = s.SectionName;
  Values.AssignFrom(s.Values);
}

TTandrelIniSection* TTandrelIniFile::AddSection(const std::string& name) {
  for (auto* s : Sections)
    if (SameText(s->SectionName, name)) return s;
  TTandrelIniSection* s = Sections.Add();
  s->SectionName = name;
  return s;
}

void TTandrelIniFile::Assign(const TTandrelIniFile& s) {
  if (&s == this) return;
  FileName = s.FileName;
  Sections.AssignFrom(s.Sections);
}

void TTandrelIcon::Assign(const TTandrelIcon& s) {
  FileName = s.FileName;
  WorkingDir = s.WorkingDir;
  Caption = s.Caption;
  Params = s.Params;
  DisplayType = s.DisplayType;
  GroupType = s.GroupType;
  SourceFile = s.SourceFile;
}

// ---------------------------------------------------------------- extensions

void TTandrelExtension::Assign(const TTandrelExtension& s) {
  Style = s.Style;
  RealFile = s.RealFile;
  Executable = s.Executable;
  Params = s.Params;
  Wait = s.Wait;
  Instructions = s.Instructions;
  When = s.When;
}

bool TTandrelExtension::IsGroupFile() const {
  if (!Owner) return false;
  size_t open = Executable.find('[');
  if (open == std::string::npos) return false;
  size_t close = Executable.find(']', open + 1);
  if (close == std::string::npos || close == open + 1) return false;
  TTandrelFileGroup* g = Owner->FindGroup(Executable.substr(open + 1, close - open - 1));
  if (!g) return false;
  for (auto* f : g->Files)
    if (SameText(f->FileName, RealFile)) return true;
  return false;
}

uint8_t TTandrelExtension::Execute(TWindowHandle parentWnd, TWindowHandle dialogWnd) {
  auto& p = model::Platform();
  if (!Instructions.empty()) p.showInformation(Instructions);
  if (Style == esExecutable) {
    p.runProgram(p.expandMacros(Executable), p.expandMacros(Params), Wait, parentWnd);
    return 1;
  }
  return ExecuteDll(parentWnd, dialogWnd);
}

uint8_t TTandrelExtension::ExecuteDll(TWindowHandle parentWnd, TWindowHandle dialogWnd) {
  auto& p = model::Platform();
  try {
    p.setDirMacro("<INSTALLDIR>", p.expandMacros(Owner ? Owner->InstallDir : std::string()));
    std::vector<char> buffer(model::kExtensionBufferSize, '\0');
    const std::string folder = p.getDirMacro("<INSTALLDIR>");
    const std::string library = p.expandMacros(Executable);
    const std::string libraryName = base::ExtractFileName(library);
    // The author's function may write the whole buffer; a folder that fills it leaves
    // no room for the terminating zero and could not come back whole.
    if (folder.size() >= buffer.size())
      throw EExtensionError(FormatStringArgs(EngineString(IDS_EXT_FOLDER_TOO_LONG, IDS_EXT_FOLDER_TOO_LONG_TEXT),
                                             {libraryName}));
    std::memcpy(buffer.data(), folder.data(), folder.size());
    const std::string support = p.getDirMacro("<SUPPORTDIR>");
    const std::string user = Owner ? Owner->UserName : std::string();
    const std::string company = Owner ? Owner->UserCompany : std::string();
    model::DllCallArgs args;
    args.parentWnd = parentWnd;
    args.dialogWnd = dialogWnd;
    args.folder = buffer.data();
    args.supportDir = support.c_str();
    args.userName = user.c_str();
    args.userCompany = company.c_str();
    model::DllCallResult r = p.callDll(library, Params, args);
    switch (r.status) {
      case model::DllCallStatus::LoadFailed:
        throw EExtensionError(FormatStringArgs(EngineString(IDS_EXT_LOAD_FAILED, IDS_EXT_LOAD_FAILED_TEXT),
                                               {libraryName}));
      case model::DllCallStatus::NotExported:
        throw EExtensionError(FormatStringArgs(EngineString(IDS_EXT_NOT_EXPORTED, IDS_EXT_NOT_EXPORTED_TEXT),
                                               {Params, libraryName}));
      case model::DllCallStatus::Faulted:
        throw EExtensionError(r.faultText);
      case model::DllCallStatus::Ok:
        break;
    }
    const uint16_t value = static_cast<uint16_t>(r.value & 0xFFFF);
    const uint8_t result = value == 0 ? 0 : value == 2 ? 2 : 1;
    if (result != 0) {
      buffer[buffer.size() - 1] = '\0';
      std::string newFolder(buffer.data());
      p.setDirMacro("<INSTALLDIR>", newFolder);
      if (Owner) Owner->InstallDir = newFolder;
    }
    return result;
  } catch (const std::exception& e) {
    p.showError(FormatStringArgs(EngineString(IDS_EXT_ERROR, IDS_EXT_ERROR_TEXT), {e.what()}));
    return 0;
  } catch (...) {
    p.showError(FormatStringArgs(EngineString(IDS_EXT_ERROR, IDS_EXT_ERROR_TEXT), {"Unknown error"}));
    return 0;
  }
}

// ---------------------------------------------------------------- wizard choices

TInstComponent::~TInstComponent() {
  while (!Groups.empty()) Groups.pop_back();
}

TInstGroup* TInstComponent::GetGroup(int i) const {
  return i >= 0 && i < static_cast<int>(Groups.size()) ? Groups[i].get() : nullptr;
}

void TInstComponent::SetSelected(bool value) {
  if (value == selected_) return;
  selected_ = value;
  for (auto& g : Groups) g->Selected = value;
}

int32_t TInstComponent::GetTotalSize() const {
  uint32_t sum = 0;
  for (auto& g : Groups)
    if (g->Selected) sum += static_cast<uint32_t>(g->Size);
  return static_cast<int32_t>(sum);
}

TInstallInfo::~TInstallInfo() {
  while (!Components.empty()) Components.pop_back();
}

TInstComponent* TInstallInfo::GetComponent(int i) const {
  return i >= 0 && i < static_cast<int>(Components.size()) ? Components[i].get() : nullptr;
}

int32_t TInstallInfo::GetTotalSize() const {
  uint32_t sum = 0;
  for (auto& c : Components)
    if (c->Selected()) sum += static_cast<uint32_t>(c->GetTotalSize());
  return static_cast<int32_t>(sum);
}

// ---------------------------------------------------------------- the project

TTandrelBaseInstall::TTandrelBaseInstall() {
  struct GroupDef { const char* name; const char* dest; };
  static const GroupDef groups[] = {{"Program Files", "<INSTALLDIR>"},
                                    {"Help Files", "<INSTALLDIR>\\Help Files"},
                                    {"Examples", "<INSTALLDIR>\\Examples"}};
  for (const auto& d : groups) {
    TTandrelFileGroup* g = Groups.Add();
    g->Owner = this;
    g->SetName(d.name);
    g->SetDestination(d.dest);
  }
  struct ComponentDef { const char* name; const char* description; const char* group; };
  static const ComponentDef components[] = {
      {"Application Files", "Files required to run the application", "Program Files"},
      {"Help and Tutorial Files", "Files required for the help system", "Help Files"},
      {"Example Files", "Example Files", "Examples"}};
  for (const auto& d : components) {
    TTandrelComponent* c = Components.Add();
    c->Owner = this;
    c->SetName(d.name);
    c->Description = d.description;
    c->Groups.push_back(d.group);
  }
  struct TypeDef { const char* name; TStrings components; };
  const TypeDef types[] = {
      {"Typical", {"Application Files", "Help and Tutorial Files", "Example Files"}},
      {"Compact", {"Application Files", "Help and Tutorial Files"}},
      {"Custom", {"Application Files", "Help and Tutorial Files", "Example Files"}}};
  for (const auto& d : types) {
    TTandrelInstallType* t = InstallTypes.Add();
    t->Owner = this;
    t->Name = d.name;
    t->Components = d.components;
  }
  for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                           "HKEY_USERS", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"})
    AddRegKey(root);
  for (const char* ini : {"WIN.INI", "SYSTEM.INI", "PROTOCOL.INI"}) AddIniFile(ini);
}

TTandrelBaseInstall::~TTandrelBaseInstall() = default;

void TTandrelBaseInstall::SetApplicationName(const std::string& value) {
  applicationName_ = value;
  if (TitleCaption.empty()) TitleCaption = value;
}

void TTandrelBaseInstall::SetCompanyName(const std::string& value) {
  companyName_ = value;
  if (OtherCaption.empty())
    OtherCaption = "Copyright \xA9 " + std::to_string(model::Platform().currentYear()) + " by " + value;
  if (ProgramFolder.empty()) ProgramFolder = value;
}

void TTandrelBaseInstall::SetGroups(const base::Collection<TTandrelFileGroup>& v) {
  Groups.AssignFrom(v);
}
void TTandrelBaseInstall::SetComponents(const base::Collection<TTandrelComponent>& v) {
  Components.AssignFrom(v);
}
void TTandrelBaseInstall::SetInstallTypes(const base::Collection<TTandrelInstallType>& v) {
  InstallTypes.AssignFrom(v);
}
void TTandrelBaseInstall::SetRegistry(const base::Collection<TTandrelRegKey>& v) {
  Registry.AssignFrom(v);
  for (auto* k : Registry) k->SetParent(nullptr);
}
void TTandrelBaseInstall::SetExtensions(const base::Collection<TTandrelExtension>& v) {
  Extensions.AssignFrom(v);
}

void TTandrelBaseInstall::Assign(const TTandrelBaseInstall& s) {
  if (&s == this) return;
  applicationName_ = s.applicationName_;
  ApplicationVersion = s.ApplicationVersion;
  Executable = s.Executable;
  InstallDir = s.InstallDir;
  companyName_ = s.companyName_;
  Red = s.Red;
  Green = s.Green;
  Blue = s.Blue;
  RedStatic = s.RedStatic;
  RedIncreasing = s.RedIncreasing;
  GreenStatic = s.GreenStatic;
  GreenIncreasing = s.GreenIncreasing;
  BlueStatic = s.BlueStatic;
  BlueIncreasing = s.BlueIncreasing;
  IsBitmap = s.IsBitmap;
  TitleCaption = s.TitleCaption;
  TitleFontName = s.TitleFontName;
  TitleFontColor = s.TitleFontColor;
  TitleShadowColor = s.TitleShadowColor;
  TitleFontSize = s.TitleFontSize;
  TitleFontStyle = s.TitleFontStyle;
  TitlePos = s.TitlePos;
  OtherCaption = s.OtherCaption;
  OtherFontName = s.OtherFontName;
  OtherFontColor = s.OtherFontColor;
  OtherShadowColor = s.OtherShadowColor;
  OtherFontSize = s.OtherFontSize;
  OtherFontStyle = s.OtherFontStyle;
  OtherPos = s.OtherPos;
  InstFolders = s.InstFolders;
  Groups.AssignFrom(s.Groups);
  for (auto* g : Groups) g->Owner = this;
  Components.AssignFrom(s.Components);
  for (auto* c : Components) c->Owner = this;
  InstallTypes.AssignFrom(s.InstallTypes);
  for (auto* t : InstallTypes) t->Owner = this;
  CustomImage = s.CustomImage;
  CustomImagePath = s.CustomImagePath;
  CenterImage = s.CenterImage;
  TransparentImage = s.TransparentImage;
  StretchImage = s.StretchImage;
  DialogTypes = s.DialogTypes;
  License = s.License;
  LicenseColor = s.LicenseColor;
  LicenseWordWrap = s.LicenseWordWrap;
  ReadMe = s.ReadMe;
  ReadMeColor = s.ReadMeColor;
  ReadMeWordWrap = s.ReadMeWordWrap;
  IndividualGroup = s.IndividualGroup;
  ProgramFolder = s.ProgramFolder;
  BillBoards = s.BillBoards;
  ShowRestart = s.ShowRestart;
  RunCommand = s.RunCommand;
  RunParams = s.RunParams;
  ShowReadMe = s.ShowReadMe;
  BillboardDelay = s.BillboardDelay;
  SetRegistry(s.Registry);
  IniFiles.AssignFrom(s.IniFiles);
  Icons.AssignFrom(s.Icons);
  Extensions.AssignFrom(s.Extensions);
  Uninstaller = s.Uninstaller;
}

void TTandrelBaseInstall::FixupOwners() {
  for (auto* c : Components) {
    c->Owner = this;
    for (const auto& name : c->Groups)
      if (TTandrelFileGroup* g = FindGroupText(name)) g->Owner = this;
  }
  for (auto* t : InstallTypes) t->Owner = this;
  for (auto* e : Extensions) e->Owner = this;
}

void TTandrelBaseInstall::MoveUp(base::CollectionItem& item) { item.SetIndex(item.Index() - 1); }
void TTandrelBaseInstall::MoveDown(base::CollectionItem& item) { item.SetIndex(item.Index() + 1); }

TTandrelExtension* TTandrelBaseInstall::GetExtension(int i) {
  TTandrelExtension* e = Extensions[i];
  if (!e->Owner) e->Owner = this;
  return e;
}

TTandrelExtension* TTandrelBaseInstall::GetWorkingExtension(int i) {
  TTandrelExtension* e = WorkingExtensions[i];
  if (!e->Owner) e->Owner = this;
  return e;
}

TTandrelFileGroup* TTandrelBaseInstall::FindGroup(const std::string& groupName) const {
  for (auto* g : Groups)
    if (g->Name() == groupName) return g;
  return nullptr;
}

TTandrelFileGroup* TTandrelBaseInstall::FindGroupText(const std::string& groupName) const {
  for (auto* g : Groups)
    if (SameText(g->Name(), groupName)) return g;
  return nullptr;
}

TTandrelComponent* TTandrelBaseInstall::FindComponent(const std::string& name) const {
  for (auto* c : Components)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

TTandrelInstallType* TTandrelBaseInstall::FindInstallType(const std::string& name) const {
  for (auto* t : InstallTypes)
    if (SameText(t->Name, name)) return t;
  return nullptr;
}

bool TTandrelBaseInstall::MoveGroup(int fromIndex, int toIndex) {
  if (fromIndex == toIndex) return false;
  Groups.Move(fromIndex, toIndex);
  return true;
}

bool TTandrelBaseInstall::DeleteGroup(const std::string& name) {
  TTandrelFileGroup* g = FindGroupText(name);
  if (!g) return false;
  for (auto* c : Components) DeleteFirst(c->Groups, name);
  Groups.Remove(g);
  return true;
}

bool TTandrelBaseInstall::DeleteComponent(const std::string& name) {
  TTandrelComponent* c = FindComponent(name);
  if (!c) return false;
  for (auto* t : InstallTypes) DeleteFirst(t->Components, name);
  Components.Remove(c);
  return true;
}

TTandrelFileGroup* TTandrelBaseInstall::MainFileGroup() {
  if (Groups.Count() == 0) {
    TTandrelFileGroup* g = Groups.Add();
    g->Owner = this;
    g->SetName("Program Files");
    g->SetDestination("<INSTALLDIR>");
  }
  return Groups[0];
}

void TTandrelBaseInstall::AddMainFile(const std::string& fileName) { MainFileGroup()->AddFile(fileName); }

TTandrelRegKey* TTandrelBaseInstall::AddRegKey(const std::string& path) {
  return AddKeyPath(Registry, nullptr, path);
}

TTandrelIniFile* TTandrelBaseInstall::AddIniFile(const std::string& fileName) {
  for (auto* f : IniFiles)
    if (SameText(f->FileName, fileName)) return f;
  TTandrelIniFile* f = IniFiles.Add();
  f->FileName = fileName;
  return f;
}

void TTandrelBaseInstall::ResetWorkingExtensions() {
  WorkingExtensions.AssignFrom(Extensions);
  for (auto* e : WorkingExtensions) e->Owner = this;
}

TTandrelExtension* TTandrelBaseInstall::FindWorkingExtension(TTandrelDialogType page) const {
  for (auto* e : WorkingExtensions)
    if (e->When == page) return e;
  return nullptr;
}
