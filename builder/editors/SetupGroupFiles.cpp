#include "builder/editors/SetupGroupFiles.h"

#include <algorithm>

#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "base/win/TestSeams.h"
#include "builder/common/BuilderSettings.h"
#include "builder/editors/SetupComponent.h"
#include "builder/editors/SetupFile.h"
#include "builder/editors/SetupGroup.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr int kHelpFileGroups = 8;
bool Confirm(const std::string& text) {
  return MessageDlg(text, MsgDlgType::Confirmation, mbYes | mbNo) == mrYes;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Frame

TfrmGroup::TfrmGroup()
    : SectionEditor(IDD_FRMGROUP, {IDC_FG_btnOk, IDC_FG_btnCancel, IDC_FG_btnHelp, kHelpFileGroups, "frmGroup"}) {
  Create();
}

TfrmGroup::~TfrmGroup() {
  FormDestroy();
  Association.reset();
}

bool EditFileGroups(TTandrelBaseInstall& project) {
  return EditSection<TfrmGroup>(project, &TTandrelBaseInstall::CompletedFiles);
}

void TfrmGroup::CreateImages() {
  AddEditorPictures(ilFiles);
  Association = std::make_unique<TZemAssociation>(nullptr, ilFiles);
}

void TfrmGroup::FormCreate() {
  SectionEditor::FormCreate();
  // The form's template has the last page active; FormShow goes to the first.
  pcMain.AddPage(texts::kPageFileGroups, IDD_FRMGROUP_TSGROUP);
  pcMain.AddPage(texts::kPageComponents, IDD_FRMGROUP_TSCOMPONENT);
  pcMain.AddPage(texts::kPageInstallationTypes, IDD_FRMGROUP_TSINSTALLTYPE);
  pcMain.SetActivePage(tsInstallType);
  pcMain.OnChange = [this] { pcMainChange(); };
  OnMessage(WM_GETMINMAXINFO, [this](WPARAM, LPARAM l) -> LRESULT {
    const SIZE least = MinimumClient();
    RECT frame{0, 0, least.cx, least.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMinTrackSize = POINT{frame.right - frame.left, frame.bottom - frame.top};
    return 0;
  });
  CreateImages();

  for (const TreeView* tv : {&tvGroups, &tvComponents, &tvInstallTypes}) {
    tv->SetImageList(ilFiles.Handle());
    AddView(*tv);
  }
  for (const ListView* lv : {&lvFiles, &lvGroups, &lvComponents}) {
    lv->SetRowSelect();
    lv->SetImageList(ilFiles.Handle(), LVSIL_SMALL);
    AddView(*lv);
  }
  lvFiles.SetImageList(ilFiles.Handle(), LVSIL_STATE);
  lvFiles.SetRows({[this](int row) -> void* { return FileAt(row); },
                   [this](int row, int column) { return FileText(row, column); },
                   [this](int row) {
                     const TTandrelFile* f = FileAt(row);
                     return f && Association ? Association->GetImageIndex(f->FileName) : -1;
                   },
                   [this](int row) {
                     const TTandrelFile* f = FileAt(row);
                     return f && f->SelfRegister ? imgSelfRegister + 1 : 0;
                   }});
  lvFiles.AddColumn(texts::kColName, 150);
  lvFiles.AddColumn(texts::kColLocation, 60);
  lvFiles.AddColumn(texts::kColSize, 60, true);
  lvFiles.AddColumn(texts::kColTimeStamp, 60);
  lvGroups.AddColumn(texts::kColName, 170);
  lvGroups.AddColumn(texts::kColInstallPath, 60);
  lvComponents.AddColumn(texts::kColName, 170);
  lvComponents.AddColumn(texts::kColDescription, 60);
  for (const ListView* lv : {&lvFiles, &lvGroups, &lvComponents}) lv->SetFillLastColumn();
  splGroup.Attach({IDC_FG_lblGroups, IDC_FG_tvGroups}, {IDC_FG_lblFiles, IDC_FG_lvFiles});
  splComponent.Attach({IDC_FG_lblComponents, IDC_FG_tvComponents}, {IDC_FG_lblAvailableGroups, IDC_FG_lvGroups});
  splInstallType.Attach({IDC_FG_lblInstallTypes, IDC_FG_tvInstallTypes},
                        {IDC_FG_lblAvailableComponents, IDC_FG_lvComponents});

  tvGroups.OnChange([this](TreeNode n) { tvGroupsChange(n); });
  tvGroups.OnEdited([this](TreeNode n, std::string& t) { tvGroupsEdited(n, t); });
  lvFiles.OnChange([this](int i) { lvFilesChange(i); });
  tvComponents.OnChange([this](TreeNode n) { tvComponentsChange(n); });
  tvComponents.OnEdited([this](TreeNode n, std::string& t) { tvComponentsEdited(n, t); });
  lvGroups.OnChange([this](int i) { lvGroupsChange(i); });
  lvGroups.OnEdited([this](int i, std::string& t) { lvGroupsEdited(i, t); });
  tvInstallTypes.OnChange([this](TreeNode n) { tvInstallTypesChange(n); });
  tvInstallTypes.OnEditing([this](TreeNode n) { return tvInstallTypesEditing(n); });
  tvInstallTypes.OnEdited([this](TreeNode n, std::string& t) { tvInstallTypesEdited(n, t); });
  lvComponents.OnChange([this](int i) { lvComponentsChange(i); });
  lvComponents.OnEdited([this](int i, std::string& t) { lvComponentsEdited(i, t); });

  tvGroups.OnDblClick([this] { actPropertiesExecute(); });
  lvFiles.OnDblClick([this] { actPropertiesExecute(); });
  tvComponents.OnDblClick([this] { actComponentPropertiesExecute(); });
  lvGroups.OnDblClick([this] { actComponentPropertiesExecute(); });
  tvInstallTypes.OnDblClick([this] { actInstallTypePropertiesExecute(); });
  lvComponents.OnDblClick([this] { actInstallTypePropertiesExecute(); });

  BindKeys(tvGroups, {[this] { actNewGroupExecute(); }, [this] { actDeleteExecute(); },
                      [this] { actPropertiesExecute(); }, true});
  BindKeys(lvFiles, {[this] { actAddFilesExecute(); }, [this] { actDeleteExecute(); },
                     [this] { actPropertiesExecute(); }, false});
  ViewKeys componentKeys{[this] { actNewComponentExecute(); }, [this] { actDeleteComponentExecute(); },
                         [this] { actComponentPropertiesExecute(); }, true};
  BindKeys(tvComponents, componentKeys);
  BindKeys(lvGroups, componentKeys);
  ViewKeys typeKeys{[this] { actInstallTypeNewComponentExecute(); }, [this] { actInstallTypeDeleteExecute(); },
                    [this] { actInstallTypePropertiesExecute(); }, true};
  BindKeys(tvInstallTypes, typeKeys);
  BindKeys(lvComponents, typeKeys);

  for (const TreeView* tv : {&tvGroups, &tvComponents, &tvInstallTypes}) DragDrop.AddSource(*tv);
  for (const ListView* lv : {&lvFiles, &lvGroups, &lvComponents}) DragDrop.AddSource(*lv);
  DragDrop.AddTarget(tvGroups, [this](HWND s, POINT p) { return tvGroupsDragOver(s, p); },
                     [this](HWND s, POINT p) { tvGroupsDragDrop(s, p); });
  DragDrop.AddTarget(lvFiles, [this](HWND s, POINT p) { return lvFilesDragOver(s, p); },
                     [this](HWND s, POINT p) { lvFilesDragDrop(s, p); });
  DragDrop.AddTarget(tvComponents, [this](HWND s, POINT p) { return tvComponentsDragOver(s, p); },
                     [this](HWND s, POINT p) { tvComponentsDragDrop(s, p); });
  DragDrop.AddTarget(lvGroups, [this](HWND s, POINT p) { return lvGroupsDragOver(s, p); },
                     [this](HWND s, POINT p) { lvGroupsDragDrop(s, p); });
  DragDrop.AddTarget(tvInstallTypes, [this](HWND s, POINT p) { return tvInstallTypesDragOver(s, p); },
                     [this](HWND s, POINT p) { tvInstallTypesDragDrop(s, p); });
  DragDrop.AddTarget(lvComponents, [this](HWND s, POINT p) { return lvComponentsDragOver(s, p); },
                     [this](HWND s, POINT p) { lvComponentsDragDrop(s, p); });
  CreateActions();
}

void TfrmGroup::CreateActions() {
  auto add = [this](const char* caption, const char* hint, std::function<void()> execute) {
    Action& a = ActionList.Add(caption, hint, {}, [execute](Action&) { execute(); });
    return &a;
  };
  actNewGroup = add(texts::kActNewGroup, texts::kHintNewGroup, [this] { actNewGroupExecute(); });
  actAddFiles = add(texts::kActAddFiles, texts::kHintAddFiles, [this] { actAddFilesExecute(); });
  actProperties = add(texts::kProperties, texts::kPropertiesText, [this] { actPropertiesExecute(); });
  actDelete = add(texts::kDelete, "", [this] { actDeleteExecute(); });
  actMoveUp = add(texts::kActMoveUp, texts::kActMoveUp, [this] { actMoveUpExecute(); });
  actMoveDown = add(texts::kActMoveDown, texts::kActMoveDown, [this] { actMoveDownExecute(); });
  actNewComponent = add(texts::kActNewComponent, texts::kHintNewComponent, [this] { actNewComponentExecute(); });
  actComponentNewGroup = add(texts::kActComponentNewGroup, texts::kHintNewGroupOfComponent, [this] { actComponentNewGroupExecute(); });
  actComponentProperties = add(texts::kProperties, texts::kPropertiesText, [this] { actComponentPropertiesExecute(); });
  actDeleteComponent = add(texts::kDelete, texts::kDeleteText, [this] { actDeleteComponentExecute(); });
  actInstallTypeNewComponent =
      add(texts::kActInstallTypeNewComponent, texts::kHintNewComponent, [this] { actInstallTypeNewComponentExecute(); });
  actInstallTypeProperties = add(texts::kProperties, texts::kPropertiesText, [this] { actInstallTypePropertiesExecute(); });
  actInstallTypeDelete = add(texts::kDelete, texts::kDeleteText, [this] { actInstallTypeDeleteExecute(); });

  for (ToolBar* tb : {&tbGroup, &tbComponent, &tbInstallType}) tb->UseStandardImages();
  tbGroup.AddButton(IDC_FG_actNewGroup, STD_FILENEW, *actNewGroup);
  tbGroup.AddButton(IDC_FG_actAddFiles, STD_FILEOPEN, *actAddFiles);
  tbGroup.AddSeparator();
  tbGroup.AddButton(IDC_FG_actProperties, STD_PROPERTIES, *actProperties);
  tbGroup.AddButton(IDC_FG_actDelete, STD_DELETE, *actDelete);
  tbGroup.AddSeparator();
  tbGroup.AddButton(IDC_FG_actMoveUp, STD_UNDO, *actMoveUp);
  tbGroup.AddButton(IDC_FG_actMoveDown, STD_REDOW, *actMoveDown);
  tbComponent.AddButton(IDC_FG_actNewComponent, STD_FILENEW, *actNewComponent);
  tbComponent.AddButton(IDC_FG_actComponentNewGroup, STD_FILEOPEN, *actComponentNewGroup);
  tbComponent.AddSeparator();
  tbComponent.AddButton(IDC_FG_actComponentProperties, STD_PROPERTIES, *actComponentProperties);
  tbComponent.AddButton(IDC_FG_actDeleteComponent, STD_DELETE, *actDeleteComponent);
  tbInstallType.AddButton(IDC_FG_actInstallTypeNewComponent, STD_FILENEW, *actInstallTypeNewComponent);
  tbInstallType.AddSeparator();
  tbInstallType.AddButton(IDC_FG_actInstallTypeProperties, STD_PROPERTIES, *actInstallTypeProperties);
  tbInstallType.AddButton(IDC_FG_actInstallTypeDelete, STD_DELETE, *actInstallTypeDelete);

  MainPopup.Add("").SetAction(actNewGroup);
  MainPopup.Add("").SetAction(actDelete);
  MainPopup.Add("").SetAction(actAddFiles);
  MainPopup.AddSeparator();
  MainPopup.Add("").SetAction(actProperties);
  popComponents.Add("").SetAction(actNewComponent);
  popComponents.Add("").SetAction(actComponentNewGroup);
  popComponents.Add("").SetAction(actDeleteComponent);
  popComponents.AddSeparator();
  popComponents.Add("").SetAction(actComponentProperties);
  popInstallTypes.Add("").SetAction(actInstallTypeNewComponent);
  popInstallTypes.Add("").SetAction(actInstallTypeDelete);
  popInstallTypes.AddSeparator();
  popInstallTypes.Add("").SetAction(actInstallTypeProperties);
  // Each popup belongs to both views of its page.
  MainPopup.Attach(*this, IDC_FG_tvGroups);
  MainPopup.Attach(*this, IDC_FG_lvFiles);
  popComponents.Attach(*this, IDC_FG_tvComponents);
  popComponents.Attach(*this, IDC_FG_lvGroups);
  popInstallTypes.Attach(*this, IDC_FG_tvInstallTypes);
  popInstallTypes.Attach(*this, IDC_FG_lvComponents);
}

namespace {

// The controls of one page, laid out alike.
struct PageLayout {
  int toolbar, leftLabel, leftView, splitter, rightLabel, rightView;
};
const PageLayout kPageLayouts[] = {
    {IDC_FG_tbGroup, IDC_FG_lblGroups, IDC_FG_tvGroups, IDC_FG_splGroup, IDC_FG_lblFiles, IDC_FG_lvFiles},
    {IDC_FG_tbComponent, IDC_FG_lblComponents, IDC_FG_tvComponents, IDC_FG_splComponent, IDC_FG_lblAvailableGroups,
     IDC_FG_lvGroups},
    {IDC_FG_tbInstallType, IDC_FG_lblInstallTypes, IDC_FG_tvInstallTypes, IDC_FG_splInstallType,
     IDC_FG_lblAvailableComponents, IDC_FG_lvComponents},
};
constexpr int kLeastPane = 30;  // pixels, as the splitters keep

RECT InParent(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Place(HWND h, int left, int top, int width, int height) {
  SetWindowPos(h, nullptr, left, top, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

SIZE TfrmGroup::MinimumClient() const {
  // In dialog units: three buttons with their gaps, a tool bar's buttons, two panes.
  RECT least{0, 0, 260, 170};
  MapDialogRect(Handle(), &least);
  return SIZE{least.right, least.bottom};
}

void TfrmGroup::FormResize() {
  if (pcMain.PageCount() < 3) return;  // still being made
  RECT c = ClientRect();
  RECT dlu{0, 0, 5, 7};  // the template's margin, and the gap above the buttons
  MapDialogRect(Handle(), &dlu);
  const int margin = dlu.right, above = dlu.bottom;
  const Button ok(*this, IDC_FG_btnOk);
  const int w = ok.Width(), h = ok.Height();
  const int top = c.bottom - margin - h;
  int x = c.right - margin - w;
  for (int id : {IDC_FG_btnHelp, IDC_FG_btnCancel, IDC_FG_btnOk}) {
    Place(Item(id), x, top, w, h);
    x -= w + margin;
  }
  Place(pcMain.Handle(), margin, margin, c.right - 2 * margin, top - above - margin);
  RECT area = pcMain.ClientRect();
  pcMain.Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int page = 0; page < pcMain.PageCount(); ++page) {
    Place(pcMain.Page(page), area.left, area.top, area.right - area.left, area.bottom - area.top);
    LayOutPage(page);
  }
  // The form's own background is painted after its moved controls otherwise, over them.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmGroup::LayOutPage(int page) const {
  const PageLayout& ids = kPageLayouts[page];
  HWND holder = pcMain.Page(page);
  RECT c{};
  GetClientRect(holder, &c);
  RECT gap{0, 0, 2, 3};  // the template's inner margins: sides, bottom
  MapDialogRect(Handle(), &gap);
  auto at = [holder](int id) { return GetDlgItem(holder, id); };
  const RECT bar = InParent(at(ids.toolbar));
  Place(at(ids.toolbar), bar.left, bar.top, c.right - 2 * bar.left, bar.bottom - bar.top);
  const RECT leftView = InParent(at(ids.leftView)), split = InParent(at(ids.splitter));
  const RECT leftLabel = InParent(at(ids.leftLabel)), rightLabel = InParent(at(ids.rightLabel));
  const RECT rightView = InParent(at(ids.rightView));
  const int splitWidth = split.right - split.left;
  const int right = c.right - gap.right, bottom = c.bottom - gap.bottom;
  // The left pane keeps its width while the right one keeps its least width beside it.
  const int most = right - kLeastPane - splitWidth - leftView.left;
  const int leftWidth = std::max(kLeastPane, std::min<int>(leftView.right - leftView.left, most));
  const int splitLeft = leftView.left + leftWidth, rightLeft = splitLeft + splitWidth;
  Place(at(ids.leftLabel), leftLabel.left, leftLabel.top, leftWidth, leftLabel.bottom - leftLabel.top);
  Place(at(ids.leftView), leftView.left, leftView.top, leftWidth, bottom - leftView.top);
  Place(at(ids.splitter), splitLeft, split.top, splitWidth, bottom - split.top);
  Place(at(ids.rightLabel), rightLeft, rightLabel.top, right - rightLeft, rightLabel.bottom - rightLabel.top);
  Place(at(ids.rightView), rightLeft, rightView.top, right - rightLeft, bottom - rightView.top);
}

void TfrmGroup::FormShow() {
  SectionEditor::FormShow();
  FormResize();  // a restored size equal to the template's brings no WM_SIZE
  pcMain.SetActivePage(tsGroup);
  FillGroups();
}

bool TfrmGroup::PrepareOk() {
  for (TTandrelFileGroup* g : WorkingCopy->Groups) g->RefreshFiles();
  return true;
}

void TfrmGroup::pcMainChange() {
  switch (pcMain.ActivePage()) {
    case tsGroup:
      CurrentComponent = nullptr;
      CurrentComponentGroup = nullptr;
      CurrentInstallType = nullptr;
      CurrentTypeComponent = nullptr;
      EmptyView(tvComponents);
      EmptyView(lvGroups);
      EmptyView(tvInstallTypes);
      EmptyView(lvComponents);
      FillGroups();
      break;
    case tsComponent:
      CurrentFile = nullptr;
      SetCurrentGroup(nullptr);
      CurrentInstallType = nullptr;
      CurrentTypeComponent = nullptr;
      EmptyView(lvFiles);
      EmptyView(tvGroups);
      EmptyView(tvInstallTypes);
      EmptyView(lvComponents);
      FillComponents();
      FillAvailableGroups();
      break;
    case tsInstallType:
      CurrentComponent = nullptr;
      CurrentComponentGroup = nullptr;
      CurrentFile = nullptr;
      SetCurrentGroup(nullptr);
      EmptyView(tvComponents);
      EmptyView(lvGroups);
      EmptyView(lvFiles);
      EmptyView(tvGroups);
      FillInstallTypes();
      FillAvailableComponents();
      break;
    default:
      break;
  }
}

void TfrmGroup::UpdateActions() {
  GroupPageActions g = DecideGroupPageActions(GroupState());
  actNewGroup->SetEnabled(g.NewGroup);
  actAddFiles->SetEnabled(g.AddFiles);
  actProperties->SetEnabled(g.Properties);
  actDelete->SetEnabled(g.Delete);
  actMoveUp->SetEnabled(g.MoveUp);
  actMoveDown->SetEnabled(g.MoveDown);
  PageFocus focus = GroupState().Focus;
  actProperties->SetHint(PropertiesHint(focus));
  actDelete->SetHint(DeleteHint(focus));
  MemberPageActions c = DecideComponentPageActions(ComponentState());
  actNewComponent->SetEnabled(c.New);
  actComponentNewGroup->SetEnabled(c.NewGroup);
  actComponentProperties->SetEnabled(c.Properties);
  actDeleteComponent->SetEnabled(c.Delete);
  MemberPageActions t = DecideInstallTypePageActions(InstallTypeState());
  actInstallTypeNewComponent->SetEnabled(t.New);
  actInstallTypeProperties->SetEnabled(t.Properties);
  actInstallTypeDelete->SetEnabled(t.Delete);
}

namespace {
PageFocus FocusOf(const TreeView& tree, const ListView& list) {
  HWND f = GetFocus();
  if (f && f == tree.Handle()) return PageFocus::Tree;
  if (f && f == list.Handle()) return PageFocus::List;
  return PageFocus::None;
}
}  // namespace

GroupPageState TfrmGroup::GroupState() const {
  GroupPageState s;
  s.Focus = FocusOf(tvGroups, lvFiles);
  s.Editing = Editing;
  s.TreeCount = tvGroups.Count();
  s.GroupIndex = CurrentGroup ? CurrentGroup->Index() : -1;
  s.GroupCount = WorkingCopy ? WorkingCopy->Groups.Count() : 0;
  s.ListCount = lvFiles.Count();
  s.SelCount = lvFiles.SelCount();
  if (s.SelCount == 1)
    if (auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(lvFiles.Selected()))) s.FileIndex = f->Index();
  s.FileCount = CurrentGroup ? CurrentGroup->Files.Count() : 0;
  return s;
}

MemberPageState TfrmGroup::ComponentState() const {
  MemberPageState s;
  s.Focus = FocusOf(tvComponents, lvGroups);
  s.Editing = Editing;
  s.TreeCount = tvComponents.Count();
  if (TreeNode n = tvComponents.Selected()) s.SelectedLevel = tvComponents.Level(n);
  s.ListCount = lvGroups.Count();
  s.SelCount = lvGroups.SelCount();
  return s;
}

MemberPageState TfrmGroup::InstallTypeState() const {
  MemberPageState s;
  s.Focus = FocusOf(tvInstallTypes, lvComponents);
  s.Editing = Editing;
  s.TreeCount = tvInstallTypes.Count();
  if (TreeNode n = tvInstallTypes.Selected()) s.SelectedLevel = tvInstallTypes.Level(n);
  s.ListCount = lvComponents.Count();
  s.SelCount = lvComponents.SelCount();
  return s;
}

// ---------------------------------------------------------------------------------------
// "File Groups" page

void TfrmGroup::FillGroups() {
  EmptyView(tvGroups);
  UpdateScope<TreeView> update(tvGroups);
  FlagScope filling(Filling);
  for (TTandrelFileGroup* g : WorkingCopy->Groups) AddGroupNode(g, false);
}

void TfrmGroup::AddGroupNode(TTandrelFileGroup* group, bool select) {
  TreeNode n = tvGroups.Add(nullptr, group->Name(), group, imgGroup, imgGroupSelected);
  if (select) {
    tvGroups.Select(n);
    SetCurrentGroup(group);
  }
}

void TfrmGroup::SetCurrentGroup(TTandrelFileGroup* group) {
  if (group == CurrentGroup) return;
  CurrentGroup = group;
  CurrentFile = nullptr;  // a file of another group is never current
  FillFiles();
}

// The file list's row i is always the current group's file i: the view only asks for the
// rows it shows, so a group of any size fills at once.
TTandrelFile* TfrmGroup::FileAt(int row) const {
  if (!CurrentGroup || row < 0 || row >= CurrentGroup->Files.Count()) return nullptr;
  return CurrentGroup->Files[row];
}

std::string TfrmGroup::FileText(int row, int column) const {
  const TTandrelFile* f = FileAt(row);
  if (!f) return {};
  switch (column) {
    case 0: return FileNamePart(f->FileName);
    case 1: return FilePathPart(f->FileName);
    case 2: return FormatSizeKM(f->Size);
    case 3: return FileTimeStampText(f->Timestamp);
    default: return {};
  }
}

void TfrmGroup::FillFiles() {
  EmptyView(lvFiles);
  if (!CurrentGroup) return;
  UpdateScope<ListView> update(lvFiles);
  FlagScope filling(Filling);
  // The icon cache takes its types in the order of the files, as when each row held its own.
  for (TTandrelFile* f : CurrentGroup->Files) Association->GetImageIndex(f->FileName);
  lvFiles.SetRowCount(CurrentGroup->Files.Count());
}

void TfrmGroup::SetFileItem(int i, TTandrelFile* file) {
  Association->GetImageIndex(file->FileName);
  lvFiles.RedrawRows(i, i);
}

void TfrmGroup::AddFileItem(TTandrelFile* file, bool select) {
  if (!CurrentGroup || !file) return;
  Association->GetImageIndex(file->FileName);
  lvFiles.SetRowCount(CurrentGroup->Files.Count());
  if (select) lvFiles.Select(file->Index());
}

void TfrmGroup::UpdateFileItem(TTandrelFile* file) {
  int i = lvFiles.IndexOfData(file);
  if (i >= 0) SetFileItem(i, file);
}

void TfrmGroup::UpdateGroupNode(TTandrelFileGroup* group) {
  for (TreeNode n : tvGroups.Children(nullptr))
    if (tvGroups.NodeData(n) == group) tvGroups.SetNodeText(n, group->Name());
}

void TfrmGroup::tvGroupsChange(TreeNode node) {
  if (ChangesIgnored() || !node || node != tvGroups.Selected()) return;
  if (auto* g = static_cast<TTandrelFileGroup*>(tvGroups.NodeData(node))) SetCurrentGroup(g);
}

void TfrmGroup::lvFilesChange(int item) {
  if (ChangesIgnored() || item < 0 || !lvFiles.IsSelected(item)) return;
  if (auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(item))) CurrentFile = f;
}

void TfrmGroup::FollowFileSelection() {
  int i = lvFiles.Selected();
  CurrentFile = i >= 0 ? static_cast<TTandrelFile*>(lvFiles.ItemData(i)) : nullptr;
}

void TfrmGroup::tvGroupsEdited(TreeNode node, std::string& text) {
  if (auto* g = static_cast<TTandrelFileGroup*>(tvGroups.NodeData(node))) g->SetName(text);
}

void TfrmGroup::actNewGroupExecute() {
  if (!NewFileGroup(*WorkingCopy)) return;
  AddGroupNode(WorkingCopy->Groups[WorkingCopy->Groups.Count() - 1], true);
}

void TfrmGroup::actAddFilesExecute() {
  if (!CurrentGroup) return;
  FileDialogOptions options;
  options.Filter = texts::kExecutableOrHelpFilter;
  options.FileMustExist = true;
  std::vector<std::string> files;
  if (!OpenFilesDialog(options, 3, files)) return;
  {
    FlagScope filling(Filling);
    UpdateScope<ListView> update(lvFiles);
    for (const std::string& path : files)
      if (CurrentGroup->AddFile(path)) Association->GetImageIndex(path);
    lvFiles.SetRowCount(CurrentGroup->Files.Count());
  }
  lvFiles.Focus();
}

void TfrmGroup::actPropertiesExecute() {
  if (Editing) return;
  if (tvGroups.Focused() && tvGroups.Count() > 0 && tvGroups.Selected() && CurrentGroup) {
    if (EditFileGroup(*WorkingCopy, CurrentGroup->Index())) UpdateGroupNode(CurrentGroup);
  } else if (lvFiles.Focused() && lvFiles.SelCount() == 1) {
    auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(lvFiles.Selected()));
    if (f && ShowFileProperties(*f)) UpdateFileItem(f);
  }
}

void TfrmGroup::actDeleteExecute() {
  if (Editing) return;
  if (lvFiles.Focused() && lvFiles.Count() > 0 && lvFiles.SelCount() > 0) {
    if (!Confirm(texts::kRemoveSelectedFiles)) return;
    {
      FlagScope clearing(Clearing);
      UpdateScope<ListView> update(lvFiles);
      for (int i = lvFiles.Count() - 1; i >= 0; --i) {
        if (!lvFiles.IsSelected(i)) continue;
        auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(i));
        if (!f || !CurrentGroup) continue;
        // The item goes first, so no view points at a freed file; the file itself goes,
        // not the first of its name.
        lvFiles.Delete(i);
        if (CurrentFile == f) CurrentFile = nullptr;
        CurrentGroup->Files.Remove(f);
      }
    }
    FollowFileSelection();
  } else if (tvGroups.Focused() && tvGroups.Count() > 0 && CurrentGroup) {
    if (Confirm(texts::RemoveGroup(CurrentGroup->Name()))) {
      TTandrelFileGroup* group = CurrentGroup;
      TreeNode node = tvGroups.FindData(group);
      {
        FlagScope clearing(Clearing);
        EmptyView(lvFiles);
        CurrentFile = nullptr;
        CurrentGroup = nullptr;
        if (node) tvGroups.Delete(node);
      }
      DeleteGroupObject(*WorkingCopy, group);
      if (TreeNode now = tvGroups.Selected()) tvGroupsChange(now);
    }
    if (WorkingCopy->Groups.Count() == 0) SetCurrentGroup(nullptr);
  }
}

void TfrmGroup::actMoveUpExecute() {
  if (Editing) return;
  GroupPageState s = GroupState();
  if (s.Focus == PageFocus::List && s.ListCount > 0 && s.SelCount == 1 && s.FileIndex > 0) {
    int item = lvFiles.Selected();
    MoveFiles(s.FileIndex, s.FileIndex - 1, item - 1);
  } else if (s.Focus == PageFocus::Tree && s.TreeCount > 0 && s.GroupIndex > 0) {
    TreeNode node = tvGroups.Selected();
    TreeNode before = nullptr;
    for (TreeNode n : tvGroups.Children(nullptr)) {
      if (n == node) break;
      before = n;
    }
    MoveGroup(s.GroupIndex, s.GroupIndex - 1, before);
  }
}

void TfrmGroup::actMoveDownExecute() {
  if (Editing) return;
  GroupPageState s = GroupState();
  if (s.Focus == PageFocus::List && s.ListCount > 0 && s.SelCount == 1 && s.FileIndex >= 0 &&
      s.FileIndex < s.FileCount - 1) {
    int item = lvFiles.Selected();
    MoveFiles(s.FileIndex, s.FileIndex + 1, item + 1);
  } else if (s.Focus == PageFocus::Tree && s.TreeCount > 0 && s.GroupIndex >= 0 && s.GroupIndex < s.GroupCount - 1) {
    MoveGroup(s.GroupIndex, s.GroupIndex + 1, tvGroups.NextSibling(tvGroups.Selected()));
  }
}

void TfrmGroup::MoveGroup(int from, int to, TreeNode node) {
  UpdateScope<TreeView> update(tvGroups);
  if (!WorkingCopy->MoveGroup(from, to)) return;
  std::vector<TreeNode> nodes = tvGroups.Children(nullptr);
  for (size_t i = 0; i < nodes.size() && static_cast<int>(i) < WorkingCopy->Groups.Count(); ++i)
    tvGroups.SetNodeData(nodes[i], WorkingCopy->Groups[static_cast<int>(i)]);
  for (TTandrelFileGroup* g : WorkingCopy->Groups) UpdateGroupNode(g);
  if (node) {
    // The node now shows the moved group; selecting it makes that group current.
    if (tvGroups.Selected() == node) tvGroupsChange(node);
    else tvGroups.Select(node);
  }
}

void TfrmGroup::MoveFiles(int from, int to, int item) {
  if (!CurrentGroup) return;
  UpdateScope<ListView> update(lvFiles);
  if (!MoveFileInGroup(*CurrentGroup, from, to)) return;
  {
    FlagScope filling(Filling);
    lvFiles.ClearSelection();
    // Only the rows between the two places show other files now.
    const int lo = std::min(from, to), hi = std::min(std::max(from, to), CurrentGroup->Files.Count() - 1);
    for (int i = lo; i <= hi; ++i) Association->GetImageIndex(CurrentGroup->Files[i]->FileName);
    if (lo <= hi) lvFiles.RedrawRows(lo, hi);
  }
  if (item >= 0 && item < lvFiles.Count()) {
    lvFiles.Select(item);
    CurrentFile = static_cast<TTandrelFile*>(lvFiles.ItemData(item));
  }
}

std::vector<TTandrelFile*> TfrmGroup::SelectedFiles() const {
  std::vector<TTandrelFile*> files;
  for (int i : lvFiles.SelectedIndices())
    if (auto* f = static_cast<TTandrelFile*>(lvFiles.ItemData(i))) files.push_back(f);
  return files;
}

bool TfrmGroup::tvGroupsDragOver(HWND source, POINT p) {
  if (source != lvFiles.Handle() && source != tvGroups.Handle()) return false;
  TreeNode n = tvGroups.NodeAt(p);
  return n && n != tvGroups.Selected();
}

void TfrmGroup::tvGroupsDragDrop(HWND source, POINT p) {
  TreeNode drop = tvGroups.NodeAt(p);
  if (!drop) return;
  auto* target = static_cast<TTandrelFileGroup*>(tvGroups.NodeData(drop));
  if (!target) return;
  if (source == lvFiles.Handle()) {
    if (target == CurrentGroup || !CurrentGroup) return;
    std::vector<TTandrelFile*> files = SelectedFiles();
    {
      FlagScope clearing(Clearing);
      UpdateScope<ListView> update(lvFiles);
      for (TTandrelFile* f : files) {
        if (!target->AddFileItem(*f)) continue;  // the target holds that name: it stays here
        int i = lvFiles.IndexOfData(f);
        if (i >= 0) lvFiles.Delete(i);
        if (CurrentFile == f) CurrentFile = nullptr;
        CurrentGroup->Files.Remove(f);
      }
    }
    FollowFileSelection();
  } else if (source == tvGroups.Handle()) {
    auto* dragged = static_cast<TTandrelFileGroup*>(tvGroups.NodeData(tvGroups.Selected()));
    if (dragged) MoveGroup(dragged->Index(), target->Index(), drop);
  }
}

bool TfrmGroup::lvFilesDragOver(HWND source, POINT) { return source == lvFiles.Handle() && lvFiles.SelCount() == 1; }

void TfrmGroup::lvFilesDragDrop(HWND source, POINT p) {
  if (source != lvFiles.Handle() || lvFiles.SelCount() != 1) return;
  int drop = lvFiles.ItemAt(p);
  if (drop < 0) return;
  auto* selected = static_cast<TTandrelFile*>(lvFiles.ItemData(lvFiles.Selected()));
  auto* target = static_cast<TTandrelFile*>(lvFiles.ItemData(drop));
  if (selected && target) MoveFiles(selected->Index(), target->Index(), drop);
}

// ---------------------------------------------------------------------------------------
// Nodes with children rebuilt in place

void TfrmGroup::RefillNodeChildren(const TreeView& tree, TreeNode node,
                                   const std::vector<std::pair<std::string, void*>>& children, int image) {
  bool expanded = tree.Expanded(node);
  {
    FlagScope clearing(Clearing);
    tree.DeleteChildren(node);
  }
  for (const auto& [text, data] : children) tree.Add(node, text, data, image);
  if (expanded) tree.Expand(node, true);
}

// ---------------------------------------------------------------------------------------
// "Components" page

void TfrmGroup::FillComponents() {
  EmptyView(tvComponents);
  UpdateScope<TreeView> update(tvComponents);
  FlagScope filling(Filling);
  for (TTandrelComponent* c : WorkingCopy->Components) AddComponentNode(c, false);
}

void TfrmGroup::AddComponentNode(TTandrelComponent* component, bool select) {
  TreeNode n = tvComponents.Add(nullptr, component->Name(), component, imgComponent);
  for (int i = 0; i < static_cast<int>(component->Groups.size()); ++i)
    if (TTandrelFileGroup* g = component->GetGroup(i)) tvComponents.Add(n, g->Name(), g, imgGroup);
  if (select) {
    tvComponents.Select(n);
    CurrentComponent = component;
    CurrentComponentGroup = nullptr;
  }
}

void TfrmGroup::UpdateComponentNode(TTandrelComponent* component, bool rebuild) {
  for (TreeNode n : tvComponents.Children(nullptr)) {
    if (tvComponents.NodeData(n) != component) continue;
    tvComponents.SetNodeText(n, component->Name());
    if (!rebuild) continue;
    std::vector<std::pair<std::string, void*>> children;
    for (int i = 0; i < static_cast<int>(component->Groups.size()); ++i)
      if (TTandrelFileGroup* g = component->GetGroup(i)) children.emplace_back(g->Name(), g);
    RefillNodeChildren(tvComponents, n, children, imgGroup);
  }
}

void TfrmGroup::FillAvailableGroups() {
  EmptyView(lvGroups);
  UpdateScope<ListView> update(lvGroups);
  FlagScope filling(Filling);
  for (TTandrelFileGroup* g : WorkingCopy->Groups) AddAvailableGroupItem(g, false);
}

void TfrmGroup::AddAvailableGroupItem(TTandrelFileGroup* group, bool select) {
  int i = lvGroups.AddItem(group->Name(), group, imgGroup);
  lvGroups.SetSubItem(i, 1, group->Destination());
  if (select) {
    lvGroups.Select(i);
    CurrentComponentGroup = group;
    CurrentComponent = nullptr;
  }
}

void TfrmGroup::UpdateGroupItems(TTandrelFileGroup* group) {
  for (TreeNode n : tvComponents.AllNodes())
    if (tvComponents.NodeData(n) == group) tvComponents.SetNodeText(n, group->Name());
  for (int i = 0; i < lvGroups.Count(); ++i)
    if (lvGroups.ItemData(i) == group) {
      lvGroups.SetCaption(i, group->Name());
      lvGroups.SetSubItem(i, 1, group->Destination());
    }
}

void TfrmGroup::tvComponentsChange(TreeNode node) {
  if (ChangesIgnored() || !node || node != tvComponents.Selected()) return;
  void* data = tvComponents.NodeData(node);
  if (!data) return;
  if (tvComponents.Level(node) == 0) {
    CurrentComponent = static_cast<TTandrelComponent*>(data);
    CurrentComponentGroup = nullptr;
  } else {
    CurrentComponentGroup = static_cast<TTandrelFileGroup*>(data);
    CurrentComponent = nullptr;
  }
}

void TfrmGroup::lvGroupsChange(int item) {
  if (ChangesIgnored() || item < 0 || !lvGroups.IsSelected(item)) return;
  if (auto* g = static_cast<TTandrelFileGroup*>(lvGroups.ItemData(item))) {
    CurrentComponentGroup = g;
    CurrentComponent = nullptr;
  }
}

void TfrmGroup::tvComponentsEdited(TreeNode node, std::string& text) {
  void* data = tvComponents.NodeData(node);
  if (!data) return;
  if (tvComponents.Level(node) == 0) {
    static_cast<TTandrelComponent*>(data)->SetName(text);
  } else {
    auto* g = static_cast<TTandrelFileGroup*>(data);
    g->SetName(text);
    UpdateGroupItems(g);
  }
}

void TfrmGroup::lvGroupsEdited(int item, std::string& text) {
  if (auto* g = static_cast<TTandrelFileGroup*>(lvGroups.ItemData(item))) {
    g->SetName(text);
    UpdateGroupItems(g);
  }
}

void TfrmGroup::actNewComponentExecute() {
  if (!NewComponent(*WorkingCopy)) return;
  AddComponentNode(WorkingCopy->Components[WorkingCopy->Components.Count() - 1], true);
}

void TfrmGroup::actComponentNewGroupExecute() {
  if (!NewFileGroup(*WorkingCopy)) return;
  AddAvailableGroupItem(WorkingCopy->Groups[WorkingCopy->Groups.Count() - 1], true);
}

void TfrmGroup::actComponentPropertiesExecute() {
  if (Editing) return;
  TreeNode n = tvComponents.Selected();
  if (tvComponents.Focused() && tvComponents.Count() > 0 && n) {
    void* data = tvComponents.NodeData(n);
    if (!data) return;
    if (tvComponents.Level(n) == 0) {
      auto* c = static_cast<TTandrelComponent*>(data);
      if (EditComponent(*WorkingCopy, c->Index())) UpdateComponentNode(c, false);
    } else {
      auto* g = static_cast<TTandrelFileGroup*>(data);
      if (EditFileGroup(*WorkingCopy, g->Index())) UpdateGroupItems(g);
    }
  } else if (lvGroups.Focused() && lvGroups.SelCount() == 1) {
    auto* g = static_cast<TTandrelFileGroup*>(lvGroups.ItemData(lvGroups.Selected()));
    if (g && EditFileGroup(*WorkingCopy, g->Index())) UpdateGroupItems(g);
  }
}

void TfrmGroup::RemoveGroupEntry(TreeNode groupNode) {
  TreeNode parent = tvComponents.Parent(groupNode);
  auto* c = static_cast<TTandrelComponent*>(tvComponents.NodeData(parent));
  auto* g = static_cast<TTandrelFileGroup*>(tvComponents.NodeData(groupNode));
  if (!c || !g) return;
  EraseFirstName(c->Groups, g->Name());
  UpdateComponentNode(c, true);
  tvComponentsChange(tvComponents.Selected());
}

void TfrmGroup::actDeleteComponentExecute() {
  if (Editing) return;
  TreeNode n = tvComponents.Selected();
  if (lvGroups.Focused() && lvGroups.Count() > 0 && lvGroups.SelCount() > 0) {
    if (!Confirm(texts::kRemoveSelectedGroups)) return;
    std::vector<TTandrelFileGroup*> groups;
    for (int i : lvGroups.SelectedIndices())
      if (auto* g = static_cast<TTandrelFileGroup*>(lvGroups.ItemData(i))) groups.push_back(g);
    // The tree's nodes point at these groups too: both views go before the groups do.
    EmptyView(tvComponents);
    {
      FlagScope clearing(Clearing);
      UpdateScope<ListView> update(lvGroups);
      for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        int i = lvGroups.IndexOfData(*it);
        if (i >= 0) lvGroups.Delete(i);
        DeleteGroupObject(*WorkingCopy, *it);
      }
    }
    CurrentComponent = nullptr;
    CurrentComponentGroup = nullptr;
    FillComponents();
    FillAvailableGroups();
  } else if (tvComponents.Focused() && tvComponents.Count() > 0 && n && tvComponents.Level(n) == 0) {
    auto* c = static_cast<TTandrelComponent*>(tvComponents.NodeData(n));
    if (!c || !Confirm(texts::RemoveComponent(c->Name()))) return;
    {
      FlagScope clearing(Clearing);
      UpdateScope<TreeView> update(tvComponents);
      tvComponents.Delete(n);
      if (CurrentComponent == c) CurrentComponent = nullptr;
      DeleteComponentObject(*WorkingCopy, c);
    }
    CurrentComponent = nullptr;
    CurrentComponentGroup = nullptr;
    if (TreeNode now = tvComponents.Selected()) tvComponentsChange(now);
  } else if (tvComponents.Focused() && tvComponents.Count() > 0 && n) {
    RemoveGroupEntry(n);
  }
}

