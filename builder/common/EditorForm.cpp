#include "builder/common/EditorForm.h"

#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "base/Exceptions.h"
#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/common/BuilderSettings.h"
#include "resources/builder_texts.h"

using namespace base::win;

namespace {

constexpr const char* kFormName = "frmEditor";
constexpr int kHelpEditor = 14;
constexpr int kMaxFontSize = 1638;
enum : int { imgBold, imgItalic, imgUnderline, imgLeft, imgCenter, imgRight, imgBullets };

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

LRESULT CALLBACK AcceptTabsProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(h, "TandrelOldProc"));
  if (!old) return DefWindowProcA(h, msg, w, l);
  if (msg == WM_GETDLGCODE) return CallWindowProcA(old, h, msg, w, l) | DLGC_WANTTAB;
  return CallWindowProcA(old, h, msg, w, l);
}

int CALLBACK AddFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
  auto* names = reinterpret_cast<std::vector<std::string>*>(data);
  names->push_back(std::string(font->lfFaceName, strnlen(font->lfFaceName, 32)));
  return 1;
}

}  // namespace

void LoadRichEditText(const RichEdit& Editor, const std::string& Text) {
  std::string text = JoinLines(base::SplitLines(Text));
  const bool rtf = text.compare(0, 5, "{\\rtf") == 0;
  // A plain text's last line break would add an empty paragraph.
  if (!rtf && text.size() >= 2) text.resize(text.size() - 2);
  Editor.LoadText(text);
}

std::string GetRichEditText(const RichEdit& Editor) {
  if (GetWindowTextLengthA(Editor.Handle()) == 0) return std::string();
  return JoinLines(base::SplitLines(Editor.RichText()));
}

TfrmEditor::TfrmEditor()
    : Form(IDD_frmEditor),
      mnuUndo(popEditor.Add(texts::kEdUndo)),
      mnuCut((popEditor.AddSeparator(), popEditor.Add(texts::kEdCut))),
      mnuCopy(popEditor.Add(texts::kEdCopy)),
      mnuPaste(popEditor.Add(texts::kEdPaste)),
      mnuDelete(popEditor.Add(texts::kDelete)) {
  Create();
}

TfrmEditor::~TfrmEditor() {
  if (HWND h = reEditor.Handle()) {
    if (oldEditProc_) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldEditProc_));
    RemovePropA(h, "TandrelOldProc");
  }
  if (glyphs_) DeleteObject(glyphs_);
}

