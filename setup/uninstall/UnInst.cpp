#include "setup/uninstall/UnInst.h"

#include <algorithm>

#include "base/CommandLine.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine_strings.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/services/InstEngineHome.h"
#include "setup/services/InstGlobal.h"
#include "setup/services/InstallRules.h"
#include "setup/uninstall/UnInstDelete.h"

using namespace base::win;

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
    Log.Lines = base::SplitLines(std::string(bytes.begin(), bytes.end()));
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
    TKeptItems kept;
    if (!RunUninstallPasses(Log, *this, &kept)) Complete = false;
    for (const std::string& folder : kept.Folders) HandOverFolder(folder);
    for (const std::string& key : kept.Keys) HandOverKey(key);
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

void TfrmUninstall::HandOverFolder(const std::string& folder) {
  // The products whose folders fill it: each keeps its log one level below.
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((AddBackslash(folder) + "*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == ".." || !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const std::string log = AddBackslash(folder) + name + "\\UnInst.log";
    try {
      if (!base::FileExists(log)) continue;
      auto bytes = base::ReadFileBytes(log);
      const std::string text(bytes.begin(), bytes.end());
      const std::string handed = ::HandOverFolder(text, folder);
      if (handed != text) ReplaceFileText(log, handed);
    } catch (...) {
      // That product's log stays as it was; the folder then stays after it too.
    }
  } while (FindNextFileA(find, &fd));
  FindClose(find);
}

void TfrmUninstall::HandOverKey(const std::string& key) {
  // The products whose created keys lie inside it, found through their uninstall entries.
  for (const std::string& command : OtherUninstallCommands(AppName)) {
    std::vector<std::string> params = base::SplitCommandLine(command);
    if (!params.empty()) params.erase(params.begin());  // the program
    const std::string log = UninstallLogFile(ParseUninstallArgs(params).LogPath);
    try {
      if (log.empty() || !base::FileExists(log)) continue;
      auto bytes = base::ReadFileBytes(log);
      const std::string text(bytes.begin(), bytes.end());
      if (LogCreatesKeyBelow(text, key)) ReplaceFileText(log, ::HandOverKey(text, key));
    } catch (...) {
      // That product's log stays as it was; the key then stays after it too.
    }
  }
}

int TfrmUninstall::AskRemoveSharedFile(const std::string& file) { return ::AskRemoveSharedFile(file); }

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

namespace {

// The engine stays as long as an uninstall entry names it; the last one takes it along.
void ReleaseEngineIfLast(TUninstallActions& actions, const std::string& engine, const std::string& appName,
                         bool firstPhaseEnded) {
  if (!IsKeptEnginePath(engine) || EngineNamedByOtherEntries(engine, appName)) return;
  const bool nt = actions.Platform == wvNT4 || actions.Platform == wvNT5;
  std::string aside;
  ReleaseKeptEngine(engine, nt, &aside, firstPhaseEnded ? 40 : 1);
  if (!nt && !aside.empty()) actions.ScheduleDelete(aside);
}

// The uninstall itself; released tells whether the uninstall entry went.
int Uninstall(const TUninstallArgs& parsed, TfrmUninstall& form, bool& released) {
  released = false;
  form.LogPath = parsed.LogPath;
  form.AppName = parsed.AppName;
  if (base::FileExists(UninstallLogFile(parsed.LogPath))) {
    Beep();
    if (MessageDlg(FormatResultText(EngineString(IDS_UNI_CONFIRM, IDS_UNI_CONFIRM_TEXT), parsed.AppName),
                   MsgDlgType::Confirmation, mbYesNo) != mrYes)
      return 1;
    form.ShowModal();
    // An entry that stays still needs its engine.
    released = RemoveUninstallEntry(parsed.AppName) == irSuccess;
    return form.Complete ? 0 : 4;
  }
  Beep();
  MessageDlg(FormatResultText(EngineString(IDS_UNI_NO_LOG, IDS_UNI_NO_LOG_TEXT), parsed.AppName), MsgDlgType::Error, mbOK);
  return 4;
}

}  // namespace

int RunUninstall() {
  std::vector<std::string> args;
  for (int i = 1; i <= App().ParamCount(); ++i) args.push_back(App().ParamStr(i));
  const std::string self = App().ExeName();
  const TEngineCopyArgs copy = ReadEngineCopyArgs(args);
  const bool inCopy = !copy.KeptEngine.empty() && IsEngineCopyOf(self, copy.KeptEngine);
  // The kept engine hands the run to a copy of itself, which can delete it.
  int exitCode = 0;
  if (!inCopy && IsKeptEnginePath(self) && RunFromEngineCopy(self, args, exitCode)) return exitCode;
  bool released = false;
  {
    TfrmUninstall form;
    exitCode = Uninstall(ParseUninstallArgs(args), form, released);
    if (inCopy) HandBackResult(copy, exitCode);
    if (released) ReleaseEngineIfLast(form, inCopy ? copy.KeptEngine : self, form.AppName, inCopy);
    // The copy itself goes at the restart: a file, which every Windows can delete then.
    if (inCopy) form.ScheduleDelete(self);
  }
  return exitCode;
}