bool TfrmGroup::tvComponentsDragOver(HWND source, POINT p) {
  if (source != lvGroups.Handle() || lvGroups.SelCount() == 0) return false;
  TreeNode n = tvComponents.NodeAt(p);
  return n && tvComponents.Level(n) == 0;
}

void TfrmGroup::tvComponentsDragDrop(HWND source, POINT p) {
  TreeNode n = tvComponents.NodeAt(p);
  if (source != lvGroups.Handle() || !n || tvComponents.Level(n) != 0) return;
  auto* target = static_cast<TTandrelComponent*>(tvComponents.NodeData(n));
  if (!target) return;
  for (int i : lvGroups.SelectedIndices())
    if (auto* g = static_cast<TTandrelFileGroup*>(lvGroups.ItemData(i))) target->AddGroup(*g);
  UpdateComponentNode(target, true);
  tvComponentsChange(tvComponents.Selected());
}

bool TfrmGroup::lvGroupsDragOver(HWND source, POINT) {
  if (source != tvComponents.Handle()) return false;
  TreeNode n = tvComponents.Selected();
  return n && tvComponents.Level(n) == 1;
}

void TfrmGroup::lvGroupsDragDrop(HWND source, POINT p) {
  if (!lvGroupsDragOver(source, p)) return;
  RemoveGroupEntry(tvComponents.Selected());
}

