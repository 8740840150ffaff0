#include "builder/editors/SetupDialogs.h"

#include <climits>
#include <stdexcept>

#include "base/Streams.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/EditorForm.h"
#include "builder/common/PickFile.h"
#include "builder/common/Previews.h"
#include "builder/editors/DialogsRules.h"
#include "builder/editors/SetupExtension.h"
#include "setup/compress/InstCompressIntf.h"
#include "setup/services/InstGlobal.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr int kDialogsHelp = 14;
constexpr int kLicensePage = 1;
constexpr int kProgressPage = 9;
constexpr int kBillboardsPage = 10;
constexpr int kSidePictureWidth = 120, kSidePictureHeight = 260;

using texts::kDialogCaptions;
static_assert(std::size(kDialogCaptions) == kDialogRows);
const int kDialogPages[kDialogRows] = {
    IDD_DLG_pgWelcome, IDD_DLG_pgLicense, IDD_DLG_pgReadme, IDD_DLG_pgUser,
    IDD_DLG_pgLocation, IDD_DLG_pgSetupType, IDD_DLG_pgCustomSetup, IDD_DLG_pgDestination,
    IDD_DLG_pgStartCopying, IDD_DLG_pgProgress, IDD_DLG_pgBillboards, IDD_DLG_pgComplete};

// The picture in the side picture's preview size; the built-in one when none is chosen.
std::vector<uint8_t> SidePicture() {
  try {
    if (auto side = ExpandCompressedResource("SIDE", "")) return side->Bytes();
  } catch (const std::exception&) {
    // A program without the picture shows the preview empty.
  }
  return {};
}

void ShowReadOnly(Form& form, const Edit& edit, bool readOnly) {
  edit.SetReadOnly(readOnly);
  form.SetControlBackColor(edit.Handle(), readOnly ? clBtnFace : clWindow);
}

}  // namespace

TfrmDialogs::TfrmDialogs()
    : SectionEditor(IDD_frmDialogs, {IDC_DLG_btnOk, IDC_DLG_btnCancel, IDC_DLG_btnHelp, kDialogsHelp, "frmDialogs"}),
      Loadfromfile1(popLicense.Add(texts::kLoadFromFile)),
      BackgroundColor1(popLicense.Add(texts::kBackgroundColor)),
      UseEditor1(popLicense.Add(texts::kUseEditor)),
      mnuLicenseWordWrap((popLicense.AddSeparator(), popLicense.Add(texts::kWordWrap))),
      mnuNew(popupExtension.Add(texts::kNew)),
      Executable1(mnuNew.Add(texts::kNewExecutable)),
      DLL1(mnuNew.Add(texts::kNewDll)),
      mnuProps(popupExtension.Add(texts::kProperties)),
      mnuDelete((popupExtension.AddSeparator(), popupExtension.Add(texts::kDelete))),
      mnuUp((popupExtension.AddSeparator(), popupExtension.Add(texts::kMoveUpMenu))),
      mnuDown(popupExtension.Add(texts::kMoveDownMenu)) {
  Create();
}

TfrmDialogs::~TfrmDialogs() {
  // The list's rows point into the working copy: empty it before the copy goes.
  if (Created()) ClearExtensionList();
  FormDestroy();
}

// ---------------------------------------------------------------- creation and showing

