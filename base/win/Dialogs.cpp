#include "base/win/Dialogs.h"

#include <cstring>

#include <algorithm>

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "base/win/Application.h"
#include "base/win/Com.h"
#include "base/win/Form.h"
#include "base/win/TestSeams.h"

namespace base::win {

namespace {

const char* TypeCaption(MsgDlgType type) {
  switch (type) {
    case MsgDlgType::Warning: return "Warning";
    case MsgDlgType::Error: return "Error";
    case MsgDlgType::Information: return "Information";
    case MsgDlgType::Confirmation: return "Confirm";
    case MsgDlgType::Custom: break;
  }
  return nullptr;
}

UINT TypeIcon(MsgDlgType type) {
  switch (type) {
    case MsgDlgType::Warning: return MB_ICONWARNING;
    case MsgDlgType::Error: return MB_ICONERROR;
    case MsgDlgType::Information: return MB_ICONINFORMATION;
    case MsgDlgType::Confirmation: return MB_ICONQUESTION;
    case MsgDlgType::Custom: break;
  }
  return 0;
}

// The message box button set that holds the requested buttons (Help aside).
UINT ButtonFlags(unsigned buttons) {
  buttons &= ~mbHelp;
  if (buttons == (mbYes | mbNo | mbCancel)) return MB_YESNOCANCEL;
  if (buttons == (mbYes | mbNo)) return MB_YESNO;
  if (buttons == (mbOK | mbCancel)) return MB_OKCANCEL;
  if (buttons == (mbAbort | mbRetry | mbIgnore)) return MB_ABORTRETRYIGNORE;
  if (buttons == (mbRetry | mbCancel)) return MB_RETRYCANCEL;
  return MB_OK;
}

// The answer an unanswered seam takes: the set's first button.
int FirstButton(unsigned buttons) {
  if (buttons & mbYes) return mrYes;
  if (buttons & mbOK) return mrOk;
  if (buttons & mbAbort) return mrAbort;
  if (buttons & mbRetry) return mrRetry;
  return mrCancel;
}

int FirstBoxButton(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_YESNO: case MB_YESNOCANCEL: return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons, int helpContext) {
  const char* caption = TypeCaption(type);
  std::string title = caption ? caption : App().Title();
  seams::ShownMessage shown{text, title, type, buttons, false, FirstButton(buttons), false};
  if (auto answer = seams::TakeMessageAnswer(shown)) return *answer;
  return MessageBoxA(App().ActiveOwner(), text.c_str(), title.c_str(), ButtonFlags(buttons) | TypeIcon(type));
}

void ShowMessage(const std::string& text) {
  seams::ShownMessage shown{text, App().Title(), MsgDlgType::Custom, mbOK, false, mrOk, false};
  if (seams::TakeMessageAnswer(shown)) return;
  MessageBoxA(App().ActiveOwner(), text.c_str(), App().Title().c_str(), MB_OK);
}

int AppMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  seams::ShownMessage shown{text, caption, MsgDlgType::Custom, flags, true, FirstBoxButton(flags), false};
  if (auto answer = seams::TakeMessageAnswer(shown)) return *answer;
  return MessageBoxA(App().ActiveOwner(), text.c_str(), caption.c_str(), flags);
}

void Beep() {
  if (seams::CountBeep()) return;
  MessageBeep(0);
}

namespace {

struct FolderDialogState {
  std::string initial;
  std::string typed;  // a name typed into the edit box that is not an existing folder
  bool typedAccepted = false;
};

int CALLBACK FolderCallback(HWND dialog, UINT msg, LPARAM l, LPARAM data) {
  auto* state = reinterpret_cast<FolderDialogState*>(data);
  if (msg == BFFM_INITIALIZED && !state->initial.empty()) {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->initial.c_str()));
  } else if (msg == BFFM_VALIDATEFAILEDA) {
    // A folder that does not exist yet: take the typed name as the choice.
    state->typed = reinterpret_cast<const char*>(l);
    state->typedAccepted = true;
    return 0;
  }
  return 0;
}

}  // namespace