// ---------------------------------------------------------------------------------------
// "Installation Types" page

void TfrmGroup::FillInstallTypes() {
  EmptyView(tvInstallTypes);
  UpdateScope<TreeView> update(tvInstallTypes);
  FlagScope filling(Filling);
  for (TTandrelInstallType* t : WorkingCopy->InstallTypes) AddInstallTypeNode(t, false);
}

void TfrmGroup::AddInstallTypeNode(TTandrelInstallType* type, bool select) {
  if (!type->Owner) type->Owner = WorkingCopy.get();
  TreeNode n = tvInstallTypes.Add(nullptr, type->Name, type, imgInstallType);
  for (int i = 0; i < static_cast<int>(type->Components.size()); ++i)
    if (TTandrelComponent* c = type->GetComponent(i)) tvInstallTypes.Add(n, c->Name(), c, imgComponent);
  if (select) {
    tvInstallTypes.Select(n);
    CurrentInstallType = type;
    CurrentTypeComponent = nullptr;
  }
}

void TfrmGroup::UpdateInstallTypeNode(TTandrelInstallType* type, bool rebuild) {
  for (TreeNode n : tvInstallTypes.Children(nullptr)) {
    if (tvInstallTypes.NodeData(n) != type) continue;
    tvInstallTypes.SetNodeText(n, type->Name);
    if (!rebuild) continue;
    std::vector<std::pair<std::string, void*>> children;
    for (int i = 0; i < static_cast<int>(type->Components.size()); ++i)
      if (TTandrelComponent* c = type->GetComponent(i)) children.emplace_back(c->Name(), c);
    RefillNodeChildren(tvInstallTypes, n, children, imgComponent);
  }
}

