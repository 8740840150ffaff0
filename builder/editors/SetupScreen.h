// The background screen editor (TfrmScreenSetup): the three colour channels and a live
// preview of the background, drawn by the engine's own background painting into a
// double-buffered paint box, so the author sees what the user will get.
#pragma once
#include <memory>
#include <string>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "base/win/PageControl.h"
#include "base/win/PaintBox.h"
#include "base/win/ScrollBar.h"
#include "builder/editors/ScreenRules.h"
#include "builder/editors/SectionEditor.h"
#include "resources/builder/SetupScreen.rh"
#include "setup/model/InstClasses.h"

class TfrmScreenSetup : public SectionEditor {
public:
  TfrmScreenSetup();
  ~TfrmScreenSetup() override;

  bool Loading = false;

  void UpdatePreview();
  void StoreColourModes();
  void LoadColourModes();
  void PlaceTitle();
  void PlaceSubTitle();
  void PaintBoxPaint(HDC dc, const RECT& client);
  void rbClick();
  void redScrollChange();
  void Button1Click();
  void Button2Click();

  // The title picture the preview shows (none when the title is a text or its file is missing).
  const base::win::Picture* TitlePicture() const { return titlePicture_.get(); }

  struct Channel {
    base::win::RadioButton Static, Increasing, Decreasing;
    base::win::ScrollBar Scroll;
  };
  Channel red{{*this, IDC_SCR_redStatic}, {*this, IDC_SCR_redIncreasing}, {*this, IDC_SCR_redDecreasing},
              {*this, IDC_SCR_redScroll}};
  Channel green{{*this, IDC_SCR_greenStatic}, {*this, IDC_SCR_greenIncreasing}, {*this, IDC_SCR_greenDecreasing},
                {*this, IDC_SCR_greenScroll}};
  Channel blue{{*this, IDC_SCR_blueStatic}, {*this, IDC_SCR_blueIncreasing}, {*this, IDC_SCR_blueDecreasing},
               {*this, IDC_SCR_blueScroll}};
  base::win::PageControl PageControl1{*this, IDC_SCR_PageControl1};
  base::win::Button Button2{*this, IDC_SCR_Button2};  // "&Objects"
  base::win::Button Button1{*this, IDC_SCR_Button1};  // "&Preview"
  base::win::PaintBox PaintBox{*this, IDC_SCR_PaintBox};
  base::win::Button btnOk{*this, IDC_SCR_btnOk};
  base::win::Button btnCancel{*this, IDC_SCR_btnCancel};
  base::win::Button btnHelp{*this, IDC_SCR_btnHelp};

protected:
  void FormCreate() override;
  void FormShow() override;

private:
  TChannelRadio CheckedRadio(const Channel& c) const;
  std::unique_ptr<base::win::Picture> titlePicture_;
  std::string failedPicture_;  // an unreadable title picture, reported once
};

// Edits the project's background screen; true when the author left with OK (the project,
// its CompletedScreen and its Modified flag are then set).
bool EditScreenSetup(TTandrelBaseInstall& project);