void TfrmDialogs::FormCreate() {
  SectionEditor::FormCreate();
  CurrentExtension = nullptr;
  ClearingList = FillingList = false;
  Association = std::make_unique<TZemAssociation>(nullptr, ilExtensions);

  PageControl1.AddPage(texts::kPageGeneral, IDD_DLG_tsGeneral);
  PageControl1.AddPage(texts::kPageDialogs, IDD_DLG_tsDialogs);
  PageControl1.AddPage(texts::kPageExtensions, IDD_DLG_tsExtensions);
  nbMain.AddPages(std::vector<int>(std::begin(kDialogPages), std::end(kDialogPages)));
  clbDialogs.Setup();
  for (const char* caption : kDialogCaptions) clbDialogs.Add(caption);

  const std::vector<uint8_t> side = SidePicture();
  RECT r = imgCustom.Bounds();
  imgCustom.SetBounds(r.left, r.top, kSidePictureWidth, kSidePictureHeight);
  if (!side.empty()) {
    imgCustom.LoadFromBytes(side);
    imgCopy.LoadFromBytes(side);
  }
  imgCopy.Hide();
  SetControlBackColor(edtBitmap.Handle(), clBtnFace);

  OnClick(IDC_DLG_cbCustom, [this] { cbCustomClick(); });
  for (int id : {IDC_DLG_cbCenter, IDC_DLG_cbStretch, IDC_DLG_cbTransparent}) OnClick(id, [this] { cbCenterClick(); });
  OnClick(IDC_DLG_btnBrowse, [this] { btnBrowseClick(); });
  clbDialogs.OnSelect([this](int) { clbDialogsClick(); });
  OnClick(IDC_DLG_btnPreview, [this] { btnPreviewClick(); });
  OnClick(IDC_DLG_cbLicensePlain, [this] { cbLicensePlainClick(); });
  OnClick(IDC_DLG_cbReadMePlain, [this] { cbReadMePlainClick(); });
  OnClick(IDC_DLG_btnAdd, [this] { btnAddClick(); });
  OnChange(IDC_DLG_lbBillboard, [this] { lbBillboardClick(); });
  OnClick(IDC_DLG_btnRemove, [this] { btnRemoveClick(); });
  OnClick(IDC_DLG_btnUp, [this] { btnUpClick(); });
  OnClick(IDC_DLG_btnDown, [this] { btnDownClick(); });
  OnClick(IDC_DLG_rbShowRestart, [this] { rbShowRestartClick(); });
  OnClick(IDC_DLG_rbLaunchApp, [this] { rbShowRestartClick(); });
  OnClick(IDC_DLG_btnCommand, [this] { btnCommandClick(); });
  OnClick(IDC_DLG_btnParams, [this] { btnParamsClick(); });
  seDelay.Attach();
  // The engine's timer counts the delay in milliseconds, in 32 bits.
  seDelay.SetBounds(0, INT_MAX / 1000);
  rbShowRestart.SetChecked(true);

  popLicense.Attach(*this, IDC_DLG_reLicense);
  popLicense.Attach(*this, IDC_DLG_reReadMe);
  popLicense.OnPopup = [this](MenuItem&) { popLicensePopup(); };
  Loadfromfile1.OnClick = [this](MenuItem&) { Loadfromfile1Click(); };
  BackgroundColor1.OnClick = [this](MenuItem&) { BackgroundColor1Click(); };
  UseEditor1.OnClick = [this](MenuItem&) { UseEditor1Click(); };
  mnuLicenseWordWrap.OnClick = [this](MenuItem&) { mnuLicenseWordWrapClick(); };

  lvExtensions.SetRowSelect();
  lvExtensions.SetImageList(ilExtensions.Handle(), LVSIL_SMALL);
  lvExtensions.AddColumn(texts::kColFile, 120);
  lvExtensions.AddColumn(texts::kColLocation, 100);
  lvExtensions.AddColumn(texts::kColParams, 150);
  lvExtensions.AddColumn(texts::kColWhen, 60);
  lvExtensions.SetFillLastColumn();
  AddView(lvExtensions);
  lvExtensions.OnChange([this](int index) { lvExtensionsChange(index); });
  lvExtensions.OnKeyDown([this](UINT key, bool alt) { return lvExtensionsKeyDown(key, alt); });
  lvExtensions.OnDblClick([this] { mnuPropsClick(); });
  lvExtensions.OnItemColors(
      [this](int index, COLORREF& text, COLORREF& back) { return lvExtensionsCustomDrawItem(index, text, back); });
  popupExtension.Attach(*this, IDC_DLG_lvExtensions);
  popupExtension.OnPopup = [this](MenuItem&) { popupExtensionPopup(); };
  Executable1.OnClick = [this](MenuItem&) { Executable1Click(); };
  DLL1.OnClick = [this](MenuItem&) { DLL1Click(); };
  mnuProps.OnClick = [this](MenuItem&) { mnuPropsClick(); };
  mnuDelete.OnClick = [this](MenuItem&) { mnuDeleteClick(); };
  mnuUp.OnClick = [this](MenuItem&) { mnuUpClick(); };
  mnuDown.OnClick = [this](MenuItem&) { mnuDownClick(); };
}

