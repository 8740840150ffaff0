// The full-screen background of the setup engine. In the engine it also runs the install
// sequence once it shows; the builder's preview shows it with the start suppressed.
#pragma once
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "setup/engine/EngineRules.h"
#include "setup/model/InstClasses.h"

// The message the form posts itself once visible.
constexpr UINT WM_PAGECHANGE = WM_APP + 1;

class TfrmBackground : public base::win::Form, public TInstallSequenceHost {
public:
  TfrmBackground();

  std::string SupportDir;     // with a trailing backslash
  std::string DataFile;
  std::string ArchiveFile;    // "Setup2.tmp" once cut out
  std::string LogoFile;
  std::string SideImageFile;
  TTandrelBaseInstall* Project = nullptr;  // not owned
  bool UseTimer = false;
  bool NoStart = false;
  int BillboardIndex = 0;
  int ExitCode = kExitCancelled;  // how the install sequence ended

  void ShowBillboardIndex(int n);
  void ShowBillboard(const std::string& path);
  void PlaceTitle();
  void PlaceOther();
  void WMStartInstall();
  void Timer1Timer();
  void FormPaint(HDC dc, const RECT& client);

  base::win::Label lblTitle, lblShadow, lblOther, lblOtherShadow;
  base::win::Image imgTitle, imgBillBoard;

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormResize() override;

  // The install sequence's side of the form.
  TWindowHandle WindowHandle() override;
  void Repaint() override;
  int ExecuteInstDialogs(TTandrelBaseInstall& project) override;
  int RunCopyFiles(const std::string& archiveFile, TTandrelBaseInstall& project) override;
  void RunOtherTask(TTandrelBaseInstall& project, int mode) override;
  void EnsureFolder(const std::string& folder) override;
  void CreateUninstallEntry(const std::string& appName, const std::string& command) override;
  std::string EnginePath() override;
  void HideBillboard() override;
  void ExecuteCompleteDialog(TTandrelBaseInstall& project) override;
  bool RunProgram(const std::string& fileName, const std::string& params) override;
  void ShowError(const std::string& text) override;
  void RemoveFile(const std::string& fileName) override;
  void UndoInstall() override;

private:
  void PlaceText(const base::win::Label& text, const base::win::Label& shadow, const TBackgroundText& t);
};