void TfrmGroup::FillAvailableComponents() {
  EmptyView(lvComponents);
  UpdateScope<ListView> update(lvComponents);
  FlagScope filling(Filling);
  for (TTandrelComponent* c : WorkingCopy->Components) AddAvailableComponentItem(c, false);
}

void TfrmGroup::AddAvailableComponentItem(TTandrelComponent* component, bool select) {
  int i = lvComponents.AddItem(component->Name(), component, imgComponent);
  lvComponents.SetSubItem(i, 1, component->Description);
  if (select) {
    lvComponents.Select(i);
    CurrentTypeComponent = component;
    CurrentInstallType = nullptr;
  }
}

void TfrmGroup::UpdateComponentItems(TTandrelComponent* component) {
  for (TreeNode n : tvInstallTypes.AllNodes())
    if (tvInstallTypes.NodeData(n) == component) tvInstallTypes.SetNodeText(n, component->Name());
  for (int i = 0; i < lvComponents.Count(); ++i)
    if (lvComponents.ItemData(i) == component) {
      lvComponents.SetCaption(i, component->Name());
      lvComponents.SetSubItem(i, 1, component->Description);
    }
}

void TfrmGroup::tvInstallTypesChange(TreeNode node) {
  if (ChangesIgnored() || !node || node != tvInstallTypes.Selected()) return;
  void* data = tvInstallTypes.NodeData(node);
  if (!data) return;
  if (tvInstallTypes.Level(node) == 0) {
    CurrentInstallType = static_cast<TTandrelInstallType*>(data);
    CurrentTypeComponent = nullptr;
  } else {
    CurrentTypeComponent = static_cast<TTandrelComponent*>(data);
    CurrentInstallType = nullptr;
  }
}