void TfrmDialogs::FormShow() {
  SectionEditor::FormShow();
  const TTandrelBaseInstall& p = *WorkingCopy;
  edtBitmap.SetText(p.CustomImagePath);
  cbCustom.SetChecked(p.CustomImage);
  EnableImageOptions(p.CustomImage);
  cbCenter.SetChecked(p.CenterImage);
  cbTransparent.SetChecked(p.TransparentImage);
  cbStretch.SetChecked(p.StretchImage);

  PageControl1.SetActivePage(0);
  const TDialogRows rows = DialogRowsChecked(p.DialogTypes);
  for (int i = 0; i < kDialogRows; ++i) clbDialogs.SetChecked(i, rows[static_cast<size_t>(i)]);
  clbDialogs.SetItemIndex(0);
  clbDialogsClick();

  auto showText = [this](const RichEdit& editor, const CheckBox& box, RichState& state, const std::string& text,
                         TColor color, bool wrap) {
    state.PlainText = !IsRichText(text);
    box.SetChecked(state.PlainText);
    state.Color = color;
    state.WordWrap = wrap;
    editor.SetBackColor(color);
    editor.SetWordWrap(wrap);
    LoadRichText(editor, state.PlainText, text);
  };
  showText(reLicense, cbLicensePlain, LicenseState, p.License, p.LicenseColor, p.LicenseWordWrap);
  showText(reReadMe, cbReadMePlain, ReadMeState, p.ReadMe, p.ReadMeColor, p.ReadMeWordWrap);

  cbAllowIndividual.SetChecked(p.IndividualGroup);
  edtProgramFolder.SetText(p.ProgramFolder);
  cbInstallDir.Clear();
  for (const std::string& name : MacroNames(DirMacros())) cbInstallDir.Add(name);
  cbInstallDir.SetText(ShownInstallDir(p.InstallDir, p.CompanyName()));
  lbBillboard.SetItems(p.BillBoards);
  UpdateBillboardButtons();
  edtCommand.SetText(p.RunCommand);
  edtParams.SetText(p.RunParams);
  cbShowReadMe.SetChecked(p.ShowReadMe);
  rbShowRestart.SetChecked(p.ShowRestart);
  rbLaunchApp.SetChecked(!p.ShowRestart);
  rbShowRestartClick();
  seDelay.SetValue(p.BillboardDelay);
  FillExtensionList();
  // The picture last: one that cannot be read is reported with every other field shown.
  try {
    UpdateCustomImage();
  } catch (const std::exception& e) {
    App().ShowException(e);
  }
  ApplyImageOptions();
}

bool TfrmDialogs::DelayAccepted() {
  if (seDelay.TryValue()) return true;
  Beep();
  PageControl1.SetActivePage(1);
  clbDialogs.SetItemIndex(kBillboardsPage);
  clbDialogsClick();
  seDelay.Focus();
  return false;
}

bool TfrmDialogs::PrepareOk() {
  if (!DelayAccepted()) return false;
  StoreSettings();
  return true;
}

