// The window layer under Wine: modal runs and their results, dialog keys, the title bar's
// close box, posted messages, notebook pages, list view check boxes, pictures, message
// dialogs through the seam, and exceptions that must not leave a handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

#include "base/win/Application.h"
#include "base/win/Controls.h"
#include "base/win/Dialogs.h"
#include "base/win/Form.h"
#include "base/win/PageControl.h"
#include "base/win/TestSeams.h"
#include "tests/base/fixtures/layer_forms.rh"
#include "tests/harness/Bitmaps.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/PictureFiles.h"
#include "tests/harness/WinTestSupport.h"
#include "tests/harness/WindowPixels.h"

using namespace base::win;

namespace {

class ProbeForm : public Form {
public:
  ProbeForm() : Form(IDD_PROBE) { Create(); }

  Edit edtName{*this, IDC_edtName};
  CheckBox cbOption{*this, IDC_cbOption};
  Label lblTitle{*this, IDC_lblTitle};
  ListView lvItems{*this, IDC_lvItems};
  Notebook nbMain{*this, IDC_nbMain};
  Image imgPicture{*this, IDC_imgPicture};
  ProgressBar pbOverall{*this, IDC_pbOverall};
  RichEdit reText{*this, IDC_reText};
  Button btnOk{*this, IDC_btnOk};
  Button btnCancel{*this, IDC_btnCancel};