void TfrmEditor::FormCreate() {
  HWND edit = reEditor.Handle();
  oldEditProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
  SetPropA(edit, "TandrelOldProc", reinterpret_cast<HANDLE>(oldEditProc_));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AcceptTabsProc));
  reEditor.Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  reEditor.Send(EM_EXLIMITTEXT, 0, 0x7FFFFFFF);

  ToolBar1.UseStandardImages();
  Font glyphFont;
  glyphFont.Name = "Arial";
  glyphFont.Size = 9;
  glyphFont.Style = fsBoldBit;
  glyphs_ = MakeTextGlyphs({"B", "I", "U", "L", "C", "R", "*"}, 16, glyphFont);
  int first = ToolBar1.AddImages(glyphs_, 16);
  using S = ToolBar::Style;
  ToolBar1.AddButton(IDC_EDT_UndoButton, STD_UNDO, texts::kEdHintUndo);
  ToolBar1.AddSeparator();
  ToolBar1.AddButton(IDC_EDT_CutButton, STD_CUT, texts::kEdHintCut);
  ToolBar1.AddButton(IDC_EDT_CopyButton, STD_COPY, texts::kEdHintCopy);
  ToolBar1.AddButton(IDC_EDT_PasteButton, STD_PASTE, texts::kEdHintPaste);
  ToolBar1.AddSeparator();
  nameGap_ = ToolBar1.ButtonCount();
  ToolBar1.AddSeparator(112);
  sizeGap_ = ToolBar1.ButtonCount();
  ToolBar1.AddSeparator(50);
  ToolBar1.AddButton(IDC_EDT_BoldButton, first + imgBold, texts::kEdHintBold, S::Check);
  ToolBar1.AddButton(IDC_EDT_ItalicButton, first + imgItalic, texts::kEdHintItalic, S::Check);
  ToolBar1.AddButton(IDC_EDT_UnderlineButton, first + imgUnderline, texts::kEdHintUnderline, S::Check);
  ToolBar1.AddSeparator();
  ToolBar1.AddButton(IDC_EDT_LeftAlign, first + imgLeft, texts::kEdHintLeft, S::Group);
  ToolBar1.AddButton(IDC_EDT_CenterAlign, first + imgCenter, texts::kEdHintCenter, S::Group);
  ToolBar1.AddButton(IDC_EDT_RightAlign, first + imgRight, texts::kEdHintRight, S::Group);
  ToolBar1.AddSeparator();
  ToolBar1.AddButton(IDC_EDT_BulletsButton, first + imgBullets, texts::kEdHintBullets, S::Check);
  ToolBar1.SetButtonEnabled(IDC_EDT_UndoButton, false);
  UpDown1.SetBuddy(FontSize.Handle());
  UpDown1.SetRange(0, kMaxFontSize);
  UpDown1.SetPosition(10);
  FontSize.SetText("10");
  SetControlHint(FontName.Handle(), texts::kEdHintFontName);
  SetControlHint(FontSize.Handle(), texts::kEdHintFontSize);
  SetWindowPos(FontName.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(FontSize.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(UpDown1.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PlaceFontBoxes();

  OnClick(IDC_EDT_UndoButton, [this] { UndoButtonClick(); });
  OnClick(IDC_EDT_CutButton, [this] { reEditor.Send(WM_CUT); });
  OnClick(IDC_EDT_CopyButton, [this] { reEditor.Send(WM_COPY); });
  OnClick(IDC_EDT_PasteButton, [this] { reEditor.Send(WM_PASTE); });
  OnClick(IDC_EDT_BoldButton, [this] { BoldButtonClick(); });
  OnClick(IDC_EDT_ItalicButton, [this] { ItalicButtonClick(); });
  OnClick(IDC_EDT_UnderlineButton, [this] { UnderlineButtonClick(); });
  OnClick(IDC_EDT_LeftAlign, [this] { AlignButtonClick(0); });
  OnClick(IDC_EDT_CenterAlign, [this] { AlignButtonClick(2); });
  OnClick(IDC_EDT_RightAlign, [this] { AlignButtonClick(1); });
  OnClick(IDC_EDT_BulletsButton, [this] { BulletsButtonClick(); });
  OnCommand(IDC_EDT_FontName, CBN_SELCHANGE, [this] { FontNameChange(); });
  OnCommand(IDC_EDT_FontName, CBN_EDITCHANGE, [this] { FontNameChange(); });
  OnCommand(IDC_EDT_FontSize, EN_CHANGE, [this] { FontSizeChange(); });
  OnCommand(IDC_EDT_reEditor, EN_CHANGE, [this] { reEditorChange(); });
  OnNotify(IDC_EDT_reEditor, EN_SELCHANGE, [this](NMHDR*) -> LRESULT {
    reEditorSelectionChange();
    return 0;
  });
  mnuUndo.OnClick = [this](MenuItem&) { UndoButtonClick(); };
  mnuCut.OnClick = [this](MenuItem&) { reEditor.Send(WM_CUT); };
  mnuCopy.OnClick = [this](MenuItem&) { reEditor.Send(WM_COPY); };
  mnuPaste.OnClick = [this](MenuItem&) { reEditor.Send(WM_PASTE); };
  mnuDelete.OnClick = [this](MenuItem&) { reEditor.Send(WM_CLEAR); };
  mnuUndo.SetEnabled(false);
  popEditor.Attach(*this, IDC_EDT_reEditor);
  ModalButton(IDC_EDT_btnOk, mrOk);
  ModalButton(IDC_EDT_btnCancel, mrCancel);
  OnClick(IDC_EDT_btnHelp, [] { App().HelpContext(kHelpEditor); });
  SetDefaultButton(IDC_EDT_btnOk);
  SetCancelButton(IDC_EDT_btnCancel);

  FillFontNames();
  reEditorSelectionChange();
  Updating = false;
}

void TfrmEditor::FormShow() {
  RestoreFormPosition(Handle(), kFormName);
  FormResize();
  reEditor.Focus();
}

void TfrmEditor::FormClose() { SaveFormPosition(Handle(), kFormName); }

void TfrmEditor::FormResize() {
  if (!reEditor.Handle() || !ToolBar1.Handle()) return;
  RECT c = ClientRect();
  // The bar wraps its buttons at its own width: give it the new one before it lays out.
  ToolBar1.SetBounds(0, 0, c.right, ToolBar1.Height());
  ToolBar1.Send(TB_AUTOSIZE);
  PlaceFontBoxes();
  const int buttonW = btnOk.Width(), buttonH = btnOk.Height(), margin = 6;
  const int top = ToolBar1.Height() + 2;
  const int bottom = c.bottom - buttonH - 2 * margin;
  reEditor.SetBounds(0, top, c.right, std::max(bottom - top, 10));
  int x = c.right - margin - buttonW;
  for (int id : {IDC_EDT_btnHelp, IDC_EDT_btnCancel, IDC_EDT_btnOk}) {
    Button(*this, id).SetBounds(x, c.bottom - margin - buttonH, buttonW, buttonH);
    x -= buttonW + margin;
  }
}

// The font name and size lie over their gaps in the bar, which wraps to a second row
// where the window is too narrow for one.
void TfrmEditor::PlaceFontBoxes() {
  RECT bar = ToolBar1.Bounds();
  RECT nameRect = ToolBar1.ButtonRect(nameGap_), sizeRect = ToolBar1.ButtonRect(sizeGap_);
  FontName.SetBounds(bar.left + nameRect.left + 2, bar.top + nameRect.top, nameRect.right - nameRect.left - 4, 200);
  FontSize.SetBounds(bar.left + sizeRect.left + 2, bar.top + sizeRect.top + 1, sizeRect.right - sizeRect.left - 20,
                     sizeRect.bottom - sizeRect.top - 2);
  UpDown1.SetBuddy(FontSize.Handle());
}

void TfrmEditor::SetClientSize(int width, int height) {
  RECT want{0, 0, width, height};
  AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
  SetWindowPos(Handle(), nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmEditor::FillFontNames() {
  std::vector<std::string> names;
  HDC dc = GetDC(nullptr);
  EnumFontsA(dc, nullptr, AddFontName, reinterpret_cast<LPARAM>(&names));
  ReleaseDC(nullptr, dc);
  for (const auto& n : names) FontName.Add(n);
  FontName.Sort();
}

void TfrmEditor::reEditorSelectionChange() {
  Updating = true;
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  reEditor.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  reEditor.Send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  ToolBar1.SetDown(IDC_EDT_BoldButton, (cf.dwEffects & CFE_BOLD) != 0);
  ToolBar1.SetDown(IDC_EDT_ItalicButton, (cf.dwEffects & CFE_ITALIC) != 0);
  ToolBar1.SetDown(IDC_EDT_UnderlineButton, (cf.dwEffects & CFE_UNDERLINE) != 0);
  ToolBar1.SetDown(IDC_EDT_BulletsButton, pf.wNumbering == PFN_BULLET);
  FontSize.SetText(std::to_string(cf.yHeight / 20));
  FontName.SetText(std::string(cf.szFaceName, strnlen(cf.szFaceName, LF_FACESIZE)));
  const int pressed = pf.wAlignment == PFA_CENTER  ? IDC_EDT_CenterAlign
                      : pf.wAlignment == PFA_RIGHT ? IDC_EDT_RightAlign
                                                   : IDC_EDT_LeftAlign;
  for (int id : {IDC_EDT_LeftAlign, IDC_EDT_CenterAlign, IDC_EDT_RightAlign}) ToolBar1.SetDown(id, id == pressed);
  UpdateEditButtons();
  Updating = false;
}

void TfrmEditor::UpdateEditButtons() {
  CHARRANGE sel{};
  reEditor.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  const bool any = sel.cpMax != sel.cpMin;
  ToolBar1.SetButtonEnabled(IDC_EDT_CopyButton, any);
  ToolBar1.SetButtonEnabled(IDC_EDT_CutButton, any);
  mnuCopy.SetEnabled(any);
  mnuCut.SetEnabled(any);
  mnuDelete.SetEnabled(any);
}

void TfrmEditor::reEditorChange() {
  const bool canUndo = reEditor.Send(EM_CANUNDO) != 0;
  ToolBar1.SetButtonEnabled(IDC_EDT_UndoButton, canUndo);
  mnuUndo.SetEnabled(canUndo);
}

void TfrmEditor::UndoButtonClick() {
  if (reEditor.Handle()) reEditor.Send(EM_UNDO);
}

void TfrmEditor::FontNameChange() {
  if (Updating) return;
  const int index = FontName.ItemIndex();
  const std::string name = index >= 0 ? FontName.Item(index) : FontName.Text();
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE;
  lstrcpynA(cf.szFaceName, name.c_str(), LF_FACESIZE);
  reEditor.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TfrmEditor::FontSizeChange() {
  if (Updating) return;
  const std::string text = base::Trim(FontSize.Text());
  // An emptied field is the author about to type the new size.
  if (text.empty()) return;
  long long size = 0;
  if (!base::TryStrToInt(text, size)) throw base::Exception(texts::NotAnInteger(text));
  // The rich edit keeps sizes up to 1638 points (in twips, in 16 bits); other sizes
  // change nothing.
  if (size < 1 || size > kMaxFontSize) {
    Beep();
    FontSize.Focus();
    return;
  }
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_SIZE;
  cf.yHeight = static_cast<LONG>(size * 20);
  reEditor.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TfrmEditor::SetStyle(DWORD effect, bool on) {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = effect == CFE_BOLD ? CFM_BOLD : effect == CFE_ITALIC ? CFM_ITALIC : CFM_UNDERLINE;
  cf.dwEffects = on ? effect : 0;
  reEditor.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void TfrmEditor::BoldButtonClick() {
  if (!Updating) SetStyle(CFE_BOLD, ToolBar1.Down(IDC_EDT_BoldButton));
}

void TfrmEditor::ItalicButtonClick() {
  if (!Updating) SetStyle(CFE_ITALIC, ToolBar1.Down(IDC_EDT_ItalicButton));
}

void TfrmEditor::UnderlineButtonClick() {
  if (!Updating) SetStyle(CFE_UNDERLINE, ToolBar1.Down(IDC_EDT_UnderlineButton));
}

void TfrmEditor::AlignButtonClick(int Tag) {
  if (Updating) return;
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = Tag == 1 ? PFA_RIGHT : Tag == 2 ? PFA_CENTER : PFA_LEFT;
  reEditor.Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

void TfrmEditor::BulletsButtonClick() {
  if (Updating) return;
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_NUMBERING;
  pf.wNumbering = ToolBar1.Down(IDC_EDT_BulletsButton) ? PFN_BULLET : 0;
  reEditor.Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

namespace {

bool EditRichText(std::string& Text, bool WordWrap, Color Colour, int width, int height) {
  TfrmEditor form;
  form.SetClientSize(width, height);
  LoadRichEditText(form.reEditor, Text);
  form.reEditor.SetWordWrap(WordWrap);
  form.reEditor.SetBackColor(Colour);
  if (form.ShowModal() != mrOk) return false;
  Text = GetRichEditText(form.reEditor);
  return true;
}

}  // namespace

bool EditRichTextWide(std::string& Text, bool WordWrap, Color Colour) {
  return EditRichText(Text, WordWrap, Colour, 448, 240);
}

bool EditRichTextTall(std::string& Text, bool WordWrap, Color Colour) {
  return EditRichText(Text, WordWrap, Colour, 311, 297);
}