void TfrmDialogs::StoreSettings() {
  TTandrelBaseInstall& p = *WorkingCopy;
  p.CustomImagePath = edtBitmap.Text();
  p.CustomImage = cbCustom.Checked();
  p.CenterImage = cbCenter.Checked();
  p.TransparentImage = cbTransparent.Checked();
  p.StretchImage = cbStretch.Checked();
  TDialogRows rows{};
  for (int i = 0; i < kDialogRows; ++i) rows[static_cast<size_t>(i)] = clbDialogs.Checked(i);
  p.DialogTypes = DialogTypesFromRows(rows);
  p.License = SaveRichText(reLicense, LicenseState.PlainText);
  p.LicenseColor = LicenseState.Color;
  p.LicenseWordWrap = LicenseState.WordWrap;
  p.ReadMe = SaveRichText(reReadMe, ReadMeState.PlainText);
  p.ReadMeColor = ReadMeState.Color;
  p.ReadMeWordWrap = ReadMeState.WordWrap;
  p.InstallDir = cbInstallDir.Text();
  p.IndividualGroup = cbAllowIndividual.Checked();
  p.ProgramFolder = edtProgramFolder.Text();
  p.BillBoards = lbBillboard.Items();
  p.RunCommand = edtCommand.Text();
  p.RunParams = edtParams.Text();
  p.ShowReadMe = cbShowReadMe.Checked();
  p.ShowRestart = rbShowRestart.Checked();
  p.BillboardDelay = seDelay.Value();
}

// ---------------------------------------------------------------- licence and ReadMe

void TfrmDialogs::LoadRichText(const RichEdit& editor, bool plain, const std::string& text) {
  if (plain) {
    // The list's last line break would show as an empty last paragraph.
    std::string lines = StringListText(text);
    if (lines.size() >= 2) lines.resize(lines.size() - 2);
    editor.LoadPlainText(lines);
  } else {
    LoadRichEditText(editor, text);
  }
}

std::string TfrmDialogs::SaveRichText(const RichEdit& editor, bool plain) {
  if (GetWindowTextLengthA(editor.Handle()) == 0) return std::string();
  return StringListText(plain ? editor.PlainText() : editor.RichText());
}

bool TfrmDialogs::LicenseShowing() const { return nbMain.PageIndex() == kLicensePage; }

void TfrmDialogs::popLicensePopup() { mnuLicenseWordWrap.SetChecked(ShownState().WordWrap); }

void TfrmDialogs::mnuLicenseWordWrapClick() {
  RichState& s = ShownState();
  s.WordWrap = !s.WordWrap;
  ShownEditor().SetWordWrap(s.WordWrap);
}

void TfrmDialogs::BackgroundColor1Click() {
  RichState& s = ShownState();
  Color c = s.Color;
  if (!ChooseColorDialog(c)) return;
  s.Color = c;
  ShownEditor().SetBackColor(c);
}

void TfrmDialogs::Loadfromfile1Click() {
  FileDialogOptions options;
  options.Filter = texts::kTextFilter;
  std::string file;
  if (!OpenFileDialog(options, file)) return;
  const std::vector<uint8_t> bytes = base::ReadFileBytes(file);  // a failure leaves the text as it was
  const bool licence = LicenseShowing();
  const CheckBox& box = licence ? cbLicensePlain : cbReadMePlain;
  RichState& s = ShownState();
  s.PlainText = LoadsAsPlainText(file);
  box.SetChecked(s.PlainText);
  LoadRichText(ShownEditor(), s.PlainText, std::string(bytes.begin(), bytes.end()));
}

void TfrmDialogs::UseEditor1Click() {
  const bool licence = LicenseShowing();
  RichState& s = ShownState();
  const RichEdit& editor = ShownEditor();
  std::string text = SaveRichText(editor, s.PlainText);
  const bool ok = licence ? EditRichTextWide(text, s.WordWrap, s.Color) : EditRichTextTall(text, s.WordWrap, s.Color);
  if (!ok) return;
  (licence ? cbLicensePlain : cbReadMePlain).SetChecked(false);
  s.PlainText = false;
  LoadRichText(editor, false, text);
}

