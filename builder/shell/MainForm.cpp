#include "builder/shell/MainForm.h"

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "builder/shell/AboutForm.h"
#include "builder/shell/BuildForm.h"
#include "builder/shell/MainRules.h"
#include "setup/compress/InstCompressIntf.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr const char* kFormName = "frmMain";
constexpr const char* kMruSetting = "Tandrel-Install MRU";
constexpr int kHelpContents = 1;
constexpr int kHelpContact = 5;
constexpr int kClientWidth = 620, kClientHeight = 470;

// Section pictures: the caption on a raised tile, drawn once per window.
std::unique_ptr<Picture> SectionTile(const std::string& caption, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT r{0, 0, width, height};
  FillSolid(dc, r, RGB(255, 255, 255));
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  std::string text;
  for (char c : caption)
    if (c != '&') text += c;
  if (text.size() > 3 && text.compare(text.size() - 3, 3, "...") == 0) text.resize(text.size() - 3);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 128));
  // A caption too long for one line takes two, and a smaller font where even two are
  // too narrow: the whole text shows.
  const RECT inner{4, 4, width - 4, height - 4};
  constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
  Font font;
  font.Name = "Arial";
  font.Style = fsBoldBit;
  for (int size = 9;; --size) {
    font.Size = size;
    HFONT f = CreateGdiFont(font);
    HGDIOBJ oldFont = SelectObject(dc, f);
    RECT need = inner;
    DrawTextA(dc, text.c_str(), -1, &need, kFormat | DT_CALCRECT);
    const bool fits = need.right <= inner.right && need.bottom <= inner.bottom;
    if (fits || size <= 6) {
      RECT at = inner;
      at.top += (inner.bottom - need.bottom) / 2;
      DrawTextA(dc, text.c_str(), -1, &at, kFormat);
      SelectObject(dc, oldFont);
      DeleteObject(f);
      break;
    }
    SelectObject(dc, oldFont);
    DeleteObject(f);
  }
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return std::make_unique<Picture>(bitmap, width, height);
}

}  // namespace

TfrmMain::TfrmMain()
    : Form(IDD_frmMain),
      actNew(ActionList1.Add(texts::kNew, texts::kHintNew, Ctrl('N'), [this](Action&) { actNewExecute(); })),
      actOpen(ActionList1.Add(texts::kActOpen, texts::kHintOpen, Ctrl('O'), [this](Action&) { actOpenExecute(); })),
      actSave(ActionList1.Add(texts::kActSave, texts::kHintSave, Ctrl('S'), [this](Action&) { actSaveExecute(); })),
      actBuild(ActionList1.Add(texts::kActBuild, texts::kHintBuild, ShortCut{VK_F2, 0},
                               [this](Action&) { actBuildExecute(); })),
      File1(MainMenu1.Add(texts::kMenuFile)),
      New1(File1.Add("")),
      Open1(File1.Add("")),
      Save1(File1.Add("")),
      SaveAs1(File1.Add(texts::kMenuSaveAs, {}, texts::kHintSaveAs)),
      Reopen1((File1.AddSeparator(), File1.Add(texts::kMenuReopen, {}, texts::kHintReopen))),
      mnuNone(Reopen1.Add(texts::kMenuNone)),
      Exit1((File1.AddSeparator(), File1.Add(texts::kMenuExit, {}, texts::kHintExit))),
      Action1(MainMenu1.Add(texts::kMenuAction)),
      Help1(MainMenu1.Add(texts::kMenuHelp)),
      Contents1(Help1.Add(texts::kMenuContents, {}, texts::kHintContents)),
      Contactingus1(Help1.Add(texts::kMenuContacting, {}, texts::kHintContacting)),
      About1((Help1.AddSeparator(), Help1.Add(texts::kMenuAbout, {}, texts::kHintAbout))) {
  New1.SetAction(&actNew);
  Open1.SetAction(&actOpen);
  Save1.SetAction(&actSave);
  for (const TSection& s : kSections) {
    MenuItem& item = Action1.Add(s.Caption, Ctrl(s.ShortCutKey), s.Hint);
    item.Tag = s.Tag;
    item.OnClick = [this](MenuItem& sender) { DoAction(sender.Tag); };
    SectionItems[static_cast<size_t>(s.Tag)] = &item;
  }
  Action1.AddSeparator();
  Build1 = &Action1.Add("");
  Build1->SetAction(&actBuild);
  SaveAs1.OnClick = [this](MenuItem&) { SaveAs1Click(); };
  Reopen1.OnPopup = [this](MenuItem&) { Reopen1Click(); };
  Exit1.OnClick = [this](MenuItem&) { Exit1Click(); };
  Contents1.OnClick = [this](MenuItem&) { Contents1Click(); };
  Contactingus1.OnClick = [this](MenuItem&) { Contactingus1Click(); };
  About1.OnClick = [this](MenuItem&) { About1Click(); };
  Create();
}

