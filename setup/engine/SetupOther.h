// Unit SetupOther: the progress form TfrmOther of the three small tasks after copying:
// program shortcuts (mode 0), INI values (1), registry keys and values (2).
#pragma once
#include <cstdint>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "resources/engine/SetupOther.rh"
#include "setup/engine/CopyRules.h"
#include "setup/model/InstClasses.h"

constexpr UINT WM_STARTTASK = WM_APP + 3;

class TfrmOther : public base::win::Form {
public:
  TfrmOther();

  uint8_t Mode = kOtherShortcuts;
  TTandrelBaseInstall* Project = nullptr;

  void StartTask();

  base::win::Control Image1{*this, IDC_Image1};
  base::win::Label lblInfo{*this, IDC_lblInfo};

protected:
  void FormCreate() override;
  void FormShow() override;
};

// One modal run of the task; nothing it meets stops it.
void RunOtherTask(TTandrelBaseInstall* Project, uint8_t Mode);