void TfrmDialogs::SetPlainText(const CheckBox& box, RichState& state) { state.PlainText = box.Checked(); }

void TfrmDialogs::cbReadMePlainClick() { SetPlainText(cbReadMePlain, ReadMeState); }

void TfrmDialogs::cbLicensePlainClick() { SetPlainText(cbLicensePlain, LicenseState); }

// ---------------------------------------------------------------- side picture

void TfrmDialogs::UpdateCustomImage() {
  const std::string file = edtBitmap.Text();
  if (cbCustom.Checked() && base::FileExists(file)) {
    if (!imgCustom.LoadFromFile(file)) throw std::runtime_error(texts::PictureUnreadable(file));
    return;
  }
  static const std::vector<uint8_t> side = SidePicture();
  if (side.empty())
    imgCustom.Clear();
  else
    imgCustom.LoadFromBytes(side);
}

void TfrmDialogs::ApplyImageOptions() {
  imgCustom.SetCenter(cbCenter.Checked());
  imgCustom.SetTransparent(cbTransparent.Checked());
  imgCustom.SetStretch(cbStretch.Checked());
}

void TfrmDialogs::EnableImageOptions(bool custom) {
  for (const Window* w : std::initializer_list<const Window*>{&btnBrowse, &cbCenter, &cbStretch, &cbTransparent})
    w->Enable(custom);
}

void TfrmDialogs::cbCustomClick() {
  const bool custom = cbCustom.Checked();
  EnableImageOptions(custom);
  UpdateCustomImage();
  if (custom) {
    ApplyImageOptions();
  } else {
    imgCustom.SetCenter(true);
    imgCustom.SetTransparent(false);
    imgCustom.SetStretch(false);
  }
}

void TfrmDialogs::cbCenterClick() { ApplyImageOptions(); }

void TfrmDialogs::btnBrowseClick() {
  FileDialogOptions options;
  options.Filter = texts::kPictureFilter;
  std::string file = edtBitmap.Text();
  if (OpenFileDialog(options, file)) edtBitmap.SetText(file);
  UpdateCustomImage();
}

// ---------------------------------------------------------------- page list and preview

void TfrmDialogs::clbDialogsClick() {
  const int row = clbDialogs.ItemIndex();
  if (row >= 0) nbMain.SetPageIndex(row);
}

void TfrmDialogs::btnPreviewClick() {
  if (!DelayAccepted()) return;
  StoreSettings();
  const int page = nbMain.PageIndex();
  if (page == kProgressPage) return;
  if (page == kBillboardsPage)
    PreviewBackground(*WorkingCopy, true);
  else
    PreviewInstDialog(*WorkingCopy, page);
}

// ---------------------------------------------------------------- billboards

void TfrmDialogs::UpdateBillboardButtons() {
  const TBillboardButtons b = BillboardButtons(lbBillboard.SelCount());
  btnRemove.Enable(b.Remove);
  btnUp.Enable(b.Up);
  btnDown.Enable(b.Down);
}

void TfrmDialogs::btnAddClick() {
  FileDialogOptions options;
  options.Filter = texts::kPictureFilter;
  std::vector<std::string> chosen;
  if (!OpenFilesDialog(options, 1, chosen)) return;
  std::vector<std::string> list = lbBillboard.Items();
  const size_t had = list.size();
  AddBillboards(list, chosen);
  for (size_t i = had; i < list.size(); ++i) lbBillboard.Add(list[i]);
  UpdateBillboardButtons();
}

void TfrmDialogs::lbBillboardClick() { UpdateBillboardButtons(); }

void TfrmDialogs::btnRemoveClick() {
  for (int i = lbBillboard.Count() - 1; i >= 0; --i)
    if (lbBillboard.Selected(i)) lbBillboard.Delete(i);
  UpdateBillboardButtons();
}

