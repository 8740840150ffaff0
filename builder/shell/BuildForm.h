// Unit BuildForm: the build dialog TfrmBuilder, which builds the setup package of the
// project being edited when the author presses Start.
#pragma once
#include <string>
#include <vector>

#include "base/win/Controls.h"
#include "base/win/Form.h"
#include "builder/common/BuildPackage.h"
#include "resources/builder/BuildForm.rh"
#include "setup/model/InstClasses.h"

class TfrmBuilder : public base::win::Form {
public:
  TfrmBuilder();

  TTandrelBaseInstall* Project = nullptr;  // not owned
  std::string FileName;                    // the project file's full name
  // Where "Setup.exe" and "TandrelInstall.exe" are taken from: the program's own folder.
  std::string BuilderFolder;

  void btnStartClick();
  void BuildProgress(int32_t Position, int32_t Maximum, const std::string& Message, const std::string& GroupName);
  void CompressProgress(int32_t& PercentageDone);
  bool Building() const { return building_; }
  // The log as the memo holds it.
  const std::vector<std::string>& LogLines() const { return log_.lines; }

  base::win::Control PageControl1{*this, IDC_BLD_PageControl1};
  base::win::Edit memoProgress{*this, IDC_BLD_memoProgress};
  base::win::Label lblOverall{*this, IDC_BLD_lblOverall};
  base::win::ProgressBar pbOverall{*this, IDC_BLD_pbOverall};
  base::win::ProgressBar pbCompress{*this, IDC_BLD_pbCompress};
  base::win::Button btnStart{*this, IDC_BLD_btnStart};
  base::win::Button btnCancel{*this, IDC_BLD_btnCancel};
  base::win::Button btnHelp{*this, IDC_BLD_btnHelp};

protected:
  void FormCreate() override;
  void FormShow() override;
  bool FormCloseQuery() override;
  void FormClose() override;

private:
  // memoProgress with its lines.
  class TMemoLog : public TBuildLog {
  public:
    explicit TMemoLog(TfrmBuilder& form) : form_(form) {}
    void Add(const std::string& line) override;
    size_t Count() const override { return lines.size(); }
    void ProcessMessages() override;
    void Clear();
    std::vector<std::string> lines;

  private:
    TfrmBuilder& form_;
  };

  void SetBuilding(bool building);

  TMemoLog log_{*this};
  std::string lastGroup_;  // the group named last in the log, for this build
  bool building_ = false;
};

// Opens the build dialog on the project and its file name, modally.
void ExecuteBuilder(TTandrelBaseInstall& Project, const std::string& FileName);