void TfrmGroup::lvComponentsChange(int item) {
  if (ChangesIgnored() || item < 0 || !lvComponents.IsSelected(item)) return;
  if (auto* c = static_cast<TTandrelComponent*>(lvComponents.ItemData(item))) {
    CurrentTypeComponent = c;
    CurrentInstallType = nullptr;
  }
}

bool TfrmGroup::tvInstallTypesEditing(TreeNode node) { return node && tvInstallTypes.Level(node) == 1; }

void TfrmGroup::tvInstallTypesEdited(TreeNode node, std::string& text) {
  if (tvInstallTypes.Level(node) != 1) return;
  if (auto* c = static_cast<TTandrelComponent*>(tvInstallTypes.NodeData(node))) {
    c->SetName(text);
    UpdateComponentItems(c);
  }
}

void TfrmGroup::lvComponentsEdited(int item, std::string& text) {
  if (auto* c = static_cast<TTandrelComponent*>(lvComponents.ItemData(item))) {
    c->SetName(text);
    UpdateComponentItems(c);
  }
}

void TfrmGroup::actInstallTypeNewComponentExecute() {
  if (!NewComponent(*WorkingCopy)) return;
  AddAvailableComponentItem(WorkingCopy->Components[WorkingCopy->Components.Count() - 1], true);
}