TfrmMain::~TfrmMain() {
  App().SetOnHint(nullptr);
  Project.reset();
  WriteBuilderSetting(kMruSetting, RecentFilesToText(RecentFiles));
}

void TfrmMain::FormCreate() {
  NewProject();
  RecentFiles = RecentFilesFromText(ReadBuilderSetting(kMruSetting, ""));
  for (size_t i = RecentFiles.size(); i-- > 0;)
    if (!base::FileExists(RecentFiles[i])) RecentFiles.erase(RecentFiles.begin() + static_cast<ptrdiff_t>(i));
  App().SetOnHint([this](const std::string& hint) { ShowHint(hint); });

  MainMenu1.Attach(*this);
  ToolBar1.UseStandardImages();
  ToolBar1.AddButton(IDC_MAIN_btnNew, STD_FILENEW, actNew);
  ToolBar1.AddButton(IDC_MAIN_btnOpen, STD_FILEOPEN, actOpen);
  ToolBar1.AddButton(IDC_MAIN_btnSave, STD_FILESAVE, actSave);
  ToolBar1.AddSeparator();
  ToolBar1.AddButton(IDC_MAIN_btnBuild, STD_PRINTPRE, actBuild);
  StatusBar1.SetPanels({400, 200});
  pcMain.AddPage(texts::kPageBuilder, IDD_frmMain_tsMain);
  pcMain.AddPage(texts::kPageMoreInformation, IDD_frmMain_tsInfo);
  pcMain.OnChange = [this] { pcMainChange(); };

  for (int tag = 0; tag < kSectionCount; ++tag) {
    OnClick(IDC_MAIN_Image2 + tag, [this, tag] { DoAction(tag); });
    OnClick(IDC_MAIN_sp0 + tag, [this, tag] { DoAction(tag); });
    OnCommand(IDC_MAIN_Image2 + tag, CN_MOUSEMOVE, [this, tag] { SectionMouseMove(tag); });
    OnCommand(IDC_MAIN_sp0 + tag, CN_MOUSEMOVE, [this, tag] { SectionMouseMove(tag); });
  }
  OnCommand(IDC_MAIN_Image1, CN_MOUSEMOVE, [this] { Image1MouseMove(); });
  OnCommand(IDC_MAIN_imgMain, CN_MOUSEMOVE, [this] { Image1MouseMove(); });
  PlaceSections();
  LoadPictures();
  UpdateTicks();
  SetFileNamePanel();
}

void TfrmMain::PlaceSections() {
  // Two rows over the page's background picture: four sections, then three.
  RECT page;
  GetClientRect(pcMain.Page(0), &page);
  const int tileW = 118, tileH = 52, gap = 26;
  const int left = (page.right - (4 * tileW + 3 * gap)) / 2;
  for (int tag = 0; tag < kSectionCount; ++tag) {
    int row = tag < 4 ? 0 : 1, col = tag < 4 ? tag : tag - 4;
    int x = left + col * (tileW + gap) + (row ? (tileW + gap) / 2 : 0);
    int y = 70 + row * (tileH + 60);
    SectionImage(tag).SetBounds(x, y, tileW, tileH);
    SectionImage(tag).SetPicture(SectionTile(kSections[tag].Caption, tileW, tileH));
    Frame(tag).SetBounds(x - 5, y - 5, tileW + 10, tileH + 10);
    Frame(tag).SetPen(clBlue, 2);
    Tick(tag).SetBounds(x + tileW - 18, y - 22, 36, 33);
    Frame(tag).Hide();
    Tick(tag).Hide();
  }
  imgMain.SetBounds(0, 0, page.right, page.bottom);
  imgMain.SetStretch(true);
  Image1.SetBounds((page.right - 480) / 2, 20, 480, 248);
}

