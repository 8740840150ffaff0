// Unit EditorForm: the rich-text editor TfrmEditor, a small word processor for the
// licence and readme texts the wizard shows; the texts travel as strings of rich text.
#pragma once
#include <string>

#include "base/win/ComboBox.h"
#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/Graphics.h"
#include "base/win/Menus.h"
#include "base/win/ToolBar.h"
#include "base/win/UpDown.h"
#include "resources/builder/EditorForm.rh"

class TfrmEditor : public base::win::Form {
public:
  TfrmEditor();
  ~TfrmEditor() override;

  bool Updating = false;

  void FillFontNames();
  void reEditorSelectionChange();
  void reEditorChange();
  void UpdateEditButtons();
  void UndoButtonClick();
  void FontNameChange();
  void FontSizeChange();
  void BoldButtonClick();
  void ItalicButtonClick();
  void UnderlineButtonClick();
  void AlignButtonClick(int Tag);
  void BulletsButtonClick();
  // Sets the client size the opener asks for.
  void SetClientSize(int width, int height);

  base::win::RichEdit reEditor{*this, IDC_EDT_reEditor};
  base::win::ToolBar ToolBar1{*this, IDC_EDT_ToolBar1};
  base::win::ComboBox FontName{*this, IDC_EDT_FontName};
  base::win::Edit FontSize{*this, IDC_EDT_FontSize};
  base::win::UpDown UpDown1{*this, IDC_EDT_UpDown1};
  base::win::Button btnOk{*this, IDC_EDT_btnOk};
  base::win::Button btnCancel{*this, IDC_EDT_btnCancel};

  base::win::PopupMenu popEditor;
  base::win::MenuItem& mnuUndo;
  base::win::MenuItem& mnuCut;
  base::win::MenuItem& mnuCopy;
  base::win::MenuItem& mnuPaste;
  base::win::MenuItem& mnuDelete;

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  void FormResize() override;

private:
  void SetStyle(DWORD effect, bool on);
  void PlaceFontBoxes();
  int nameGap_ = 0, sizeGap_ = 0;  // the bar's gaps under the font name and size
  WNDPROC oldEditProc_ = nullptr;
  HBITMAP glyphs_ = nullptr;
};

// What the editor holds, as the project stores it: "" for an empty text, else rich text.
void LoadRichEditText(const base::win::RichEdit& Editor, const std::string& Text);
std::string GetRichEditText(const base::win::RichEdit& Editor);

// The editor at client size 448 x 240 (the licence) or 311 x 297 (the readme); the text
// is replaced only on OK.
bool EditRichTextWide(std::string& Text, bool WordWrap, base::win::Color Colour);
bool EditRichTextTall(std::string& Text, bool WordWrap, base::win::Color Colour);
