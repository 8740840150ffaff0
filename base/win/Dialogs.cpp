#include "base/win/Dialogs.h"

#include <cstring>

#include <algorithm>
#include <cstring>

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
  std::string chosen;    // the folder the dialog opens on, which may not exist yet
  std::string initial;   // its nearest folder that exists: the tree's selection at first
  std::string selected;  // the tree's selection
  std::string typed;     // the name field's text when OK was pressed
  int selectionChanges = 0;
  bool okPressed = false;
  HWND edit = nullptr;
  WNDPROC dialogProc = nullptr;
};

const char* const kFolderStateProp = "TandrelFolderDialog";

std::string EditText(HWND edit) {
  const int n = GetWindowTextLengthA(edit);
  std::string text(static_cast<size_t>(std::max(0, n)) + 1, '\0');
  GetWindowTextA(edit, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(0, n)));
  return text;
}

BOOL CALLBACK FindNameField(HWND child, LPARAM l) {
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (_stricmp(cls, "Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(l) = child;
  return FALSE;
}

// The dialog's OK: the name field is read before the dialog takes it away, so that a
// folder typed there counts also where the system does not validate it.
LRESULT CALLBACK FolderDialogProc(HWND dialog, UINT msg, WPARAM w, LPARAM l) {
  auto* state = static_cast<FolderDialogState*>(GetPropA(dialog, kFolderStateProp));
  if (!state) return DefWindowProcA(dialog, msg, w, l);
  if (msg == WM_COMMAND && LOWORD(w) == IDOK && state->edit) {
    state->typed = EditText(state->edit);
    state->okPressed = true;
  }
  const WNDPROC proc = state->dialogProc;
  if (msg == WM_NCDESTROY) {
    RemovePropA(dialog, kFolderStateProp);
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  }
  return CallWindowProcA(proc, dialog, msg, w, l);
}

int CALLBACK FolderCallback(HWND dialog, UINT msg, LPARAM l, LPARAM data) {
  auto* state = reinterpret_cast<FolderDialogState*>(data);
  if (msg == BFFM_INITIALIZED) {
    // Wine finds the folder in its tree by comparing item ids byte for byte, access times
    // too, and reading the folders on the way there the first time changes those: a walk
    // that moved no selection is tried once more.
    for (int attempt = 0; attempt < 2 && !state->initial.empty(); ++attempt) {
      const int before = state->selectionChanges;
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->initial.c_str()));
      if (state->selectionChanges != before) break;
    }
    EnumChildWindows(dialog, FindNameField, reinterpret_cast<LPARAM>(&state->edit));
    // The name field shows the whole chosen folder, also one that does not exist yet.
    if (state->edit) SetWindowTextA(state->edit, state->chosen.c_str());
    SetPropA(dialog, kFolderStateProp, state);
    state->dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderDialogProc)));
  } else if (msg == BFFM_SELCHANGED) {
    ++state->selectionChanges;
    char path[MAX_PATH] = {};
    const bool isFolder = l && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), path);
    state->selected = isFolder ? path : "";
    // A click in the tree replaces what the field held; the first selection is the
    // dialog's own and keeps the chosen folder in the field.
    if (state->dialogProc && state->edit && isFolder) SetWindowTextA(state->edit, path);
  }
  // BFFM_VALIDATEFAILED: a folder that does not exist yet; the name read at OK counts.
  return 0;
}

// The folder a name typed into the field stands for: a whole path as it is, a bare name
// inside the tree's selection.
std::string TypedFolder(const FolderDialogState& state) {
  std::string typed = state.typed;
  while (!typed.empty() && typed.back() == ' ') typed.pop_back();
  while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
  if (typed.empty()) return state.selected;
  const bool absolute = typed.size() >= 2 && (typed[1] == ':' || (typed[0] == '\\' && typed[1] == '\\'));
  if (absolute) return typed;
  const std::string base = state.selected.empty() ? state.initial : state.selected;
  if (base.empty()) return typed;
  return base + (base.back() == '\\' ? "" : "\\") + typed;
}

}  // namespace

bool SelectFolder(const std::string& caption, std::string& folder) {
  if (auto answer = seams::TakeFolderAnswer(folder)) {
    if (!*answer) return false;
    folder = **answer;
    return true;
  }
  ComScope com;
  FolderDialogState state;
  state.chosen = folder;
  state.initial = folder;
  // The tree opens on the nearest folder that exists.
  while (!state.initial.empty() && GetFileAttributesA(state.initial.c_str()) == INVALID_FILE_ATTRIBUTES) {
    size_t slash = state.initial.find_last_of('\\');
    state.initial = slash == std::string::npos ? std::string() : state.initial.substr(0, slash);
  }
  if (state.initial.size() == 2 && state.initial[1] == ':') state.initial += '\\';
  state.selected = state.initial;
  BROWSEINFOA bi{};
  bi.hwndOwner = App().ActiveOwner();
  bi.lpszTitle = caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_VALIDATE;
  bi.lpfn = FolderCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&state);
  LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
  if (pidl) CoTaskMemFree(pidl);
  if (!state.okPressed) return false;
  const std::string chosen = TypedFolder(state);
  if (chosen.empty()) return false;
  folder = chosen;
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

bool ChooseColorDialog(Color& color) {
  if (auto answer = seams::TakeColorAnswer(color)) {
    if (!*answer) return false;
    color = **answer;
    return true;
  }
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = App().ActiveOwner();
  cc.rgbResult = ColorToRGB(color);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorA(&cc)) return false;
  color = static_cast<Color>(cc.rgbResult & 0xFFFFFF);
  return true;
}

bool ChooseFontDialog(Font& font) {
  if (auto answer = seams::TakeFontAnswer(font)) {
    if (!*answer) return false;
    font = **answer;
    return true;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(font.Size, dpi, 72);
  lf.lfWeight = (font.Style & fsBoldBit) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style & fsItalicBit) != 0;
  lf.lfUnderline = (font.Style & fsUnderlineBit) != 0;
  lf.lfStrikeOut = (font.Style & fsStrikeOutBit) != 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  font.Name.copy(lf.lfFaceName, std::min(font.Name.size(), sizeof lf.lfFaceName - 1));
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = App().ActiveOwner();
  cf.lpLogFont = &lf;
  cf.rgbColors = ColorToRGB(font.Color_);
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontA(&cf)) return false;
  font.Name = lf.lfFaceName;
  // The dialog reports the size in tenths of a point.
  font.Size = cf.iPointSize > 0 ? (cf.iPointSize + 5) / 10 : MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, dpi);
  font.Color_ = static_cast<Color>(cf.rgbColors & 0xFFFFFF);
  font.Style = static_cast<uint8_t>((lf.lfWeight >= FW_BOLD ? fsBoldBit : 0) | (lf.lfItalic ? fsItalicBit : 0) |
                                    (lf.lfUnderline ? fsUnderlineBit : 0) | (lf.lfStrikeOut ? fsStrikeOutBit : 0));
  return true;
}

}  // namespace base::win