  bool created = false, shown = false, allowClose = true;
  int pageClicks = 0, checkChanges = 0, appMessages = 0;

protected:
  void FormCreate() override {
    created = true;
    ModalButton(IDC_btnOk, mrOk);
    ModalButton(IDC_btnCancel, mrCancel);
    SetDefaultButton(IDC_btnOk);
    SetCancelButton(IDC_btnCancel);
    nbMain.AddPages({IDD_PROBE_PAGE1, IDD_PROBE_PAGE2});
    nbMain.SetPageIndex(0);
    OnClick(IDC_btnPage, [this] { ++pageClicks; });
    lvItems.SetCheckBoxes();
    lvItems.AddColumn("Name", 80);
    lvItems.AddColumn("Size", 40, true);
    OnNotify(IDC_lvItems, LVN_ITEMCHANGED, [this](NMHDR* h) -> LRESULT {
      if (ListView::CheckChanged(h)) ++checkChanges;
      return 0;
    });
    OnMessage(WM_APP + 1, [this](WPARAM w, LPARAM) -> LRESULT {
      appMessages += static_cast<int>(w);
      return 0;
    });
  }
  void FormShow() override { shown = true; }
  bool FormCloseQuery() override { return allowClose; }
};

class InnerForm : public Form {
public:
  InnerForm() : Form(IDD_INNER) { Create(); }

protected:
  void FormCreate() override { ModalButton(IDC_btnInner, 4); }
};

class PictureForm : public Form {
public:
  PictureForm() : Form(IDD_PICTURES) { Create(); }
  Image imgTop{*this, IDC_imgTop};
  Image imgUnder{*this, IDC_imgUnder};
  Image imgAlone{*this, IDC_imgAlone};
  PageControl pcPages{*this, IDC_pcPages};

protected:
  void FormCreate() override {
    pcPages.AddPage("Page", IDD_PICTURES_PAGE);
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    char caption[] = "Bare";
    tab.pszText = caption;
    SendMessageA(Item(IDC_tabBare), TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
  }
};

constexpr COLORREF kKey = RGB(255, 0, 255), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 255);

// 8 x 8 of the key colour (its bottom-left pixel) with a green square of 4 x 4 in the middle.
std::vector<uint8_t> KeyedPicture() {
  const std::string b = wintest::MakeBitmap(8, 8, [](int x, int y) {
    const bool inner = x >= 2 && x < 6 && y >= 2 && y < 6;
    return inner ? std::string("\x00\xA0\x00", 3) : std::string("\xFF\x00\xFF", 3);
  });
  return std::vector<uint8_t>(b.begin(), b.end());
}

std::vector<uint8_t> BluePicture() {
  const std::string b = wintest::MakeBitmap(4, 4, [](int, int) { return std::string("\xFF\x00\x00", 3); });
  return std::vector<uint8_t>(b.begin(), b.end());
}

class WindowLayer : public ::testing::Test {
protected:
  void SetUp() override { seams::Reset(); }
  void TearDown() override { seams::Reset(); }
  seams::Watchdog dog{30, "window layer test"};
};

TEST_F(WindowLayer, ModalResultOfAButtonEndsTheRunAndOtherWindowsAreDisabledMeanwhile) {
  ProbeForm outer;
  EXPECT_TRUE(outer.created);
  EXPECT_FALSE(outer.shown);  // OnShow waits for the modal run
  bool innerSawOuterDisabled = false;
  seams::WhenShown<ProbeForm>([&](ProbeForm& f) {
    EXPECT_TRUE(f.shown);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    InnerForm inner;
    seams::WhenShown<InnerForm>([&](InnerForm& in) {
      innerSawOuterDisabled = !IsWindowEnabled(f.Handle());
      wintest::Click(in.Item(IDC_btnInner));
    });
    EXPECT_EQ(inner.ShowModal(), 4);  // a form's own result value
    EXPECT_TRUE(IsWindowEnabled(f.Handle()));
    f.btnOk.Click();
  });
  EXPECT_EQ(outer.ShowModal(), mrOk);
  EXPECT_TRUE(innerSawOuterDisabled);
  EXPECT_FALSE(IsWindowVisible(outer.Handle()));
  EXPECT_EQ(seams::PendingScripts(), 0);
}

TEST_F(WindowLayer, DialogKeysAndTheCloseBox) {
  struct Case {
    const char* what;
    std::function<void(ProbeForm&)> act;
    int expected;
  } cases[] = {
      {"Esc clicks the cancel button", [](ProbeForm& f) { f.edtName.Focus(); wintest::PostKey(VK_ESCAPE); }, mrCancel},
      {"Enter clicks the default button", [](ProbeForm& f) { f.edtName.Focus(); wintest::PostKey(VK_RETURN); }, mrOk},
      {"the close box ends with mrCancel", [](ProbeForm& f) { wintest::CloseByTitleBar(f.Handle()); }, mrCancel},
      {"Esc with the cancel button disabled does nothing",
       [](ProbeForm& f) {
         f.btnCancel.Enable(false);
         f.edtName.Focus();
         wintest::PostKey(VK_ESCAPE);
         wintest::Pump(100);
         EXPECT_EQ(f.ModalResult(), mrNone);
         f.SetModalResult(mrAbort);
       },
       mrAbort},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProbeForm form;
    seams::WhenShown<ProbeForm>([&](ProbeForm& f) { c.act(f); });
    EXPECT_EQ(form.ShowModal(), c.expected);
  }
}

TEST_F(WindowLayer, CloseQueryCanRefuseAndPostedMessagesReachTheirHandler) {
  ProbeForm form;
  form.allowClose = false;
  seams::WhenShown<ProbeForm>([](ProbeForm& f) {
    f.Post(WM_APP + 1, 2);
    f.Post(WM_APP + 1, 3);
    wintest::CloseByTitleBar(f.Handle());
    wintest::Pump(100);
    EXPECT_EQ(f.appMessages, 5);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));  // the close was refused
    f.allowClose = true;
    f.btnCancel.Click();
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(WindowLayer, AnExceptionInAHandlerIsShownAndTheFormGoesOn) {
  ProbeForm form;
  form.OnClick(IDC_cbOption, [] { throw std::runtime_error("Disk is full"); });
  seams::QueueMessageAnswer(IDOK);
  seams::WhenShown<ProbeForm>([](ProbeForm& f) {
    f.cbOption.Click();
    f.btnOk.Click();
  });
  App().SetTitle("Probe app");
  EXPECT_EQ(form.ShowModal(), mrOk);
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(seams::Messages()[0].Text, "Disk is full.");
  EXPECT_EQ(seams::Messages()[0].Caption, "Probe app");
}

TEST_F(WindowLayer, NotebookPagesBelongToTheForm) {
  ProbeForm form;
  HWND pageButton = form.Item(IDC_btnPage);
  ASSERT_NE(pageButton, nullptr);
  ASSERT_NE(form.Item(IDC_lblPage2), nullptr);
  seams::WhenShown<ProbeForm>([&](ProbeForm& f) {
    EXPECT_TRUE(IsWindowVisible(pageButton));
    EXPECT_FALSE(IsWindowVisible(f.Item(IDC_lblPage2)));
    wintest::Click(pageButton);
    f.nbMain.SetPageIndex(1);
    EXPECT_EQ(f.nbMain.PageIndex(), 1);
    EXPECT_FALSE(IsWindowVisible(pageButton));
    EXPECT_TRUE(IsWindowVisible(f.Item(IDC_lblPage2)));
    f.nbMain.SetPageIndex(7);  // no such page: nothing changes
    EXPECT_EQ(f.nbMain.PageIndex(), 1);
    f.btnOk.Click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(form.pageClicks, 1);
}

TEST_F(WindowLayer, ListViewCheckBoxesByCodeAndBySpace) {
  ProbeForm form;
  int data1 = 1, data2 = 2;
  seams::WhenShown<ProbeForm>([&](ProbeForm& f) {
    ListView& lv = f.lvItems;
    lv.AddItem("first", &data1);
    int second = lv.AddItem("second", &data2);
    lv.SetSubItem(second, 1, "12 K");
    EXPECT_EQ(lv.Count(), 2);
    EXPECT_EQ(lv.ItemText(1, 1), "12 K");
    EXPECT_EQ(lv.ItemData(1), &data2);
    EXPECT_EQ(lv.IndexOfData(&data1), 0);
    EXPECT_FALSE(lv.Checked(0));
    int before = f.checkChanges;
    lv.SetChecked(0, true);
    EXPECT_TRUE(lv.Checked(0));
    EXPECT_EQ(f.checkChanges, before + 1);
    lv.Select(1);
    EXPECT_EQ(lv.Selected(), 1);
    lv.Focus();
    wintest::PostKey(VK_SPACE);
    wintest::Pump(100);
    EXPECT_TRUE(lv.Checked(1));
    EXPECT_EQ(f.checkChanges, before + 2);
    lv.BeginUpdate();
    lv.BeginUpdate();
    lv.EndUpdate();
    EXPECT_TRUE(lv.Updating());
    lv.EndUpdate();
    EXPECT_FALSE(lv.Updating());
    f.btnOk.Click();
  });
  form.ShowModal();
}

TEST_F(WindowLayer, ControlsKeepTheirValues) {
  ProbeForm form;
  seams::WhenShown<ProbeForm>([](ProbeForm& f) {
    wintest::Type(f.edtName.Handle(), "Ann & Co");
    EXPECT_EQ(f.edtName.Text(), "Ann & Co");
    f.pbOverall.SetRange(0, 3000000);
    f.pbOverall.SetPosition(1500000);
    EXPECT_EQ(f.pbOverall.Max(), 3000000);
    EXPECT_EQ(f.pbOverall.Position(), 1500000);
    f.reText.LoadText("{\\rtf1\\ansi Hello {\\b bold} world}");
    EXPECT_EQ(f.reText.PlainText().substr(0, 16), "Hello bold world");
    f.reText.LoadText("plain text");
    EXPECT_EQ(f.reText.PlainText().substr(0, 10), "plain text");
    Font font;
    font.Name = "Times New Roman";
    font.Size = 24;
    font.Style = fsBoldBit;
    f.lblTitle.SetFont(font);
    f.lblTitle.SetCaption("A much longer title ");
    f.lblTitle.AutoSize();
    EXPECT_GT(f.lblTitle.Width(), 150);
    EXPECT_GT(f.lblTitle.Height(), 20);
    f.lblTitle.SetTransparent(true);
    f.lblTitle.Hide();
    EXPECT_FALSE(f.lblTitle.Visible());
    f.btnOk.Click();
  });
  form.ShowModal();
}

// A 2x2 24-bit BMP, bottom-up: bottom row red, blue; top row green, white.
std::vector<uint8_t> TinyBmp() {
  std::vector<uint8_t> b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                            1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  uint8_t rows[] = {0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0};
  b.insert(b.end(), rows, rows + sizeof rows);
  return b;
}

TEST_F(WindowLayer, PicturesDecodeOrAreRefused) {
  auto bmp = DecodePicture(TinyBmp());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Width(), 2);
  EXPECT_EQ(bmp->Height(), 2);
  EXPECT_EQ(bmp->BottomLeftColor(), RGB(255, 0, 0));

  std::ifstream in(JPEG_FIXTURE, std::ios::binary);
  std::vector<uint8_t> jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(jpeg.size(), 100u);
  auto jp = DecodePicture(jpeg);
  ASSERT_TRUE(jp);
  EXPECT_GT(jp->Width(), 0);

  std::vector<uint8_t> tiny = TinyBmp();
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } bad[] = {
      {"empty", {}},
      {"neither BMP nor JPEG", {'G', 'I', 'F', '8'}},
      {"BMP header only", std::vector<uint8_t>(tiny.begin(), tiny.begin() + 54)},
      {"JPEG junk", {0xFF, 0xD8, 0xFF, 0x00, 0x12, 0x34}},
  };
  for (auto& c : bad) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(DecodePicture(c.bytes));
  }

  ProbeForm form;
  form.imgPicture.SetAutoSize(true);
  EXPECT_TRUE(form.imgPicture.Empty());
  EXPECT_TRUE(form.imgPicture.LoadFromBytes(TinyBmp()));
  EXPECT_EQ(form.imgPicture.Width(), 2);
  EXPECT_FALSE(form.imgPicture.LoadFromFile("C:\\no\\such\\picture.bmp"));
  EXPECT_EQ(form.imgPicture.PictureWidth(), 2);  // unchanged by the failed load
}

TEST_F(WindowLayer, TransparentPicturesShowWhatLiesBehindThem) {
  PictureForm f;
  ASSERT_TRUE(f.imgUnder.LoadFromBytes(BluePicture()));
  f.imgUnder.SetStretch(true);
  // Stretched over the lower picture's corner and the form, and one as it is on the form.
  ASSERT_TRUE(f.imgTop.LoadFromBytes(KeyedPicture()));
  f.imgTop.SetStretch(true);
  f.imgTop.SetTransparent(true);
  ASSERT_TRUE(f.imgAlone.LoadFromBytes(KeyedPicture()));
  f.imgAlone.SetTransparent(true);
  f.ShowModeless();
  std::string version = "default";
  wintest::InVersionChild(&version);
  const wintest::WindowPixels shot(f.Handle(), "transparent_pictures_" + version);
  const COLORREF face = shot.At(2, 2);
  EXPECT_NE(face, kKey);
  for (const Image* img : {&f.imgTop, &f.imgAlone}) {
    SCOPED_TRACE(GetDlgCtrlID(img->Handle()));
    EXPECT_EQ(shot.Count(img->Handle(), kKey), 0);
    EXPECT_GT(shot.Count(img->Handle(), kGreen), 0);
    EXPECT_EQ(shot.At(img->Handle(), 1, 1), face);
  }
  RECT top = f.imgTop.ClientRect();
  EXPECT_EQ(shot.At(f.imgTop.Handle(), top.right / 2, top.bottom / 2), kGreen);
  // Where the stretched picture lies over the lower one, that one shows through.
  EXPECT_EQ(shot.At(f.imgTop.Handle(), top.right - 2, top.bottom - 2), kBlue);
  // The picture that is not stretched keeps its size: 8 pixels, then the form.
  EXPECT_EQ(shot.At(f.imgAlone.Handle(), 3, 3), kGreen);
  EXPECT_EQ(shot.At(f.imgAlone.Handle(), 9, 4), face);
  f.Close();
}

TEST_F(WindowLayer, TransparentPicturesUnderEveryReportedVersion) {
  if (wintest::InVersionChild()) GTEST_SKIP() << "the version child runs the picture test itself";
  for (const char* v : {"win95", "win98", "nt40", "win2k"})
    EXPECT_EQ(wintest::RunUnderWindowsVersion(v, "WindowLayer.TransparentPicturesShowWhatLiesBehindThem"), 0) << v;
}

TEST_F(WindowLayer, ControlsOnAPageTakeThePagesBackground) {
  PictureForm f;
  f.ShowModeless();
  const wintest::WindowPixels shot(f.Handle(), "page_controls");
  // The tab's own ground, where nothing stands on it.
  HWND bare = f.Item(IDC_tabBare);
  RECT b;
  GetClientRect(bare, &b);
  const COLORREF ground = shot.At(bare, b.right - 10, b.bottom - 10);
  // Past their texts the controls show nothing of their own: the tab's ground, on a page
  // and over the tab alike.
  HWND page = f.pcPages.Page(0);
  RECT pr;
  GetClientRect(page, &pr);
  EXPECT_EQ(shot.At(page, pr.right - 3, pr.bottom - 3), ground);
  for (int id : {IDC_lblOnPage, IDC_cbOnPage, IDC_rbOnPage, IDC_lblOnTab, IDC_cbOnTab, IDC_rbOnTab}) {
    HWND c = f.Item(id);
    RECT r;
    GetClientRect(c, &r);
    EXPECT_EQ(shot.At(c, r.right - 2, r.bottom / 2), ground) << id;
    EXPECT_EQ(shot.At(c, r.right - 2, 1), ground) << id;
  }
  HWND group = GetDlgItem(page, IDC_gbOnPage);
  RECT g;
  GetClientRect(group, &g);
  EXPECT_EQ(shot.At(group, g.right / 2, g.bottom / 2), ground);
  EXPECT_EQ(shot.At(group, g.right - 4, 2), ground);
  // A notebook of further pages on the page: the same ground.
  HWND notebook = GetDlgItem(page, IDC_nbOnPage);
  RECT n;
  GetClientRect(notebook, &n);
  EXPECT_EQ(shot.At(notebook, n.right / 2, n.bottom / 2), ground);
  f.Close();
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmap);
  const COLORREF c = GetPixel(mem, x, y);
  SelectObject(mem, old);
  DeleteDC(mem);
  return c;
}