void TfrmGroup::actInstallTypePropertiesExecute() {
  if (Editing) return;
  TreeNode n = tvInstallTypes.Selected();
  if (tvInstallTypes.Focused() && tvInstallTypes.Count() > 0 && n && tvInstallTypes.Level(n) == 1) {
    auto* c = static_cast<TTandrelComponent*>(tvInstallTypes.NodeData(n));
    if (c && EditComponent(*WorkingCopy, c->Index())) UpdateComponentItems(c);
  } else if (lvComponents.Focused() && lvComponents.SelCount() == 1) {
    auto* c = static_cast<TTandrelComponent*>(lvComponents.ItemData(lvComponents.Selected()));
    if (c && EditComponent(*WorkingCopy, c->Index())) UpdateComponentItems(c);
  }
}

void TfrmGroup::RemoveTypeEntry(TreeNode componentNode) {
  TreeNode parent = tvInstallTypes.Parent(componentNode);
  auto* t = static_cast<TTandrelInstallType*>(tvInstallTypes.NodeData(parent));
  auto* c = static_cast<TTandrelComponent*>(tvInstallTypes.NodeData(componentNode));
  if (!t || !c) return;
  EraseFirstName(t->Components, c->Name());
  UpdateInstallTypeNode(t, true);
  CurrentTypeComponent = nullptr;
  tvInstallTypesChange(tvInstallTypes.Selected());
}

