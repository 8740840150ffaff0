// Import of an InstallShield project file (".iwz", INI-style text).
#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "base/IniFile.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "setup/model/InstClasses.h"
#include "setup/model/InstPlatform.h"

namespace {

class BusyCursor {
public:
  BusyCursor() {
    if (model::Platform().beginBusyCursor) model::Platform().beginBusyCursor();
  }
  ~BusyCursor() {
    if (model::Platform().endBusyCursor) model::Platform().endBusyCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string Num(long long n) { return base::IntToStr(n); }

// "<stem><n><rest>" with n a decimal number without leading zeros; stem is lower case.
bool SplitNumbered(const std::string& lowerKey, const std::string& stem, long long& n, std::string& rest) {
  if (lowerKey.compare(0, stem.size(), stem) != 0) return false;
  size_t i = stem.size();
  if (i >= lowerKey.size() || lowerKey[i] < '1' || lowerKey[i] > '9') return false;
  n = 0;
  const size_t first = i;
  while (i < lowerKey.size() && lowerKey[i] >= '0' && lowerKey[i] <= '9') {
    if (i - first >= 10) return false;
    n = n * 10 + (lowerKey[i] - '0');
    ++i;
  }
  rest = lowerKey.substr(i);
  return true;
}

// The entry numbers 1..count that the section holds at least one key of. Exported files
// often state larger counts than they hold; an entry with no key at all is no entry
// (it would become a nameless group, shortcut or INI file), and a huge count costs
// nothing this way.
std::set<long long> EntryNumbers(const base::IniFile& ini, const std::string& section, int32_t count,
                                 std::initializer_list<const char*> stems,
                                 std::initializer_list<const char*> rests) {
  std::set<long long> out;
  if (count <= 0) return out;
  for (const std::string& key : ini.ReadSection(section)) {
    const std::string lower = base::AnsiLowerCase(key);
    for (const char* stem : stems) {
      long long n;
      std::string rest;
      if (!SplitNumbered(lower, stem, n, rest) || n > count) continue;
      if (std::find(rests.begin(), rests.end(), rest) != rests.end()) out.insert(n);
    }
  }
  return out;
}

// "Group<i>File<j>" keys by group number.
std::map<long long, std::set<long long>> GroupFileNumbers(const base::IniFile& ini) {
  std::map<long long, std::set<long long>> out;
  for (const std::string& key : ini.ReadSection("Groups")) {
    const std::string lower = base::AnsiLowerCase(key);
    long long i, j;
    std::string rest, tail;
    if (SplitNumbered(lower, "group", i, rest) && SplitNumbered(rest, "file", j, tail) && tail.empty())
      out[i].insert(j);
  }
  return out;
}

// Tokens between single blanks, empty ones skipped.
TStrings SplitList(const std::string& text) {
  TStrings out;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t blank = text.find(' ', pos);
    if (blank == std::string::npos) blank = text.size();
    if (blank > pos) out.push_back(text.substr(pos, blank - pos));
    pos = blank + 1;
  }
  return out;
}

// The whole text, every line (ended by CR, LF or CR LF) followed by CR LF.
std::string TextFileWithCrLf(const std::string& fileName) {
  const std::vector<uint8_t> bytes = base::ReadFileBytes(fileName);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  size_t i = 0;
  while (i < bytes.size()) {
    size_t e = i;
    while (e < bytes.size() && bytes[e] != '\r' && bytes[e] != '\n') ++e;
    out.append(reinterpret_cast<const char*>(bytes.data()) + i, e - i);
    out += "\r\n";
    if (e < bytes.size() && bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ++e;
    i = e + 1;
  }
  return out;
}

// The project file stores these by name: an ordinal outside the enumeration could not
// be saved or read back.
template <class E>
E Clamped(int32_t value, E last) {
  return static_cast<E>(std::clamp<int32_t>(value, 0, static_cast<int32_t>(last)));
}

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder;
  return folder + "\\";
}

}  // namespace

bool TTandrelBaseInstall::ImportIwz(const std::string& FileName) {
  BusyCursor busy;
  if (!base::FileExists(FileName)) return false;
  const base::IniFile ini(FileName);
  // A file with none of the sections is no project of this kind (a picture, a text):
  // it must not empty the project.
  static const char* const kSections[] = {"Groups", "Components", "Types", "VisualDesign", "Sequence",
                                          "Registry", "Icons", "SysIniFiles", "PrivateIniFiles"};
  if (std::none_of(std::begin(kSections), std::end(kSections),
                   [&ini](const char* section) { return ini.SectionExists(section); }))
    return false;
  auto str = [&ini](const char* section, const std::string& key) { return ini.ReadString(section, key, ""); };
  auto num = [&ini](const char* section, const std::string& key) { return ini.ReadInteger(section, key, 0); };
  auto flag = [&ini](const char* section, const std::string& key, bool def = false) {
    return ini.ReadBool(section, key, def);
  };

  Groups.Clear();
  Components.Clear();
  InstallTypes.Clear();

  const auto fileNumbers = GroupFileNumbers(ini);
  for (long long i : EntryNumbers(ini, "Groups", num("Groups", "Groups"), {"group"},
                                  {"name", "dir", "update", "files"})) {
    const std::string stem = "Group" + Num(i);
    TTandrelFileGroup* g = Groups.Add();
    g->Owner = this;
    g->SetName(str("Groups", stem + "Name"));
    g->Description.clear();
    g->SetDestination(str("Groups", stem + "Dir"));
    g->UpdateMethod = Clamped(num("Groups", stem + "Update"), umNever);
    g->UpdatePlatforms = AllWindowsVersions;
    const int32_t files = num("Groups", stem + "Files");
    auto it = fileNumbers.find(i);
    if (it == fileNumbers.end()) continue;
    for (long long j : it->second) {
      if (j > files) break;
      const std::string file = str("Groups", stem + "File" + Num(j));
      if (!file.empty()) g->AddFile(file);
    }
  }

  for (long long i : EntryNumbers(ini, "Components", num("Components", "Components"), {"component"},
                                  {"name", "description", "grouplist"})) {
    const std::string stem = "Component" + Num(i);
    TTandrelComponent* c = Components.Add();
    c->Owner = this;
    c->SetName(str("Components", stem + "Name"));
    c->Description = str("Components", stem + "Description");
    for (const std::string& t : SplitList(str("Components", stem + "GroupList")))
      c->Groups.push_back(str("Groups", "Group" + t + "Name"));
  }

  for (long long i : EntryNumbers(ini, "Types", num("Types", "Types"), {"type"}, {"name", "componentlist"})) {
    const std::string stem = "Type" + Num(i);
    TTandrelInstallType* t = InstallTypes.Add();
    t->Owner = this;
    t->Name = str("Types", stem + "Name");
    t->Description.clear();
    for (const std::string& token : SplitList(str("Types", stem + "ComponentList")))
      t->Components.push_back(str("Components", "Component" + token + "Name"));
  }
  CompletedFiles = true;

  applicationName_ = str("VisualDesign", "AppName");
  ApplicationVersion = str("VisualDesign", "Version");
  Executable = str("VisualDesign", "AppExe");
  InstallDir = str("Sequence", "DestinationLocationDir");
  companyName_ = str("VisualDesign", "Company");
  Uninstaller = flag("VisualDesign", "Uninstall", true);
  CompletedGeneral = true;

  TitleCaption = str("VisualDesign", "Title");
  if (base::FileExists(TitleCaption)) IsBitmap = true;
  CompletedScreen = true;

  struct PageFlag {
    const char* key;
    TTandrelDialogType page;
  };
  static const PageFlag pages[] = {
      {"WelcomeMessage", dtWelcome},       {"LicenseAgreement", dtLicense},
      {"ReadmeFileBrowser", dtReadme},     {"UserInformation", dtUser},
      {"DestinationLocation", dtDestination}, {"SetupType", dtSetupType},
      {"CustomSetup", dtCustom},           {"SelectProgramFolder", dtSelectFolder},
      {"BeginFileTransfer", dtStartCopying}, {"ProgressBar", dtProgress},
      {"Billboards", dtBillboards},        {"SetupComplete", dtComplete}};
  DialogTypes = 0;
  for (const auto& p : pages) {
    if (!flag("Sequence", p.key)) continue;
    DialogTypes = static_cast<TTandrelDialogTypes>(DialogTypes | SetBit(p.page));
    switch (p.page) {
      case dtLicense: {
        const std::string file = str("Sequence", "LicenseAgreementFile");
        if (base::FileExists(file)) License = TextFileWithCrLf(file);
        break;
      }
      case dtReadme: {
        const std::string file = str("Sequence", "ReadmeFileBrowserFile");
        if (base::FileExists(file)) ReadMe = TextFileWithCrLf(file);
        break;
      }
      case dtBillboards: {
        const std::string folder = WithTrailingSeparator(str("Sequence", "BillboardsFile"));
        for (int n = 1; n <= 99; ++n) {
          const std::string file = folder + "Setup" + Num(n) + ".bmp";
          if (base::FileExists(file)) BillBoards.push_back(file);
        }
        break;
      }
      case dtComplete:
        ShowRestart = flag("Sequence", "SetupCompleteRebootOpt");
        RunCommand = str("Sequence", "SetupCompleteExec");
        RunParams = str("Sequence", "SetupCompleteExecParam");
        if (!str("Sequence", "SetupCompleteExecReadme").empty()) ShowReadMe = true;
        break;
      default:
        break;
    }
  }
  ProgramFolder = str("Sequence", "SelectProgramFolderName");
  CompletedDialogs = true;

  for (long long i : EntryNumbers(ini, "Registry", num("Registry", "Regs"), {"reg"},
                                  {"path", "pathuninstall", "valname", "valdata", "valtype"})) {
    const std::string stem = "Reg" + Num(i);
    const std::string path = str("Registry", stem + "Path");
    // A path without its root would add a nameless root key.
    if (path.empty() || path[0] == '\\') continue;
    TTandrelRegKey* key = AddRegKey(path);
    key->UninstallKey = flag("Registry", stem + "PathUninstall");
    const std::string name = str("Registry", stem + "ValName");
    if (name.empty()) continue;
    const std::string data = str("Registry", stem + "ValData");
    if (name == "(Default)") {
      if (key->Values.Count() == 0) key->AddStringValue(name, data);
      else key->Values[0]->StringValue = data;
      continue;
    }
    switch (num("Registry", stem + "ValType")) {
      case 0:
      case 4:
        key->AddStringValue(name, data);
        break;
      case 1:
        key->AddBinaryValue(name, data);
        break;
      case 2:
        key->AddDWordValue(name, num("Registry", stem + "ValData"));
        break;
      case 3: {
        long long v;
        if (base::TryStrToInt("$" + data, v)) key->AddDWordValue(name, static_cast<int32_t>(v));
        break;  // not hexadecimal: the entry is skipped
      }
      default:
        break;
    }
  }
  CompletedRegistry = true;

  for (long long i : EntryNumbers(ini, "Icons", num("Icons", "Icons"), {"icon"},
                                  {"cmd", "param", "description", "workingdir", "realfile", "window",
                                   "startmenu"})) {
    const std::string stem = "Icon" + Num(i);
    TTandrelIcon* icon = Icons.Add();
    icon->FileName = str("Icons", stem + "Cmd");
    icon->Params = str("Icons", stem + "Param");
    icon->Caption = str("Icons", stem + "Description");
    icon->WorkingDir = str("Icons", stem + "WorkingDir");
    icon->SourceFile = str("Icons", stem + "RealFile");
    icon->DisplayType = Clamped(num("Icons", stem + "Window"), dtMinimized);
    icon->GroupType = Clamped(num("Icons", stem + "StartMenu"), gtSendTo);
  }
  CompletedProgGroup = true;

  for (const char* section : {"SysIniFiles", "PrivateIniFiles"}) {
    for (long long i : EntryNumbers(ini, section, num(section, "IniFiles"), {"file", "section", "key", "value"},
                                    {""})) {
      TTandrelIniFile* file = AddIniFile(str(section, "File" + Num(i)));
      TTandrelIniSection* s = file->AddSection(str(section, "Section" + Num(i)));
      TTandrelIniValue* v = s->AddValue(str(section, "Key" + Num(i)));
      v->Value = str(section, "Value" + Num(i));
    }
  }
  CompletedIni = true;

  FixupOwners();
  Modified = true;
  return true;
}