TEST_F(WindowLayer, IconsAndMetafilesDecodeWithTheirUnpaintedPartsMasked) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0);
  const struct Case {
    const char* what;
    std::string bytes;
    int size;
    COLORREF color;
  } cases[] = {
      {"icon", wintest::MakeIcon16(red), 16, red},
      {"enhanced metafile", wintest::MakeEnhMetafile(blue), 32, blue},
      {"placeable Windows metafile", wintest::MakePlaceableMetafile(green), 32, green},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto picture = DecodePicture(wintest::PictureBytes(c.bytes));
    ASSERT_TRUE(picture);
    EXPECT_NEAR(picture->Width(), c.size, 1);
    EXPECT_NEAR(picture->Height(), c.size, 1);
    ASSERT_TRUE(picture->Mask());
    const int left = c.size / 4, right = c.size * 3 / 4, mid = c.size / 2;
    EXPECT_EQ(PixelOf(picture->Bitmap(), left, mid), c.color);
    EXPECT_EQ(PixelOf(picture->Mask(), left, mid), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(picture->Bitmap(), right, mid), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(picture->Mask(), right, mid), RGB(255, 255, 255));

    // On screen the unpainted half shows what lies under the picture.
    ProbeForm form;
    form.imgPicture.SetAutoSize(true);
    ASSERT_TRUE(form.imgPicture.LoadFromBytes(wintest::PictureBytes(c.bytes)));
    seams::WhenShown<ProbeForm>([&](ProbeForm& f) {
      HDC dc = GetDC(f.imgPicture.Handle());
      FillSolid(dc, RECT{0, 0, c.size, c.size}, RGB(255, 255, 0));
      DrawPicture(dc, *picture, RECT{0, 0, c.size, c.size});
      EXPECT_EQ(GetPixel(dc, left, mid), c.color);
      EXPECT_EQ(GetPixel(dc, right, mid), RGB(255, 255, 0));
      ReleaseDC(f.imgPicture.Handle(), dc);
      f.imgPicture.Invalidate();
      UpdateWindow(f.imgPicture.Handle());
      dc = GetDC(f.imgPicture.Handle());
      EXPECT_EQ(GetPixel(dc, left, mid), c.color);
      EXPECT_NE(GetPixel(dc, right, mid), RGB(0, 0, 0));  // no black square where nothing was painted
      ReleaseDC(f.imgPicture.Handle(), dc);
      f.btnOk.Click();
    });
    form.ShowModal();
  }

  std::string icon = wintest::MakeIcon16(red);
  std::string farIcon = icon;
  farIcon[6 + 12] = '\x7F';  // the image would lie past the end
  std::string emf = wintest::MakeEnhMetafile(blue);
  std::string wmf = wintest::MakePlaceableMetafile(green);
  std::string noInch = wmf;
  noInch[14] = noInch[15] = '\0';
  const struct Bad {
    const char* what;
    std::string bytes;
  } bad[] = {
      {"icon directory only", icon.substr(0, 22)},
      {"icon image past the end", farIcon},
      {"icon with its image cut", icon.substr(0, 60)},
      {"metafile cut short", emf.substr(0, emf.size() - 4)},
      {"placeable header with no units an inch", noInch},
      {"placeable metafile cut short", wmf.substr(0, wmf.size() - 4)},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.what);
    EXPECT_FALSE(DecodePicture(wintest::PictureBytes(b.bytes)));
  }
}