bool SelectFolder(const std::string& caption, std::string& folder) {
  if (auto answer = seams::TakeFolderAnswer(folder)) {
    if (!*answer) return false;
    folder = **answer;
    return true;
  }
  ComScope com;
  FolderDialogState state{folder, {}, false};
  // Open on the nearest folder that exists.
  while (!state.initial.empty() && GetFileAttributesA(state.initial.c_str()) == INVALID_FILE_ATTRIBUTES) {
    size_t slash = state.initial.find_last_of('\\');
    state.initial = slash == std::string::npos ? std::string() : state.initial.substr(0, slash);
  }
  BROWSEINFOA bi{};
  bi.hwndOwner = App().ActiveOwner();
  bi.lpszTitle = caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
  bi.lpfn = FolderCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&state);
  LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
  if (state.typedAccepted) {
    std::string typed = state.typed;
    bool absolute = typed.size() >= 2 && (typed[1] == ':' || (typed[0] == '\\' && typed[1] == '\\'));
    if (!absolute && !state.initial.empty()) typed = state.initial + (state.initial.back() == '\\' ? "" : "\\") + typed;
    if (pidl) CoTaskMemFree(pidl);
    folder = typed;
    return true;
  }
  if (!pidl) return false;
  char path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListA(pidl, path) != FALSE;
  CoTaskMemFree(pidl);
  if (!ok) return false;
  folder = path;
  return true;
}

namespace {

bool FileDialog(const FileDialogOptions& options, std::string& fileName, bool save) {
  if (auto answer = seams::TakeFileAnswer()) {
    if (!*answer) return false;
    fileName = **answer;
    return true;
  }
  std::string filter = options.Filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  filter.push_back('\0');
  std::string buffer(32768, '\0');
  fileName.copy(buffer.data(), std::min(fileName.size(), buffer.size() - 1));
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = App().ActiveOwner();
  ofn.lpstrFilter = options.Filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = options.Title.empty() ? nullptr : options.Title.c_str();
  ofn.lpstrDefExt = options.DefaultExt.empty() ? nullptr : options.DefaultExt.c_str();
  ofn.lpstrInitialDir = options.InitialDir.empty() ? nullptr : options.InitialDir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (options.OverwritePrompt ? OFN_OVERWRITEPROMPT : 0) |
              (options.FileMustExist ? OFN_FILEMUSTEXIST : 0);
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  fileName = buffer.c_str();
  return true;
}

}  // namespace

bool OpenFileDialog(const FileDialogOptions& options, std::string& fileName) {
  return FileDialog(options, fileName, false);
}

bool SaveFileDialog(const FileDialogOptions& options, std::string& fileName) {
  return FileDialog(options, fileName, true);
}

bool OpenFilesDialog(const FileDialogOptions& options, int filterIndex, std::vector<std::string>& files) {
  files.clear();
  if (auto answer = seams::TakeFileAnswer()) {
    if (!*answer) return false;
    size_t start = 0;
    const std::string& text = **answer;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      if (end > start) files.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return !files.empty();
  }
  std::string filter = options.Filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  filter.push_back('\0');
  // Room for a thousand long names at once.
  std::string buffer(1 << 20, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = App().ActiveOwner();
  ofn.lpstrFilter = options.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = options.Title.empty() ? nullptr : options.Title.c_str();
  ofn.lpstrInitialDir = options.InitialDir.empty() ? nullptr : options.InitialDir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
              (options.FileMustExist ? OFN_FILEMUSTEXIST : 0);
  if (!GetOpenFileNameA(&ofn)) return false;
  // One name: the full path. Several: the folder, then each name, all zero-separated.
  std::vector<std::string> parts;
  for (const char* p = buffer.c_str(); *p; p += std::strlen(p) + 1) parts.emplace_back(p);
  if (parts.size() == 1) {
    files = parts;
  } else {
    std::string folder = parts[0];
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  }
  return !files.empty();
}

}  // namespace base::win
