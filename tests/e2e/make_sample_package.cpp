// Builds the sample setup package of scripts/run.sh: a small product made with the model,
// with files of real sizes written here (a few MB in all), built the way the builder
// builds (its Setup.exe and TandrelInstall.exe are taken from this program's folder).
//   make_sample_package.exe FOLDER [/RECENT=BUILDER]
// writes FOLDER\TandrelSample.exe, its project FOLDER\TandrelSample.zem and its sources
// (FOLDER\files\). /RECENT= puts the project first in the recent-file list of the builder
// program named (its settings key comes from that program's version block).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/Registry.h"
#include "builder/common/BuilderSettings.h"
#include "builder/common/BuildPackage.h"
#include "setup/model/InstClasses.h"
#include "setup/services/InstFileInfo.h"
#include "tests/harness/Bitmaps.h"

namespace {

void WriteText(const std::string& name, const std::string& text) {
  base::WriteFileBytes(name, std::vector<uint8_t>(text.begin(), text.end()));
}

// Readable text of about `size` bytes: numbered lines of a few repeating sentences.
std::string Prose(size_t size, const std::string& subject) {
  static const char* const sentences[] = {
      "is installed by the Tandrel-Install sample package.",
      "shows how the copy progress moves with files of real sizes.",
      "is removed again through Windows' list of installed programs.",
      "keeps its settings in the registry and in an INI file.",
  };
  std::string text;
  for (unsigned line = 1; text.size() < size; ++line)
    text += std::to_string(line) + ". " + subject + " " + sentences[line % 4] + "\r\n";
  return text;
}

// Bytes the archive's coder cannot squeeze much, as a program's data would be.
std::string Data(size_t size, uint32_t seed) {
  std::string s(size, '\0');
  for (auto& c : s) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return s;
}

std::string Board(int red, int green, int blue) {
  return wintest::MakeBitmap(320, 160, [=](int x, int y) {
    return std::string{char(blue + x * 60 / 320), char(green + y * 60 / 160), char(red)};
  });
}

class PrintLog : public TBuildLog {
public:
  void Add(const std::string& line) override {
    printf("%s\n", line.c_str());
    ++count_;
  }
  size_t Count() const override { return count_; }

private:
  size_t count_ = 0;
};

std::string ProgramFolder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string exe = buf;
  return exe.substr(0, exe.find_last_of('\\') + 1);
}

TTandrelFileGroup* AddGroup(TTandrelBaseInstall& p, const std::string& name, const std::string& dest,
                            const std::vector<std::string>& files) {
  TTandrelFileGroup* g = p.Groups.Add();
  g->Owner = &p;
  g->SetName(name);
  g->SetDestination(dest);
  g->Description = name;
  for (const auto& f : files) g->AddFile(f);
  return g;
}

void AddComponent(TTandrelBaseInstall& p, const std::string& name, const std::string& description,
                  const TStrings& groups) {
  TTandrelComponent* c = p.Components.Add();
  c->Owner = &p;
  c->SetName(name);
  c->Description = description;
  c->Groups = groups;
}