TEST_F(WindowLayer, MessageDialogsThroughTheSeam) {
  seams::QueueMessageAnswer(mrNo);
  seams::QueueMessageAnswer(mrYes);
  EXPECT_EQ(MessageDlg("Quit?", MsgDlgType::Confirmation, mbYesNo), mrNo);
  EXPECT_EQ(MessageDlg("Broken", MsgDlgType::Error, mbOK), mrYes);
  EXPECT_EQ(MessageDlg("Unanswered", MsgDlgType::Warning, mbOKCancel), mrOk);  // first button
  ASSERT_EQ(seams::Messages().size(), 3u);
  EXPECT_EQ(seams::Messages()[0].Caption, "Confirm");
  EXPECT_EQ(seams::Messages()[1].Caption, "Error");
  EXPECT_EQ(seams::Messages()[2].Caption, "Warning");
  EXPECT_FALSE(seams::Messages()[2].Answered);
  Beep();
  Beep();
  EXPECT_EQ(seams::BeepCount(), 2);
  std::string folder = "C:\\Program Files\\Old";
  seams::QueueFolderAnswer(std::nullopt);
  EXPECT_FALSE(SelectFolder("Choose", folder));
  EXPECT_EQ(folder, "C:\\Program Files\\Old");
  seams::QueueFolderAnswer(std::string("D:\\New folder"));
  EXPECT_TRUE(SelectFolder("Choose", folder));
  EXPECT_EQ(folder, "D:\\New folder");
  EXPECT_EQ(seams::FolderRequests().size(), 2u);
  App().HelpContext(21);
  ASSERT_EQ(seams::HelpRequests().size(), 1u);
  EXPECT_EQ(seams::HelpRequests()[0], 21);
}

