#include "setup/engine/DialogsForm.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "resources/engine_strings.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/engine/EngineRules.h"
#include "setup/engine/GroupsForm.h"
#include "setup/services/InstGlobal.h"

using namespace base::win;

namespace {

// The page change the wizard posts itself; WParam is the page index.
constexpr UINT WM_PAGECHANGE = WM_APP + 1;

// Templates of nbMain's pages, by page index.
const std::vector<int> kMainPages = {IDD_pgWelcome,      IDD_pgLicense,    IDD_pgReadme,      IDD_pgUser,
                                     IDD_pgLocation,     IDD_pgSetupType,  IDD_pgCustomSetup, IDD_pgDestination,
                                     IDD_pgStartCopying, IDD_pgProgress,   IDD_pgBillboards,  IDD_pgComplete};
constexpr int kRebootPage = 0;
constexpr int kRunPage = 1;

TWindowHandle AsHandle(HWND h) { return reinterpret_cast<TWindowHandle>(h); }

}  // namespace

TfrmInstDialogs::TfrmInstDialogs() : Form(IDD_frmInstDialogs) { Create(); }

TTandrelDialogType TfrmInstDialogs::PreviousPage(TTandrelDialogType page) const {
  return PreviousWizardPage(Project ? Project->DialogTypes : 0, page, rbCustom.Checked());
}

TTandrelDialogType TfrmInstDialogs::NextPage(TTandrelDialogType page) const {
  return NextWizardPage(Project ? Project->DialogTypes : 0, page, rbCustom.Checked());
}

std::string TfrmInstDialogs::Text(int stringId) const {
  return FormatAppText(LoadStr(static_cast<unsigned>(stringId)), Project ? Project->ApplicationName() : "");
}

// ---------------------------------------------------------------- creation and showing

void TfrmInstDialogs::FormCreate() {
  Preview = false;
  CurrentPage = dtBlank;
  DefaultUserName.clear();
  DefaultCompany.clear();
  WindowsVersion = ::WindowsVersion;
  PendingInfo = std::make_unique<TInstallInfo>();
  CurrentComponent = nullptr;

  nbMain.AddPages(kMainPages);
  nbReboot.AddPages({IDD_pgReboot, IDD_pgRun});
  rbTypical.SetChecked(true);

  lvComponents.SetCheckBoxes();
  lvComponents.SetRowSelect();
  RECT r = lvComponents.ClientRect();
  const int sizeWidth = 64;
  lvComponents.AddColumn("", std::max(40, static_cast<int>(r.right) - sizeWidth - GetSystemMetrics(SM_CXVSCROLL)));
  lvComponents.AddColumn("", sizeWidth, true);

  try {
    auto side = ExpandCompressedResource("SIDE", "");
    if (side && imgCustom.LoadFromBytes(side->Bytes())) {
      // The frame fits the built-in picture: no grey strips beside or below it.
      const int w = imgCustom.PictureWidth(), h = imgCustom.PictureHeight();
      const int edge = 2;  // the etched frame's width
      pnlImage.SetBounds(pnlImage.Left(), pnlImage.Top(), w + 2 * edge, h + 2 * edge);
      imgCustom.SetBounds(pnlImage.Left() + edge, pnlImage.Top() + edge, w, h);
    }
  } catch (const std::exception&) {
    // A program without the picture shows the panel empty.
  }

  SetDefaultButton(IDC_btnNext);
  SetCancelButton(IDC_btnCancel);
  OnClick(IDC_btnBack, [this] { btnBackClick(); });
  OnClick(IDC_btnNext, [this] { btnNextAction(); });
  OnClick(IDC_btnCancel, [this] {
    if (Preview) {
      btnCancelClick();
      SetModalResult(mrCancel);
    } else {
      ConfirmCancel();
    }
  });
  OnMessage(WM_PAGECHANGE, [this](WPARAM w, LPARAM) -> LRESULT {
    // Only pages that have a window: a stray index changes nothing.
    if (w <= static_cast<WPARAM>(dtComplete)) ShowPage(static_cast<TTandrelDialogType>(w));
    return 0;
  });
  OnChange(IDC_edtUserName, [this] { CheckUserPage(); });
  OnChange(IDC_edtUserCompany, [this] { CheckUserPage(); });
  OnChange(IDC_edtFolderName, [this] { CheckFolderPage(); });
  OnChange(IDC_lbExistingFolders, [this] { lbExistingFoldersClick(); });
  OnClick(IDC_btnBrowse, [this] { btnBrowseClick(); });
  OnClick(IDC_btnBrowse1, [this] { btnBrowse1Click(); });
  OnClick(IDC_btnBrowse2, [this] { btnBrowse2Click(); });
  OnClick(IDC_btnChange, [this] { btnChangeClick(); });
  OnNotify(IDC_lvComponents, LVN_ITEMCHANGED, [this](NMHDR* h) -> LRESULT {
    lvComponentsChange(h);
    return 0;
  });
  OnNotify(IDC_lvComponents, NM_CLICK, [this](NMHDR*) -> LRESULT {
    lvComponentsClick();
    return 0;
  });
  OnNotify(IDC_lvComponents, NM_DBLCLK, [this](NMHDR*) -> LRESULT {
    lvComponentsDblClick();
    return 0;
  });
}

