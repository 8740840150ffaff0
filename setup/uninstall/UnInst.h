// Unit UnInst: the uninstall mode of the engine. RunUninstall confirms, TfrmUninstall reads
// "UnInst.log", deletes it and undoes the logged actions in their fixed order.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/UnInst.rh"
#include "setup/services/InstGlobal.h"
#include "setup/uninstall/UnInstActions.h"
#include "setup/uninstall/UnInstRules.h"

constexpr UINT WM_STARTUNINSTALL = WM_APP + 3;

class TfrmUninstall : public base::win::Form, public TUninstallActions {
public:
  TfrmUninstall();

  std::string LogPath;  // as given, a trailing blank included
  std::string AppName;
  TUninstallLogLines Log;
  bool Complete = true;

  std::string GetLogEntry(int Index, std::string& Argument) const { return Log.GetLogEntry(Index, Argument); }
  int FindLogEntry(const std::string& Keyword, std::string& Argument) const {
    return Log.FindLogEntry(Keyword, Argument);
  }
  void StartUninstall();

  base::win::Image imgCustom{*this, IDC_imgCustomUninstall};
  base::win::Label Label5{*this, IDC_Label5};
  base::win::Label lblStep[6] = {{*this, IDC_lblStep0}, {*this, IDC_lblStep1}, {*this, IDC_lblStep2},
                                 {*this, IDC_lblStep3}, {*this, IDC_lblStep4}, {*this, IDC_lblStep5}};
  base::win::Image img[6] = {{*this, IDC_img0}, {*this, IDC_img1}, {*this, IDC_img2},
                             {*this, IDC_img3}, {*this, IDC_img4}, {*this, IDC_img5}};
  base::win::ProgressBar ProgressBar1{*this, IDC_ProgressBar1};
  base::win::Label lblCompleted{*this, IDC_lblCompleted};
  base::win::Button btnOK{*this, IDC_btnOK};

protected:
  void FormCreate() override;
  void FormShow() override;
  bool FormCloseQuery() override;

private:
  int AskRemoveSharedFile(const std::string& file) override;
  // A logged folder kept because other products' folders fill it goes with them.
  void HandOverFolder(const std::string& folder);
  // A logged key kept because other products' keys are inside it goes with them.
  void HandOverKey(const std::string& key);
  void SetProgressMax(int maximum) override;
  void SetProgress(int position) override;
  void ShowTick(int step) override;

  bool logRead_ = false;
};

// The log path without the trailing blanks that the platform's file functions ignore.
std::string UninstallLogFile(const std::string& LogPath);

// The uninstall mode: reads "/UNINST=" and "/APPNAME=" from the command line. Returns the
// exit code: 0 everything was removed, 1 the user said No, 4 something stayed or the log
// is missing. Run from a kept engine, the uninstall runs in a copy of it in the temp folder
// and the exit code is the copy's.
int RunUninstall();