// The real folder dialog, driven from a timer inside its modal loop.
struct FolderDialogDrive {
  std::string prompt, field, typed;
  bool sawPrompt = false;
  std::string fieldAtOpen;
  bool done = false;
};
FolderDialogDrive* g_drive = nullptr;

BOOL CALLBACK FindFolderDialog(HWND h, LPARAM l) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (IsWindowVisible(h) && std::string(cls) == "#32770") {
    *reinterpret_cast<HWND*>(l) = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ReadFolderDialog(HWND child, LPARAM l) {
  auto* d = reinterpret_cast<FolderDialogDrive*>(l);
  char cls[32] = {}, text[MAX_PATH] = {};
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  if (d->prompt == text && IsWindowVisible(child)) d->sawPrompt = true;
  if (_stricmp(cls, "Edit") == 0 && IsWindowVisible(child) && d->fieldAtOpen.empty()) {
    d->fieldAtOpen = text;
    SetWindowTextA(child, d->typed.c_str());
  }
  return TRUE;
}

void CALLBACK DriveFolderDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindFolderDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || g_drive->done) return;
  g_drive->done = true;
  KillTimer(nullptr, id);
  EnumChildWindows(dialog, ReadFolderDialog, reinterpret_cast<LPARAM>(g_drive));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