void MakeProject(TTandrelBaseInstall& p, const std::string& src) {
  WriteText(src + "Sample Data.dat", Data(1800000, 1));
  WriteText(src + "Notes.txt", Prose(40000, "Tandrel Sample"));
  WriteText(src + "Manual.txt", Prose(900000, "The manual"));
  WriteText(src + "Example 1.txt", Prose(300000, "The first example"));
  WriteText(src + "Example 2.bmp", wintest::MakeBitmap(400, 300, [](int x, int y) {
              return std::string{char(x * 255 / 400), char(y * 255 / 300), char(128)};
            }));
  WriteText(src + "TandrelSample.txt", Prose(20000, "The file in the Windows folder"));
  WriteText(src + "TandrelSampleShared.dat", Data(500000, 2));
  for (int i = 0; i < 3; ++i)
    WriteText(src + "Board" + std::to_string(i + 1) + ".bmp", Board(60 + 60 * i, 90, 200 - 50 * i));

  p.SetApplicationName("Tandrel Sample");
  p.SetCompanyName("Tandrel");
  p.ApplicationVersion = "1.0";
  p.TitleCaption = "Tandrel Sample";
  p.InstallDir = "<ProgramFilesDir>\\Tandrel Sample";
  p.ProgramFolder = "Tandrel Sample";
  p.OtherCaption = "A sample package made by Tandrel-Install";
  p.IndividualGroup = true;
  p.Groups.Clear();
  p.Components.Clear();
  p.InstFolders.clear();
  AddGroup(p, "Program Files", "<INSTALLDIR>", {src + "Sample Data.dat", src + "Notes.txt"});
  AddGroup(p, "Windows Files", "<WINDIR>", {src + "TandrelSample.txt"});
  AddGroup(p, "System Files", "<WINSYSDIR>", {src + "TandrelSampleShared.dat"});
  AddGroup(p, "Help Files", "<INSTALLDIR>\\Help", {src + "Manual.txt"});
  AddGroup(p, "Examples", "<INSTALLDIR>\\Examples", {src + "Example 1.txt", src + "Example 2.bmp"});
  AddComponent(p, "Program", "The program's data and notes, and its files in the Windows and system folders",
               {"Program Files", "Windows Files", "System Files"});
  AddComponent(p, "Help and Examples", "The manual and two examples", {"Help Files", "Examples"});
  for (auto* t : p.InstallTypes)
    t->Components = t->Name == "Compact" ? TStrings{"Program"} : TStrings{"Program", "Help and Examples"};

  TTandrelIcon* notes = p.Icons.Add();
  notes->Caption = "Sample Notes";
  notes->FileName = "<INSTALLDIR>\\Notes.txt";
  TTandrelIcon* manual = p.Icons.Add();
  manual->Caption = "Sample Manual";
  manual->FileName = "<INSTALLDIR>\\Help\\Manual.txt";
  TTandrelRegKey* key = p.AddRegKey("HKEY_CURRENT_USER\\Software\\Tandrel Sample");
  key->AddStringValue("Folder", "<INSTALLDIR>");
  key->AddDWordValue("Runs", 0);
  TTandrelIniSection* settings = p.AddIniFile("<WINDIR>\\TandrelSample.ini")->AddSection("Settings");
  settings->AddValue("Folder")->Value = "<INSTALLDIR>";
  settings->AddValue("Version")->Value = "1.0";
  p.ReadMe = "This is the sample package's ReadMe.\r\nThe setup writes it into the installation folder.";
  p.License = "The sample package may be installed and removed freely.";
  p.BillBoards = {src + "Board1.bmp", src + "Board2.bmp", src + "Board3.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(0x03FF | SetBit(dtBillboards) | SetBit(dtComplete));
  p.FixupOwners();
}

// The builder's recent files: the project first, the others after it, at most nine.
bool PutFirstInRecentFiles(const std::string& builder, const std::string& project) {
  std::string product, version, fileVersion, company;
  bool ole = false;
  if (!GetVersionInfo(builder, product, version, fileVersion, company, ole)) {
    fprintf(stderr, "cannot read the version block of %s\n", builder.c_str());
    return false;
  }
  const std::string key = ComposeBuilderRegistryKey(company, product, version).substr(1) + "Settings";
  base::win::RegKey k;
  if (!k.Create(HKEY_CURRENT_USER, key.c_str(), KEY_READ | KEY_WRITE)) return false;
  std::vector<std::string> files{project};
  std::string old;
  base::win::ReadRegString(k.get(), "Tandrel-Install MRU", old);
  for (size_t start = 0; start < old.size();) {
    size_t end = old.find_first_of("\r\n", start);
    if (end == std::string::npos) end = old.size();
    const std::string line = old.substr(start, end - start);
    if (!line.empty() && _stricmp(line.c_str(), project.c_str()) != 0 && files.size() < 9) files.push_back(line);
    start = end + 1;
  }
  std::string text;
  for (const auto& f : files) text += f + "\r\n";
  return RegSetValueExA(k.get(), "Tandrel-Install MRU", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: make_sample_package FOLDER [/RECENT=BUILDER]\n");
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '\\') folder += '\\';
  std::string builder;
  for (int i = 2; i < argc; ++i)
    if (strncmp(argv[i], "/RECENT=", 8) == 0) builder = argv[i] + 8;
  const std::string src = folder + "files\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(src.c_str(), nullptr);

  TTandrelBaseInstall p;
  MakeProject(p, src);
  const std::string project = folder + "TandrelSample.zem";
  if (!p.SaveToFile(project)) {
    fprintf(stderr, "cannot write %s\n", project.c_str());
    return 1;
  }
  if (!builder.empty()) return PutFirstInRecentFiles(builder, project) ? 0 : 1;
  PrintLog log;
  TBuildHost host;
  host.Log = &log;
  host.Confirm = [](const std::string&) { return true; };
  host.ShowError = [](const std::string& text) { fprintf(stderr, "%s\n", text.c_str()); };
  try {
    return BuildSetupPackage(p, project, ProgramFolder(), host) == TBuildResult::Succeeded ? 0 : 1;
  } catch (const std::exception& e) {
    fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