void TfrmInstDialogs::FormShow() {
  if (!Project) return;
  if (Project->CustomImage) {
    if (!Project->CustomImagePath.empty() &&
        GetFileAttributesA(Project->CustomImagePath.c_str()) != INVALID_FILE_ATTRIBUTES)
      imgCustom.LoadFromFile(Project->CustomImagePath);
    imgCustom.SetCenter(Project->CenterImage);
    imgCustom.SetTransparent(Project->TransparentImage);
    imgCustom.SetStretch(Project->StretchImage);
  }
  Project->FixupOwners();
  PendingInfo = ::BuildInstallInfo(*Project, "Custom", WindowsVersion, Preview);
}

void TfrmInstDialogs::ShowImagePanel(bool show) {
  pnlImage.SetVisible(show);
  imgCustom.SetVisible(show);
}

void TfrmInstDialogs::ShowPage(TTandrelDialogType page) {
  if (page == CurrentPage) return;
  CurrentPage = page;
  ShowImagePanel(true);
  btnNext.Enable();
  btnBack.Enable();
  SetUpPage(page);
  if (page != dtComplete) btnBack.Enable(PreviousPage(page) != dtBlank);
  nbMain.SetPageIndex(page);
  switch (page) {
    case dtWelcome: case dtDestination: case dtStartCopying: btnNext.Focus(); break;
    case dtLicense: reLicense.Focus(); break;
    case dtReadme: reReadMe.Focus(); break;
    case dtUser: edtUserName.Focus(); break;
    case dtSetupType: rbTypical.Focus(); break;
    case dtCustom: lvComponents.Focus(); break;
    case dtSelectFolder: edtFolderName.Focus(); break;
    default: break;
  }
}

void TfrmInstDialogs::ApplyTexts(TTandrelDialogType page) {
  for (const TPageText& t : PageTexts(page, Project && Project->ShowRestart)) {
    if (t.ControlId == 0)
      SetCaption(Text(t.StringId));
    else
      SetWindowTextA(Item(t.ControlId), Text(t.StringId).c_str());
  }
}

