// Message dialogs in the class library's manner, the system beep, and the folder and
// file dialogs. Each goes through the test seam first (base/win/TestSeams.h).
#pragma once
#include <string>
#include <vector>

namespace base::win {

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Button sets, as bits.
enum : unsigned {
  mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3, mbAbort = 1u << 4,
  mbRetry = 1u << 5, mbIgnore = 1u << 6, mbHelp = 1u << 7
};
constexpr unsigned mbYesNo = mbYes | mbNo;
constexpr unsigned mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr unsigned mbOKCancel = mbOK | mbCancel;

// Caption "Warning", "Error", "Information", "Confirm" (Custom: the application title);
// returns the modal result of the button pressed (mrYes, mrNo, mrOk, mrCancel, ...).
int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons, int helpContext = 0);
// Information with OK, captioned with the application title.
void ShowMessage(const std::string& text);
// The class library's Application.MessageBox: MessageBoxA flags, IDOK/IDYES/... result.
int AppMessageBox(const std::string& text, const std::string& caption, unsigned flags);

// The default system beep (MessageBeep 0).
void Beep();

// The folder dialog on `folder`; a folder name that does not exist yet is accepted.
// True with the chosen path in `folder`; false (folder unchanged) on Cancel.
bool SelectFolder(const std::string& caption, std::string& folder);

struct FileDialogOptions {
  std::string Title;
  std::string Filter;       // "Projects (*.zem)|*.zem|All files (*.*)|*.*"
  std::string DefaultExt;   // without the dot
  std::string InitialDir;
  bool OverwritePrompt = false;
  bool FileMustExist = false;
};
// Open or save dialog; true with the chosen name in `fileName`.
bool OpenFileDialog(const FileDialogOptions& options, std::string& fileName);
bool SaveFileDialog(const FileDialogOptions& options, std::string& fileName);
// The open dialog with several files chosen at once, the filter entry `filterIndex`
// (from 1) preselected; true with the full names in the dialog's order. Through the test
// seam the queued file answer holds the names one a line.
bool OpenFilesDialog(const FileDialogOptions& options, int filterIndex, std::vector<std::string>& files);

}  // namespace base::win
