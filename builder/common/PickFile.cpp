#include "builder/common/PickFile.h"

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/common/FileListLook.h"
#include "builder/common/FileListRules.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {
constexpr int kHelpContents = 1;
}  // namespace

TfrmPickFile::~TfrmPickFile() {
  if (Created()) EmptyViews();
  Association.reset();
}

void TfrmPickFile::FormCreate() {
  pcMain.AddPage(texts::kPageSelectFile, IDD_PICKFILE_PAGE);
  AddEditorPictures(ilFiles);
  Association = std::make_unique<TZemAssociation>(nullptr, ilFiles);
  tvGroups.SetImageList(ilFiles.Handle());
  lvFiles.SetImageList(ilFiles.Handle(), LVSIL_SMALL);
  lvFiles.SetImageList(ilFiles.Handle(), LVSIL_STATE);
  lvFiles.SetRowSelect();
  lvFiles.AddColumn(texts::kColName, 150);
  lvFiles.AddColumn(texts::kColLocation, 60);
  lvFiles.AddColumn(texts::kColSize, 60, true);
  lvFiles.AddColumn(texts::kColTimeStamp, 60);
  lvFiles.SetFillLastColumn();
  splMain.Attach({IDC_PF_lblGroups, IDC_PF_tvGroups}, {IDC_PF_lblFiles, IDC_PF_lvFiles});
  tvGroups.OnChange([this](TreeNode n) { tvGroupsChange(n); });
  lvFiles.OnChange([this](int i) { lvFilesChange(i); });
  lvFiles.OnDblClick([this] { lvFilesDblClick(); });
  OnClick(IDC_PF_btnOk, [this] { btnOkClick(); });
  ModalButton(IDC_PF_btnCancel, mrCancel);
  OnClick(IDC_PF_btnHelp, [] { App().HelpContext(kHelpContents); });
  SetDefaultButton(IDC_PF_btnOk);
  SetCancelButton(IDC_PF_btnCancel);
}

void TfrmPickFile::FormShow() {
  RestoreFormPosition(Handle(), "frmPickFile");
  FillTree();
}

void TfrmPickFile::FormClose() { SaveFormPosition(Handle(), "frmPickFile"); }

void TfrmPickFile::EmptyViews() {
  Clearing = true;
  lvFiles.Clear();
  tvGroups.Clear();
  Clearing = false;
}

void TfrmPickFile::FillTree() {
  Clearing = true;
  tvGroups.Clear();
  Clearing = false;
  if (!Project) return;
  Filling = true;
  tvGroups.BeginUpdate();
  for (TTandrelFileGroup* g : Project->Groups) tvGroups.Add(nullptr, g->Name(), g, 0, 1);
  tvGroups.EndUpdate();
  Filling = false;
}

void TfrmPickFile::FillList() {
  Clearing = true;
  lvFiles.Clear();
  Clearing = false;
  if (!CurrentGroup) return;
  Filling = true;
  lvFiles.BeginUpdate();
  for (TTandrelFile* f : CurrentGroup->Files) {
    int i = lvFiles.AddItem(FileNamePart(f->FileName), f, Association->GetImageIndex(f->FileName));
    lvFiles.SetSubItem(i, 1, FilePathPart(f->FileName));
    lvFiles.SetSubItem(i, 2, FormatSizeKM(f->Size));
    lvFiles.SetSubItem(i, 3, FileTimeStampText(f->Timestamp));
    lvFiles.SetStateImage(i, f->SelfRegister ? 3 : 0);
  }
  lvFiles.EndUpdate();
  Filling = false;
}

void TfrmPickFile::SetCurrentGroup(TTandrelFileGroup* group) {
  if (group == CurrentGroup) return;
  CurrentGroup = group;
  SelectedFile = nullptr;
  btnOk.Enable(false);
  FillList();
}

void TfrmPickFile::SelectFile(TTandrelFile* file) {
  if (file == SelectedFile) return;
  SelectedFile = file;
  btnOk.Enable(SelectedFile != nullptr);
}

void TfrmPickFile::tvGroupsChange(TreeNode node) {
  if (Clearing || Filling || !node || node != tvGroups.Selected()) return;
  if (auto* g = static_cast<TTandrelFileGroup*>(tvGroups.NodeData(node))) SetCurrentGroup(g);
}

void TfrmPickFile::lvFilesChange(int item) {
  if (Clearing || Filling || item < 0 || !lvFiles.IsSelected(item)) return;
  if (auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(item))) SelectFile(f);
}

void TfrmPickFile::lvFilesDblClick() {
  int i = lvFiles.Selected();
  if (i >= 0) SelectFile(static_cast<TTandrelFile*>(lvFiles.ItemData(i)));
  btnOkClick();
}

void TfrmPickFile::btnOkClick() {
  if (!SelectedFile) {
    Beep();
    return;
  }
  SetModalResult(mrOk);
}

TTandrelFile* PickProjectFile(TTandrelBaseInstall& project, std::string& groupName) {
  TfrmPickFile form;
  form.Project = &project;
  if (form.ShowModal() != mrOk) return nullptr;
  if (form.CurrentGroup) groupName = form.CurrentGroup->Name();
  return form.SelectedFile;
}