void TfrmGroup::actInstallTypeDeleteExecute() {
  if (Editing) return;
  TreeNode n = tvInstallTypes.Selected();
  if (lvComponents.Focused() && lvComponents.Count() > 0 && lvComponents.SelCount() > 0) {
    if (!Confirm(texts::kRemoveSelectedComponents)) return;
    std::vector<TTandrelComponent*> components;
    for (int i : lvComponents.SelectedIndices())
      if (auto* c = static_cast<TTandrelComponent*>(lvComponents.ItemData(i))) components.push_back(c);
    EmptyView(tvInstallTypes);
    {
      FlagScope clearing(Clearing);
      UpdateScope<ListView> update(lvComponents);
      for (auto it = components.rbegin(); it != components.rend(); ++it) {
        int i = lvComponents.IndexOfData(*it);
        if (i >= 0) lvComponents.Delete(i);
        DeleteComponentObject(*WorkingCopy, *it);
      }
    }
    CurrentInstallType = nullptr;
    CurrentTypeComponent = nullptr;
    FillInstallTypes();
    FillAvailableComponents();
  } else if (tvInstallTypes.Focused() && tvInstallTypes.Count() > 0 && n && tvInstallTypes.Level(n) == 1) {
    RemoveTypeEntry(n);
  }
}

