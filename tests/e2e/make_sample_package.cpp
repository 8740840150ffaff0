// Builds a sample setup package for a first look: a small project made with the model,
// built the way the builder builds (its Setup.exe and TandrelInstall.exe are taken from
// this program's folder).
//   make_sample_package.exe FOLDER   writes FOLDER\TandrelSample.exe (and its sources)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "builder/shell/BuildPackage.h"
#include "setup/model/InstClasses.h"
#include "tests/harness/Bitmaps.h"

namespace {

void WriteText(const std::string& name, const std::string& text) {
  base::WriteFileBytes(name, std::vector<uint8_t>(text.begin(), text.end()));
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: make_sample_package FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '\\') folder += '\\';
  const std::string src = folder + "files\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(src.c_str(), nullptr);
  WriteText(src + "Notes.txt", "Installed by the Tandrel-Install sample package.\r\n");
  WriteText(src + "Tips.txt", "Uninstall it again through Windows' list of programs (wine uninstaller).\r\n");
  WriteText(src + "Welcome.bmp", wintest::MakeBitmap(320, 160, [](int x, int y) { return std::string{char(40 + x * 200 / 320), char(90 + y * 150 / 160), char(160)}; }));

  TTandrelBaseInstall p;
  p.SetApplicationName("Tandrel Sample");
  p.SetCompanyName("Tandrel");
  p.ApplicationVersion = "1.0";
  p.InstallDir = "<ProgramFilesDir>\\Tandrel Sample";
  p.ProgramFolder = "Tandrel Sample";
  p.OtherCaption = "A sample package made by Tandrel-Install";
  TTandrelFileGroup* main = p.GetGroup(0);  // "Program Files", installed to <INSTALLDIR>
  main->AddFile(src + "Notes.txt");
  main->AddFile(src + "Tips.txt");
  p.GetGroup(1)->AddFile(src + "Tips.txt");  // "Help Files"
  p.GetGroup(2)->AddFile(src + "Notes.txt");  // "Examples"
  TTandrelIcon* icon = p.Icons.Add();
  icon->Caption = "Sample Notes";
  icon->FileName = "<INSTALLDIR>\\Notes.txt";
  p.AddRegKey("HKEY_CURRENT_USER\\Software\\Tandrel Sample")->AddStringValue("Folder", "<INSTALLDIR>");
  p.ReadMe = "This is the sample package's ReadMe.\r\nThe setup writes it into the installation folder.";
  p.License = "The sample package may be installed and removed freely.";
  p.BillBoards = {src + "Welcome.bmp"};
  p.DialogTypes = static_cast<TTandrelDialogTypes>(p.DialogTypes | SetBit(dtBillboards) | SetBit(dtComplete));
  p.FixupOwners();

  const std::string project = folder + "TandrelSample.zem";
  if (!p.SaveToFile(project)) {
    fprintf(stderr, "cannot write %s\n", project.c_str());
    return 1;
  }
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
