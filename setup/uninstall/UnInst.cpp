#include "setup/uninstall/UnInst.h"

#include <algorithm>

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine_strings.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"
#include "setup/uninstall/UnInstDelete.h"

using namespace base::win;

namespace {

std::vector<std::string> SplitText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string UninstallLogFile(const std::string& LogPath) {
  size_t end = LogPath.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : LogPath.substr(0, end + 1);
}

TfrmUninstall::TfrmUninstall() : Form(IDD_frmUninstall) { Create(); }

void TfrmUninstall::FormCreate() {
  ModalButton(IDC_btnOK, mrOk);
  SetDefaultButton(IDC_btnOK);
  try {
    // The tick is the program's own picture: a font glyph would need a font the machine may lack.
    if (auto tick = ExpandCompressedResource("TICK", "")) {
      for (int i = 0; i < 6; ++i) {
        const Image& t = img[i];
        if (!t.LoadFromBytes(tick->Bytes())) continue;
        const int h = std::min(t.PictureHeight(), lblStep[i].Height() + 8);
        const int w = t.PictureHeight() > 0 ? h * t.PictureWidth() / t.PictureHeight() : h;
        t.SetStretch(true);
        t.SetTransparent(true);
        t.SetBounds(t.Left(), lblStep[i].Top() + (lblStep[i].Height() - h) / 2, w, h);
      }
    }
  } catch (const std::exception&) {
    // A program without the picture shows no ticks.
  }
  try {
    auto side = ExpandCompressedResource("SIDE", "");
    if (side) imgCustom.LoadFromBytes(side->Bytes());
  } catch (const std::exception&) {
    // A program without the picture shows the panel empty.
  }
  OnMessage(WM_STARTUNINSTALL, [this](WPARAM, LPARAM) -> LRESULT {
    StartUninstall();
    return 0;
  });
}

void TfrmUninstall::FormShow() {
  SetCaption(EngineString(IDS_UNI_CAPTION, IDS_UNI_CAPTION_TEXT));
  Label5.SetCaption(FormatResultText(EngineString(IDS_UNI_INTRO, IDS_UNI_INTRO_TEXT), AppName));
  static const std::pair<unsigned, const char*> steps[6] = {
      {IDS_UNI_STEP0, IDS_UNI_STEP0_TEXT}, {IDS_UNI_STEP1, IDS_UNI_STEP1_TEXT}, {IDS_UNI_STEP2, IDS_UNI_STEP2_TEXT},
      {IDS_UNI_STEP3, IDS_UNI_STEP3_TEXT}, {IDS_UNI_STEP4, IDS_UNI_STEP4_TEXT}, {IDS_UNI_STEP5, IDS_UNI_STEP5_TEXT}};
  for (int i = 0; i < 6; ++i) lblStep[i].SetCaption(EngineString(steps[i].first, steps[i].second));
  lblCompleted.SetCaption("");
  btnOK.SetCaption(EngineString(IDS_UNI_OK, IDS_UNI_OK_TEXT));
  btnOK.Enable(false);
  const std::string file = UninstallLogFile(LogPath);
  try {
    auto bytes = base::ReadFileBytes(file);
    Log.Lines = SplitText(std::string(bytes.begin(), bytes.end()));
    logRead_ = true;
  } catch (const std::exception&) {
    // An unreadable log stays where it is, to be tried again.
    Log.Lines.clear();
  }
  if (logRead_) {
    ClearReadOnly(file);
    DeleteFileA(file.c_str());
  }
  Post(WM_STARTUNINSTALL);
}

void TfrmUninstall::StartUninstall() {
  Update();
  Complete = logRead_;
  Guard([this] {
    if (!RunUninstallPasses(Log, *this)) Complete = false;
  });
  ProgressBar1.SetPosition(ProgressBar1.Max());
  // A close asked for during the run is refused, not kept for its end.
  SetModalResult(mrNone);
  Beep();
  btnOK.Enable(true);
  lblCompleted.SetCaption(Complete ? EngineString(IDS_UNI_COMPLETE, IDS_UNI_COMPLETE_TEXT)
                                   : EngineString(IDS_UNI_INCOMPLETE, IDS_UNI_INCOMPLETE_TEXT));
}

bool TfrmUninstall::FormCloseQuery() { return btnOK.Enabled(); }

void TfrmUninstall::UnregisterServerFile(const std::string& file) { ::UnregisterServerFile(file); }
int TfrmUninstall::DecSharedDllCount(const std::string& file) { return ::DecSharedDllCount(file); }
int TfrmUninstall::AskRemoveSharedFile(const std::string& file) { return ::AskRemoveSharedFile(file); }
bool TfrmUninstall::FileExists(const std::string& file) { return base::FileExists(file); }

bool TfrmUninstall::RemoveFile(const std::string& file) {
  ClearReadOnly(file);
  DeleteFileA(file.c_str());
  return !base::FileExists(file);
}

void TfrmUninstall::ScheduleDelete(const std::string& file) {
  if (Platform == wvNT4 || Platform == wvNT5) {
    MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return;
  }
  // The 95 family reads "WININIT.INI" before Windows starts, with short names only.
  const std::string ini = WininitFile.empty() ? WininitFileName() : WininitFile;
  if (ini.empty()) return;
  std::string shortName = GetShortPath(file);
  if (shortName.empty()) shortName = file;
  std::string existing;
  if (base::FileExists(ini)) {
    auto bytes = base::ReadFileBytes(ini);
    existing.assign(bytes.begin(), bytes.end());
  }
  // Other programs' pending lines live in the same file: it is never left half-written.
  ReplaceFileText(ini, AppendWininitDeletion(existing, shortName));
}

void TfrmUninstall::RemoveDir(const std::string& dir) { RemoveDirectoryA(dir.c_str()); }
bool TfrmUninstall::DirExists(const std::string& dir) { return base::DirectoryExists(dir); }
void TfrmUninstall::DeleteIniValue(const std::string& file, const std::string& section, const std::string& key) {
  ::DeleteIniValue(file, section, key);
  // A section, and then a file, that held only what the install wrote goes with it.
  const std::string path = ExpandMacros(file);
  char probe[4];
  if (GetPrivateProfileSectionA(section.c_str(), probe, sizeof probe, path.c_str()) == 0)
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
  std::string full = path;
  if (path.find_first_of("\\:") == std::string::npos) {
    char windir[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(windir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    full = AddBackslash(std::string(windir, n)) + path;
  }
  if (!base::FileExists(full)) return;
  auto bytes = base::ReadFileBytes(full);
  if (base::Trim(std::string(bytes.begin(), bytes.end())).empty()) DeleteFileA(full.c_str());
}
void TfrmUninstall::DeleteRegValue(const std::string& key, const std::string& name) { ::DeleteRegValue(key, name); }
void TfrmUninstall::DeleteRegKey(const std::string& key) { ::DeleteRegKey(key); }

void TfrmUninstall::SetProgressMax(int maximum) { ProgressBar1.SetRange(0, maximum); }

void TfrmUninstall::SetProgress(int position) {
  ProgressBar1.SetPosition(position);
  ProgressBar1.Update();
  App().ProcessMessages();
}

void TfrmUninstall::ShowTick(int step) {
  if (step >= 0 && step < 6) img[step].Show();
  App().ProcessMessages();
}

void RunUninstall() {
  std::vector<std::string> args;
  for (int i = 1; i <= App().ParamCount(); ++i) args.push_back(App().ParamStr(i));
  const TUninstallArgs parsed = ParseUninstallArgs(args);
  TfrmUninstall form;
  form.LogPath = parsed.LogPath;
  form.AppName = parsed.AppName;
  if (base::FileExists(UninstallLogFile(parsed.LogPath))) {
    Beep();
    if (MessageDlg(FormatResultText(EngineString(IDS_UNI_CONFIRM, IDS_UNI_CONFIRM_TEXT), parsed.AppName),
                   MsgDlgType::Confirmation, mbYesNo) == mrYes) {
      form.ShowModal();
      RemoveUninstallEntry(parsed.AppName);
    }
  } else {
    Beep();
    MessageDlg(FormatResultText(EngineString(IDS_UNI_NO_LOG, IDS_UNI_NO_LOG_TEXT), parsed.AppName), MsgDlgType::Error, mbOK);
  }
}