bool TfrmGroup::tvInstallTypesDragOver(HWND source, POINT p) {
  if (source != lvComponents.Handle() || lvComponents.SelCount() == 0) return false;
  TreeNode n = tvInstallTypes.NodeAt(p);
  return n && tvInstallTypes.Level(n) == 0;
}

void TfrmGroup::tvInstallTypesDragDrop(HWND source, POINT p) {
  TreeNode n = tvInstallTypes.NodeAt(p);
  if (source != lvComponents.Handle() || !n || tvInstallTypes.Level(n) != 0) return;
  auto* target = static_cast<TTandrelInstallType*>(tvInstallTypes.NodeData(n));
  if (!target) return;
  for (int i : lvComponents.SelectedIndices())
    if (auto* c = static_cast<TTandrelComponent*>(lvComponents.ItemData(i))) target->AddComponent(*c);
  UpdateInstallTypeNode(target, true);
  tvInstallTypesChange(tvInstallTypes.Selected());
}

bool TfrmGroup::lvComponentsDragOver(HWND source, POINT) {
  if (source != tvInstallTypes.Handle()) return false;
  TreeNode n = tvInstallTypes.Selected();
  return n && tvInstallTypes.Level(n) == 1;
}

void TfrmGroup::lvComponentsDragDrop(HWND source, POINT p) {
  if (!lvComponentsDragOver(source, p)) return;
  RemoveTypeEntry(tvInstallTypes.Selected());
}
