#include "builder/shell/GeneralForm.h"

#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "setup/services/InstFileInfo.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr const char* kFormName = "frmGeneral";
constexpr int kHelpGeneral = 7;
}  // namespace

std::string MainFileGroupName(const TTandrelBaseInstall& Project) {
  return Project.Groups.Count() > 0 ? Project.GetGroup(0)->Name() : std::string(texts::kDefaultMainGroup);
}

TfrmGeneral::TfrmGeneral() : Form(IDD_frmGeneral) { Create(); }

void TfrmGeneral::FormCreate() {
  TCITEMA tab = {};
  tab.mask = TCIF_TEXT;
  tab.pszText = const_cast<char*>(texts::kGeneralCaption);  // only read
  SendMessageA(Item(IDC_GEN_PageControl1), TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
  OnClick(IDC_GEN_btnBrowse, [this] { btnBrowseClick(); });
  OnCommand(IDC_GEN_edtCompany, EN_KILLFOCUS, [this] { edtCompanyExit(); });
  OnClick(IDC_GEN_btnOk, [this] {
    btnOkClick();
    SetModalResult(mrOk);
  });
  ModalButton(IDC_GEN_btnCancel, mrCancel);
  OnClick(IDC_GEN_btnHelp, [] { App().HelpContext(kHelpGeneral); });
  SetDefaultButton(IDC_GEN_btnOk);
  SetCancelButton(IDC_GEN_btnCancel);
}

void TfrmGeneral::FormShow() {
  RestoreFormPosition(Handle(), kFormName);
  edtApplication.SetText(Project->ApplicationName());
  edtVersion.SetText(Project->ApplicationVersion);
  edtExecutable.SetText(Project->Executable);
  edtInstallDir.SetText(Project->InstallDir);
  edtCompany.SetText(Project->CompanyName());
  cbUninstaller.SetChecked(Project->Uninstaller);
  btnBrowse.Focus();
}

void TfrmGeneral::FormClose() { SaveFormPosition(Handle(), kFormName); }

void TfrmGeneral::btnBrowseClick() {
  FileDialogOptions options;
  options.Filter = texts::kExecutableFilter;
  options.FileMustExist = true;
  std::string path = edtExecutable.Text();
  if (!OpenFileDialog(options, path)) return;
  ReadExecutableInfo(path);
  edtExecutable.SetText("[" + MainFileGroupName(*Project) + "]\\" + base::ExtractFileName(path));
  MainExecutable = path;
}

void TfrmGeneral::ReadExecutableInfo(const std::string& Path) {
  std::string product, version, fileVersion, company;
  bool ole = false;
  if (!GetVersionInfo(Path, product, version, fileVersion, company, ole)) return;
  if (!product.empty()) edtApplication.SetText(product);
  if (!version.empty()) edtVersion.SetText(version);
  if (!company.empty()) {
    edtCompany.SetText(company);
    edtInstallDir.SetText("<ProgramFilesDir>\\" + company);
  }
}

void TfrmGeneral::edtCompanyExit() {
  if (edtInstallDir.Text().empty()) edtInstallDir.SetText("<ProgramFilesDir>\\" + edtCompany.Text());
}

void TfrmGeneral::btnOkClick() {
  Project->SetApplicationName(edtApplication.Text());
  Project->ApplicationVersion = edtVersion.Text();
  Project->Executable = edtExecutable.Text();
  Project->InstallDir = edtInstallDir.Text();
  Project->SetCompanyName(edtCompany.Text());
  Project->Uninstaller = cbUninstaller.Checked();
  if (!MainExecutable.empty()) Project->AddMainFile(MainExecutable);
  if (!Project->CompanyName().empty() && !Project->ApplicationName().empty() && !Project->ApplicationVersion.empty())
    Project->AddRegKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\" + Project->CompanyName() + "\\" + Project->ApplicationName() +
                       "\\" + Project->ApplicationVersion);
}

bool ExecuteGeneralSettings(TTandrelBaseInstall& Project) {
  TfrmGeneral form;
  form.Project = &Project;
  if (form.ShowModal() != mrOk) return false;
  Project.CompletedGeneral = true;
  Project.Modified = true;
  return true;
}