TEST_F(WindowLayer, TheFolderDialogOpensOnTheChosenFolderAndTakesANewOneTyped) {
  const std::string base = wintest::TempFolder() + "fd_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(base.c_str(), nullptr);
  struct Case {
    std::string typed, expected;
  } cases[] = {
      {base + "\\Brand New", base + "\\Brand New"},  // a whole path that does not exist yet
      {"Fresh", base + "\\Fresh"},                   // a bare name: inside the folder on show
  };
  for (const auto& c : cases) {
    FolderDialogDrive drive;
    drive.prompt = "Where shall it go?";
    drive.typed = c.typed;
    g_drive = &drive;
    std::string folder = base + "\\Not Yet";  // chosen earlier, not made yet
    UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveFolderDialog);
    const bool ok = SelectFolder(drive.prompt, folder);
    KillTimer(nullptr, timer);
    g_drive = nullptr;
    EXPECT_TRUE(drive.done) << "no folder dialog appeared";
    EXPECT_TRUE(drive.sawPrompt) << "the prompt is shown";
    EXPECT_EQ(drive.fieldAtOpen, base + "\\Not Yet") << "the field holds the chosen folder";
    EXPECT_TRUE(ok);
    EXPECT_EQ(folder, c.expected);
  }
  RemoveDirectoryA(base.c_str());
}