void TfrmDialogs::MoveBillboard(int direction) {
  const int from = lbBillboard.FocusedIndex();
  const int to = BillboardMoveTarget(from, lbBillboard.Count(), direction);
  if (to < 0) {
    Beep();
    return;
  }
  const std::string item = lbBillboard.Item(from);
  lbBillboard.Delete(from);
  lbBillboard.Insert(to, item);
  lbBillboard.ClearSelection();
  lbBillboard.SetSelected(to, true);
  lbBillboard.SetFocusedIndex(to);
  UpdateBillboardButtons();
}

void TfrmDialogs::btnUpClick() { MoveBillboard(-1); }

void TfrmDialogs::btnDownClick() { MoveBillboard(1); }

// ---------------------------------------------------------------- complete page

void TfrmDialogs::rbShowRestartClick() {
  const bool restart = rbShowRestart.Checked();
  ShowReadOnly(*this, edtCommand, restart);
  ShowReadOnly(*this, edtParams, restart);
  btnCommand.Enable(!restart);
  btnParams.Enable(!restart);
  cbShowReadMe.Enable(!restart);
}

void TfrmDialogs::btnCommandClick() {
  std::string group;
  if (TTandrelFile* file = PickProjectFile(*WorkingCopy, group)) edtCommand.SetText(ProjectFilePath(group, file->FileName));
}

void TfrmDialogs::btnParamsClick() {
  std::string group;
  if (TTandrelFile* file = PickProjectFile(*WorkingCopy, group)) edtParams.SetText(ProjectFilePath(group, file->FileName));
}

// ---------------------------------------------------------------- extensions list

void TfrmDialogs::FillExtensionList() {
  FlagScope filling(FillingList);
  UpdateScope<ListView> update(lvExtensions);
  lvExtensions.Clear();
  for (int i = 0; i < WorkingCopy->Extensions.Count(); ++i) AddExtensionItem(WorkingCopy->GetExtension(i));
}

void TfrmDialogs::ClearExtensionList() {
  FlagScope clearing(ClearingList);
  UpdateScope<ListView> update(lvExtensions);
  lvExtensions.Clear();
}

int TfrmDialogs::AddExtensionItem(TTandrelExtension* e) {
  const int row = lvExtensions.AddItem(ExtensionFileCaption(*e), e, Association->GetImageIndex(e->RealFile));
  lvExtensions.SetSubItem(row, 1, ExtensionLocation(*e));
  lvExtensions.SetSubItem(row, 2, e->Params);
  lvExtensions.SetSubItem(row, 3, DialogPageName(e->When));
  return row;
}

void TfrmDialogs::UpdateExtensionItem(TTandrelExtension* e) {
  for (int row = 0; row < lvExtensions.Count(); ++row) {
    if (lvExtensions.ItemData(row) != e) continue;
    lvExtensions.SetCaption(row, ExtensionFileCaption(*e));
    lvExtensions.SetSubItem(row, 1, ExtensionLocation(*e));
    lvExtensions.SetSubItem(row, 2, e->Params);
    lvExtensions.SetSubItem(row, 3, DialogPageName(e->When));
    lvExtensions.SetItemImage(row, Association->GetImageIndex(e->RealFile));
  }
}

void TfrmDialogs::SetCurrentExtension(TTandrelExtension* e) { CurrentExtension = e; }

void TfrmDialogs::lvExtensionsChange(int index) {
  if (ClearingList || FillingList || index < 0 || index >= lvExtensions.Count()) return;
  auto* e = static_cast<TTandrelExtension*>(lvExtensions.ItemData(index));
  if (e && lvExtensions.IsSelected(index)) SetCurrentExtension(e);
}

bool TfrmDialogs::ListUsable() const {
  return CurrentExtension && lvExtensions.Count() > 0 && lvExtensions.Selected() >= 0;
}