void TfrmMain::LoadPictures() {
  const std::string exe = App().ExeName();
  // A program built without its pictures still runs, with plain pages.
  try {
    if (auto second = ExpandCompressedResource("SECOND", exe)) Image1.LoadFromBytes(second->Bytes());
    if (auto first = ExpandCompressedResource("FIRST", exe)) imgMain.LoadFromBytes(first->Bytes());
    if (auto tick = ExpandCompressedResource("TICK", exe)) {
      for (int tag = 0; tag < kSectionCount; ++tag) {
        tick->SetPosition(0);
        Tick(tag).LoadFromBytes(tick->Bytes());
        Tick(tag).SetTransparent(true);
      }
    }
  } catch (const std::exception&) {
  }
}

void TfrmMain::FormShow() {
  RestoreFormPosition(Handle(), kFormName);
  pcMain.SetActivePage(0);
  pcMainChange();
  // Client area 620 x 470, whatever the frame, menu bar and position.
  RECT want{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), TRUE,
                     static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
  SetWindowPos(Handle(), nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  StatusBar1.Realign();
  // The tool bar above, the status bar below, the pages in between.
  RECT client = ClientRect();
  int top = ToolBar1.Height() + 2, bottom = client.bottom - StatusBar1.Height() - 2;
  pcMain.SetBounds(2, top, client.right - 4, bottom - top);
  RECT area = pcMain.ClientRect();
  pcMain.Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i < pcMain.PageCount(); ++i)
    SetWindowPos(pcMain.Page(i), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  imgMain.SetBounds(0, 0, area.right - area.left, area.bottom - area.top);
  Highlight.fill(false);
  UpdateHighlights();
}

bool TfrmMain::FormCloseQuery() { return QuerySave(); }

void TfrmMain::FormClose() { SaveFormPosition(Handle(), kFormName); }

void TfrmMain::pcMainChange() {
  // The backdrop lies behind both pages.
  HWND page = pcMain.Page(pcMain.ActivePage());
  HWND img = imgMain.Handle();
  if (!page || !img) return;
  if (GetParent(img) != page) SetParent(img, page);
  SetWindowPos(img, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  InvalidateRect(page, nullptr, TRUE);
}

void TfrmMain::ShowHint(const std::string& Hint) { StatusBar1.SetPanelText(0, Hint); }

std::string TfrmMain::FileNamePanel() const { return base::ExtractFileName(FileName); }

void TfrmMain::SetFileNamePanel() { StatusBar1.SetPanelText(1, FileNamePanel()); }

void TfrmMain::SectionMouseMove(int Tag) {
  Highlight.fill(false);
  if (Tag >= 0 && Tag < kSectionCount) Highlight[static_cast<size_t>(Tag)] = true;
  UpdateHighlights();
}

void TfrmMain::Image1MouseMove() {
  Highlight.fill(false);
  UpdateHighlights();
}

void TfrmMain::UpdateHighlights() {
  for (int tag = 0; tag < kSectionCount; ++tag) {
    bool on = Highlight[static_cast<size_t>(tag)];
    if (Frame(tag).Visible() == on) continue;
    Frame(tag).SetVisible(on);
    // The tick above the frame shows it through its transparent part.
    InvalidateRect(Tick(tag).Handle(), nullptr, FALSE);
  }
}

void TfrmMain::UpdateTicks() {
  for (int tag = 0; tag < kSectionCount; ++tag) Tick(tag).SetVisible(Project.get()->*kSections[tag].Completed);
}

void TfrmMain::DoAction(int Tag) {
  if (TSectionEditor editor = EditorOfSection(Tag)) editor(*Project);
  UpdateTicks();
}

void TfrmMain::NewProject() {
  Project = std::make_unique<TTandrelBaseInstall>();
  FileName.clear();
  FileNameChosen = false;
}

bool TfrmMain::PickSaveName() {
  FileDialogOptions options;
  options.Filter = texts::kProjectFilter;
  options.DefaultExt = "zem";
  options.OverwritePrompt = true;
  std::string name = FileName;
  if (!SaveFileDialog(options, name)) return false;
  FileName = name;
  FileNameChosen = true;
  return true;
}

bool TfrmMain::SaveProject() {
  if (!FileNameChosen && base::FileExists(FileName)) {
    // Nobody chose this name: replace the file only when asked to, else pick another.
    const int answer = MessageDlg(texts::ReplaceExistingFile(FileName), MsgDlgType::Warning, mbYesNo);
    if (answer != mrYes) {
      const bool picked = PickSaveName();
      SetFileNamePanel();
      if (!picked) return false;
    }
  }
  if (Project->SaveToFile(FileName)) {
    FileNameChosen = true;
    return true;
  }
  MessageDlg(texts::CannotSaveFile(FileName), MsgDlgType::Error, mbOK);
  return false;
}

bool TfrmMain::QuerySave() {
  if (!Project->Modified) return true;
  int answer = MessageDlg(texts::kSaveChangesFirst, MsgDlgType::Confirmation,
                          mbYesNoCancel);
  TSaveAnswer a = answer == mrYes ? TSaveAnswer::Yes : answer == mrNo ? TSaveAnswer::No : TSaveAnswer::Cancel;
  switch (DecideQuerySave(Project->Modified, a, FileName)) {
    case TSaveStep::GoOn: return true;
    case TSaveStep::Stop: return false;
    case TSaveStep::Save: return SaveProject();
    case TSaveStep::SaveAsDialog: {
      if (!PickSaveName()) return false;
      bool saved = SaveProject();
      SetFileNamePanel();
      return saved;
    }
  }
  return false;
}

void TfrmMain::actNewExecute() {
  if (QuerySave()) NewProject();
  UpdateTicks();
  SetFileNamePanel();
}

void TfrmMain::actOpenExecute() {
  if (QuerySave()) {
    FileDialogOptions options;
    options.Filter = texts::kOpenProjectFilter;
    options.DefaultExt = "zem";
    std::string name = FileName;
    if (OpenFileDialog(options, name)) {
      Update();
      OpenFile(name);
    }
  }
  UpdateTicks();
  SetFileNamePanel();
}

void TfrmMain::OpenFile(const std::string& Name) {
  NewProject();
  if (base::SameText(base::ExtractFileExt(Name), ".iwz")) {
    bool imported = false;
    try {
      imported = Project->ImportIwz(Name);
    } catch (const std::exception&) {
      // A file that breaks off half-way leaves no half-imported project behind.
    }
    if (imported) {
      FileName = base::ChangeFileExt(Name, ".zem");
      FileNameChosen = false;
    } else {
      // A vanished file (from the recent list) must not open as an empty project.
      MessageDlg(texts::kInvalidFileFormat, MsgDlgType::Error, mbOK);
      NewProject();
    }
  } else {
    FileName = Name;
    FileNameChosen = true;
    if (!Project->LoadFromFile(Name)) {
      MessageDlg(texts::kInvalidFileFormat, MsgDlgType::Error, mbOK);
      NewProject();
    }
  }
  AddRecentFile(RecentFiles, Name);
  Project->FixupOwners();
  for (auto* group : Project->Groups) group->RefreshFiles();
  UpdateTicks();
  SetFileNamePanel();
}

void TfrmMain::actSaveExecute() {
  if (!FileName.empty())
    SaveProject();
  else
    SaveAs1Click();
  SetFileNamePanel();
}

void TfrmMain::SaveAs1Click() {
  if (PickSaveName() && SaveProject()) AddRecentFile(RecentFiles, FileName);
  SetFileNamePanel();
}

void TfrmMain::Reopen1Click() {
  while (Reopen1.Count() > 1) Reopen1.Delete(Reopen1.Count() - 1);
  auto entries = ReopenEntries(RecentFiles, FileName);
  mnuNone.SetVisible(entries.empty());
  for (const TReopenEntry& e : entries) {
    MenuItem& item = Reopen1.Add(e.Caption, {}, texts::kHintReopenFile + RecentFiles[static_cast<size_t>(e.Tag)]);
    item.Tag = e.Tag;
    item.OnClick = [this](MenuItem& sender) { ReopenItemClick(sender); };
  }
}

void TfrmMain::ReopenItemClick(MenuItem& Sender) {
  // The entry itself, not the caption: a caption doubles every "&" of the path.
  if (Sender.Tag < 0 || Sender.Tag >= static_cast<int>(RecentFiles.size())) return;
  const std::string name = RecentFiles[static_cast<size_t>(Sender.Tag)];
  // Like Open: a changed project is saved first, or kept when the author cancels.
  if (!QuerySave()) return;
  OpenFile(name);
}

void TfrmMain::actBuildExecute() {
  if (QuerySave()) ExecuteBuilder(*Project, FileName);
}

void TfrmMain::Contents1Click() { App().HelpContext(kHelpContents); }

void TfrmMain::Contactingus1Click() { App().HelpContext(kHelpContact); }

void TfrmMain::About1Click() { ShowAboutBox(); }

int RunBuilder() {
  Application& app = App();
  app.Initialize();
  app.SetTitle(texts::kAppTitle);
  app.SetHelpFile(texts::kHelpFile);
  BuilderRegistryKey();  // taken from the version block before any form exists
  Form::Guard([&] {
    TfrmMain main;
    app.Run(main);
  });
  return 0;
}