// Title-bar buttons, check marks and other glyphs of the windows are drawn with the
// "Marlett" font; under Wine it comes with Wine's own fonts (package fonts-wine).
TEST_F(WindowLayer, TheMarlettFontIsInstalled) { EXPECT_TRUE(wintest::FontInstalled("Marlett")); }

TEST_F(WindowLayer, StringTableAndCommandLine) {
  EXPECT_EQ(LoadStr(IDS_PROBE_TEXT), "Probe text");
  EXPECT_EQ(LoadStr(4999), "");
  App().SetCommandLine("prog.exe /SOURCE=\"C:\\My Setup\\Setup.exe\" \"/DATA=C:\\a b\\x.tmp\"");
  EXPECT_EQ(App().ParamCount(), 2);
  EXPECT_EQ(App().ParamStr(1), "/SOURCE=C:\\My Setup\\Setup.exe");
  EXPECT_EQ(App().ParamStr(2), "/DATA=C:\\a b\\x.tmp");
  EXPECT_EQ(App().ParamStr(3), "");
  EXPECT_EQ(App().ParamStr(0), wintest::ThisExe());
  App().SetCommandLine("");
}

}  // namespace

namespace {

// A shown message box of this thread: a dialog with the box's text control.
BOOL CALLBACK FindMessageBox(HWND h, LPARAM l) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (IsWindowVisible(h) && std::string(cls) == "#32770" && GetDlgItem(h, 0xFFFF)) {
    *reinterpret_cast<HWND*>(l) = h;
    return FALSE;
  }
  return TRUE;
}

// Inside a message box's loop: its text is read, then OK pressed.
std::string helpBoxText;
void CALLBACK AnswerHelpBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  helpBoxText = text;
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

}  // namespace

TEST_F(WindowLayer, HelpWithoutItsFileSaysSoAndGivesTheFocusBack) {
  App().SetHelpFile("NoSuchHelp.hlp");
  // Through the seam: the request is recorded, and the message names the file.
  seams::Arm();
  App().HelpContext(4);
  EXPECT_EQ(seams::HelpRequests(), (std::vector<int>{4}));
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_NE(seams::Messages()[0].Text.find("\"NoSuchHelp.hlp\""), std::string::npos) << seams::Messages()[0].Text;
  seams::Reset();

  // The real box, answered from inside its loop: the field that had the focus has it again.
  ProbeForm form;
  form.ShowModeless();
  form.edtName.Focus();
  ASSERT_TRUE(wintest::HasFocus(form.edtName.Handle()));
  helpBoxText.clear();
  SetTimer(nullptr, 0, 50, AnswerHelpBox);
  App().HelpContext(4);
  EXPECT_NE(helpBoxText.find("NoSuchHelp.hlp"), std::string::npos) << helpBoxText;
  EXPECT_EQ(GetFocus(), form.edtName.Handle());
  App().SetHelpFile("");
}