void TfrmDialogs::popupExtensionPopup() {
  const TExtensionMenu s = ExtensionMenuStates(CurrentExtension != nullptr, lvExtensions.Count(), lvExtensions.Selected());
  mnuProps.SetEnabled(s.Properties);
  mnuDelete.SetEnabled(s.Delete);
  mnuUp.SetEnabled(s.Up);
  mnuDown.SetEnabled(s.Down);
  for (MenuItem* item : {&mnuNew, &Executable1, &DLL1}) item->SetEnabled(true);
}

void TfrmDialogs::Executable1Click() {
  if (TTandrelExtension* e = NewExecutableExtension(*WorkingCopy)) {
    lvExtensions.ClearSelection();
    lvExtensions.Select(AddExtensionItem(e));
    SetCurrentExtension(e);
  }
}

void TfrmDialogs::DLL1Click() {
  if (TTandrelExtension* e = NewDllExtension(*WorkingCopy)) {
    lvExtensions.ClearSelection();
    lvExtensions.Select(AddExtensionItem(e));
    SetCurrentExtension(e);
  }
}

void TfrmDialogs::mnuPropsClick() {
  if (CurrentExtension && EditExtension(*CurrentExtension, *WorkingCopy)) UpdateExtensionItem(CurrentExtension);
}

void TfrmDialogs::mnuDeleteClick() {
  if (!ListUsable()) return;
  if (MessageDlg(texts::kRemoveSelectedExtension, MsgDlgType::Confirmation, mbYesNo) != mrYes)
    return;
  FlagScope clearing(ClearingList);
  UpdateScope<ListView> update(lvExtensions);
  // The row of the current extension is the selected one: they move together.
  const int row = lvExtensions.IndexOfData(CurrentExtension);
  WorkingCopy->Extensions.Remove(CurrentExtension);
  CurrentExtension = nullptr;
  if (row >= 0) lvExtensions.Delete(row);
}

void TfrmDialogs::RebindExtensionRows() {
  for (int row = 0; row < lvExtensions.Count() && row < WorkingCopy->Extensions.Count(); ++row) {
    TTandrelExtension* e = WorkingCopy->GetExtension(row);
    lvExtensions.SetItemData(row, e);
    UpdateExtensionItem(e);
  }
}

void TfrmDialogs::MoveExtension(bool up) {
  if (!ListUsable()) return;
  const int selected = lvExtensions.Selected();
  if (up ? selected < 1 : selected >= lvExtensions.Count() - 1) return;
  TTandrelExtension* moved = CurrentExtension;
  if (up)
    WorkingCopy->MoveUp(*moved);
  else
    WorkingCopy->MoveDown(*moved);
  RebindExtensionRows();
  // The moved extension keeps the selection on its new row.
  lvExtensions.ClearSelection();
  lvExtensions.Select(lvExtensions.IndexOfData(moved));
  SetCurrentExtension(moved);
}

void TfrmDialogs::mnuUpClick() { MoveExtension(true); }

void TfrmDialogs::mnuDownClick() { MoveExtension(false); }

bool TfrmDialogs::lvExtensionsKeyDown(UINT key, bool alt) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  if (key == VK_RETURN && alt)
    mnuPropsClick();
  else if (key == VK_UP && ctrl)
    mnuUpClick();
  else if (key == VK_DOWN && ctrl)
    mnuDownClick();
  else if (key == VK_DELETE)
    mnuDeleteClick();
  else
    return false;
  return true;
}

bool TfrmDialogs::lvExtensionsCustomDrawItem(int index, COLORREF& text, COLORREF&) {
  auto* e = static_cast<const TTandrelExtension*>(lvExtensions.ItemData(index));
  if (!e || !ExtensionDrawnRed(e->IsGroupFile(), e->When)) return false;
  text = lvExtensions.IsSelected(index) ? RGB(255, 255, 0) : RGB(255, 0, 0);
  return true;
}

bool EditDialogs(TTandrelBaseInstall& project) {
  return EditSection<TfrmDialogs>(project, &TTandrelBaseInstall::CompletedDialogs);
}