void TfrmInstDialogs::SetUpPage(TTandrelDialogType page) {
  ApplyTexts(page);
  TTandrelBaseInstall& p = *Project;
  switch (page) {
    case dtWelcome:
      btnBack.Enable(false);
      break;
    case dtLicense:
      ShowImagePanel(false);
      reLicense.SetBackColor(p.LicenseColor);
      reLicense.SetWordWrap(p.LicenseWordWrap);
      LoadRichText(reLicense, p.License);
      break;
    case dtReadme:
      reReadMe.SetBackColor(p.ReadMeColor);
      reReadMe.SetWordWrap(p.ReadMeWordWrap);
      LoadRichText(reReadMe, p.ReadMe);
      break;
    case dtUser:
      if (DefaultUserName.empty())
        ReadUserInfo(p.CompanyName(), p.ApplicationName(), p.ApplicationVersion, DefaultUserName, DefaultCompany);
      edtUserName.SetText(DefaultUserName);
      edtUserCompany.SetText(DefaultCompany);
      CheckUserPage();
      break;
    case dtDestination:
      EnsureChosenDir();
      ShowChosenDir(lblDottedPath);
      break;
    case dtSetupType:
      EnsureChosenDir();
      ShowChosenDir(lblDottedPath1);
      rbTypical.SetChecked(true);
      rbCompact.SetChecked(false);
      rbCustom.SetChecked(false);
      break;
    case dtCustom:
      lblDescription.SetCaption("");
      // The first item's description shows again when the page comes back.
      CurrentComponent = nullptr;
      btnChange.Enable(false);
      FillComponents();
      UpdateSpace();
      if (lvComponents.Count() > 0) lvComponents.Select(0);
      EnsureChosenDir();
      ShowChosenDir(lblDottedPath3);
      break;
    case dtSelectFolder: {
      edtFolderName.SetText(p.ProgramFolder);
      std::vector<std::string> folders;
      GetProgramFolders(folders);
      lbExistingFolders.Clear();
      for (const auto& f : folders) lbExistingFolders.Add(f);
      CheckFolderPage();
      break;
    }
    case dtStartCopying:
      FillSettings();
      break;
    case dtComplete:
      btnCancel.Hide();
      btnBack.Enable(false);
      if (p.ShowRestart) {
        nbReboot.SetPageIndex(kRebootPage);
        rbRestartWindows.SetChecked(true);
        rbNoAction.SetChecked(false);
      } else {
        nbReboot.SetPageIndex(kRunPage);
        const bool run = !p.RunCommand.empty();
        cbRunApp.SetVisible(run);
        cbRunApp.SetChecked(run);
        cbViewReadMe.SetVisible(p.ShowReadMe);
        cbViewReadMe.SetChecked(p.ShowReadMe);
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- Back, Next, Cancel

void TfrmInstDialogs::btnBackClick() {
  TTandrelDialogType previous = PreviousPage(CurrentPage);
  if (previous == dtBlank) return;
  // Extensions of the pages run again when Next reaches them.
  Project->ResetWorkingExtensions();
  ShowPage(previous);
}

// What Next does is decided when it is pressed: a Custom chosen on the setup-type page
// can still put the components page before the end.
void TfrmInstDialogs::btnNextAction() {
  // A click sent to the disabled button (BM_CLICK still reaches it) counts for nothing.
  if (!btnNext.Enabled()) return;
  TTandrelDialogType next = NextPage(CurrentPage);
  if (next != dtBlank && next != dtComplete)
    btnNextClick();
  else if (CurrentPage == dtComplete)
    FinishComplete();
  else
    FinishDialogs();
}

void TfrmInstDialogs::btnNextClick() {
  if (CurrentPage == dtUser) {
    Project->UserName = edtUserName.Text();
    Project->UserCompany = edtUserCompany.Text();
  }
  EnsureChosenDir();
  SetDirMacro("<INSTALLDIR>", ChosenDir);
  TTandrelDialogType next = NextPage(CurrentPage);
  if (next == dtBlank) return;
  if (!RunExtensionsAt(*Project, next, ParentWnd, AsHandle(Handle()))) {
    SetModalResult(mrCancel);
    return;
  }
  ShowPage(next);
}

void TfrmInstDialogs::btnCancelClick() { PendingInfo.reset(); }

void TfrmInstDialogs::ConfirmCancel() {
  if (MessageDlg(Text(IDS_WIZ_CONFIRM_CANCEL), MsgDlgType::Confirmation, mbYesNo) == mrYes) SetModalResult(mrCancel);
}

TWizardChoice TfrmInstDialogs::Choice() const {
  TWizardChoice c;
  c.Typical = rbTypical.Checked();
  c.Compact = rbCompact.Checked();
  c.Custom = rbCustom.Checked();
  c.UserName = edtUserName.Text();
  c.UserCompany = edtUserCompany.Text();
  c.ProgramFolder = edtFolderName.Text();
  c.ChosenDir = ChosenDir;
  return c;
}

void TfrmInstDialogs::BuildInstallInfo() {
  if (rbCustom.Checked()) return;
  PendingInfo = ::BuildInstallInfo(
      *Project, ChosenSetupTypeName(Project->DialogTypes, rbTypical.Checked(), rbCompact.Checked()), WindowsVersion,
      false);
}

void TfrmInstDialogs::FinishDialogs() {
  EnsureChosenDir();
  CommitWizard(*Project, PendingInfo, Choice(), WindowsVersion, Preview);
  if (!Preview && Project->InstallInfo) {
    const TInstallInfo& info = *Project->InstallInfo;
    WriteUserInfo(Project->CompanyName(), Project->ApplicationName(), Project->ApplicationVersion, info.UserName,
                  info.UserCompany);
  }
  SetModalResult(mrOk);
}

void TfrmInstDialogs::FinishComplete() {
  if (!Preview)
    Project->FinishAction =
        FinishActionFor(Project->ShowRestart, rbRestartWindows.Checked(), cbRunApp.Checked(), cbViewReadMe.Checked());
  SetModalResult(mrOk);
}

// ---------------------------------------------------------------- folders

void TfrmInstDialogs::EnsureChosenDir() {
  if (ChosenDir.empty() && Project) ChosenDir = DefaultChosenDir(*Project);
}

void TfrmInstDialogs::ShowChosenDir(const Label& label) {
  label.SetCaption(MinimizePathForLabel(label.Handle(), ChosenDir));
}

void TfrmInstDialogs::Browse(const Label& label) {
  EnsureChosenDir();
  const std::string remembered = ChosenDir;
  std::string folder = ChosenDir;
  // The prompt says what the folder is for, as the installation-folder page does.
  if (SelectFolder(Text(IDS_WIZ_LOCATION1), folder)) {
    ChosenDir = folder;
    ShowChosenDir(label);
  }
  if (!base::DirectoryExists(ChosenDir) &&
      MessageDlg(Text(IDS_WIZ_CREATE_DIR), MsgDlgType::Confirmation, mbYesNo) != mrYes) {
    ChosenDir = remembered;
    ShowChosenDir(label);
  }
}

void TfrmInstDialogs::btnBrowseClick() { Browse(lblDottedPath); }
void TfrmInstDialogs::btnBrowse1Click() { Browse(lblDottedPath1); }
void TfrmInstDialogs::btnBrowse2Click() {
  Browse(lblDottedPath3);
  UpdateSpace();
}

// ---------------------------------------------------------------- pages' own handlers

void TfrmInstDialogs::LoadRichText(const RichEdit& edit, const std::string& text) { edit.LoadText(text); }

void TfrmInstDialogs::FillComponents() {
  filling_ = true;
  lvComponents.BeginUpdate();
  try {
    lvComponents.Clear();
    if (PendingInfo)
      for (auto& c : PendingInfo->Components) {
        int i = lvComponents.AddItem(c->Name, c.get());
        lvComponents.SetChecked(i, c->Selected());
        lvComponents.SetSubItem(i, 1, FormatSizeK(c->GetTotalSize()));
      }
  } catch (...) {
    lvComponents.EndUpdate();
    filling_ = false;
    throw;
  }
  lvComponents.EndUpdate();
  lvComponents.FitFirstColumn();
  filling_ = false;
}

void TfrmInstDialogs::UpdateSpace() {
  if (!PendingInfo) return;
  for (int i = 0, n = lvComponents.Count(); i < n; ++i) {
    auto* c = static_cast<TInstComponent*>(lvComponents.ItemData(i));
    if (!c) continue;
    c->SetSelected(lvComponents.Checked(i));
    lvComponents.SetSubItem(i, 1, FormatSizeK(c->GetTotalSize()));
  }
  lvComponents.FitFirstColumn();
  lblRequired.SetCaption(FormatSizeK(PendingInfo->GetTotalSize()));
  EnsureChosenDir();
  int64_t available = 0;
  const std::string root = FreeSpaceRoot(ChosenDir);
  ULARGE_INTEGER toCaller{}, total{}, free{};
  if (!root.empty() && GetDiskFreeSpaceExA(root.c_str(), &toCaller, &total, &free))
    available = static_cast<int64_t>(toCaller.QuadPart);
  lblAvailable.SetCaption(FormatSizeK64(available));
}

void TfrmInstDialogs::lvComponentsChange(const NMHDR* header) {
  if (filling_) return;
  int item = ListView::ChangedItem(header);
  if (item < 0) return;
  // A box toggled with the keyboard counts at once, as a click does.
  if (ListView::CheckChanged(header)) UpdateSpace();
  if (item == lvComponents.Selected()) SelectComponent(static_cast<TInstComponent*>(lvComponents.ItemData(item)));
}

void TfrmInstDialogs::SelectComponent(TInstComponent* component) {
  if (component == CurrentComponent) return;
  CurrentComponent = component;
  btnChange.Enable(component && component->Groups.size() > 1 && Project->IndividualGroup);
  lblDescription.SetCaption(component ? component->Description : "");
}

void TfrmInstDialogs::lvComponentsClick() {
  if (!filling_) UpdateSpace();
}

void TfrmInstDialogs::btnChangeClick() {
  if (!CurrentComponent || !PendingInfo) return;
  SelectComponentGroups(*PendingInfo, *CurrentComponent, lblAvailable.Caption());
  filling_ = true;
  for (int i = 0, n = lvComponents.Count(); i < n; ++i)
    if (auto* c = static_cast<TInstComponent*>(lvComponents.ItemData(i))) lvComponents.SetChecked(i, c->Selected());
  filling_ = false;
  UpdateSpace();
}

void TfrmInstDialogs::lvComponentsDblClick() {
  if (btnChange.Enabled()) btnChangeClick();
}

void TfrmInstDialogs::lbExistingFoldersClick() {
  int i = lbExistingFolders.ItemIndex();
  if (i >= 0) edtFolderName.SetText(lbExistingFolders.Item(i));
}

void TfrmInstDialogs::FillSettings() {
  EnsureChosenDir();
  std::string text;
  for (const auto& line : SettingsLines(Project->DialogTypes, Choice())) text += line + "\r\n";
  reSettings.Send(WM_SETREDRAW, FALSE);
  reSettings.LoadText(text);
  reSettings.Send(WM_SETREDRAW, TRUE);
  reSettings.Invalidate();
}

void TfrmInstDialogs::CheckUserPage() {
  if (Project && InSet(Project->DialogTypes, dtUser)) btnNext.Enable(!edtUserName.Text().empty());
}

void TfrmInstDialogs::CheckFolderPage() {
  if (Project && InSet(Project->DialogTypes, dtSelectFolder)) btnNext.Enable(!edtFolderName.Text().empty());
}

// ---------------------------------------------------------------- opening the wizard

int ExecuteInstDialogs(TTandrelBaseInstall* ProjectPtr) {
  if (!ProjectPtr) return mrCancel;
  TTandrelBaseInstall& Project = *ProjectPtr;
  int result = mrOk;
  TfrmInstDialogs form;
  form.Preview = false;
  form.Project = &Project;
  Project.ResetWorkingExtensions();
  const TTandrelDialogType first = FirstWizardPage(Project.DialogTypes);
  if (first == dtBlank) {
    // No page to show: the setup goes on with what the last page would have committed.
    Project.FixupOwners();
    form.FinishDialogs();
    return mrOk;
  }
  if (first != dtWelcome && !RunExtensionsAt(Project, first, ParentWnd, AsHandle(form.Handle())))
    result = mrCancel;
  if (result == mrOk) {
    form.Post(WM_PAGECHANGE, first);
    result = form.ShowModal();
  }
  return result;
}

void ExecuteCompleteDialog(TTandrelBaseInstall* ProjectPtr) {
  if (!ProjectPtr) return;
  TTandrelBaseInstall& Project = *ProjectPtr;
  Project.ResetWorkingExtensions();
  if (!RunExtensionsAt(Project, dtComplete, ParentWnd, 0)) return;
  if (!InSet(Project.DialogTypes, dtComplete)) return;
  TfrmInstDialogs form;
  form.Preview = false;
  form.Project = &Project;
  form.Post(WM_PAGECHANGE, dtComplete);
  form.ShowModal();
}

int PreviewInstDialogs(TTandrelBaseInstall* Project, TTandrelDialogType Page) {
  if (!Project) return mrCancel;
  TfrmInstDialogs form;
  form.Preview = true;
  form.Project = Project;
  form.Post(WM_PAGECHANGE, Page);
  return form.ShowModal();
}
