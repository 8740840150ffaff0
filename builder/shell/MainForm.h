// Unit MainForm: the builder's main window TfrmMain. It owns the project being edited and
// its file name, offers New, Open (and import), Save, Save As, Reopen and Exit, opens the
// seven section editors from its picture page and menu, shows their ticks, and builds.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/win/Actions.h"
#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/Menus.h"
#include "base/win/PageControl.h"
#include "base/win/Shape.h"
#include "base/win/StatusBar.h"
#include "base/win/ToolBar.h"
#include "builder/shell/SectionTable.h"
#include "resources/builder/MainForm.rh"
#include "setup/model/InstClasses.h"

class TfrmMain : public base::win::Form {
public:
  TfrmMain();
  ~TfrmMain() override;  // FormDestroy: the recent list goes into the builder setting

  std::unique_ptr<TTandrelBaseInstall> Project;
  std::string FileName;
  // False while FileName is one the builder made (an import's ".zem" name): Save then
  // asks before it replaces a file of that name.
  bool FileNameChosen = false;
  std::array<bool, kSectionCount> Highlight{};
  std::vector<std::string> RecentFiles;

  bool QuerySave();
  void OpenFile(const std::string& Name);
  void DoAction(int Tag);
  void UpdateTicks();
  void UpdateHighlights();
  void ShowHint(const std::string& Hint);
  void SectionMouseMove(int Tag);
  void Image1MouseMove();
  void pcMainChange();

  void actNewExecute();
  void actOpenExecute();
  void actSaveExecute();
  void actBuildExecute();
  void SaveAs1Click();
  void Reopen1Click();
  void ReopenItemClick(base::win::MenuItem& Sender);
  void Exit1Click() { Close(); }
  void Contents1Click();
  void Contactingus1Click();
  void About1Click();

  // The file-name panel's text: the name part of FileName.
  std::string FileNamePanel() const;

  // Declared before the menu and the tool bar, whose items are its clients.
  base::win::ActionList ActionList1;
  base::win::Action& actNew;
  base::win::Action& actOpen;
  base::win::Action& actSave;
  base::win::Action& actBuild;

  base::win::MainMenu MainMenu1;
  base::win::MenuItem& File1;
  base::win::MenuItem& New1;
  base::win::MenuItem& Open1;
  base::win::MenuItem& Save1;
  base::win::MenuItem& SaveAs1;
  base::win::MenuItem& Reopen1;
  base::win::MenuItem& mnuNone;
  base::win::MenuItem& Exit1;
  base::win::MenuItem& Action1;
  std::array<base::win::MenuItem*, kSectionCount> SectionItems{};
  base::win::MenuItem* Build1 = nullptr;
  base::win::MenuItem& Help1;
  base::win::MenuItem& Contents1;
  base::win::MenuItem& Contactingus1;
  base::win::MenuItem& About1;

  base::win::ToolBar ToolBar1{*this, IDC_MAIN_ToolBar1};
  base::win::PageControl pcMain{*this, IDC_MAIN_pcMain};
  base::win::StatusBar StatusBar1{*this, IDC_MAIN_StatusBar1};
  base::win::Image imgMain{*this, IDC_MAIN_imgMain};
  base::win::Image Image1{*this, IDC_MAIN_Image1};
  base::win::Image SectionImage(int tag) const { return base::win::Image(*this, IDC_MAIN_Image2 + tag); }
  base::win::Shape Frame(int tag) const { return base::win::Shape(*this, IDC_MAIN_sp0 + tag); }
  base::win::Image Tick(int tag) const { return base::win::Image(*this, IDC_MAIN_Tick0 + tag); }

protected:
  void FormCreate() override;
  void FormShow() override;
  bool FormCloseQuery() override;
  void FormClose() override;

private:
  void NewProject();
  bool SaveProject();  // SaveToFile with FileName; a failure is told, Modified stays
  bool PickSaveName();  // the save dialog on FileName; true with FileName the chosen name
  void SetFileNamePanel();
  void LoadPictures();
  void PlaceSections();
};

// The program block: application, title, help file, the main window, the message loop.
int RunBuilder();
